#include "catalog/Document.h"
#include "catalog/GameDir.h"
#include "cli/Tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = kw::RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

std::string ReadBytes(const stdfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A copy of the sample game in a folder of its own, since saving writes into it.
class HeadlessToolTest : public ::testing::Test {
protected:
    HeadlessToolTest() { stdfs::copy(Sample(), game.Full("gamedata"), stdfs::copy_options::recursive); }
    static stdfs::path Sample() {
        return stdfs::path(KW_SOURCE_DIR) / "examples" / "sample-game" / "gamedata";
    }

    std::vector<std::string> DumpLines() {
        const TRun run = RunTool({"dump", game.Path()});
        EXPECT_EQ(run.Code, 0) << run.Err;
        return test::Lines(run.Out);
    }

    test::TGameDir game;
};

TEST_F(HeadlessToolTest, CheckPrintsCatalogSizesOrTheMissingFiles) {
    const TRun run = RunTool({"check", game.Path()});
    EXPECT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, "weapons\t11\nammo\t9\noutfits\t5\narts\t4\nitems\t9\nweather\t24\n"
                       "silencer\t1\nscopes\t3\ngrenade_launchers\t2\n");

    stdfs::remove(game.Full("gamedata\\config\\misc\\items.ltx"));
    const TRun missing = RunTool({"check", game.Path()});
    EXPECT_EQ(missing.Code, 1);
    EXPECT_THAT(missing.Out, HasSubstr("gamedata/config/misc/items.ltx"));
    EXPECT_THAT(missing.Out, Not(HasSubstr("outfit.ltx")));
}

TEST_F(HeadlessToolTest, DumpWritesEveryFieldAsOneEscapedLine) {
    const std::vector<std::string> lines = DumpLines();
    std::vector<std::string> catalogs;
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
        const std::string catalog = line.substr(0, line.find('\t'));
        if (catalogs.empty() || catalogs.back() != catalog) {
            catalogs.push_back(catalog);
        }
    }
    EXPECT_EQ(catalogs, (std::vector<std::string>{"weapons", "ammo", "outfits", "arts", "items", "weather",
                                                  "silencer", "scopes", "grenade_launchers"}));
    for (const char* expected : {
             "weapons\t0\twpn_bittern\tFileName\tgamedata\\\\config\\\\weapons\\\\w_bittern.ltx\t",
             "weapons\t1\twpn_drover\thit_power\t\t",
             "weapons\t3\twpn_heron\tName\tHeron AR-5\t",
             "weapons\t3\twpn_heron\tbullet_speed\t870\t; muzzle velocity, m/s",
             "weapons\t7\twpn_sedge\tcost\t1400\t; цена у торговца",
             "weapons\t9\twpn_usp\tDescr\tService pistol of the wardens.\\r\\nCalibre:\\t9x18\\r\\n"
             "Magazine:\\t12 rounds\t",
             "ammo\t1\tammo_9x18_pmm\ttracer\tON\t; green trace",
             "ammo\t7\tammo_12g_slug\tName\tammo_12g_slug_name\t",
             "outfits\t1\tfenwarden_outfit\tburn_immunity\t\t",
             "outfits\t1\tfenwarden_outfit\timmunities_sect\tfenwarden_immunities ; tuned for the swamp "
             "gas\t",
             "arts\t1\taf_glasswing\tstrike_immunity\t0.85\t",
             "items\t8\tcanteen_A\tName\tCanteen\t",
             "weather\t0\tdefault_wth_00\tTime\t00:00:00\t",
             "weather\t0\tdefault_wth_00\tsky_texture\tsky\\\\sky_5_cube\t",
             "silencer\t0\twpn_addon_silencer\tName\t\t",
             "scopes\t2\twpn_addon_scope_ammo_counter\tscope_zoom_factor\t30\t",
         }) {
        EXPECT_THAT(lines, Contains(std::string(expected)));
    }
}

// The variants of the sample game name their parents: what the game reads comes with the section it came
// from, and every other line is the plain dump's with an empty seventh column.
TEST_F(HeadlessToolTest, DumpEffectiveShowsWhatParentSectionsSupply) {
    const TRun before = RunTool({"dump", "--effective", game.Path()});
    const TRun after = RunTool({"dump", game.Path(), "--effective"});
    ASSERT_EQ(before.Code, 0) << before.Err;
    EXPECT_EQ(before.Err, "");
    EXPECT_EQ(after.Out, before.Out);
    const std::vector<std::string> plain = DumpLines();
    const std::vector<std::string> effective = test::Lines(before.Out);
    ASSERT_EQ(effective.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(std::count(effective[i].begin(), effective[i].end(), '\t'), 6) << effective[i];
        if (effective[i].back() == '\t') {
            EXPECT_EQ(effective[i], plain[i] + "\t");
        }
    }
    for (const char* expected : {
             "weapons\t1\twpn_drover\thit_power\t0.6, 0.6, 0.6, 0.6\t\twpn_drover_base",
             "weapons\t10\twpn_wader\thit_power\t0.42, 0.42, 0.42, 0.42\t\twpn_heron",
             "weapons\t10\twpn_wader\tbullet_speed\t870\t; muzzle velocity, m/s\twpn_heron",
             "weapons\t10\twpn_wader\tscope_status\t2\t\twpn_heron",
             "weapons\t10\twpn_wader\tsilencer_status\t1\t; built in\t",
             "weapons\t10\twpn_wader\tfire_distance\t550\t\t",
             "outfits\t4\tfenwarden_scout_outfit\tburn_protection\t0.2\t\tfenwarden_outfit",
             "outfits\t4\tfenwarden_scout_outfit\tstrike_protection\t0.15\t\t",
         }) {
        EXPECT_THAT(effective, Contains(std::string(expected)));
    }
    EXPECT_THAT(plain, Contains("weapons\t10\twpn_wader\tscope_status\t0\t"));

    // A parent that no file defines and a loop are named on stderr, once each, and the dump goes on.
    game.Write("gamedata\\config\\weapons\\w_wader.ltx",
               "[wpn_wader]:wpn_loop, wpn_nowhere\ninv_name = wpn_wader\n"
               "[wpn_loop]:wpn_wader\n");
    const TRun broken = RunTool({"dump", "--effective", game.Path()});
    EXPECT_EQ(broken.Code, 0);
    EXPECT_EQ(broken.Err,
              "gamedata\\config\\weapons\\w_wader.ltx: the parent sections lead in a loop, [wpn_wader] "
              "-> [wpn_loop] -> [wpn_wader]; each section is read once\n"
              "gamedata\\config\\weapons\\w_wader.ltx: [wpn_wader] names the parent [wpn_nowhere], "
              "which no file defines\n");
}

TEST_F(HeadlessToolTest, DumpReadsTheTablesOfTheGamesLanguage) {
    game.Write("gamedata\\config\\localization.ltx", "[string_table]\nlanguage = rus\n");
    const std::vector<std::string> lines = DumpLines();
    EXPECT_THAT(lines, Contains("weapons\t3\twpn_heron\tName\tЦапля АР-5\t")); // declared windows-1251
    EXPECT_THAT(lines, Contains("outfits\t0\twanderer_outfit\tName\tПлащ странника\t")); // UTF-8
    EXPECT_THAT(lines, Contains("arts\t0\taf_mirebloom\tName\tТопяной цвет\t"));         // undeclared
}

// A save without edits writes nothing: every file keeps every byte, and none is even replaced.
TEST_F(HeadlessToolTest, ResaveLeavesEveryFileByteIdentical) {
    std::map<std::string, stdfs::file_time_type> written;
    for (const auto& entry : stdfs::recursive_directory_iterator(game.Full("gamedata"))) {
        if (entry.is_regular_file()) {
            written[entry.path().string()] = entry.last_write_time() - std::chrono::hours(1);
        }
    }
    for (const auto& [path, time] : written) {
        stdfs::last_write_time(path, time);
    }

    const TRun run = RunTool({"resave", game.Path()});
    EXPECT_EQ(run.Code, 0) << run.Out;
    std::set<std::string> compared;
    for (const auto& entry : stdfs::recursive_directory_iterator(Sample())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string rel = stdfs::relative(entry.path(), Sample().parent_path()).string();
        EXPECT_EQ(game.Read(rel), ReadBytes(entry.path())) << rel;
        EXPECT_EQ(stdfs::last_write_time(game.Full(rel)), written.at(game.Full(rel).string())) << rel;
        compared.insert(rel);
    }
    EXPECT_EQ(compared.size(), 34u); // 29 game files and 5 placeholder textures
}

// The sample game's first outfit names the immunity section four other outfit sections name too: its edit
// changes that one line, and no other byte of any file.
TEST_F(HeadlessToolTest, OneEditedValueChangesOneLine) {
    auto loaded = std::make_unique<TDocument>();
    loaded->Load(game.Path());
    TOutfit& wanderer = *loaded->Catalog().Outfits.at(0);
    ASSERT_EQ(wanderer.immunities_sect.Value, "wanderer_immunities");
    wanderer.Immunity.burn.Edit("0.75");
    ASSERT_TRUE(SaveCatalogs(loaded->Catalog()).Ok());

    std::vector<std::string> changed;
    for (const auto& entry : stdfs::recursive_directory_iterator(Sample())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string rel = stdfs::relative(entry.path(), Sample().parent_path()).string();
        const std::vector<std::string> old = test::Lines(ReadBytes(entry.path()));
        const std::vector<std::string> now = test::Lines(game.Read(rel));
        ASSERT_EQ(old.size(), now.size()) << rel;
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (old[i] != now[i]) {
                changed.push_back(rel + ": " + now[i]);
            }
        }
    }
    EXPECT_THAT(changed,
                ::testing::ElementsAre("gamedata/config/misc/outfit.ltx: burn_immunity            = 0.75"));
}

TEST_F(HeadlessToolTest, ResaveWritesNothingSoAReadOnlyFileIsNoObstacle) {
    game.MakeReadOnly("gamedata\\config\\weapons\\weapons.ltx");
    const TRun run = RunTool({"resave", game.Path()});
    EXPECT_EQ(run.Code, 0) << run.Out;
    EXPECT_EQ(game.Read("gamedata\\config\\weapons\\weapons.ltx"),
              ReadBytes(Sample() / "config" / "weapons" / "weapons.ltx"));
}

// The file system names the file in UTF-8, the game's texts are windows-1251: the name is converted once.
TEST_F(HeadlessToolTest, DumpShowsACyrillicWeaponFileNameAsItIs) {
    const std::string lynx = "\xF0\xFB\xF1\xFC"; // windows-1251
    game.Write("gamedata\\config\\weapons\\w_рысь.ltx", "[wpn_" + lynx + "]\ninv_name = wpn_" + lynx + "\n");
    EXPECT_THAT(DumpLines(),
                Contains("weapons\t11\twpn_рысь\tFileName\tgamedata\\\\config\\\\weapons\\\\w_рысь.ltx\t"));
}

TEST_F(HeadlessToolTest, BadUsageAndUnloadableFoldersFailWithAMessage) {
    EXPECT_EQ(RunTool({"--help"}).Code, 0);
    EXPECT_THAT(RunTool({"--help"}).Out, StartsWith("Usage: kitwright-cli"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"frob", game.Path()}, {"dump"}, {"dump", game.Path(), "extra"}}) {
        const TRun run = RunTool(args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_THAT(run.Err, HasSubstr("Usage: kitwright-cli"));
    }

    const TRun absent = RunTool({"dump", game.Path() + "absent"});
    EXPECT_EQ(absent.Code, 1);
    EXPECT_THAT(absent.Err, HasSubstr("absent"));

    game.Write("gamedata\\config\\text\\eng\\string_table_outfit.xml", "<string_table>\n<string id=\"x\">");
    const TRun malformed = RunTool({"dump", game.Path()});
    EXPECT_EQ(malformed.Code, 1);
    EXPECT_THAT(malformed.Out, IsEmpty());
    EXPECT_THAT(malformed.Err, AllOf(HasSubstr("string_table_outfit.xml"), HasSubstr("line 2")));
}

} // namespace
} // namespace kw
