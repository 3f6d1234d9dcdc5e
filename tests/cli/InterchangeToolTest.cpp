#include "catalog/GameDir.h"
#include "catalog/SampleCopy.h"
#include "cli/InterchangeCommands.h"
#include "cli/ToolCommands.h"

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

// What a spreadsheet user does to a workbook, done by tests/interchange/as_spreadsheet.py.
void AsSpreadsheet(const std::string& arguments) {
    const std::string command =
        "/usr/bin/python3 '" KW_SOURCE_DIR "/tests/interchange/as_spreadsheet.py' " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class InterchangeToolTest : public ::testing::Test {
protected:
    InterchangeToolTest() {
        test::CopySampleGame(game);
        stdfs::create_directories(game.Full("out"));
    }

    std::string Out(const std::string& name) const { return game.Full("out").string() + "/" + name; }
    std::string WeaponsLtx() const { return game.Read("gamedata\\config\\weapons\\weapons.ltx"); }
    std::string ItemsLtx() const { return game.Read("gamedata\\config\\misc\\items.ltx"); }

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

// A sorted sheet and the CSV files a spreadsheet program writes under a comma-decimal locale carry the same
// values as the export they came from: importing them changes nothing.
TEST_F(InterchangeToolTest, ASortedSheetAndLocaleCsvFilesOfTheItemsChangeNothing) {
    const std::string before = ItemsLtx();
    const std::string book = Out("items.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "items", book}).Code, 0);
    AsSpreadsheet("sort '" + book + "' G '" + Out("sorted.xlsx") + "'");

    const TRun plain = RunTool({"import", game.Path(), "items", Out("sorted.xlsx")});
    EXPECT_EQ(plain.Code, kExitFailed);
    EXPECT_THAT(plain.Err, HasSubstr("--match names"));
    const TRun byName = RunTool({"import", game.Path(), "items", Out("sorted.xlsx"), "--match", "names"});
    EXPECT_EQ(byName.Code, 0) << byName.Err;
    EXPECT_EQ(byName.Out, "0 values changed.\n");

    for (const char* format : {"';' cp1251 .", "';' cp1251 ,", "tab utf-8 ,", "';' utf-8 ."}) {
        SCOPED_TRACE(format);
        AsSpreadsheet("csv '" + book + "' '" + Out("items.csv") + "' " + format);
        const TRun run = RunTool({"import", game.Path(), "items", Out("items.csv")});
        EXPECT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(run.Out, "0 values changed.\n");
    }
    EXPECT_EQ(ItemsLtx(), before);
}

// A sorted sheet with a changed price, matched by name: the price lands on its own entry.
TEST_F(InterchangeToolTest, ARowMatchedByNameChangesItsOwnEntry) {
    const std::string before = ItemsLtx();
    const std::string book = Out("items.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "items", book}).Code, 0);
    AsSpreadsheet("sort '" + book + "' G '" + book + "'");
    EditWorkbook(book, "[row[6] for row in s.iter_rows() if row[0].value == 'Bandage'][0].value = 65");

    const TRun dry = RunTool({"import", game.Path(), "items", book, "--match", "names", "--dry-run"});
    EXPECT_EQ(dry.Code, 0) << dry.Err;
    EXPECT_EQ(dry.Out, "items\tbandage\tcost\t60\t65\n1 value would change. Nothing was written.\n");
    EXPECT_EQ(ItemsLtx(), before);

    const TRun run = RunTool({"import", game.Path(), "items", book, "--match", "names"});
    EXPECT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, "items\tbandage\tcost\t60\t65\n1 value changed.\nEvery file was saved.\n");
    const auto changed = ChangedLines(before, ItemsLtx());
    ASSERT_EQ(changed.size(), 1u) << ::testing::PrintToString(changed);
    EXPECT_THAT(changed[0], HasSubstr("= 65"));
}

// One cell of an exported items workbook changed by openpyxl, and what the import makes of it: the line it
// prints, or the part of its refusal that names the cell and says why. (openpyxl stores a text that reads
// like an error value as an error cell.)
struct TWorkbookEdit {
    const char* Name;
    const char* Python; // on the first sheet s; row 2 is marsh_bread
    const char* Outcome;
    bool SavedAsXls = false; // the edited workbook saved again as .xls by xlwt
};

std::ostream& operator<<(std::ostream& out, const TWorkbookEdit& c) {
    return out << c.Name;
}

const TWorkbookEdit kWorkbookEdits[] = {
    {"Percent", "s['G2'] = '50%'", "Cell G2 holds \"50%\" where the grid holds a number: a percentage"},
    {"Thousands", "s['G2'] = '1,234.50'",
     "Cell G2 holds \"1,234.50\" where the grid holds a number: thousands"},
    {"ErrorValue", "s['G2'] = '#DIV/0!'", "G2 holds the error value #DIV/0!"},
    {"Exponent", "s['G2'] = '1e5'", "Cell G2 holds \"1e5\" where the grid holds a number: only a sign"},
    {"Semicolon", "s['A2'].value and s.cell(2, 2, '0.5; 0.6')", "Cell B2 holds \";\""},
    {"Truth", "s['G2'] = True", "Cell G2 holds the truth value TRUE where the grid holds a number"},
    {"Huge", "s['F2'] = 1e21", "Cell F2 holds a number whose plain form takes more than 20 characters"},
    {"Long", "s['B2'] = '1' * 5000", "Cell B2 holds 5000 bytes; a value can hold at most 4096"},
    {"Tiny", "s['F2'] = 1e-7", "items\tmarsh_bread\tinv_weight\t0.3\t0.0000001\n"},
    {"ShortForm", "s['D2'] = '-.5'", "items\tmarsh_bread\teat_power\t0\t-.5\n"},
    {"GameForm", "s['D2'] = '4.5f'", "items\tmarsh_bread\teat_power\t0\t4.5f\n"},
    {"Date", "s['G2'] = 45000; s['G2'].number_format = 'dd.mm.yyyy'", "Cell G2 holds a date or a time"},
    {"Time", "s['B2'] = 0.5; s['B2'].number_format = '[h]:mm'", "Cell B2 holds a date or a time"},
    {"RedIsANumber", "s['G2'] = 45; s['G2'].number_format = '[Red]0.00'",
     "items\tmarsh_bread\tcost\t40\t45\n"},
    {"XlsTruth", "s['G2'] = True", "Cell G2 holds the truth value TRUE where the grid holds a number", true},
    {"XlsErrorValue", "s['G2'] = '#DIV/0!'", "G2 holds the error value #DIV/0!", true},
    {"XlsDate", "s['G2'] = 45000; s['G2'].number_format = 'dd.mm.yyyy'", "Cell G2 holds a date or a time",
     true},
    {"XlsTiny", "s['F2'] = 1e-7", "items\tmarsh_bread\tinv_weight\t0.3\t0.0000001\n", true},
};

class WorkbookEdits : public InterchangeToolTest, public ::testing::WithParamInterface<TWorkbookEdit> {};

TEST_P(WorkbookEdits, ImportTakesWhatItCanReadAndRefusesTheRest) {
    const TWorkbookEdit& c = GetParam();
    const std::string before = ItemsLtx();
    const std::string book = Out("items.xlsx");
    ASSERT_EQ(RunTool({"export", game.Path(), "items", book}).Code, 0);
    EditWorkbook(book, c.Python);
    if (c.SavedAsXls) {
        AsSpreadsheet("xls '" + book + "' '" + Out("items.xls") + "'");
    }
    const TRun run = RunTool({"import", game.Path(), "items", c.SavedAsXls ? Out("items.xls") : book});
    if (!std::string(c.Outcome).starts_with("items\t")) {
        EXPECT_EQ(run.Code, kExitFailed);
        EXPECT_THAT(run.Err, HasSubstr(c.Outcome));
        EXPECT_THAT(run.Err, HasSubstr(c.SavedAsXls ? "items.xls:" : "items.xlsx:"));
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(ItemsLtx(), before);
    } else {
        EXPECT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(run.Out, std::string(c.Outcome) + "1 value changed.\nEvery file was saved.\n");
        EXPECT_EQ(ChangedLines(before, ItemsLtx()).size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkbookEdits, ::testing::ValuesIn(kWorkbookEdits),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kw
