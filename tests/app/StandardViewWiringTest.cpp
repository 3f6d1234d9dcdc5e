#include "MainWindowFixture.h"

#include "gamecfg/Error.h"
#include "views/CoolCtrls.h"
#include "views/GridCells.h"
#include "views/GridView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <map>
#include <tuple>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

// Every file of a folder by its path relative to the folder, as lines without blanks: a save may rewrite
// the blanks between a value and its comment.
std::map<std::string, std::vector<std::string>> BlanklessLines(const fs::path& folder) {
    std::map<std::string, std::vector<std::string>> files;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (!item.is_regular_file()) {
            continue;
        }
        std::ifstream in(item.path(), std::ios::binary);
        std::vector<std::string>& lines = files[fs::relative(item.path(), folder).string()];
        for (std::string line; std::getline(in, line);) {
            std::erase_if(line, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
            lines.push_back(line);
        }
    }
    return files;
}

// The sample game loaded into a window that is shown and active, so that focus moves as under a user.
class StandardViewWiring : public SampleGameWindowTest {
protected:
    void ClickTab(int index) const {
        QTabBar* bar = FWindow->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    kw::TCatalog& Catalog() const { return FWindow->Catalog(); }
    // The value the weapon's file holds for key, without a comment behind it.
    std::string OnDisk(const kw::TWeapon& weapon, const std::string& key) const {
        const std::string text =
            kw::ProfileFile(FGame + weapon.FileName).ReadString(weapon.Section, key, "<absent>");
        return text.substr(0, text.find_first_of("\t ;"));
    }
    void SelectWeapon(const std::string& section) const {
        const auto& weapons = Catalog().Weapons;
        const auto found = std::find_if(weapons.begin(), weapons.end(),
                                        [&](const auto& w) { return w->Section == section; });
        ASSERT_NE(found, weapons.end()) << section;
        Control<QListWidget>("lbWeapons")->setCurrentRow(static_cast<int>(found - weapons.begin()));
    }
};

TEST_F(StandardViewWiring, ClickOnAnotherRowStoresTheEditIntoTheEntryShownBefore) {
    StartShown();
    auto* list = Control<QListWidget>("lbWeapons");
    const std::string secondCost = Catalog().Weapons[1]->cost.Value;
    kw::TCoolEdit* cost = TypeInto("txtWeapons_cost", "4321");

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(Catalog().Weapons[0]->cost.Value, "4321");
    EXPECT_EQ(Catalog().Weapons[1]->cost.Value, secondCost);
    EXPECT_EQ(cost->text().toStdString(), secondCost);
}

TEST_F(StandardViewWiring, PageChangeByTabClickOrCtrlTabStoresTheEditIntoThePageLeft) {
    StartShown();
    const std::string ammoHit = Catalog().Ammo[0]->k_hit.Value;
    TypeInto("txtWeapons_fire_distance", "901");
    ClickTab(1);
    EXPECT_EQ(FWindow->PageControl1->currentIndex(), 1);
    EXPECT_EQ(Catalog().Weapons[0]->fire_distance.Value, "901");

    ASSERT_NE(ammoHit, "2.5");
    kw::TCoolEdit* hit = TypeInto("txtAmmo_k_hit", "2.5");
    QTest::keyClick(hit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(FWindow->PageControl1->currentIndex(), 2);
    EXPECT_EQ(Catalog().Ammo[0]->k_hit.Value, "2.5");
}

TEST_F(StandardViewWiring, CtrlSWithTheFocusInAFieldSavesOnlyTheTypedValue) {
    const std::string heron = "gamedata/config/weapons/w_heron.ltx";
    ReplaceInGameFile(heron, "grenade_launcher_status = 2", "grenade_launcher_status = 7");
    const auto before = BlanklessLines(FGame);
    StartShown();
    SelectWeapon("wpn_heron");
    EXPECT_EQ(Control<QComboBox>("cboWeapons_grenade_launcher_status")->currentIndex(), -1);

    kw::TCoolEdit* distance = TypeInto("txtWeapons_fire_distance", "1234");
    QTest::keyClick(distance, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(FPlatform.Messages.empty());

    const auto after = BlanklessLines(FGame);
    ASSERT_EQ(after.size(), before.size());
    std::vector<std::string> changed;
    for (const auto& [file, lines] : after) {
        const std::vector<std::string>& old = before.at(file);
        ASSERT_EQ(lines.size(), old.size()) << file;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != old[i]) {
                changed.push_back(file + ": " + lines[i]);
            }
        }
    }
    EXPECT_EQ(changed, std::vector<std::string>{heron + ": fire_distance=1234"});
}

// Everything that shows other values or reads the catalog first takes in what was typed: a field loses
// the focus without a word when another window takes the activation, so no leave event can be relied on.
struct TCommitCase {
    const char* Name;
    std::function<void(kw::TfrmMain&)> Act;
    bool Saves; // the typed value must then be in the file too
};

const TCommitCase kCommitCases[] = {
    {"SaveButton", [](kw::TfrmMain& w) { w.btnSaveSettings->click(); }, true},
    {"SaveMenu", [](kw::TfrmMain& w) { w.mnuFileSave->trigger(); }, true},
    {"RowChange", [](kw::TfrmMain& w) { w.Views().ListBox(kw::WeaponsPage)->setCurrentRow(1); }, false},
    {"PageChange", [](kw::TfrmMain& w) { w.PageControl1->setCurrentIndex(kw::AmmoPage); }, false},
    {"ViewSwitch", [](kw::TfrmMain& w) { w.btnView->click(); }, false},
    {"LanguageSwitch", [](kw::TfrmMain& w) { w.mnuSettingsLanguage->actions().at(1)->trigger(); }, false},
    {"Close", [](kw::TfrmMain& w) { w.close(); }, false},
};

void PrintTo(const TCommitCase& command, std::ostream* out) {
    *out << command.Name;
}

class CommitBeforeCommand : public StandardViewWiring,
                            public testing::WithParamInterface<std::tuple<TCommitCase, bool>> {};

TEST_P(CommitBeforeCommand, TypedPriceReachesTheCatalog) {
    const auto& [command, active] = GetParam();
    Write("Lang/A.xml", LanguageXml("Alpha", {}, {}));
    Write("Lang/B.xml", LanguageXml("Beta", {}, {}));
    WriteSettings("GamePath=" + FGame + "\nLanguage=Alpha\n");
    kw::TfrmMain& window = StartShown();
    const kw::TWeapon& weapon = *Catalog().Weapons[0];
    ASSERT_NE(weapon.cost.Value, "4321");
    TypeInto("txtWeapons_cost", "4321");
    std::unique_ptr<QWidget> other;
    if (!active) {
        other = ActivateAnotherWindow();
    }

    command.Act(window);
    EXPECT_EQ(weapon.cost.Value, "4321");
    if (command.Saves) {
        EXPECT_EQ(OnDisk(weapon, "cost"), "4321");
    }
    EXPECT_TRUE(FPlatform.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CommitBeforeCommand,
                         testing::Combine(testing::ValuesIn(kCommitCases), testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).Name) +
                                    (std::get<1>(info.param) ? "Active" : "Inactive");
                         });

// Looking is not editing: every entry of every page shown, then saved, leaves every byte in place; one
// typed value then changes one line.
TEST_F(StandardViewWiring, BrowsingEverythingAndSavingChangesNoByteOneEditOneLine) {
    const auto before = FileBytes(FGame);
    kw::TfrmMain& window = StartShown();
    for (int page = 0; page < kw::kPageCount; ++page) {
        ClickTab(page);
        QListWidget* list = window.Views().ListBox(page);
        list->setFocus();
        for (int row = 1; row < list->count(); ++row) {
            QTest::keyClick(list, Qt::Key_Down);
            ASSERT_EQ(list->currentRow(), row);
        }
    }
    window.btnView->click();
    window.btnView->click();
    ClickTab(kw::WeaponsPage);
    window.btnSaveSettings->click();
    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_EQ(ChangedLines(before, FileBytes(FGame)), std::vector<std::string>{});

    SelectWeapon("wpn_kestrel");
    // The offscreen platform leaves no window active after the progress window.
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(TypeInto("txtWeapons_rpm", "612"), Qt::Key_S, Qt::ControlModifier);
    const std::vector<std::string> changed = ChangedLines(before, FileBytes(FGame));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_TRUE(changed[0].starts_with("gamedata/config/weapons/w_kestrel.ltx: rpm")) << changed[0];
    EXPECT_EQ(OnDisk(*Catalog().Weapons[static_cast<size_t>(window.Views().ShownPosition(0))], "rpm"), "612");
}

// The title's marker shows unsaved work: browsing marks nothing, a value typed back to the file's clears the
// mark, a typed grid cell counts until Refresh drops it, and a save or a reload leaves nothing
// marked.
TEST_F(StandardViewWiring, TitleMarkerFollowsWhatASaveWouldWrite) {
    kw::TfrmMain& window = StartShown();
    for (int page = 0; page < kw::kPageCount; ++page) {
        ClickTab(page);
        QListWidget* list = window.Views().ListBox(page);
        for (int row = 0; row < list->count(); ++row) {
            list->setCurrentRow(row);
        }
    }
    ClickTab(kw::WeaponsPage);
    EXPECT_FALSE(window.isWindowModified());

    SelectWeapon("wpn_kestrel");
    const QString original = Control<kw::TCoolEdit>("txtWeapons_rpm")->text();
    TypeInto("txtWeapons_rpm", "612");
    SelectWeapon("wpn_heron");
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(window.Document().Changes().size(), 1u);
    SelectWeapon("wpn_kestrel");
    TypeInto("txtWeapons_rpm", original);
    SelectWeapon("wpn_heron");
    EXPECT_FALSE(window.isWindowModified());

    window.btnView->click();
    kw::TGridView& grid = *window.Page(kw::WeaponsPage).sg;
    TypeIntoCell(grid, 0, 1, "0.5");
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_EQ(window.Document().Cells().size(), 1u);
    EXPECT_EQ(window.Document().Cells().begin()->second, "0.5");
    window.Page(kw::WeaponsPage).btnTableRefresh->click();
    EXPECT_FALSE(window.isWindowModified());
    window.btnView->click();

    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(TypeInto("txtWeapons_rpm", "613"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(OnDisk(*Catalog().Weapons[static_cast<size_t>(window.Views().ShownPosition(0))], "rpm"), "613");

    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TypeInto("txtWeapons_rpm", "614");
    window.btnResetSettings->click();
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_TRUE(FPlatform.Messages.empty());
}

// The sample's shotgun lacks zoom_enabled and shows what it inherits; ticking that again pins it.
TEST_F(StandardViewWiring, ValueChosenEqualToTheShownDefaultIsWritten) {
    StartShown();
    SelectWeapon("wpn_bittern");
    const kw::TWeapon& bittern = *Catalog().Weapons[static_cast<size_t>(FWindow->Views().ShownPosition(0))];
    ASSERT_EQ(OnDisk(bittern, "zoom_enabled"), "<absent>");
    auto* zoom = Control<QCheckBox>("chkWeapons_zoom_enabled");
    ASSERT_TRUE(zoom->isChecked());
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(OnDisk(bittern, "zoom_enabled"), "<absent>");

    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(zoom, Qt::LeftButton, {}, QPoint(8, zoom->height() / 2));
    }
    ASSERT_TRUE(zoom->isChecked());
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(OnDisk(bittern, "zoom_enabled"), "true");
}

// A reload that fails and values the views cannot show are one event for the user.
TEST_F(StandardViewWiring, FailedReloadIsReportedInOneMessageWithTheValuesThatCouldNotBeShown) {
    StartShown();
    ASSERT_EQ(Catalog().Weapons[0]->Section, "wpn_bittern");
    ReplaceInGameFile("gamedata/config/weapons/w_bittern.ltx", "cost                    = 2600",
                      "cost = 2600\nzoom_enabled = perhaps");
    Catalog().OnLoaded = [] { throw kw::Error("lists could not be filled"); };
    FWindow->btnResetSettings->click();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Text,
              "lists could not be filled\r\n'perhaps' is not a valid boolean value");
}

// The shipped English file words the warning; without a language the Russian text stands.
TEST_F(StandardViewWiring, RefusedCharacterIsWarnedOnceInTheInterfaceLanguage) {
    const auto typeOmega = [this] {
        QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ω"));
        QApplication::sendEvent(TypeInto("txtWeapons_hit_power", ""), &omega);
        QCoreApplication::processEvents();
    };
    StartShown();
    typeOmega();
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(FPlatform.Messages[0].Text,
              QStringLiteral("Символ \"Ω\" нельзя сохранить в файлах игры (кодировка windows-1251)."));

    fs::create_directories(FFolder / "Lang");
    fs::copy_file(fs::path(KW_SOURCE_DIR) / "resources/Lang/English.xml", FFolder / "Lang/English.xml");
    StartShown();
    ASSERT_EQ(FWindow->LanguageIndex(), 0);
    typeOmega();
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[1].Caption, "WARNING");
    EXPECT_EQ(FPlatform.Messages[1].Text,
              QStringLiteral("The character \"Ω\" cannot be stored in the game files (windows-1251)."));
}

TEST_F(StandardViewWiring, EmptyWeaponCatalogKeepsTheCartridgeButtonDisabled) {
    for (const auto& item : fs::directory_iterator(fs::path(FGame) / "gamedata/config/weapons")) {
        if (item.path().filename().string().starts_with("w_")) {
            fs::remove(item.path());
        }
    }
    kw::TfrmMain& window = Start();
    EXPECT_TRUE(Catalog().Weapons.empty());
    EXPECT_FALSE(Catalog().Ammo.empty());
    EXPECT_TRUE(window.btnSaveSettings->isEnabled());
    EXPECT_FALSE(window.Views().btnWeaponsAmmo->isEnabled());
}

TEST_F(StandardViewWiring, TableViewKeepsValuesTheHiddenFieldsShowOlderTexts) {
    kw::TfrmMain& window = StartShown();
    window.btnView->click();
    SetValue(Catalog().Weapons[0]->cost, "55"); // as the table's save button stores it
    window.mnuFileSave->trigger();
    EXPECT_EQ(Catalog().Weapons[0]->cost.Value, "55");

    window.btnView->click();
    EXPECT_EQ(Control<kw::TCoolEdit>("txtWeapons_cost")->text(), "55");
}

TEST_F(StandardViewWiring, ValuesTheViewsCannotTakeAreReportedWithoutStoppingTheLoad) {
    // The first weapon of the list, shown by the load, and another one.
    ReplaceInGameFile("gamedata/config/weapons/w_bittern.ltx", "cost                    = 2600",
                      "cost = 2600\nzoom_enabled = maybe");
    ReplaceInGameFile("gamedata/config/weapons/w_heron.ltx", "zoom_enabled            = true",
                      "zoom_enabled = perhaps");
    StartShown();
    EXPECT_EQ(Catalog().Weapons.size(), 11u);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(FPlatform.Messages[0].Text, "'maybe' is not a valid boolean value");

    SelectWeapon("wpn_heron");
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[1].Text, "'perhaps' is not a valid boolean value");

    // A character windows-1251 lacks.
    QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ω"));
    QApplication::sendEvent(TypeInto("txtWeapons_hit_power", ""), &omega);
    QCoreApplication::processEvents();
    ASSERT_EQ(FPlatform.Messages.size(), 3u);
    EXPECT_EQ(FPlatform.Messages[2].Icon, QMessageBox::Warning);
}

TEST_F(StandardViewWiring, LanguageSwitchKeepsStatusSelectionAndRenewsTheLinePrefixes) {
    Write("Lang/A.xml", LanguageXml("Alpha", {}, {{"rs_FileName", "file: "}, {"rs_AddonStatus_2", "A2"}}));
    Write("Lang/B.xml", LanguageXml("Beta", {}, {{"rs_FileName", "datei: "}, {"rs_AddonStatus_2", "B2"}}));
    WriteSettings("GamePath=" + FGame + "\nLanguage=Alpha\n");
    StartShown();
    auto* scope = Control<QComboBox>("cboWeapons_scope_status");
    auto* fileLine = Control<QLabel>("lblWeaponsFileName");
    scope->setCurrentIndex(2);
    EXPECT_TRUE(fileLine->text().startsWith("file: gamedata"));
    auto* cost = Control<kw::TCoolEdit>("txtWeapons_cost");
    cost->setText("77");

    // The checked language neither stores the edit nor shows the entry again.
    LanguageItems()[0]->trigger();
    EXPECT_NE(Catalog().Weapons[0]->cost.Value, "77");
    EXPECT_EQ(cost->text(), "77");

    LanguageItems()[1]->trigger();
    EXPECT_EQ(Catalog().Weapons[0]->cost.Value, "77");
    EXPECT_EQ(Catalog().Weapons[0]->scope_status.Value, "2");
    EXPECT_EQ(scope->currentIndex(), 2);
    EXPECT_EQ(scope->currentText(), "B2");
    EXPECT_TRUE(fileLine->text().startsWith("datei: gamedata"));
}

} // namespace
} // namespace kwtest
