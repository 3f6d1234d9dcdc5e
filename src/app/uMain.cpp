// The main window's frame: its controls, pages, menu and buttons, and its message boxes.

#include "app/uMain.h"

#include "app/AnchorLayout.h"
#include "interchange/TableColumns.h"
#include "translate/Translator.h"
#include "translate/uAbout.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace kw {

namespace {

constexpr int kClientWidth = 736;
constexpr int kClientHeight = 571;
constexpr QRect kPageControlRect(6, 4, 724, 499);
constexpr QRect kViewBoxRect(QPoint(6, 6), kViewBoxSize);
constexpr int kTableButtonTop = kViewBoxSize.height() - 34;
constexpr QRect kGridRect(8, 22, kViewBoxSize.width() - 16, kTableButtonTop - 28);

struct TPageDef {
    const char* Key;
    const char* Caption;
};

// Page order is the order of the catalogs and of kGridDefs.
constexpr TPageDef kPageDefs[TfrmMain::kPageCount] = {
    {"Weapons", "Оружие"}, {"Ammo", "Боеприпасы"},       {"Outfits", "Бронежилеты"},
    {"Arts", "Артефакты"}, {"Items", "Еда/Медикаменты"}, {"Weather", "Погода"},
};

struct TTableButtonDef {
    QPushButton* TCatalogPage::*Member;
    const char* NameSuffix;
    const char* Caption;
    const char* Hint;
    QRect Geometry;
    Qt::Edges Anchors;
};

// The edges a control keeps its distance to as the window grows.
constexpr Qt::Edges kAllEdges = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
constexpr Qt::Edges kBottomLeft = Qt::LeftEdge | Qt::BottomEdge;
constexpr Qt::Edges kBottomRight = Qt::RightEdge | Qt::BottomEdge;

const TTableButtonDef kTableButtonDefs[] = {
    {&TCatalogPage::btnTableSave, "TableSave", "Сохранить", "", QRect(8, kTableButtonTop, 100, 26),
     kBottomLeft},
    {&TCatalogPage::btnTableRefresh, "TableRefresh", "Обновить", "", QRect(114, kTableButtonTop, 100, 26),
     kBottomLeft},
    {&TCatalogPage::btnChart, "Chart", "Диаграмма", "Показать столбец таблицы на диаграмме",
     QRect(378, kTableButtonTop, 100, 26), kBottomRight},
    {&TCatalogPage::btnImport, "Import", "Импорт...", "Импорт данных из Excel",
     QRect(484, kTableButtonTop, 100, 26), kBottomRight},
    {&TCatalogPage::btnExport, "Export", "Экспорт...", "Экспорт данных в Excel",
     QRect(590, kTableButtonTop, 106, 26), kBottomRight},
};

struct TButtonDef {
    QPushButton* TfrmMain::*Member;
    const char* Name;
    const char* Caption;
    const char* Hint;
    QStyle::StandardPixmap Glyph;
    QRect Geometry;
    Qt::Edges Anchors;
};

const TButtonDef kButtonDefs[] = {
    {&TfrmMain::btnSaveSettings, "btnSaveSettings", "Сохранить", "Сохранить все изменения",
     QStyle::SP_DialogSaveButton, QRect(6, 538, 112, 28), kBottomLeft},
    {&TfrmMain::btnResetSettings, "btnResetSettings", "Отменить", "Отменить сделанные изменения",
     QStyle::SP_BrowserReload, QRect(124, 538, 112, 28), kBottomLeft},
    {&TfrmMain::btnBackup, "btnBackup", "Архивация", "Создать резервные копии редактируемых файлов",
     QStyle::SP_DriveHDIcon, QRect(242, 538, 112, 28), kBottomLeft},
    {&TfrmMain::btnAbout, "btnAbout", "Инфо", "Информация о программе", QStyle::SP_MessageBoxInformation,
     QRect(512, 538, 106, 28), kBottomRight},
    {&TfrmMain::btnClose, "btnClose", "Выход", "Выйти из программы", QStyle::SP_DialogCloseButton,
     QRect(624, 538, 106, 28), kBottomRight},
    // In the gap of the bottom row: the pages leave no room beside the view boxes.
    {&TfrmMain::btnView, "btnView", "", "", QStyle::SP_FileDialogDetailedView, QRect(378, 538, 110, 28),
     kBottomLeft},
};

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QString& hint,
                        const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setGeometry(geometry);
    return button;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

TfrmMain::TfrmMain(TSession& session, TPlatform* platform)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                               Qt::WindowCloseButtonHint),
      FSession(session), FDocument(session.Document()), FPlatform(platform ? *platform : DefaultPlatform()) {
    setObjectName(QStringLiteral("frmMain"));
    auto* client = new QWidget(this);
    client->setMinimumSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    FAnchors = new TAnchorLayout(client, QSize(kClientWidth, kClientHeight));

    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(kPageControlRect);
    FAnchors->Add(PageControl1, kAllEdges);
    CreatePages();
    // A standard view box grows with the window; its own layout gives the room to the fields inside.
    CreateStandardViews();
    CreateStatusLine(client);
    CreateButtons(client);
    // The menu's texts come through the translator.
    CreateNonVisual();
    CreateMenu();
    CreateFileDialogs();
    CreateChartDialog();
    MarkAlwaysUsable();
    ConnectRunHandlers();
    ConnectTableHandlers();
    CreateDialogs();
    CreateDiskWatch(client);
    FDocument.Catalog().OnLoaded = [this] { PopulateLists(); };
    FDocumentListener =
        FDocument.Listen([this](const TDocumentChange& change) { OnDocumentChanged(change); });
    // Never smaller than the layout was drawn for.
    setMinimumSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    resize(minimumSize());
}

TfrmMain::~TfrmMain() {
    // Controls that lose the focus while they are destroyed have nothing left to store into.
    FExitHookPages.clear();
    // Each chart window reads its page's grid, which the window's children would take first.
    for (TChartWindow*& chart : FCharts) {
        delete chart;
        chart = nullptr;
    }
    FormDestroy();
    // The session's document outlives this window.
    FDocument.StopListening(FDocumentListener);
    FDocument.Catalog().OnLoaded = nullptr;
}

void TfrmMain::CreatePages() {
    for (int index = 0; index < kPageCount; ++index) {
        CreateCatalogPage(index);
    }
}

void TfrmMain::CreateCatalogPage(int index) {
    const QString key = QString::fromLatin1(kPageDefs[index].Key);
    const TGridDef& gridDef = kGridDefs[index];
    TCatalogPage& page = Pages[index];

    page.ts = new QWidget;
    page.ts->setObjectName(QStringLiteral("ts") + key);
    PageControl1->addTab(page.ts, QString::fromUtf8(kPageDefs[index].Caption));

    page.gbNormal = new QGroupBox(QStringLiteral("Стандартный вид"), page.ts);
    page.gbNormal->setObjectName(QStringLiteral("gb%1Normal").arg(key));
    page.gbNormal->setGeometry(kViewBoxRect);
    FAnchors->Add(page.gbNormal, kAllEdges);

    page.gbTable = new QGroupBox(QStringLiteral("Табличный вид"), page.ts);
    page.gbTable->setObjectName(QStringLiteral("gb%1Table").arg(key));
    page.gbTable->setGeometry(kViewBoxRect);
    FAnchors->Add(page.gbTable, kAllEdges);
    page.gbTable->hide();

    page.sg = new TGridView(gridDef, FDocument, page.gbTable);
    page.sg->setGeometry(kGridRect);
    FAnchors->Add(page.sg, kAllEdges);

    for (const TTableButtonDef& def : kTableButtonDefs) {
        page.*def.Member =
            MakeButton(page.gbTable, "btn" + key + QString::fromLatin1(def.NameSuffix),
                       QString::fromUtf8(def.Caption), QString::fromUtf8(def.Hint), def.Geometry);
        FAnchors->Add(page.*def.Member, def.Anchors);
    }
}

void TfrmMain::CreateStatusLine(QWidget* client) {
    lblGameDir = new QLabel(QStringLiteral("Директория игры:"), client);
    lblGameDir->setObjectName(QStringLiteral("lblGameDir"));
    lblGameDir->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGameDir->setGeometry(6, 508, 124, 22);
    FAnchors->Add(lblGameDir, kBottomLeft);

    pnlGamePath = new QLabel(client);
    pnlGamePath->setObjectName(QStringLiteral("pnlGamePath"));
    pnlGamePath->setProperty("vclClass", QStringLiteral("TPanel"));
    pnlGamePath->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlGamePath->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlGamePath->setIndent(4);
    pnlGamePath->setGeometry(134, 508, 566, 22);
    FAnchors->Add(pnlGamePath, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    btnSelectGamePath = new QToolButton(client);
    btnSelectGamePath->setObjectName(QStringLiteral("btnSelectGamePath"));
    btnSelectGamePath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btnSelectGamePath->setToolTip(QStringLiteral("Выбрать директорию игры"));
    btnSelectGamePath->setGeometry(704, 508, 26, 22);
    FAnchors->Add(btnSelectGamePath, kBottomRight);
}

void TfrmMain::CreateButtons(QWidget* client) {
    for (const TButtonDef& def : kButtonDefs) {
        QPushButton* button =
            MakeButton(client, QString::fromLatin1(def.Name), QString::fromUtf8(def.Caption),
                       QString::fromUtf8(def.Hint), def.Geometry);
        button->setIcon(style()->standardIcon(def.Glyph));
        FAnchors->Add(button, def.Anchors);
        this->*def.Member = button;
    }
    connect(btnClose, &QPushButton::clicked, this, &TfrmMain::btnCloseClick);
    connect(btnView, &QPushButton::clicked, this, &TfrmMain::btnViewClick);
    connect(btnAbout, &QPushButton::clicked, this, &TfrmMain::btnAboutClick);
}

void TfrmMain::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuMain"));

    mnuFile = AddMenu(bar, "mnuFile", QStringLiteral("&Файл"));
    mnuFileSave =
        AddMenuItem(mnuFile, "mnuFileSave", QStringLiteral("&Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileReset = AddMenuItem(mnuFile, "mnuFileReset", QStringLiteral("&Отменить"),
                               QKeySequence(Qt::ALT | Qt::Key_Backspace));
    mnuFileBackup = AddMenuItem(mnuFile, "mnuFileBackup", QStringLiteral("&Архивация"),
                                QKeySequence(Qt::CTRL | Qt::Key_F5));
    mnuFileChanges = AddMenuItem(mnuFile, "mnuFileChanges", QStringLiteral("&Изменения..."),
                                 QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(mnuFileChanges, &QAction::triggered, this, &TfrmMain::mnuFileChangesClick);
    mnuFileSeparator = mnuFile->addSeparator();
    mnuFileSeparator->setObjectName(QStringLiteral("mnuFileSeparator"));
    mnuFileClose = AddMenuItem(mnuFile, "mnuFileClose", QStringLiteral("&Выход"));
    connect(mnuFileClose, &QAction::triggered, this, &TfrmMain::mnuFileCloseClick);

    CreateEditMenu(bar);
    CreateViewMenu(bar);

    mnuSettings = AddMenu(bar, "mnuSettings", QStringLiteral("&Настройки"));
    mnuSettingsGamePath =
        AddMenuItem(mnuSettings, "mnuSettingsGamePath", QStringLiteral("&Директория игры..."),
                    QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSettingsLanguage = mnuSettings->addMenu(QStringLiteral("&Язык"));
    mnuSettingsLanguage->setObjectName(QStringLiteral("mnuSettingsLanguage"));

    mnuHelp = AddMenu(bar, "mnuHelp", QStringLiteral("По&мощь"));
    mnuHelpAbout =
        AddMenuItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&О программе"), QKeySequence(Qt::Key_F1));
    connect(mnuHelpAbout, &QAction::triggered, this, &TfrmMain::mnuHelpAboutClick);
}

void TfrmMain::CreateNonVisual() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    CreateStatusNoteTimer();

    Translator1 = new TTranslator(this);
    Translator1->setObjectName(QStringLiteral("Translator1"));
    Translator1->SetTranslateOwner(false);
    Translator1->SetLanguageFileExt(QStringLiteral("*.xml"));
    Translator1->SetOwnerPropName(QStringLiteral("Caption"));
}

// Everything else is switched on and off as a block by the game-folder check.
void TfrmMain::MarkAlwaysUsable() {
    QObject* const alwaysUsable[] = {PageControl1,
                                     lblGameDir,
                                     pnlGamePath,
                                     btnSelectGamePath,
                                     btnAbout,
                                     btnClose,
                                     FViews->btnWeather_sky_texture,
                                     FViews->btnWeather_clouds_texture,
                                     Timer1,
                                     Translator1};
    for (QObject* object : alwaysUsable) {
        object->setProperty("tag", -1);
    }
}

void TfrmMain::ConnectRunHandlers() {
    connect(btnSelectGamePath, &QToolButton::clicked, this, &TfrmMain::btnSelectGamePathClick);
    connect(btnSaveSettings, &QPushButton::clicked, this, &TfrmMain::btnSaveSettingsClick);
    connect(btnResetSettings, &QPushButton::clicked, this, &TfrmMain::btnResetSettingsClick);
    connect(mnuSettingsGamePath, &QAction::triggered, this, &TfrmMain::mnuSettingsGamePathClick);
    connect(mnuFileSave, &QAction::triggered, this, &TfrmMain::mnuFileSaveClick);
    connect(mnuFileReset, &QAction::triggered, this, &TfrmMain::mnuFileResetClick);
}

void TfrmMain::btnAboutClick() {
    TfrmAbout::Execute(this, Translator1->Languages(), FSession.LanguageIndex());
}

void TfrmMain::mnuHelpAboutClick() {
    btnAboutClick();
}

void TfrmMain::ShowError(const QString& text) {
    FPlatform.MessageBox(this, QMessageBox::Critical, QStringLiteral("Kitwright"), text, QMessageBox::Ok);
}

bool TfrmMain::AskYesNo(const QString& caption, const QString& text, bool yesByDefault,
                        QMessageBox::Icon icon) {
    return FPlatform.Ask(this, icon, caption, text, {Variable(kYesAnswer), Variable(kNoAnswer)},
                         yesByDefault ? 0 : 1) == 0;
}

void TfrmMain::ShowWarning(const QString& text) {
    FPlatform.MessageBox(this, QMessageBox::Warning, FTexts.Get("rs_MsgExclamationCaption"), text,
                         QMessageBox::Ok);
}

} // namespace kw
