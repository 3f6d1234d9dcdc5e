#include "MainWindowFixture.h"

#include "app/Application.h"
#include "interchange/TableColumns.h"
#include "translate/uAbout.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace kwtest {
namespace {

// The window is centred before it is shown, when its frame is not yet known.
QPoint PrimaryCentreFor(const QWidget& window) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.width() / 2 - window.width() / 2, screen.height() / 2 - window.height() / 2};
}

TEST_F(MainWindowTest, FirstStartCreatesSettingsBesideProgramAndShowsDefaults) {
    kw::TfrmMain& window = Start();

    EXPECT_EQ(window.SettingsFilePath(), SettingsPath());
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
    EXPECT_EQ(window.pos(), PrimaryCentreFor(window));
    EXPECT_EQ(window.windowTitle().remove("[*]"), "Kitwright version 1.05");
    EXPECT_TRUE(window.IsStandardView());
    EXPECT_FALSE(window.Page(0).gbNormal->isHidden());
    EXPECT_TRUE(window.Page(0).gbTable->isHidden());
    EXPECT_EQ(window.btnView->text(), "Таблица");
    EXPECT_EQ(window.PageControl1->currentIndex(), 0);
    EXPECT_EQ(window.LanguageIndex(), -1);
    EXPECT_TRUE(window.GamePath().empty());
    // The folder question was cancelled, so the files are looked for in vain.
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "ВНИМАНИЕ");
    EXPECT_EQ(FPlatform.Messages[1].Caption, "Файл не найден");

    // Without language files the menu offers nothing to choose.
    ASSERT_EQ(LanguageItems().size(), 1);
    EXPECT_EQ(LanguageItems()[0]->text(), "Пустой список");
    EXPECT_FALSE(LanguageItems()[0]->isEnabled());
}

TEST_F(MainWindowTest, ColumnWidthsComeFromSettingsOrDefaults) {
    WriteSettings("", "sgAmmo3=77\nsgWeather0=200\nsgItems2=wide\n");
    kw::TfrmMain& window = Start();

    EXPECT_EQ(window.Page(1).sg->columnWidth(3), 77);
    EXPECT_EQ(window.Page(5).sg->columnWidth(0), 200);
    EXPECT_TRUE(window.Page(4).sg->IsFitted(2)); // not a number
    for (int page = 0; page < kw::TfrmMain::kPageCount; ++page) {
        const kw::TGridDef& grid = kw::kGridDefs[page];
        kw::TGridView* sg = window.Page(page).sg;
        ASSERT_EQ(sg->model()->columnCount(), grid.ColumnCount()) << grid.Name;
        EXPECT_EQ(sg->objectName(), grid.Name);
        if (page != 5) {
            EXPECT_EQ(sg->columnWidth(0), 130) << grid.Name;
        }
        // Without a stored width a column fits its header and values.
        EXPECT_TRUE(sg->IsFitted(grid.ColumnCount() - 1)) << grid.Name;
        EXPECT_GE(sg->columnWidth(grid.ColumnCount() - 1), kw::kFitMinimumWidth) << grid.Name;
    }
    EXPECT_EQ(window.Page(0).sg->model()->headerData(5, Qt::Horizontal).toString(), "выс./м");
}

TEST_F(MainWindowTest, ViewTypeZeroOpensTableViewAnyOtherIntegerStandardView) {
    for (const auto& [stored, standard] : {std::pair{"0", false}, {"1", true}, {"7", true}, {"-2", true}}) {
        WriteSettings(std::string("ViewType=") + stored + "\n");
        kw::TfrmMain& window = Start();
        EXPECT_EQ(window.IsStandardView(), standard) << stored;
        for (int page = 0; page < kw::TfrmMain::kPageCount; ++page) {
            EXPECT_EQ(window.Page(page).gbNormal->isHidden(), !standard) << stored;
            EXPECT_EQ(window.Page(page).gbTable->isHidden(), standard) << stored;
        }
        EXPECT_EQ(window.btnView->text(), standard ? "Таблица" : "Стандарт") << stored;
    }
}

TEST_F(MainWindowTest, ViewButtonSwitchesEveryPage) {
    WriteSettings("GamePath=" + CopySampleGame("game") + "\n"); // the button needs game data
    kw::TfrmMain& window = Start();
    window.btnView->click();
    EXPECT_FALSE(window.IsStandardView());
    EXPECT_TRUE(window.Page(3).gbNormal->isHidden());
    EXPECT_FALSE(window.Page(3).gbTable->isHidden());
    EXPECT_EQ(window.btnView->toolTip(), "Переключиться в стандартный режим просмотра");
    window.btnView->click();
    EXPECT_TRUE(window.IsStandardView());
    EXPECT_FALSE(window.Page(3).gbNormal->isHidden());
}

// Only the title bar moves a window back: enough of it to grab must lie on a screen.
TEST_F(MainWindowTest, StoredPositionIsKeptOnlyWhileTheTitleBarCanBeGrabbed) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int width = Start().width();
    struct Case {
        QPoint Stored;
        bool Kept;
    };
    const Case cases[] = {
        {{20, 30}, true},
        {{-5000, -4000}, false},
        {{screen.right() - 10, 30}, false},        // top-left corner on the screen, the rest off it
        {{20, screen.bottom() - 4}, false},        // only the bar's upper edge shows
        {{screen.left() - width + 150, 30}, true}, // the right end of the bar shows
        {{screen.left() - width + 60, 30}, false}, // too little of it
        {{20, screen.top() - 8}, true},            // the bar's lower part shows
    };
    for (const Case& c : cases) {
        WriteSettings("FormX=" + std::to_string(c.Stored.x()) + "\nFormY=" + std::to_string(c.Stored.y()) +
                      "\n");
        const kw::TfrmMain& window = Start();
        EXPECT_EQ(window.pos(), c.Kept ? c.Stored : PrimaryCentreFor(window))
            << c.Stored.x() << "," << c.Stored.y();
    }
}

// Shown earlier, the window flashed at the default place with the built-in texts.
TEST_F(MainWindowTest, WindowAppearsPlacedAndTranslatedBeforeTheFolderQuestion) {
    Write("Lang/English.xml", LanguageXml("English", {{"lblGameDir", "Game folder:"}}, {}));
    WriteSettings("FormX=20\nFormY=30\nViewType=0\n");
    FWindow = std::make_unique<kw::TfrmMain>(NewSession(), &FPlatform);
    struct Snapshot {
        int Shows = 0;
        QPoint Position;
        QString Caption;
        bool Table = false;
        size_t Messages = 0;
    } seen;
    struct Watch : QObject {
        kw::TfrmMain* Window;
        Snapshot* Seen;
        const FakePlatform* Platform;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                *Seen = {Seen->Shows + 1, Window->pos(), Window->lblGameDir->text(),
                         !Window->IsStandardView(), Platform->Messages.size()};
            }
            return false;
        }
    } watch;
    watch.Window = FWindow.get();
    watch.Seen = &seen;
    watch.Platform = &FPlatform;
    FWindow->installEventFilter(&watch);
    FWindow->FormCreate();

    EXPECT_EQ(seen.Shows, 1);
    EXPECT_EQ(seen.Position, QPoint(20, 30));
    EXPECT_EQ(seen.Caption, "Game folder:");
    EXPECT_TRUE(seen.Table);
    EXPECT_EQ(seen.Messages, 0u); // the first-start warning comes over the shown window
    EXPECT_EQ(FPlatform.Messages.size(), 2u);
    FWindow->removeEventFilter(&watch);
}

TEST_F(MainWindowTest, CloseWritesEveryKeyOfBothSections) {
    Write("Lang/English.xml", LanguageXml("English", {}, {}));
    WriteSettings("GamePath=/games/dusk reach/\nActiveTabIndex=3\nViewType=0\n", "sgArts4=51\n");
    kw::TfrmMain& window = Start();
    EXPECT_EQ(window.GamePath(), "/games/dusk reach/");
    window.Page(2).sg->setColumnWidth(7, 99);
    window.show();
    const QPoint position = window.pos();
    ASSERT_TRUE(window.close());

    EXPECT_EQ(Setting("MainOptions", "FormX"), std::to_string(position.x()));
    EXPECT_EQ(Setting("MainOptions", "FormY"), std::to_string(position.y()));
    EXPECT_EQ(Setting("MainOptions", "ViewType"), "0");
    EXPECT_EQ(Setting("MainOptions", "ActiveTabIndex"), "3");
    EXPECT_EQ(Setting("MainOptions", "GamePath"), "/games/dusk reach/");
    EXPECT_EQ(Setting("MainOptions", "LocalizationPath"), "");
    EXPECT_EQ(Setting("MainOptions", "Language"), "English");
    int keys = 0;
    for (const kw::TGridDef& grid : kw::kGridDefs) {
        for (int column = 0; column < grid.ColumnCount(); ++column, ++keys) {
            EXPECT_NE(Setting("TableColumns", grid.Name + std::to_string(column)), "<absent>");
        }
    }
    EXPECT_EQ(keys, 83);
    EXPECT_EQ(Setting("TableColumns", "sgOutfits7"), "99");
    EXPECT_EQ(Setting("TableColumns", "sgArts4"), "51");
    ASSERT_EQ(FPlatform.Messages.size(), 1u); // the stored folder holds no game
    EXPECT_EQ(FPlatform.Messages[0].Caption, "Файл не найден");
}

TEST_F(MainWindowTest, StoredLanguageStaysWhenNoLanguageIsApplied) {
    WriteSettings("Language=Deutsch\n");
    Start().close();
    EXPECT_EQ(Setting("MainOptions", "Language"), "Deutsch");
}

TEST_F(MainWindowTest, UnwritableSettingsFileStillLetsTheWindowClose) {
    WriteSettings("FormX=20\nFormY=30\n");
    std::filesystem::permissions(SettingsPath(), std::filesystem::perms::owner_read);
    kw::TfrmMain& window = Start();
    window.show();
    window.move(40, 50);
    const size_t startMessages = FPlatform.Messages.size();

    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(FPlatform.Messages.size(), startMessages + 1);
    EXPECT_TRUE(FPlatform.Messages.back().Text.contains(QString::fromStdString(SettingsPath())));
    EXPECT_EQ(Setting("MainOptions", "FormX"), "20");
}

TEST_F(MainWindowTest, ClosedProgramFolderSendsSettingsToUserConfigFolder) {
    std::filesystem::permissions(FFolder,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    kw::TfrmMain& window = Start();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const std::string path = window.SettingsFilePath();
    EXPECT_EQ(path, userFolder.toStdString() + "/" + kw::SettingsFileName());
    window.close();
    EXPECT_EQ(kw::ProfileFile(path).ReadString("MainOptions", "ViewType", ""), "1");
    std::filesystem::remove(path);
}

// An installed folder may well take writes (a prefix of the user's own, a root
// session): the marker alone sends the program's own files to the user's folder.
TEST_F(MainWindowTest, InstalledProgramKeepsItsOwnFilesInTheUserConfigFolder) {
    const std::string userFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString() + "/";
    const std::string names[] = {kw::SettingsFileName(), "backup.log"};
    for (const std::string& name : names) {
        EXPECT_EQ(kw::ProgramFilePath(ExeFolder(), name), ExeFolder() + name);
    }
    Write(kw::kInstalledMarker, "");
    for (const std::string& name : names) {
        EXPECT_EQ(kw::ProgramFilePath(ExeFolder(), name), userFolder + name);
    }

    const std::string userSettings = userFolder + kw::SettingsFileName();
    Start().close();
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    EXPECT_EQ(kw::ProfileFile(userSettings).ReadString("MainOptions", "ViewType", ""), "1");
    std::filesystem::remove(userSettings);
}

TEST_F(MainWindowTest, WeatherChoicesFillTheirCombosInFileOrder) {
    Write("weather.ini", "[thunderbolt]\nb=bolt_far\na=bolt_near\n[env_ambient]\nx=amb_calm\n");
    kw::TfrmMain& window = Start();
    // No game is loaded: the empty value, then the presets.
    ASSERT_EQ(window.cboWeather_thunderbolt->count(), 3);
    EXPECT_EQ(window.cboWeather_thunderbolt->itemText(0), "");
    EXPECT_EQ(window.cboWeather_thunderbolt->itemText(1), "bolt_far");
    EXPECT_EQ(window.cboWeather_thunderbolt->itemText(2), "bolt_near");
    EXPECT_EQ(window.cboWeather_env_ambient->itemText(1), "amb_calm");
    EXPECT_EQ(window.cboWeapons_scope_status->itemText(2), "Присоединяемый");
}

TEST_F(MainWindowTest, FailingStartUpStepLeavesTheWindowAsFarAsItGot) {
    // A folder where the settings file should be cannot be opened as one.
    std::filesystem::create_directories(SettingsPath() + "/inner");
    Write("Lang/English.xml", LanguageXml("English", {}, {}));
    kw::TfrmMain& window = *(FWindow = std::make_unique<kw::TfrmMain>(NewSession(), &FPlatform));
    kw::TApplication::Instance()->SetPlatform(&FPlatform);
    EXPECT_FALSE(window.isVisible());
    QMetaObject::invokeMethod(&window, &kw::TfrmMain::FormCreate, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    kw::TApplication::Instance()->SetPlatform(nullptr);

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(window.windowTitle().remove("[*]"), "Kitwright version 1.05");
    EXPECT_EQ(window.cboWeapons_silencer_status->count(), 3);
    EXPECT_TRUE(window.mnuSettingsLanguage->isEmpty());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, InfoButtonAndHelpMenuOpenTheAboutDialog) {
    kw::TfrmMain& window = Start(); // without game files: the dialog is still at hand
    window.show();
    int opened = 0;
    const auto closeItOnceOpen = [&] {
        QTimer::singleShot(0, [&] {
            if (auto* about = qobject_cast<kw::TfrmAbout*>(QApplication::activeModalWidget())) {
                ++opened;
                about->close();
            }
        });
    };
    // Whatever goes wrong, no dialog may wait for a user.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(3000);

    closeItOnceOpen();
    window.btnAbout->click();
    closeItOnceOpen();
    window.mnuHelpAbout->trigger();
    EXPECT_EQ(opened, 2);
}

} // namespace
} // namespace kwtest
