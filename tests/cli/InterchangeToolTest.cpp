#include "catalog/Dump.h"
#include "catalog/GameDir.h"
#include "catalog/SampleCopy.h"
#include "cli/InterchangeCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::HasSubstr;

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunInterchangeCommand(args, out, err);
    return {code, out.str(), err.str()};
}

// What a user does to a workbook in a spreadsheet application, done by another program (openpyxl).
void EditWorkbook(const std::string& path, const std::string& python) {
    const std::string command = "/usr/bin/python3 -c \"import openpyxl; b = openpyxl.load_workbook('" + path +
                                "'); s = b.worksheets[0]; " + python + "; b.save('" + path + "')\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The lines that differ, byte for byte; a changed line count is reported instead.
std::vector<std::string> ChangedLines(const std::string& before, const std::string& after) {
    const auto a = test::Lines(before), b = test::Lines(after);
    std::vector<std::string> changed;
    if (a.size() != b.size()) {
        changed.push_back("line count " + std::to_string(a.size()) + " -> " + std::to_string(b.size()));
        return changed;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            changed.push_back(a[i] + " -> " + b[i]);
        }
    }
    return changed;
}

class InterchangeToolTest : public ::testing::Test {
protected:
    InterchangeToolTest() {
        test::CopySampleGame(game);
        stdfs::create_directories(game.Full("out"));
    }

    std::string Out(const std::string& name) const { return game.Full("out").string() + "/" + name; }
    std::string WeaponsLtx() const { return game.Read("gamedata\\config\\weapons\\weapons.ltx"); }

    test::TGameDir game;
};

TEST_F(InterchangeToolTest, ExportWritesTheGridTheTableViewShows) {
    const TRun run = RunTool({"export", game.Path(), "ammo", Out("ammo.xlsx")});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_THAT(run.Out, HasSubstr("Exported 9 entries"));
    const std::string cells = [&] {
        std::string output;
        FILE* pipe =
            popen(("/usr/bin/python3 -c \"import openpyxl; s = openpyxl.load_workbook('" + Out("ammo.xlsx") +
                   "').worksheets[0]; print(s.title, s.max_row, s.max_column, s['A1'].value, s['A2'].value, "
                   "s['J2'].value, s['K2'].value)\"")
                      .c_str(),
                  "r");
        std::array<char, 512> buffer{};
        while (fgets(buffer.data(), buffer.size(), pipe)) {
            output += buffer.data();
        }
        pclose(pipe);
        return output;
    }();
    EXPECT_EQ(cells, "Боеприпасы 10 11 название 9x18 FMJ 0.15 80\n");

    ASSERT_EQ(RunTool({"export", game.Path(), "weather", Out("weather.csv")}).Code, 0);
    EXPECT_THAT(game.Read("out/weather.csv"), HasSubstr("время,цвет неба,"));
}

TEST_F(InterchangeToolTest, WrongArgumentsAndFailures) {
    EXPECT_EQ(RunTool({"export", game.Path(), "guns", Out("x.xlsx")}).Code, kExitUsage);
    EXPECT_EQ(RunTool({"export", game.Path(), "ammo"}).Code, kExitUsage);
    EXPECT_EQ(RunTool({"export", game.Path(), "ammo", Out("x.xlsx"), "--ignore-size"}).Code, kExitUsage);
    const TRun noFolder = RunTool({"export", game.Path() + "missing", "ammo", Out("x.xlsx")});
    EXPECT_EQ(noFolder.Code, kExitFailed);
    const TRun unwritable = RunTool({"export", game.Path(), "ammo", Out("no/such/x.xlsx")});
    EXPECT_EQ(unwritable.Code, kExitFailed);
    EXPECT_THAT(unwritable.Err, HasSubstr("x.xlsx"));
    const TRun noFile = RunTool({"import", game.Path(), "ammo", Out("none.xlsx")});
    EXPECT_EQ(noFile.Code, kExitFailed);
    EXPECT_THAT(noFile.Err, HasSubstr("none.xlsx"));
}

// The round trip a user makes: export, change one value elsewhere, import, and find that value and only that
// value changed in the game file.
TEST_F(InterchangeToolTest, OneValueChangedInTheWorkbookChangesOneLineOfTheGameFile) {
    const std::string before = WeaponsLtx();
    const std::string book = Out("ammo.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "ammo", book}).Code, 0);

    // Export followed by import changes nothing.
    const TRun same = RunTool({"import", game.Path(), "ammo", book});
    ASSERT_EQ(same.Code, 0) << same.Err;
    EXPECT_EQ(same.Out, "0 values changed.\n");
    EXPECT_EQ(WeaponsLtx(), before);
    ASSERT_EQ(RunTool({"export", game.Path(), "ammo", Out("ammo.csv")}).Code, 0);
    EXPECT_EQ(RunTool({"import", game.Path(), "ammo", Out("ammo.csv")}).Out, "0 values changed.\n");

    // Row 5 is the fourth entry, "5.45x39 AP"; column E its k_hit.
    EditWorkbook(book, "s['E5'] = 0.95");
    const TRun run = RunTool({"import", game.Path(), "ammo", book});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, "ammo\tammo_545_ap\tk_hit\t0.9\t0.95\n1 value changed.\nEvery file was saved.\n");
    const auto changed = ChangedLines(before, WeaponsLtx());
    ASSERT_EQ(changed.size(), 1u) << ::testing::PrintToString(changed);
    EXPECT_THAT(changed[0], HasSubstr("k_hit"));
    EXPECT_THAT(changed[0], HasSubstr("0.95"));
}

TEST_F(InterchangeToolTest, ASheetOfAnotherSizeIsImportedOnlyWhenAsked) {
    const std::string before = WeaponsLtx();
    const std::string book = Out("ammo.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "ammo", book}).Code, 0);
    EditWorkbook(book, "s.delete_cols(11)");
    const TRun refused = RunTool({"import", game.Path(), "ammo", book});
    EXPECT_EQ(refused.Code, kExitFailed);
    EXPECT_THAT(refused.Err, HasSubstr("--ignore-size"));
    EXPECT_EQ(WeaponsLtx(), before);

    // The price column the sheet lacks is emptied: nine values are stored empty.
    const TRun forced = RunTool({"import", game.Path(), "ammo", book, "--ignore-size"});
    EXPECT_EQ(forced.Code, 0) << forced.Err;
    EXPECT_THAT(forced.Out, HasSubstr("9 values changed."));
}

// A sheet without its last row names fewer entries than the grid: by name the missing entry keeps its
// values; by position, as a spreadsheet once imported it, its row is emptied.
TEST_F(InterchangeToolTest, ASheetWithoutARowIsMatchedByNameOrForcedByPosition) {
    const std::string before = WeaponsLtx();
    const std::string book = Out("ammo.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "ammo", book}).Code, 0);
    EditWorkbook(book, "s.delete_rows(10)");
    const TRun refused = RunTool({"import", game.Path(), "ammo", book});
    EXPECT_EQ(refused.Code, kExitFailed);
    EXPECT_THAT(refused.Err, HasSubstr("--match names"));
    EXPECT_EQ(RunTool({"import", game.Path(), "ammo", book, "--match", "position"}).Code, kExitFailed);
    EXPECT_EQ(WeaponsLtx(), before);

    const TRun byName = RunTool({"import", game.Path(), "ammo", book, "--match", "names"});
    EXPECT_EQ(byName.Code, 0) << byName.Err;
    EXPECT_EQ(byName.Out, "0 values changed.\n");
    const TRun forced =
        RunTool({"import", game.Path(), "ammo", book, "--match", "position", "--ignore-size"});
    EXPECT_EQ(forced.Code, 0) << forced.Err;
    EXPECT_THAT(forced.Out, HasSubstr("10 values changed."));
}

} // namespace
} // namespace kw
