#include "MainWindowFixture.h"

#include "app/uProgress.h"
#include "gamecfg/Error.h"

#include <QLabel>
#include <QPushButton>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

class LoadSaveTest : public MainWindowTest {
protected:
    // A copy of the sample game that the settings name, so start-up loads it.
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
        WriteSettings("GamePath=" + FGame + "\n");
    }
    fs::path GameFile(const std::string& relative) const { return fs::path(FGame) / relative; }
    // The value as the file holds it, without a comment behind it.
    std::string Stored(const std::string& relative, const std::string& section,
                       const std::string& key) const {
        const std::string text =
            kw::ProfileFile(GameFile(relative).string()).ReadString(section, key, "<absent>");
        return text.substr(0, text.find_first_of("\t ;"));
    }
    void SetLanguage(const std::string& language) const {
        std::ofstream(GameFile("gamedata/config/localization.ltx"))
            << "[string_table]\nlanguage = " << language << "\n";
    }
    kw::TCatalog& Catalog() const { return FWindow->Catalog(); }
    kw::TWeapon& Weapon(const std::string& section) const { return Find(Catalog().Weapons, section); }

    std::string FGame;
};

// Parents the game cannot follow are named in the load's one message, once each, at every load; the load
// goes on and shows what the other parents supply.
TEST_F(LoadSaveTest, ParentsTheGameCannotFollowAreReportedOncePerLoad) {
    const std::string wader = "gamedata/config/weapons/w_wader.ltx";
    std::ifstream in(GameFile(wader), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    text.replace(text.find("[wpn_wader]:wpn_heron"), 21, "[wpn_wader]:wader_a, wpn_nowhere, wpn_heron");
    std::ofstream(GameFile(wader), std::ios::binary) << text << "[wader_a]:wader_b\n[wader_b]:wader_a\n";
    Start();

    const QString expected =
        "gamedata\\config\\weapons\\w_wader.ltx: родительские секции образуют цикл [wader_a] -> "
        "[wader_b] -> [wader_a]; каждая секция читается один раз.\r\n"
        "gamedata\\config\\weapons\\w_wader.ltx: секция [wpn_wader] называет родительской "
        "секцию [wpn_nowhere], которой нет ни в одном файле.";
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Text, expected);
    EXPECT_EQ(kw::ShownInheritedValue(Catalog(), Weapon("wpn_wader").rpm)->Value, "640");

    FWindow->btnResetSettings->click();
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[1].Text, expected);
}

// Variants naming one parent that no file defines, in any letter case, give one line and a count.
TEST_F(LoadSaveTest, AParentManySectionsMissIsOneLineWithACount) {
    for (const auto& [file, from, to] :
         {std::tuple{"gamedata/config/weapons/w_heron.ltx", "[wpn_heron]:", "[wpn_heron]:WPN_NOWHERE, "},
          std::tuple{"gamedata/config/weapons/w_wader.ltx", "[wpn_wader]:wpn_heron",
                     "[wpn_wader]:wpn_nowhere, wpn_heron"}}) {
        std::ifstream in(GameFile(file), std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        in.close();
        text.replace(text.find(from), std::string(from).size(), to);
        std::ofstream(GameFile(file), std::ios::binary) << text;
    }
    Start();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    // The load meets the Wader's header first; the Heron names the parent in other letters.
    EXPECT_EQ(FPlatform.Messages[0].Text.toStdString(),
              "gamedata\\config\\weapons\\w_wader.ltx: секция [wpn_wader] называет родительской секцию "
              "[wpn_nowhere], которой нет ни в одном файле.\r\nЕщё секций, называющих родительской "
              "[wpn_nowhere]: 1.");
}

TEST_F(LoadSaveTest, GameFolderWhoseNamesDifferInLetterCaseLoadsFully) {
    const std::pair<const char*, const char*> renames[] = {
        {"gamedata/config/text/eng", "gamedata/config/text/ENG"},
        {"gamedata/config/text", "gamedata/config/Text"},
        {"gamedata/config/misc/items.ltx", "gamedata/config/misc/ITEMS.ltx"},
        {"gamedata/config/weapons/weapons.ltx", "gamedata/config/weapons/Weapons.LTX"},
        {"gamedata/config/weapons", "gamedata/config/WEAPONS"},
        {"gamedata/config", "gamedata/Config"},
        {"gamedata", "GAMEDATA"},
    };
    for (const auto& [from, to] : renames) {
        fs::rename(GameFile(from), GameFile(to));
    }
    Start();

    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_EQ(Catalog().Weapons.size(), 11u);
    EXPECT_EQ(Catalog().Ammo.size(), 9u);
    EXPECT_EQ(Catalog().Outfits.size(), 5u);
    EXPECT_EQ(Catalog().Arts.size(), 4u);
    EXPECT_EQ(Catalog().Items.size(), 9u);
    EXPECT_EQ(Catalog().Weather.size(), 24u);
    EXPECT_EQ(Weapon("wpn_heron").Name, "Heron AR-5");
}

TEST_F(LoadSaveTest, ReloadRestoresEditsAndReusesTablesPicturesAndFileList) {
    CopyPictures();
    Start();
    const std::string distance = Weapon("wpn_heron").fire_distance.Value;
    ASSERT_NE(Weapon("wpn_heron").Pic, nullptr);
    SetValue(Weapon("wpn_heron").fire_distance, "1");

    fs::remove(GameFile("gamedata/config/text/eng/string_table_enc_weapons.xml"));
    fs::remove_all(FFolder / "images");
    // A weapon file that appears after the full load is not read by a reload.
    std::string zander = *kw::fs::ReadFile(GameFile("gamedata/config/weapons/w_heron.ltx").string());
    for (size_t at = 0; (at = zander.find("wpn_heron", at)) != std::string::npos;) {
        zander.replace(at, 9, "wpn_zander");
    }
    std::ofstream(GameFile("gamedata/config/weapons/w_zander.ltx")) << zander;
    FWindow->btnResetSettings->click();

    EXPECT_EQ(Weapon("wpn_heron").fire_distance.Value, distance);
    EXPECT_EQ(Weapon("wpn_heron").Name, "Heron AR-5");
    EXPECT_NE(Weapon("wpn_heron").Pic, nullptr);
    EXPECT_EQ(Catalog().Weapons.size(), 11u);

    SetValue(Weapon("wpn_heron").fire_distance, "2");
    FWindow->mnuFileReset->trigger();
    EXPECT_EQ(Weapon("wpn_heron").fire_distance.Value, distance);
    EXPECT_TRUE(FPlatform.Messages.empty());
}

TEST_F(LoadSaveTest, SaveReportsAReadOnlyWeaponFileAndWritesTheRest) {
    Start();
    SetValue(Weapon("wpn_heron").cost, "777");
    SetValue(Weapon("wpn_kestrel").cost, "888");
    SetValue(Catalog().Outfits[0]->cost, "999");
    const std::string heronFile = "gamedata/config/weapons/w_heron.ltx";
    fs::permissions(GameFile(heronFile), fs::perms(0444));
    FWindow->btnSaveSettings->click();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    const QStringList lines = FPlatform.Messages[0].Text.split("\r\n");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "Не удалось записать следующие файлы:");
    EXPECT_TRUE(lines[1].contains(QString::fromStdString(GameFile(heronFile).string())))
        << lines[1].toStdString();
    EXPECT_NE(Stored(heronFile, "wpn_heron", "cost"), "777");
    EXPECT_EQ(Stored("gamedata/config/weapons/w_kestrel.ltx", "wpn_kestrel", "cost"), "888");
    EXPECT_EQ(Stored("gamedata/config/misc/outfit.ltx", Catalog().Outfits[0]->Section, "cost"), "999");

    // Once the file takes writes, the menu save goes through without a word.
    fs::permissions(GameFile(heronFile), fs::perms(0644));
    FWindow->mnuFileSave->trigger();
    EXPECT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(Stored(heronFile, "wpn_heron", "cost"), "777");
}

TEST_F(LoadSaveTest, MalformedStringTableEndsTheLoadBeforeTheCatalogsAreRead) {
    std::ofstream(GameFile("gamedata/config/text/eng/string_table_outfit.xml"))
        << "<string_table><string id=";
    kw::TfrmMain& window = Start();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains("string_table_outfit.xml"));
    EXPECT_TRUE(Catalog().Weapons.empty());
    EXPECT_EQ(window.pnlGamePath->text(), QString::fromStdString(FGame));
}

TEST_F(LoadSaveTest, RunThatThrowsClosesItsWindowAndShowsTheErrorOnce) {
    kw::TfrmMain& window = Start();
    Catalog().OnLoaded = [] { throw kw::Error("lists could not be filled"); };
    window.btnResetSettings->click();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Text, "lists could not be filled");
    EXPECT_TRUE(window.findChildren<kw::TfrmProgress*>().isEmpty());
    EXPECT_EQ(Catalog().Weapons.size(), 11u); // what was read before the error stays
}

TEST_F(LoadSaveTest, NewFolderTakesTheGamesLanguageLaterStartsTheStoredOne) {
    SetLanguage("rus");
    WriteSettings("");
    FPlatform.Folder = QString::fromStdString(FGame);
    Start();
    EXPECT_EQ(Weapon("wpn_heron").Name, "Цапля АР-5");
    FWindow->close();
    EXPECT_EQ(Setting("MainOptions", "LocalizationPath"), "gamedata\\config\\text\\rus\\");

    SetLanguage("eng");
    Start();
    EXPECT_EQ(FWindow->LocalizationPath(), "gamedata\\config\\text\\rus\\");
    EXPECT_EQ(Weapon("wpn_heron").Name, "Цапля АР-5");
}

// A settings file edited by hand, or a game whose language was changed since, names a folder without
// string tables; every entry would show its id.
TEST_F(LoadSaveTest, StoredLocalizationWithoutStringTablesIsTakenFromTheGameAgain) {
    SetLanguage("rus");
    struct Case {
        std::string Stored;
        std::string Expected;
        std::string HeronName;
    };
    const Case cases[] = {
        {"gamedata\\config\\text\\deu\\", "gamedata\\config\\text\\rus\\", "Цапля АР-5"},
        {"gamedata\\config\\", "gamedata\\config\\text\\rus\\", "Цапля АР-5"},
        // A folder holding a string table stays, and so does the default for an empty one.
        {"gamedata\\config\\text\\eng\\", "gamedata\\config\\text\\eng\\", "Heron AR-5"},
        {"", "gamedata\\config\\text\\eng\\", "Heron AR-5"},
    };
    for (const Case& c : cases) {
        WriteSettings("GamePath=" + FGame + "\nLocalizationPath=" + c.Stored + "\n");
        Start();
        EXPECT_EQ(FWindow->LocalizationPath(), c.Expected) << c.Stored;
        EXPECT_EQ(Weapon("wpn_heron").Name, c.HeronName) << c.Stored;
        FWindow->close();
        EXPECT_EQ(Setting("MainOptions", "LocalizationPath"), c.Expected) << c.Stored;
    }
    EXPECT_TRUE(FPlatform.Messages.empty());
}

} // namespace
} // namespace kwtest
