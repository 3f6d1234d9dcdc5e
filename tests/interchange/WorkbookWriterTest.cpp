#include "interchange/WorkbookWriter.h"

#include "gamecfg/Error.h"
#include "interchange/InterchangeFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <clocale>
#include <cmath>
#include <filesystem>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using nlohmann::json;
using ::testing::HasSubstr;

// The layout every exported sheet has, cell by cell, with sheet rows and columns counted from 1 and R, C
// the last row and column.
struct TExpectedLook {
    std::string Fill, Top, Bottom, Left, Right, Horizontal;
};

TExpectedLook ExpectedLook(int row, int column, int R, int C) {
    const std::string silver = "FFC0C0C0", white = "FFFFFFFF";
    TExpectedLook look;
    look.Fill = row == 1 || (row >= 3 && row % 2 == 1) ? silver : white;
    look.Top = row == 1 ? "medium" : row >= 3 ? "dotted" : "";
    look.Bottom = row == 1 || row == R ? "medium" : "";
    look.Left = column == 1 ? "medium" : "";
    look.Right = column == 1 || column == C ? "medium" : "thin";
    look.Horizontal = row == 1 ? "center" : "left";
    return look;
}

std::string Style(const json& value) {
    return value.is_null() ? "" : value.get<std::string>();
}

// Writes workbooks under a comma-decimal locale, as a German or Russian desktop would run the program.
class WorkbookWriterTest : public test::InterchangeTest {
protected:
    WorkbookWriterTest() : FPrevious(std::setlocale(LC_ALL, nullptr)) {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
            ADD_FAILURE() << "the de_DE.UTF-8 locale is missing: run scripts/install-deps";
        }
    }
    ~WorkbookWriterTest() override { std::setlocale(LC_ALL, FPrevious.c_str()); }

    static json ReadBack(const std::string& path) {
        return json::parse(test::Python("dump_workbook.py", "'" + path + "'"));
    }

    static TStringGrid AmmoGrid(std::vector<std::vector<std::string>> rows) {
        TStringGrid grid(GridDef(TGridId::Ammo));
        grid.Fill(std::move(rows));
        return grid;
    }

private:
    std::string FPrevious;
};

TEST_F(WorkbookWriterTest, AnotherReaderSeesTheGridsValuesAndLayout) {
    const std::vector<std::string> texts = {"0.30", "abc",   "",     "-2.5", "007", "1e5", "1234567890123456",
                                            "12,5", "1.2.3", "24000"};
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < 4; ++row) {
        rows.push_back({"Патрон " + std::to_string(row)});
        rows.back().insert(rows.back().end(), texts.begin(), texts.end());
    }
    TStringGrid grid = AmmoGrid(rows);
    TGridLayout layout = DefaultLayout(grid, "Arial");
    layout.ColumnWidths[0] = 132;
    layout.RowHeights[2] = 24;
    const std::string path = OutFile("ammo.xlsx");
    WriteWorkbook(path, "Боеприпасы", grid, layout);

    const json sheet = ReadBack(path);
    const int R = 5, C = 11;
    EXPECT_EQ(sheet["sheets"], 1);
    EXPECT_EQ(sheet["title"], "Боеприпасы");
    EXPECT_EQ(sheet["rows"], R);
    EXPECT_EQ(sheet["columns"], C);
    ASSERT_EQ(sheet["cells"].size(), static_cast<std::size_t>(R * C));
    for (const json& cell : sheet["cells"]) {
        const std::string name = cell["name"];
        const int column = name[0] - 'A' + 1;
        const int row = std::stoi(name.substr(1));
        const TExpectedLook look = ExpectedLook(row, column, R, C);
        EXPECT_EQ(cell["fill"], look.Fill) << name;
        EXPECT_EQ(Style(cell["top"]), look.Top) << name;
        EXPECT_EQ(Style(cell["bottom"]), look.Bottom) << name;
        EXPECT_EQ(Style(cell["left"]), look.Left) << name;
        EXPECT_EQ(Style(cell["right"]), look.Right) << name;
        EXPECT_EQ(cell["horizontal"], look.Horizontal) << name;
        EXPECT_EQ(cell["vertical"], "center") << name;
        EXPECT_EQ(cell["font"], "Arial") << name;
    }

    // Plain decimals are numbers, written with a point whatever the locale; every other text is a string.
    auto cell = [&](int row, int column) {
        return sheet["cells"][static_cast<std::size_t>(row * C + column)];
    };
    EXPECT_EQ(cell(0, 1)["value"], "разброс");
    EXPECT_EQ(cell(1, 0)["value"], "Патрон 0");
    const std::vector<std::pair<json, std::string>> expected = {
        {"0.3", "n"},
        {"abc", "s"},
        {nullptr, "n"},
        {"-2.5", "n"},
        {7, "n"},
        {"1e5", "s"},
        {"1234567890123456", "s"},
        {"12,5", "s"},
        {"1.2.3", "s"},
        {24000, "n"},
    };
    for (int column = 1; column < C; ++column) {
        const json got = cell(4, column);
        EXPECT_EQ(got["value"], expected[static_cast<std::size_t>(column - 1)].first) << column;
        EXPECT_EQ(got["type"], expected[static_cast<std::size_t>(column - 1)].second) << column;
    }

    // Pixels become character widths (/ 7.27, to which libxlsxwriter adds its five pixels of padding) and
    // points (/ 1.33).
    for (int column = 0; column < C; ++column) {
        const double characters = layout.ColumnWidths[static_cast<std::size_t>(column)] / 7.27;
        EXPECT_NEAR(sheet["widths"][static_cast<std::size_t>(column)].get<double>(), characters + 5.0 / 7,
                    1.0 / 7)
            << column;
    }
    EXPECT_NEAR(sheet["widths"][0].get<double>(), 18.16 + 5.0 / 7, 1.0 / 7);
    EXPECT_NEAR(sheet["heights"][0].get<double>(), 12.03, 0.01);
    EXPECT_NEAR(sheet["heights"][2].get<double>(), 24 / 1.33, 0.01);
}

TEST_F(WorkbookWriterTest, TheEmptyGridIsAHeaderAndOneFramedBlankRow) {
    TStringGrid grid(GridDef(TGridId::Items));
    grid.Fill({});
    const std::string path = OutFile("items.xlsx");
    WriteWorkbook(path, "Еда и медикаменты", grid, DefaultLayout(grid));
    const json sheet = ReadBack(path);
    EXPECT_EQ(sheet["rows"], 2);
    EXPECT_EQ(sheet["columns"], 7);
    for (int column = 0; column < 7; ++column) {
        const json& cell = sheet["cells"][static_cast<std::size_t>(7 + column)];
        EXPECT_TRUE(cell["value"].is_null());
        EXPECT_EQ(Style(cell["top"]), "");
        EXPECT_EQ(Style(cell["bottom"]), "medium");
        EXPECT_EQ(cell["fill"], "FFFFFFFF");
    }
}

TEST_F(WorkbookWriterTest, AFailedExportLeavesTheOldFileWholeAndNoScratchBehind) {
    const std::string path = OutFile("kept.xlsx");
    test::RunCommand("printf 'old' > '" + path + "'");
    TStringGrid grid = AmmoGrid({{"a", std::string(40000, 'x')}});
    try {
        WriteWorkbook(path, "t", grid, DefaultLayout(grid));
        FAIL() << "written";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr(path));
        EXPECT_THAT(e.what(), HasSubstr("B2"));
    }
    EXPECT_EQ(test::RunCommand("cat '" + path + "'"), "old");
    EXPECT_EQ(std::distance(stdfs::directory_iterator(game.Full("out")), stdfs::directory_iterator()), 1);

    EXPECT_THROW(WriteWorkbook(OutFile("no/such/folder.xlsx"), "t", grid, DefaultLayout(grid)), Error);
    EXPECT_THROW(WriteCsv(OutFile("no/such/folder.csv"), grid), Error);
}

TEST(SheetNameTest, CutToThirtyOneCharactersWithoutTheForbiddenOnes) {
    const std::pair<std::string, std::string> cases[] = {
        {"Боеприпасы", "Боеприпасы"},
        {"a[b]c:d*e?f/g\\h", "a_b_c_d_e_f_g_h"},
        {"Еда и медикаменты, напитки и прочее", "Еда и медикаменты, напитки и пр"},
        {"'quoted'", "_quoted_"},
        {"", "Sheet1"},
    };
    for (const auto& [title, name] : cases) {
        EXPECT_EQ(SheetName(title), name) << title;
    }
}

TEST_F(WorkbookWriterTest, CsvIsUtf8WithCommasAndDoubledQuotes) {
    TStringGrid grid(GridDef(TGridId::Items));
    grid.Fill({{"Хлеб", "0.30", "a,b", "say \"hi\"", "", "two\nlines", "5"}});
    const std::string path = OutFile("items.CSV");
    EXPECT_EQ(ExportFormatOf(path), TExportFormat::Csv);
    EXPECT_EQ(ExportFormatOf(OutFile("items.xlsx")), TExportFormat::Xlsx);
    EXPECT_EQ(ExportFormatOf(OutFile("items.csv.xlsx")), TExportFormat::Xlsx);
    WriteCsv(path, grid);
    EXPECT_EQ(test::RunCommand("cat '" + path + "'"),
              "\xEF\xBB\xBFназвание,здоровье,сытость,сила,радиация,вес,цена\r\n"
              "Хлеб,0.30,\"a,b\",\"say \"\"hi\"\"\",,\"two\nlines\",5\r\n");
}

} // namespace
} // namespace kw
