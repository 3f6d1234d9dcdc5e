// The main window's start-up sequence and closing, with the settings file they read and write.

#include "app/uMain.h"

#include "app/ProgramFiles.h"
#include "catalog/GameFolder.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/ValueList.h"
#include "interchange/TableColumns.h"
#include "translate/Translator.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <array>
#include <clocale>
#include <string>

namespace kw {

namespace {

constexpr const char* kMainOptions = "MainOptions";
constexpr const char* kTableColumns = "TableColumns";

// One walk for reading and writing, so that both use the same keys. visit gets
// the grid, the column, the column's settings key and its default width.
template <typename Visit>
void ForEachColumn(const std::array<TCatalogPage, TfrmMain::kPageCount>& pages, Visit visit) {
    for (int index = 0; index < TfrmMain::kPageCount; ++index) {
        const TGridDef& grid = kGridDefs[index];
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            visit(*pages[index].sg, column, grid.Name + std::to_string(column),
                  column == 0 ? kNameColumnWidth : grid.DefaultWidth);
        }
    }
}

// The title bar's height is known only once the window is shown; this is
// the usual one.
constexpr int kTitleBarHeight = 24;
// What the mouse needs to grab a title bar.
constexpr QSize kGrabArea(100, 10);

// True when a piece of the title bar large enough to grab lies on one screen,
// clear of task bars.
bool TitleBarReachable(const QRect& titleBar) {
    const QSize grab = kGrabArea.boundedTo(titleBar.size());
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        const QRect visible = titleBar.intersected(screen->availableGeometry());
        return visible.width() >= grab.width() && visible.height() >= grab.height();
    });
}

} // namespace

void TfrmMain::FormCreate() {
    {
        // The window appears once it stands where it was left, in the chosen language and view, and before
        // the folder question and the load, which it owns. A step that fails shows it as far as it got.
        const auto appear = qScopeGuard([this] { show(); });
        std::setlocale(LC_NUMERIC, "C");
        setWindowTitle(QStringLiteral("Kitwright version 1.05[*]"));
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
    }
    ReadGamePath();
    // A first start takes the localization from the game and asks for a backup
    // between the check and the load.
    const bool firstStart = AskGamePathOnFirstStart();
    CheckAndLoadGameFolder(firstStart, firstStart);
}

void TfrmMain::FillWeatherChoices() {
    FWeatherChoices = std::make_unique<ProfileFile>(FExeFolder + "weather.ini");
    const auto valuesOf = [this](const char* section) {
        QStringList values;
        for (const std::string& value : ReadValueList(*FWeatherChoices, section)) {
            values << QString::fromStdString(Cp1251ToUtf8(value));
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

// A position stored while another monitor was attached, or with the window
// pushed against an edge, may leave too little of the title bar on any screen
// to drag the window back; such a window is centred instead.
void TfrmMain::RestorePosition() {
    const QPoint centre = CentredOnPrimaryScreen();
    const QPoint stored(FSettingsFile->ReadInteger(kMainOptions, "FormX", centre.x()),
                        FSettingsFile->ReadInteger(kMainOptions, "FormY", centre.y()));
    move(TitleBarReachable(QRect(stored, QSize(frameGeometry().width(), kTitleBarHeight))) ? stored : centre);
}

void TfrmMain::RestoreViewType() {
    FStandardView = !FSettingsFile->ReadBool(kMainOptions, "ViewType", true);
    ShowStandardBoxes(FStandardView);
}

void TfrmMain::RestoreActivePage() {
    PageControl1->setCurrentIndex(FSettingsFile->ReadInteger(kMainOptions, "ActiveTabIndex", 0));
}

void TfrmMain::RestoreColumnWidths() {
    ForEachColumn(Pages, [this](QTableWidget& sg, int column, const std::string& key, int width) {
        sg.setColumnWidth(column, FSettingsFile->ReadInteger(kTableColumns, key, width));
    });
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

std::string TfrmMain::StoredLocalization() const {
    return FSettingsFile->ReadString(kMainOptions, "LocalizationPath", kDefaultLocalization);
}

void TfrmMain::btnCloseClick() {
    close();
}

void TfrmMain::mnuFileCloseClick() {
    btnCloseClick();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (FRunning || !MayClose()) {
        event->ignore();
        return;
    }
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
    settings.WriteString(kMainOptions, "LocalizationPath", LocalizationPath());
    if (FLanguageIndex >= 0) {
        settings.WriteString(kMainOptions, "Language",
                             Translator1->LanguageName(FLanguageIndex).toStdString());
    }
    ForEachColumn(Pages, [&settings](const QTableWidget& sg, int column, const std::string& key, int) {
        settings.WriteInteger(kTableColumns, key, sg.columnWidth(column));
    });
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

} // namespace kw
