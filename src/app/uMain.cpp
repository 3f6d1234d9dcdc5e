#include "app/uMain.h"

#include "app/ProgramFiles.h"
#include "app/uProgress.h"
#include "catalog/GameFolder.h"
#include "catalog/PictureLoader.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/ProfileFile.h"
#include "translate/Translator.h"
#include "translate/uAbout.h"
#include "views/TableColumns.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <clocale>
#include <utility>

namespace kw {

namespace {

constexpr const char* kMainOptions = "MainOptions";
constexpr const char* kTableColumns = "TableColumns";

constexpr int kClientWidth = 736;
constexpr int kClientHeight = 571;
constexpr QRect kPageControlRect(6, 4, 724, 499);
constexpr QRect kViewBoxRect(QPoint(6, 6), kViewBoxSize);
constexpr int kTableButtonTop = kViewBoxSize.height() - 34;
constexpr QRect kGridRect(8, 22, kViewBoxSize.width() - 16, kTableButtonTop - 28);
constexpr int kGridRowHeight = 16;
constexpr qreal kGridHeaderPointSize = 7;

constexpr int kReadRun = 0;
constexpr int kWriteRun = 1;
const QColor kWarningColour(128, 0, 0);

// Run failures reported to the user; not among the window's fixed texts, so
// they are looked up directly and fall back to these.
const TextDef kSaveFailedText = {"rs_MsgSaveFailedText", "Не удалось записать следующие файлы:"};
const TextDef kSaveStoppedText = {"rs_MsgSaveStoppedText",
                                  "Запись остановлена: файлы после последнего из них не записаны."};

// Each menu item that copies the enabled state of its button.
const std::pair<QAction * TfrmMain::*, QPushButton * TfrmMain::*> kMirroredMenuItems[] = {
    {&TfrmMain::mnuFileSave, &TfrmMain::btnSaveSettings},
    {&TfrmMain::mnuFileReset, &TfrmMain::btnResetSettings},
    {&TfrmMain::mnuFileBackup, &TfrmMain::btnBackup},
};

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
};

const TTableButtonDef kTableButtonDefs[] = {
    {&TCatalogPage::btnTableSave, "TableSave", "Сохранить", "", QRect(8, kTableButtonTop, 100, 26)},
    {&TCatalogPage::btnTableRefresh, "TableRefresh", "Обновить", "", QRect(114, kTableButtonTop, 100, 26)},
    {&TCatalogPage::btnImport, "Import", "Импорт...", "Импорт данных из Excel",
     QRect(484, kTableButtonTop, 100, 26)},
    {&TCatalogPage::btnExport, "Export", "Экспорт...", "Экспорт данных в Excel",
     QRect(590, kTableButtonTop, 106, 26)},
};

struct TButtonDef {
    QPushButton* TfrmMain::*Member;
    const char* Name;
    const char* Caption;
    const char* Hint;
    QStyle::StandardPixmap Glyph;
    QRect Geometry;
};

const TButtonDef kButtonDefs[] = {
    {&TfrmMain::btnSaveSettings, "btnSaveSettings", "Сохранить", "Сохранить все изменения",
     QStyle::SP_DialogSaveButton, QRect(6, 538, 112, 28)},
    {&TfrmMain::btnResetSettings, "btnResetSettings", "Отменить", "Отменить сделанные изменения",
     QStyle::SP_BrowserReload, QRect(124, 538, 112, 28)},
    {&TfrmMain::btnBackup, "btnBackup", "Архивация", "Создать резервные копии редактируемых файлов",
     QStyle::SP_DriveHDIcon, QRect(242, 538, 112, 28)},
    {&TfrmMain::btnAbout, "btnAbout", "Инфо", "Информация о программе", QStyle::SP_MessageBoxInformation,
     QRect(512, 538, 106, 28)},
    {&TfrmMain::btnClose, "btnClose", "Выход", "Выйти из программы", QStyle::SP_DialogCloseButton,
     QRect(624, 538, 106, 28)},
    // In the gap of the bottom row: the pages leave no room beside the view boxes.
    {&TfrmMain::btnView, "btnView", "", "", QStyle::SP_FileDialogDetailedView, QRect(378, 538, 110, 28)},
};

std::string ColumnKey(const TGridDef& grid, int column) {
    return grid.Name + std::to_string(column);
}

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

// Many columns default to 34 or 40 pixels: a smaller font and two wrapped lines
// let captions such as "цвет неба" show whole.
void FitHeaderToNarrowColumns(QHeaderView* header) {
    QFont font = header->font();
    font.setPointSizeF(kGridHeaderPointSize);
    header->setFont(font);
    header->setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    header->setFixedHeight(2 * QFontMetrics(font).lineSpacing() + 6);
}

// The hourglass for the length of a scope, restored also when it is left by an exception.
class TWaitCursor {
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QString PathText(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

// A path that holds a blank, a control character, a comma or a double quote
// is quoted, inner quotes doubled, so that where it starts and ends stays clear.
QString QuotedWhereNeeded(const std::string& path) {
    const bool needsQuotes = std::any_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || byte == 0x7f || c == ',' || c == '"';
    });
    if (!needsQuotes) {
        return PathText(path);
    }
    QString quoted = PathText(path);
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Widgets of the window's own that the game-folder check switches as a block:
// named ones (the toolkit names its inner parts "qt_..."), not marked with tag
// -1, and neither the menu nor part of another window such as a dialog.
bool IsSwitchedWithGameFiles(const QWidget* widget, const QWidget* window) {
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && widget->window() == window &&
           widget->property("tag").toInt() != -1 && !qobject_cast<const QMenuBar*>(widget);
}

// The saver names the file in most reasons already.
QString SaveFailureLine(const TSaveFailure& failure) {
    const QString file = PathText(failure.File);
    const QString reason = PathText(failure.Reason);
    return reason.contains(file) ? reason : file + QStringLiteral(": ") + reason;
}

} // namespace

TfrmMain::TfrmMain(std::string exeFolder, TPlatform* platform)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      FExeFolder(std::move(exeFolder)), FPlatform(platform ? *platform : DefaultPlatform()) {
    setObjectName(QStringLiteral("frmMain"));
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(kPageControlRect);
    CreatePages();
    CreateStandardViews();
    CreateStatusLine(client);
    CreateButtons(client);
    CreateMenu();
    CreateNonVisual();
    MarkAlwaysUsable();
    ConnectRunHandlers();
    FCatalog.OnLoaded = [this] { PopulateLists(); };
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

TfrmMain::~TfrmMain() {
    // Controls that lose the focus while they are destroyed have nothing left to store into.
    FExitHookPages.clear();
    FormDestroy();
}

// ---- Frame ----

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

    page.gbTable = new QGroupBox(QStringLiteral("Табличный вид"), page.ts);
    page.gbTable->setObjectName(QStringLiteral("gb%1Table").arg(key));
    page.gbTable->setGeometry(kViewBoxRect);
    page.gbTable->hide();

    page.sg = new QTableWidget(0, gridDef.ColumnCount(), page.gbTable);
    page.sg->setObjectName(QString::fromLatin1(gridDef.Name));
    page.sg->setGeometry(kGridRect);
    page.sg->verticalHeader()->hide();
    page.sg->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    page.sg->horizontalHeader()->setHighlightSections(false);
    FitHeaderToNarrowColumns(page.sg->horizontalHeader());

    for (const TTableButtonDef& def : kTableButtonDefs) {
        page.*def.Member =
            MakeButton(page.gbTable, "btn" + key + QString::fromLatin1(def.NameSuffix),
                       QString::fromUtf8(def.Caption), QString::fromUtf8(def.Hint), def.Geometry);
    }
}

void TfrmMain::CreateStandardViews() {
    TStandardViews::TBoxes boxes{};
    for (int index = 0; index < kPageCount; ++index) {
        boxes[index] = Pages[index].gbNormal;
    }
    FViews = std::make_unique<TStandardViews>(boxes, FCatalog);
    cboWeapons_silencer_status = FViews->cboWeapons_silencer_status;
    cboWeapons_scope_status = FViews->cboWeapons_scope_status;
    cboWeapons_grenade_launcher_status = FViews->cboWeapons_grenade_launcher_status;
    cboWeather_thunderbolt = FViews->cboWeather_thunderbolt;
    cboWeather_env_ambient = FViews->cboWeather_env_ambient;
    FViews->OnRefreshViews = [this] { RefreshViews(false); };
    connect(FViews.get(), &TStandardViews::conversionError, this, &TfrmMain::ShowError);
    connect(FViews.get(), &TStandardViews::inputRefused, this, &TfrmMain::ShowWarning);
    BindExitHook();
}

// A page's edits are stored into the entry of the page that owns the control,
// not of the active page: a page switch (a tab click, Ctrl+Tab) makes the new
// page active before the hidden control loses the focus.
void TfrmMain::BindExitHook() {
    for (QWidget* control : FViews->ExitHookControls()) {
        for (int index = 0; index < kPageCount; ++index) {
            if (Pages[index].gbNormal->isAncestorOf(control)) {
                FExitHookPages.insert(control, index);
                control->installEventFilter(this);
            }
        }
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // Opening a drop-down list or a menu, or another window coming to the
    // front, does not leave the control.
    const auto leaves = [](const QFocusEvent* focus) {
        return focus->reason() != Qt::PopupFocusReason && focus->reason() != Qt::ActiveWindowFocusReason;
    };
    if (event->type() == QEvent::FocusOut && leaves(static_cast<QFocusEvent*>(event))) {
        if (const auto found = FExitHookPages.constFind(watched); found != FExitHookPages.constEnd()) {
            CollectPage(*found);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::CreateStatusLine(QWidget* client) {
    lblGameDir = new QLabel(QStringLiteral("Директория игры:"), client);
    lblGameDir->setObjectName(QStringLiteral("lblGameDir"));
    lblGameDir->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGameDir->setGeometry(6, 508, 124, 22);

    pnlGamePath = new QLabel(client);
    pnlGamePath->setObjectName(QStringLiteral("pnlGamePath"));
    pnlGamePath->setProperty("vclClass", QStringLiteral("TPanel"));
    pnlGamePath->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlGamePath->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlGamePath->setIndent(4);
    pnlGamePath->setGeometry(134, 508, 566, 22);

    btnSelectGamePath = new QToolButton(client);
    btnSelectGamePath->setObjectName(QStringLiteral("btnSelectGamePath"));
    btnSelectGamePath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btnSelectGamePath->setToolTip(QStringLiteral("Выбрать директорию игры"));
    btnSelectGamePath->setGeometry(704, 508, 26, 22);
}

void TfrmMain::CreateButtons(QWidget* client) {
    for (const TButtonDef& def : kButtonDefs) {
        QPushButton* button =
            MakeButton(client, QString::fromLatin1(def.Name), QString::fromUtf8(def.Caption),
                       QString::fromUtf8(def.Hint), def.Geometry);
        button->setIcon(style()->standardIcon(def.Glyph));
        this->*def.Member = button;
    }
    connect(btnClose, &QPushButton::clicked, this, &TfrmMain::btnCloseClick);
    connect(btnView, &QPushButton::clicked, this, &TfrmMain::btnViewClick);
    connect(btnAbout, &QPushButton::clicked, this, &TfrmMain::btnAboutClick);
}

void TfrmMain::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuMain"));

    mnuFile = AddMenu(bar, "mnuFile", QStringLiteral("Файл"));
    mnuFileSave =
        AddMenuItem(mnuFile, "mnuFileSave", QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileReset = AddMenuItem(mnuFile, "mnuFileReset", QStringLiteral("Отменить"),
                               QKeySequence(Qt::ALT | Qt::Key_Backspace));
    mnuFileBackup = AddMenuItem(mnuFile, "mnuFileBackup", QStringLiteral("Архивация"),
                                QKeySequence(Qt::CTRL | Qt::Key_F5));
    mnuFileSeparator = mnuFile->addSeparator();
    mnuFileSeparator->setObjectName(QStringLiteral("mnuFileSeparator"));
    mnuFileClose = AddMenuItem(mnuFile, "mnuFileClose", QStringLiteral("Выход"));
    connect(mnuFileClose, &QAction::triggered, this, &TfrmMain::mnuFileCloseClick);

    mnuSettings = AddMenu(bar, "mnuSettings", QStringLiteral("Настройки"));
    mnuSettingsGamePath =
        AddMenuItem(mnuSettings, "mnuSettingsGamePath", QStringLiteral("Директория игры..."),
                    QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSettingsLanguage = mnuSettings->addMenu(QStringLiteral("Язык"));
    mnuSettingsLanguage->setObjectName(QStringLiteral("mnuSettingsLanguage"));

    mnuHelp = AddMenu(bar, "mnuHelp", QStringLiteral("Помощь"));
    mnuHelpAbout =
        AddMenuItem(mnuHelp, "mnuHelpAbout", QStringLiteral("О программе"), QKeySequence(Qt::Key_F1));
    connect(mnuHelpAbout, &QAction::triggered, this, &TfrmMain::mnuHelpAboutClick);
}

void TfrmMain::CreateNonVisual() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);

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

// ---- Start-up ----

void TfrmMain::FormCreate() {
    std::setlocale(LC_NUMERIC, "C");
    setWindowTitle(QStringLiteral("Kitwright version 1.05"));
    FillWeatherChoices();
    FillAddonStatusCombos();
    FillTableHeaders();
    OpenSettingsFile();
    RestorePosition();
    RestoreViewType();
    RestoreActivePage();
    RestoreColumnWidths();
    RegisterTranslationRules();
    BuildLanguageMenu();
    ApplyStoredLanguage();
    // The stored view was inverted above; one toggle brings every page to it.
    ToggleView();
    ReadGamePath();
    // A first start takes the localization from the game. Its backup question
    // will come between the check and the load, once backups exist.
    CheckAndLoadGameFolder(AskGamePathOnFirstStart());
}

void TfrmMain::FillWeatherChoices() {
    FWeatherChoices = std::make_unique<ProfileFile>(FExeFolder + "weather.ini");
    const auto valuesOf = [this](const char* section) {
        QStringList values;
        for (const std::string& line : FWeatherChoices->ReadSectionValues(section)) {
            values << QString::fromStdString(Cp1251ToUtf8(line.substr(line.find('=') + 1)));
        }
        return values;
    };
    FViews->SetWeatherChoices(valuesOf("thunderbolt"), valuesOf("env_ambient"));
}

void TfrmMain::OpenSettingsFile() {
    const std::string path = ProgramFilePath(FExeFolder, SettingsFileName());
    if (!fs::FileExists(path)) {
        fs::AtomicReplace(path, std::string());
    }
    FSettingsFile = std::make_unique<ProfileFile>(path);
    FSettingsFile->SetCreateIfMissing(true);
}

QPoint TfrmMain::CentredOnPrimaryScreen() const {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize window = frameGeometry().size();
    return {screen.x() + screen.width() / 2 - window.width() / 2,
            screen.y() + screen.height() / 2 - window.height() / 2};
}

// A position stored while another monitor was attached may lie on no screen
// now; such a window could not be reached, so it is centred instead.
void TfrmMain::RestorePosition() {
    const QPoint centre = CentredOnPrimaryScreen();
    const QPoint stored(FSettingsFile->ReadInteger(kMainOptions, "FormX", centre.x()),
                        FSettingsFile->ReadInteger(kMainOptions, "FormY", centre.y()));
    move(QGuiApplication::screenAt(stored) ? stored : centre);
}

void TfrmMain::RestoreViewType() {
    FStandardView = !FSettingsFile->ReadBool(kMainOptions, "ViewType", true);
    ShowStandardBoxes(FStandardView);
}

void TfrmMain::RestoreActivePage() {
    PageControl1->setCurrentIndex(FSettingsFile->ReadInteger(kMainOptions, "ActiveTabIndex", 0));
}

void TfrmMain::RestoreColumnWidths() {
    for (int index = 0; index < kPageCount; ++index) {
        const TGridDef& grid = kGridDefs[index];
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            const int def = column == 0 ? kNameColumnWidth : grid.DefaultWidth;
            Pages[index].sg->setColumnWidth(
                column, FSettingsFile->ReadInteger(kTableColumns, ColumnKey(grid, column), def));
        }
    }
}

void TfrmMain::RegisterTranslationRules() {
    Translator1->AddClassRule(QStringLiteral("TBitBtn"), QStringLiteral("Caption,Hint"));
    for (const char* className : {"TLabel", "TGroupBox", "TCheckBox", "TMenuItem", "TPanel", "TTabSheet"}) {
        Translator1->AddClassRule(QString::fromLatin1(className), QStringLiteral("Caption"));
    }
    for (const char* className : {"TOpenDialog", "TSaveDialog"}) {
        Translator1->AddClassRule(QString::fromLatin1(className), QStringLiteral("Title"));
    }
    // Picture buttons keep their glyph-only face; their hints are translated.
    for (const char* name : {"btnSelectGamePath", "btnWeaponsSilencer", "btnWeaponsScope",
                             "btnWeaponsGrenLnch", "btnWeather_sky_texture", "btnWeather_clouds_texture"}) {
        Translator1->AddExclusion(QString::fromLatin1(name), QStringLiteral("Caption"));
    }
    // These show data, not interface texts.
    for (const char* name :
         {"pnlGamePath", "pnlWeapons_ammo_class", "pnlWeaponsName", "pnlAmmoName", "pnlOutfitsName",
          "pnlArtsName", "pnlItemsName", "pnlWeatherTime", "mnuFileSeparator"}) {
        Translator1->AddExclusion(QString::fromLatin1(name), QString());
    }
}

void TfrmMain::BuildLanguageMenu() {
    const QString folder = QString::fromStdString(fs::Resolve(FExeFolder + "Lang"));
    for (const QString& message : Translator1->LoadLanguages(folder)) {
        ShowError(message);
    }
    auto* group = new QActionGroup(mnuSettingsLanguage);
    for (int index = 0; index < Translator1->LanguageCount(); ++index) {
        QAction* item = mnuSettingsLanguage->addAction(Translator1->LanguageName(index));
        item->setCheckable(true);
        item->setActionGroup(group);
        connect(item, &QAction::triggered, this, [this, item] { ApplyLanguage(item); });
    }
    if (mnuSettingsLanguage->isEmpty()) {
        mnuSettingsLanguage->addAction(QStringLiteral("Пустой список"))->setEnabled(false);
    }
}

void TfrmMain::ApplyStoredLanguage() {
    const QString name =
        QString::fromStdString(FSettingsFile->ReadString(kMainOptions, "Language", "English"));
    const int index = Translator1->IndexOfLanguage(name);
    if (index >= 0) {
        mnuSettingsLanguage->actions().at(index)->trigger();
    }
}

void TfrmMain::ReadGamePath() {
    FGamePath = FSettingsFile->ReadString(kMainOptions, "GamePath", "");
}

// True on a first start, whether or not a folder was then chosen.
bool TfrmMain::AskGamePathOnFirstStart() {
    if (!PathText(FGamePath).trimmed().isEmpty()) {
        return false;
    }
    FPlatform.MessageBox(this, QMessageBox::Warning, FTexts.Get("rs_MsgExclamationCaption"),
                         FTexts.Get("rs_MsgExtractFilesText"), QMessageBox::Ok);
    ChooseGamePath();
    return true;
}

// ---- Game folder ----

void TfrmMain::btnSelectGamePathClick() {
    if (ChooseGamePath()) {
        CheckAndLoadGameFolder(true);
    }
}

void TfrmMain::mnuSettingsGamePathClick() {
    btnSelectGamePathClick();
}

// A cancelled choice changes nothing; an accepted one becomes GamePath before
// it is checked, so a rejected folder is still what the settings keep.
bool TfrmMain::ChooseGamePath() {
    const QString chosen = FPlatform.ChooseFolder(this, FTexts.Get("rs_SelectGamePath")).trimmed();
    if (chosen.isEmpty()) {
        return false;
    }
    FGamePath = fs::WithTrailingSeparator(chosen.toStdString());
    return true;
}

void TfrmMain::CheckAndLoadGameFolder(bool newFolder) {
    FRequiredFiles = BuildRequiredFiles(FGamePath);
    if (CheckGameFiles(FRequiredFiles)) {
        LoadGameData(newFolder);
    }
}

bool TfrmMain::CheckGameFiles(const std::vector<std::string>& files) {
    const std::vector<std::string> missing = MissingFiles(files);
    const bool ready = missing.empty();
    if (!ready) {
        pnlGamePath->clear();
        try {
            ReportMissingFiles(missing);
        } catch (...) {
            ApplyGameFilesState(false);
            throw;
        }
    }
    ApplyGameFilesState(ready);
    return ready;
}

void TfrmMain::ReportMissingFiles(const std::vector<std::string>& missing) {
    QStringList lines;
    for (const std::string& file : missing) {
        lines << QuotedWhereNeeded(fs::Resolve(file));
    }
    FPlatform.MessageBox(this, QMessageBox::Critical, FTexts.Get("rs_MsgCannotFindFilesCaption"),
                         FTexts.Get("rs_MsgCannotFindFilesText") + QStringLiteral("\r\n") +
                             lines.join(QStringLiteral("\r\n")),
                         QMessageBox::Ok);
}

void TfrmMain::ApplyGameFilesState(bool ready) {
    QPalette palette = pnlGamePath->palette();
    palette.setColor(QPalette::WindowText,
                     ready ? QApplication::palette(pnlGamePath).color(QPalette::WindowText) : kWarningColour);
    pnlGamePath->setPalette(palette);
    if (ready) {
        Timer1->stop();
    } else {
        Timer1->start();
    }
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (IsSwitchedWithGameFiles(widget, this)) {
            widget->setEnabled(ready);
        }
    }
    if (ready) {
        FViews->SyncDependentControls();
    }
    for (const auto& [item, button] : kMirroredMenuItems) {
        (this->*item)->setEnabled((this->*button)->isEnabled());
    }
}

// One second the warning, one second nothing.
void TfrmMain::Timer1Timer() {
    if (pnlGamePath->text().isEmpty()) {
        pnlGamePath->setText(FTexts.Get("rs_CannotFindGameFiles"));
    } else {
        pnlGamePath->clear();
    }
}

// ---- Load and save runs ----

// An error before the progress window (a malformed string table) ends the
// load like an error inside it: one message, and the catalogs are not read.
void TfrmMain::LoadGameData(bool newFolder) {
    pnlGamePath->setText(PathText(FGamePath));
    TStringTables tables;
    TLoadPreparation preparation;
    try {
        preparation = PrepareFullLoad(FGamePath, newFolder, StoredLocalization(), tables);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    FLocalizationPath = preparation.LocalizationPath;
    FStringTableFiles = std::move(preparation.StringTableFiles);
    FStringTables = std::move(tables);
    FLoadSource = TLoadSource{FGamePath, FRequiredFiles, std::move(preparation.WeaponFiles)};
    TPictureLists pictures;
    LoadAllPictures(pictures, FExeFolder);
    RunLoad(&pictures);
}

std::string TfrmMain::StoredLocalization() const {
    return FSettingsFile->ReadString(kMainOptions, "LocalizationPath", kDefaultLocalization);
}

void TfrmMain::RunLoad(TPictureLists* freshPictures) {
    const TLoadSource& source = *FLoadSource;
    // The loader strikes files from the list it is given; the listed ones stay
    // for the next reload.
    std::vector<std::string> weaponFiles = source.WeaponFiles;
    const QString error = RunBehindProgress(kReadRun, [&] {
        if (freshPictures) {
            // The old entries point into the old pictures; the loader drops
            // those entries before it reads anything.
            FPictures = std::move(*freshPictures);
        }
        LoadCatalogs(FCatalog, source.GamePath, source.RequiredFiles, weaponFiles, FStringTables, FPictures);
    });
    if (!error.isEmpty()) {
        // The loader stopped before its end notification; the lists must not
        // keep showing entries it has dropped.
        PopulateLists();
        ShowError(error);
    }
    ReportConversionErrors();
}

void TfrmMain::ReportConversionErrors() {
    if (!FConversionErrors.isEmpty()) {
        ShowError(std::exchange(FConversionErrors, {}).join(QStringLiteral("\r\n")));
    }
}

void TfrmMain::btnResetSettingsClick() {
    if (FLoadSource) {
        RunLoad(nullptr);
    }
}

void TfrmMain::mnuFileResetClick() {
    btnResetSettingsClick();
}

void TfrmMain::btnSaveSettingsClick() {
    TSaveReport report;
    const QString error = RunBehindProgress(kWriteRun, [&] { report = SaveCatalogs(FCatalog); });
    if (!error.isEmpty()) {
        ShowError(error);
    } else if (!report.Ok()) {
        ReportSaveFailures(report);
    }
}

// A shortcut may come while the focus is still in an edited field.
void TfrmMain::mnuFileSaveClick() {
    CollectActivePage();
    btnSaveSettingsClick();
}

QString TfrmMain::RunBehindProgress(int mode, const std::function<void()>& run) {
    QString error;
    auto* form = new TfrmProgress(this, Translator1->Languages(), FLanguageIndex,
                                  [this] { return FPlatform.Now().toMSecsSinceEpoch(); });
    try {
        form->StartRun(mode, [&] {
            try {
                run();
            } catch (const std::exception& e) {
                error = QString::fromUtf8(e.what());
            } catch (...) {
                error = QStringLiteral("Unknown error");
            }
        });
    } catch (...) {
        delete form;
        throw;
    }
    form->exec(); // the window frees itself when it closes
    return error;
}

void TfrmMain::ReportSaveFailures(const TSaveReport& report) {
    QStringList lines{Variable(kSaveFailedText)};
    for (const TSaveFailure& failure : report.Failures) {
        lines << SaveFailureLine(failure);
    }
    if (report.Stopped) {
        lines << Variable(kSaveStoppedText);
    }
    ShowError(lines.join(QStringLiteral("\r\n")));
}

QString TfrmMain::Variable(const TextDef& text) const {
    return Translator1->GetVariable(FLanguageIndex, QString::fromUtf8(text.Key),
                                    QString::fromUtf8(text.Default));
}

// A message box in the middle of a load run would stop it, so the values that
// could not be shown wait for its end.
void TfrmMain::PopulateLists() {
    ApplyInfoPrefixes();
    FConversionErrors += FViews->PopulateLists();
}

// ---- Language ----

void TfrmMain::ApplyLanguage(QAction* item) {
    // A radio item is already checked when its trigger arrives, so the applied
    // language is told by its position.
    const int position = static_cast<int>(mnuSettingsLanguage->actions().indexOf(item));
    if (position == FLanguageIndex) {
        return;
    }
    TWaitCursor wait;
    CollectActivePage();
    item->setChecked(true);
    FLanguageIndex = position;
    Translator1->Translate(FLanguageIndex);
    FTexts.Fetch(*Translator1, FLanguageIndex);
    ApplyTableButtonTexts();
    FillAddonStatusCombos();
    FillTableHeaders();
    ApplyGroupBoxCaptions();
    RefreshViews(false);
    UpdateViewButton(FStandardView);
}

void TfrmMain::ApplyTableButtonTexts() {
    for (TCatalogPage& page : Pages) {
        page.btnTableSave->setText(FTexts.Get("rs_TableSaveCaption"));
        page.btnTableRefresh->setText(FTexts.Get("rs_TableRefreshCaption"));
        page.btnImport->setText(FTexts.Get("rs_TableImportCaption"));
        page.btnImport->setToolTip(FTexts.Get("rs_TableImportHint"));
        page.btnExport->setText(FTexts.Get("rs_TableExportCaption"));
        page.btnExport->setToolTip(FTexts.Get("rs_TableExportHint"));
    }
}

void TfrmMain::ApplyGroupBoxCaptions() {
    for (TCatalogPage& page : Pages) {
        page.gbNormal->setTitle(FTexts.Get("rs_StandartView"));
        page.gbTable->setTitle(FTexts.Get("rs_TableView"));
    }
}

// Item index equals the addon status value 0, 1, 2.
void TfrmMain::FillAddonStatusCombos() {
    FViews->FillAddonStatusCombos(
        {FTexts.Get("rs_AddonStatus_0"), FTexts.Get("rs_AddonStatus_1"), FTexts.Get("rs_AddonStatus_2")});
}

void TfrmMain::FillTableHeaders() {
    for (int index = 0; index < kPageCount; ++index) {
        const TGridDef& grid = kGridDefs[index];
        QStringList headers;
        for (const TColumnDef& column : grid.Columns) {
            headers << Translator1->GetVariable(FLanguageIndex, QString::fromLatin1(column.HeaderKey),
                                                QString::fromUtf8(column.DefaultHeader));
        }
        Pages[index].sg->setHorizontalHeaderLabels(headers);
    }
}

void TfrmMain::UpdateViewButton(bool standard) {
    btnView->setText(FTexts.Get(standard ? "rs_btnViewCaptionTable" : "rs_btnViewCaptionStandart"));
    btnView->setToolTip(FTexts.Get(standard ? "rs_btnViewHintTable" : "rs_btnViewHintStandart"));
}

// ---- Views ----

// A shortcut or a menu does not move the focus, so their commands call this
// before they act. While the table view is shown the views hold no entry (see
// RefreshViews), so nothing older than the catalog is written.
void TfrmMain::CollectActivePage() {
    CollectPage(PageControl1->currentIndex());
}

void TfrmMain::CollectPage(int page) {
    if (QListWidget* list = FViews->ListBox(page)) {
        FViews->Collect(page, list->currentRow());
    }
}

void TfrmMain::RefreshViews(bool toggle) {
    if (toggle) {
        ToggleView();
    }
    if (FStandardView) {
        ShowSelectedEntries();
    } else {
        // The hidden controls keep what they showed; the grids may store newer values.
        FViews->ForgetShownEntries();
        FillTables();
    }
}

void TfrmMain::ShowSelectedEntries() {
    ApplyInfoPrefixes();
    for (int page = 0; page < kPageCount; ++page) {
        FViews->Show(page, FViews->ListBox(page)->currentRow());
    }
}

void TfrmMain::ApplyInfoPrefixes() {
    FViews->SetInfoPrefixes(FTexts.Get("rs_FileName"), FTexts.Get("rs_SectionName"), FTexts.Get("rs_InvName"),
                            FTexts.Get("rs_Visual"));
}

void TfrmMain::FillTables() {}

void TfrmMain::ToggleView() {
    FStandardView = !FStandardView;
    ShowStandardBoxes(FStandardView);
    ShowTableBoxes(!FStandardView);
    UpdateViewButton(FStandardView);
}

void TfrmMain::ShowStandardBoxes(bool visible) {
    for (TCatalogPage& page : Pages) {
        page.gbNormal->setVisible(visible);
    }
}

void TfrmMain::ShowTableBoxes(bool visible) {
    for (TCatalogPage& page : Pages) {
        page.gbTable->setVisible(visible);
    }
}

void TfrmMain::btnViewClick() {
    RefreshViews(true);
}

void TfrmMain::btnAboutClick() {
    TfrmAbout::Execute(this, Translator1->Languages(), FLanguageIndex);
}

void TfrmMain::mnuHelpAboutClick() {
    btnAboutClick();
}

// ---- Closing ----

void TfrmMain::btnCloseClick() {
    close();
}

void TfrmMain::mnuFileCloseClick() {
    close();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

// Settings that cannot be written are reported, but never keep the window open.
void TfrmMain::FormClose() {
    if (!FSettingsFile) {
        return;
    }
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        FSettingsFile->DiscardPending();
        QString text = QString::fromUtf8(error.what());
        const QString path = QString::fromStdString(FSettingsFile->Path());
        if (!text.contains(path)) {
            text = path + QStringLiteral(":\n") + text;
        }
        ShowError(text);
    }
}

void TfrmMain::WriteSettings() {
    ProfileFile& settings = *FSettingsFile;
    settings.WriteInteger(kMainOptions, "FormX", x());
    settings.WriteInteger(kMainOptions, "FormY", y());
    settings.WriteBool(kMainOptions, "ViewType", FStandardView);
    settings.WriteInteger(kMainOptions, "ActiveTabIndex", PageControl1->currentIndex());
    settings.WriteString(kMainOptions, "GamePath", FGamePath);
    settings.WriteString(kMainOptions, "LocalizationPath", FLocalizationPath);
    if (FLanguageIndex >= 0) {
        settings.WriteString(kMainOptions, "Language",
                             Translator1->LanguageName(FLanguageIndex).toStdString());
    }
    for (int index = 0; index < kPageCount; ++index) {
        const TGridDef& grid = kGridDefs[index];
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            settings.WriteInteger(kTableColumns, ColumnKey(grid, column),
                                  Pages[index].sg->columnWidth(column));
        }
    }
    settings.Flush();
}

// Child widgets go with the window; the files are closed here.
void TfrmMain::FormDestroy() {
    FSettingsFile.reset();
    FWeatherChoices.reset();
}

std::string TfrmMain::SettingsFilePath() const {
    return FSettingsFile ? FSettingsFile->Path() : std::string();
}

void TfrmMain::ShowError(const QString& text) {
    FPlatform.MessageBox(this, QMessageBox::Critical, QStringLiteral("Kitwright"), text, QMessageBox::Ok);
}

void TfrmMain::ShowWarning(const QString& text) {
    FPlatform.MessageBox(this, QMessageBox::Warning, FTexts.Get("rs_MsgExclamationCaption"), text,
                         QMessageBox::Ok);
}

} // namespace kw
