// The main window's start-up sequence and closing, with the settings file they read and write.

#include "app/uMain.h"

#include "app/MainInternal.h"
#include "app/ProgramFiles.h"
#include "catalog/GameFolder.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/ValueList.h"
#include "interchange/TableColumns.h"
#include "translate/Translator.h"

#include "Version.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <array>
#include <clocale>
#include <string>
#include <utility>

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
        setWindowTitle(QString::fromLatin1(kVersionLine) + QStringLiteral("[*]"));
        FillWeatherChoices();
        FillAddonStatusCombos();
        FillTableHeaders();
        OpenSettingsFile();
        // The size first: the window is centred and its title bar checked at the size it opens with.
        RestoreSize();
        RestorePosition();
        RestoreMaximized();
        RestoreViewType();
        RestoreActivePage();
        RestoreColumnWidths();
        RestoreChartChoices();
        RegisterTranslationRules();
        BuildLanguageMenu();
        ApplyStoredLanguage();
        // The stored view was inverted above; one toggle brings every page to it.
        ToggleView();
    }
    ReadGamePath();
    if (!FStartFolder.empty()) {
        const bool firstStart = PathText(FSession.GamePath()).trimmed().isEmpty();
        FSession.SetGamePath(FStartFolder);
        FKeepStoredGamePath = !CheckAndLoadGameFolder(true, firstStart);
        return;
    }
    // A first start takes the localization from the game and asks for a backup
    // between the check and the load.
    const bool firstStart = AskGamePathOnFirstStart();
    CheckAndLoadGameFolder(firstStart, firstStart);
}

void TfrmMain::OpenAtStart(std::string gameFolder) {
    FStartFolder = std::move(gameFolder);
}

void TfrmMain::FillWeatherChoices() {
    FWeatherChoices = std::make_unique<ProfileFile>(FSession.ExeFolder() + "weather.ini");
    FViews->SetWeatherChoices(ReadValueList(*FWeatherChoices, "thunderbolt"),
                              ReadValueList(*FWeatherChoices, "env_ambient"));
}

void TfrmMain::OpenSettingsFile() {
    FSession.OpenSettings(ProgramFilePath(FSession.ExeFolder(), SettingsFileName()));
}

QPoint TfrmMain::CentredOnPrimaryScreen() const {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize window = frameGeometry().size();
    return {screen.x() + screen.width() / 2 - window.width() / 2,
            screen.y() + screen.height() / 2 - window.height() / 2};
}

// A size below the one the layout was drawn for is ignored, whether stored by hand or by an older version.
void TfrmMain::RestoreSize() {
    const QSize minimum = minimumSize();
    const QSize stored(FSession.Settings()->ReadInteger(kMainOptions, "FormWidth", minimum.width()),
                       FSession.Settings()->ReadInteger(kMainOptions, "FormHeight", minimum.height()));
    resize(stored.width() >= minimum.width() && stored.height() >= minimum.height() ? stored : minimum);
}

// After size and place, which the window then goes back to.
void TfrmMain::RestoreMaximized() {
    if (FSession.Settings()->ReadBool(kMainOptions, "FormMaximized", false)) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

// A position stored while another monitor was attached, or with the window
// pushed against an edge, may leave too little of the title bar on any screen
// to drag the window back; such a window is centred instead.
void TfrmMain::RestorePosition() {
    const QPoint centre = CentredOnPrimaryScreen();
    const QPoint stored(FSession.Settings()->ReadInteger(kMainOptions, "FormX", centre.x()),
                        FSession.Settings()->ReadInteger(kMainOptions, "FormY", centre.y()));
    move(TitleBarReachable(QRect(stored, QSize(frameGeometry().width(), kTitleBarHeight))) ? stored : centre);
}

void TfrmMain::RestoreViewType() {
    FStandardView = !FSession.Settings()->ReadBool(kMainOptions, "ViewType", true);
    ShowStandardBoxes(FStandardView);
}

void TfrmMain::RestoreActivePage() {
    PageControl1->setCurrentIndex(FSession.Settings()->ReadInteger(kMainOptions, "ActiveTabIndex", 0));
}

void TfrmMain::RestoreColumnWidths() {
    ForEachColumn(Pages, [this](TGridView& sg, int column, const std::string& key, int width) {
        sg.RestoreColumnWidth(column, FSession.Settings()->ReadInteger(kTableColumns, key, width));
    });
    for (const TCatalogPage& page : Pages) {
        page.sg->UpdateHeaderHeight();
    }
}

void TfrmMain::ApplyStoredLanguage() {
    FToolkitLanguage.Apply(QString::fromLatin1(TToolkitLanguage::kBuiltInLocale));
    const QString name =
        QString::fromStdString(FSession.Settings()->ReadString(kMainOptions, "Language", "English"));
    const int index = Translator1->IndexOfLanguage(name);
    if (index >= 0) {
        mnuSettingsLanguage->actions().at(index)->trigger();
    }
}

void TfrmMain::ReadGamePath() {
    FSession.SetGamePath(FSession.Settings()->ReadString(kMainOptions, "GamePath", ""));
}

std::string TfrmMain::StoredLocalization() const {
    return FSession.Settings()->ReadString(kMainOptions, "LocalizationPath", kDefaultLocalization);
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
    CloseCharts();
    event->accept();
}

// Settings that cannot be written are reported, but never keep the window open.
void TfrmMain::FormClose() {
    if (!FSession.Settings()) {
        return;
    }
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        FSession.Settings()->DiscardPending();
        QString text = QString::fromUtf8(error.what());
        const QString path = QString::fromStdString(FSession.Settings()->Path());
        if (!text.contains(path)) {
            text = path + QStringLiteral(":\n") + text;
        }
        ShowError(text);
    }
}

void TfrmMain::WriteSettings() {
    ProfileFile& settings = *FSession.Settings();
    WriteGeometry(settings);
    settings.WriteBool(kMainOptions, "ViewType", FStandardView);
    settings.WriteInteger(kMainOptions, "ActiveTabIndex", PageControl1->currentIndex());
    if (!FKeepStoredGamePath) {
        settings.WriteString(kMainOptions, "GamePath", FSession.GamePath());
        settings.WriteString(kMainOptions, "LocalizationPath", LocalizationPath());
    }
    if (FSession.LanguageIndex() >= 0) {
        settings.WriteString(kMainOptions, "Language",
                             Translator1->LanguageName(FSession.LanguageIndex()).toStdString());
    }
    ForEachColumn(Pages, [&settings](const TGridView& sg, int column, const std::string& key, int) {
        settings.WriteInteger(kTableColumns, key, sg.StoredColumnWidth(column));
    });
    WriteChartChoices(settings);
    settings.Flush();
}

// A maximized window keeps the place and size it goes back to. The frame's offset from the client area is
// known only now, so the normal frame position is the normal client position less the present offset.
void TfrmMain::WriteGeometry(ProfileFile& settings) const {
    const bool maximized = isMaximized();
    QPoint position = pos();
    QSize normalSize = size();
    if (maximized && normalGeometry().isValid()) {
        position = normalGeometry().topLeft() - (geometry().topLeft() - frameGeometry().topLeft());
        normalSize = normalGeometry().size();
    }
    settings.WriteInteger(kMainOptions, "FormX", position.x());
    settings.WriteInteger(kMainOptions, "FormY", position.y());
    settings.WriteInteger(kMainOptions, "FormWidth", normalSize.width());
    // The changed-files bar's room is the bar's, not the user's.
    settings.WriteInteger(kMainOptions, "FormHeight", normalSize.height() - (maximized ? 0 : FBarGrowth));
    settings.WriteBool(kMainOptions, "FormMaximized", maximized);
}

// Child widgets go with the window; the files are closed here.
void TfrmMain::FormDestroy() {
    FSession.CloseSettings();
    FWeatherChoices.reset();
}

std::string TfrmMain::SettingsFilePath() const {
    return FSession.Settings() ? FSession.Settings()->Path() : std::string();
}

} // namespace kw
