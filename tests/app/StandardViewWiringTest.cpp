#include "MainWindowFixture.h"

#include "views/CoolCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <map>

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
class StandardViewWiring : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        game_ = CopySampleGame("game");
        WriteSettings("GamePath=" + game_ + "\n");
    }

    kw::TfrmMain& StartShown() {
        kw::TfrmMain& window = Start();
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }
    template <class T> T* Control(const char* name) const {
        T* control = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Types into the field as a user does, replacing its text.
    kw::TCoolEdit* TypeInto(const char* name, const QString& text) const {
        auto* field = Control<kw::TCoolEdit>(name);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        return field;
    }
    void ClickTab(int index) const {
        QTabBar* bar = window_->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    void ReplaceInGameFile(const std::string& relative, const std::string& from,
                           const std::string& to) const {
        const fs::path path = fs::path(game_) / relative;
        std::string text = *kw::fs::ReadFile(path.string());
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(path, std::ios::binary) << text;
    }
    kw::TCatalog& Catalog() const { return window_->Catalog(); }
    void SelectWeapon(const std::string& section) const {
        const auto& weapons = Catalog().Weapons;
        const auto found = std::find_if(weapons.begin(), weapons.end(),
                                        [&](const auto& w) { return w->Section == section; });
        ASSERT_NE(found, weapons.end()) << section;
        Control<QListWidget>("lbWeapons")->setCurrentRow(static_cast<int>(found - weapons.begin()));
    }

    std::string game_;
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
    EXPECT_EQ(window_->PageControl1->currentIndex(), 1);
    EXPECT_EQ(Catalog().Weapons[0]->fire_distance.Value, "901");

    ASSERT_NE(ammoHit, "2.5");
    kw::TCoolEdit* hit = TypeInto("txtAmmo_k_hit", "2.5");
    QTest::keyClick(hit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window_->PageControl1->currentIndex(), 2);
    EXPECT_EQ(Catalog().Ammo[0]->k_hit.Value, "2.5");
}

TEST_F(StandardViewWiring, CtrlSWithTheFocusInAFieldSavesOnlyTheTypedValue) {
    const std::string heron = "gamedata/config/weapons/w_heron.ltx";
    ReplaceInGameFile(heron, "grenade_launcher_status = 2", "grenade_launcher_status = 7");
    const auto before = BlanklessLines(game_);
    StartShown();
    SelectWeapon("wpn_heron");
    EXPECT_EQ(Control<QComboBox>("cboWeapons_grenade_launcher_status")->currentIndex(), -1);

    kw::TCoolEdit* distance = TypeInto("txtWeapons_fire_distance", "1234");
    QTest::keyClick(distance, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(platform_.Messages.empty());

    const auto after = BlanklessLines(game_);
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

TEST_F(StandardViewWiring, EmptyWeaponCatalogKeepsTheCartridgeButtonDisabled) {
    for (const auto& item : fs::directory_iterator(fs::path(game_) / "gamedata/config/weapons")) {
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
    Catalog().Weapons[0]->cost.Value = "55"; // as the table's save button stores it
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
    EXPECT_EQ(Catalog().Weapons.size(), 10u);
    ASSERT_EQ(platform_.Messages.size(), 1u);
    EXPECT_EQ(platform_.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(platform_.Messages[0].Text, "'maybe' is not a valid boolean value");

    SelectWeapon("wpn_heron");
    ASSERT_EQ(platform_.Messages.size(), 2u);
    EXPECT_EQ(platform_.Messages[1].Text, "'perhaps' is not a valid boolean value");

    // A character windows-1251 lacks.
    QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ω"));
    QApplication::sendEvent(TypeInto("txtWeapons_hit_power", ""), &omega);
    ASSERT_EQ(platform_.Messages.size(), 3u);
    EXPECT_EQ(platform_.Messages[2].Icon, QMessageBox::Warning);
}

TEST_F(StandardViewWiring, LanguageSwitchKeepsStatusSelectionAndRenewsTheLinePrefixes) {
    Write("Lang/A.xml", LanguageXml("Alpha", {}, {{"rs_FileName", "file: "}, {"rs_AddonStatus_2", "A2"}}));
    Write("Lang/B.xml", LanguageXml("Beta", {}, {{"rs_FileName", "datei: "}, {"rs_AddonStatus_2", "B2"}}));
    WriteSettings("GamePath=" + game_ + "\nLanguage=Alpha\n");
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
