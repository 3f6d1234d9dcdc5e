#include "interchange/SheetImport.h"

#include "gamecfg/Error.h"
#include "interchange/GridTable.h"
#include "interchange/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace kw {
namespace {

using ::testing::HasSubstr;
using TKind = TSheetCell::TKind;

TSheetCell Str(std::string text) {
    return {TKind::String, std::move(text), 0, false};
}
TSheetCell Num(double number) {
    return {TKind::Number, "", number, false};
}
TSheetCell Flag(bool value) {
    return {TKind::Bool, "", 0, value};
}
TSheetCell Blank() {
    return {};
}

TEST(NumberTextTest, FifteenDigitsInPlainNotationUpToTwentyCharacters) {
    const std::pair<double, std::optional<std::string>> cases[] = {
        {0.3, "0.3"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {-2.5, "-2.5"},
        {100, "100"},
        {24000, "24000"},
        {123456789012345, "123456789012345"},
        {0.0002, "0.0002"},
        {-0.0, "0"},
        {1e-7, "0.0000001"},
        {-1.5e-10, "-0.00000000015"},
        {1234567890123456789.0, "1234567890123460000"},
        {1e19, "10000000000000000000"},
        {0.1234567890123456789, "0.123456789012346"},
        {1e-18, "0.000000000000000001"},
        {1e20, std::nullopt},
        {1e21, std::nullopt},
        {1e-20, std::nullopt},
        {-1e-18, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(NumberText(number), text) << number;
    }
}

TEST(NumberTextTest, GameNumbersAreSignDigitsOnePointAndATrailingF) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"0.3", 0.3},
        {".2", 0.2},
        {"4.", 4},
        {"-0.3", -0.3},
        {"+7", 7},
        {"4.5f", 4.5},
        {"1234567890123456789", 1234567890123456789.0},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"f", std::nullopt},
        {"1e5", std::nullopt},
        {"1,5", std::nullopt},
        {"1.2.3", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"4.5F", std::nullopt},
        {"4f5", std::nullopt},
        {"--1", std::nullopt},
        {"50%", std::nullopt},
        {"1-", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(IsGameNumber(text), value.has_value()) << text;
        EXPECT_EQ(ParseGameNumber(text), value) << text;
    }
}

TEST(NumberTextTest, PlainDecimals) {
    const std::pair<const char*, double> plain[] = {
        {"0.30", 0.3},
        {"-5", -5},
        {"+5", 5},
        {"007", 7},
        {".5", 0.5},
        {"5.", 5},
        {"0.000000000000000001", 1e-18},
        {"123456789012345", 123456789012345},
        {"-0", 0},
    };
    for (const auto& [text, number] : plain) {
        const auto parsed = ParsePlainDecimal(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, number) << text;
    }
    const char* notPlain[] = {"",
                              ".",
                              "-",
                              "1e3",
                              "1,5",
                              " 5",
                              "5 ",
                              "1.2.3",
                              "0x10",
                              "inf",
                              "nan",
                              "1 000",
                              "--1",
                              "1234567890123456",
                              "0.1234567890123456",
                              "1-"};
    for (const char* text : notPlain) {
        EXPECT_FALSE(ParsePlainDecimal(text)) << text;
    }
}

// An ammunition grid of two entries: the sheet of a matching export has 3 rows and 11 columns.
class SheetImportTest : public ::testing::Test {
protected:
    SheetImportTest() {
        std::vector<std::vector<std::string>> rows(2, std::vector<std::string>(11));
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 11; ++column) {
                rows[row][column] = column == 0 ? "name" + std::to_string(row) : "0.30";
            }
        }
        grid.Fill(rows);
    }

    // A sheet of rows x columns whose cells all read value, header and names included.
    static TSheet Sheet(int rows, int columns, const TSheetCell& value) {
        TSheet sheet{"s", rows, columns, {}};
        sheet.Cells.assign(static_cast<std::size_t>(rows),
                           std::vector<TSheetCell>(static_cast<std::size_t>(columns), value));
        return sheet;
    }

    TStringGrid grid{GridDef(TGridId::Ammo)};
};

TEST_F(SheetImportTest, SizeTestExpectsTheLastCellOfAnExport) {
    EXPECT_TRUE(SheetSizeMatches(grid, Sheet(3, 11, Blank())));
    EXPECT_FALSE(SheetSizeMatches(grid, Sheet(2, 11, Blank())));
    EXPECT_FALSE(SheetSizeMatches(grid, Sheet(3, 12, Blank())));
    EXPECT_EQ(SizeWarningText(kSizeWarning1, "/tmp/a.xlsx", kSizeWarning2),
              "Размер таблицы в файле  \"/tmp/a.xlsx\" не совпадает с размером таблицы программы.\r\n"
              "Это приведёт к некорректному отображению данных. Продолжить импорт данных из Excel?");
}

TEST_F(SheetImportTest, CellKindsBecomeTexts) {
    // Columns 5 to 7 hold texts, the others numbers.
    for (int column = 5; column <= 7; ++column) {
        grid.SetText(0, column, "x");
    }
    grid.AcceptTexts();
    TSheet sheet = Sheet(3, 11, Num(0.3));
    auto& row = sheet.Cells[1];
    row[2] = Num(0.30000000000000004); // as a spreadsheet keeps 0.1 + 0.2
    row[3] = Num(0.5);
    row[4] = Num(1e-7);
    row[5] = Str("abc");
    row[6] = Flag(true);
    row[7] = Flag(false);
    row[8] = Blank();
    row[9] = Str("0.3"); // a text is taken as it stands
    EXPECT_EQ(ImportSheet(grid, sheet), 7);
    EXPECT_EQ(grid.Text(0, 1), "0.30");
    EXPECT_EQ(grid.Text(0, 2), "0.30");
    EXPECT_EQ(grid.Text(0, 3), "0.5");
    EXPECT_EQ(grid.Text(0, 4), "0.0000001");
    EXPECT_EQ(grid.Text(0, 5), "abc");
    EXPECT_EQ(grid.Text(0, 6), "true");
    EXPECT_EQ(grid.Text(0, 7), "false");
    EXPECT_EQ(grid.Text(0, 8), "");
    EXPECT_EQ(grid.Text(0, 9), "0.3");
    EXPECT_EQ(grid.Text(1, 1), "0.30");
}

TEST_F(SheetImportTest, NameColumnAndHeaderNeverChangeAndTheGridNeverGrows) {
    // One row fewer and one column more than the grid.
    TSheet sheet = Sheet(2, 12, Num(7));
    EXPECT_EQ(ImportSheet(grid, sheet), 20);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Text(0, 0), "name0");
    EXPECT_EQ(grid.Header(0), "название");
    EXPECT_EQ(grid.Header(1), "разброс");
    EXPECT_EQ(grid.Text(0, 10), "7");
    // The row the sheet lacks is emptied, its name kept.
    EXPECT_EQ(grid.Text(1, 0), "name1");
    EXPECT_EQ(grid.Text(1, 1), "");
    EXPECT_EQ(grid.Text(1, 10), "");
}

TEST_F(SheetImportTest, ShortRowsOfCellsReadAsEmpty) {
    TSheet sheet = Sheet(3, 11, Num(0.3));
    sheet.Cells[2].resize(3);
    sheet.Cells.resize(2);
    EXPECT_EQ(ImportSheet(grid, sheet), 10);
    EXPECT_EQ(grid.Text(0, 10), "0.30");
    EXPECT_EQ(grid.Text(1, 1), "");
}

// One cell read over a grid cell: what the grid holds there, what the sheet holds, and the text it becomes or
// the part of the refusal that says why.
struct TCellCase {
    const char* Name;
    TSheetOrigin Origin;
    std::string Current;
    TSheetCell Cell;
    std::optional<std::string> Text; // nothing: refused
    const char* Why = "";
};

std::ostream& operator<<(std::ostream& out, const TCellCase& c) {
    return out << c.Name;
}

const std::string kLongText(kMaxValueBytes + 1, 'a');
std::string Cyrillic(std::size_t letters) {
    std::string text;
    for (std::size_t i = 0; i < letters; ++i) {
        text += "ж"; // two bytes in UTF-8, one in windows-1251
    }
    return text;
}

const TCellCase kCellCases[] = {
    {"CsvDecimal", TSheetOrigin::Text, "0.30", Str("0.5"), "0.5"},
    {"CsvSameNumberKeepsNotation", TSheetOrigin::Text, "0.30", Str("0.3"), "0.30"},
    {"CsvShortFormKeepsNotation", TSheetOrigin::Text, "0.2", Str(".2"), "0.2"},
    {"CsvGameForm", TSheetOrigin::Text, "4", Str("4.5f"), "4.5f"},
    {"CsvEmptyEmpties", TSheetOrigin::Text, "4", Str(""), ""},
    {"CsvDecimalComma", TSheetOrigin::Text, "0.30", Str("0,5"), std::nullopt, "decimal comma"},
    {"CsvThousands", TSheetOrigin::Text, "100", Str("1,234.50"), std::nullopt, "thousands"},
    {"CsvGroupsWithBlank", TSheetOrigin::Text, "100", Str("1 234"), std::nullopt, "thousands"},
    {"CsvPercent", TSheetOrigin::Text, "0.5", Str("50%"), std::nullopt, "percentage"},
    {"CsvExponent", TSheetOrigin::Text, "0.5", Str("1e5"), std::nullopt, "only a sign, digits"},
    {"CsvListOverNumber", TSheetOrigin::Text, "0.5", Str("1,2,3"), std::nullopt, "only a sign, digits"},
    {"CsvErrorValue", TSheetOrigin::Text, "0.5", Str("#DIV/0!"), std::nullopt, "the error value #DIV/0!"},
    {"CsvErrorValueInText", TSheetOrigin::Text, "a", Str("#N/A"), std::nullopt, "the error value #N/A"},
    {"CsvListInTextColumn", TSheetOrigin::Text, "0.1, 0.2", Str("0.3,0.4"), "0.3,0.4"},
    {"Semicolon", TSheetOrigin::Text, "abc", Str("ab;c"), std::nullopt, "as a comment"},
    {"LocaleDecimalComma", TSheetOrigin::LocaleText, "0.30", Str("0,5"), "0.5"},
    {"LocaleSameNumber", TSheetOrigin::LocaleText, "0.30", Str("0,3"), "0.30"},
    {"LocalePoint", TSheetOrigin::LocaleText, "0.30", Str("0.5"), "0.5"},
    {"LocaleGroups", TSheetOrigin::LocaleText, "100", Str("1 234,5"), std::nullopt, "thousands"},
    {"LocaleNoBreakGroups", TSheetOrigin::LocaleText, "100",
     Str("1\xC2\xA0"
         "234"),
     std::nullopt, "thousands"},
    {"LocaleCommaInText", TSheetOrigin::LocaleText, "x", Str("0,5"), "0,5"},
    {"XlsxTextPercent", TSheetOrigin::Typed, "100", Str("50%"), std::nullopt, "percentage"},
    {"XlsxTextThousands", TSheetOrigin::Typed, "100", Str("1,234.50"), std::nullopt, "thousands"},
    {"XlsxTextKeepsItsForm", TSheetOrigin::Typed, "0.30", Str("0.3"), "0.3"},
    {"XlsxTinyNumber", TSheetOrigin::Typed, "0", Num(1e-7), "0.0000001"},
    {"XlsxHugeNumber", TSheetOrigin::Typed, "0", Num(1e21), std::nullopt, "more than 20 characters"},
    {"XlsxNumberKeepsGameForm", TSheetOrigin::Typed, "4.5f", Num(4.5), "4.5f"},
    {"XlsxBoolOverNumber", TSheetOrigin::Typed, "1", Flag(true), std::nullopt,
     "TRUE where the grid holds a number"},
    {"XlsxBoolOverText", TSheetOrigin::Typed, "on", Flag(false), "false"},
    {"XlsxDate", TSheetOrigin::Typed, "x", {TKind::Date, "2024-01-02", 45293, false}, std::nullopt, "date"},
    {"LongText", TSheetOrigin::Typed, "a", Str(kLongText), std::nullopt, "at most 4096"},
    {"LongestText", TSheetOrigin::Typed, "a", Str(kLongText.substr(1)), kLongText.substr(1)},
    {"LongestInCodePage", TSheetOrigin::Typed, "a", Str(Cyrillic(kMaxValueBytes)), Cyrillic(kMaxValueBytes)},
    {"XlsUnread", TSheetOrigin::ValuesOnly, "0.3", Blank(), std::nullopt, "could not be read"},
    {"XlsEmpty", TSheetOrigin::ValuesOnly, "", Blank(), ""},
};

class CellRules : public ::testing::TestWithParam<TCellCase> {};

TEST_P(CellRules, ReadOrRefuseNamingTheCell) {
    const TCellCase& c = GetParam();
    TStringGrid grid{GridDef(TGridId::Items)};
    grid.Fill({{"bread", "1", "1", "1", "1", "1", "1"}});
    grid.SetText(0, 3, c.Current);
    grid.AcceptTexts();
    TSheet sheet{"s", 2, 7, {std::vector<TSheetCell>(7, Str("1")), std::vector<TSheetCell>(7, Str("1"))}};
    sheet.Cells[0][0] = Str("name");
    sheet.Cells[1][0] = Str("bread");
    sheet.Cells[1][3] = c.Cell;
    if (c.Text) {
        ImportSheet(grid, sheet, c.Origin);
        EXPECT_EQ(grid.Text(0, 3), *c.Text);
        return;
    }
    try {
        ImportSheet(grid, sheet, c.Origin);
        FAIL() << "imported " << grid.Text(0, 3);
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("Cell D2 "));
        EXPECT_THAT(e.what(), HasSubstr(c.Why));
    }
    EXPECT_TRUE(grid.MarkedCells().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CellRules, ::testing::ValuesIn(kCellCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The names of a sheet's rows against a grid of the entries "a", "b", "c", "d": the plan and, for a refusal,
// what it says.
struct TPlanCase {
    const char* Name;
    std::vector<std::string> SheetNames; // data rows
    TRowPlan::TKind Kind;
    std::vector<int> SheetRows; // Reordered: per grid row
    const char* Problem = "";
};

std::ostream& operator<<(std::ostream& out, const TPlanCase& c) {
    return out << c.Name;
}

using TPlan = TRowPlan::TKind;
const TPlanCase kPlanCases[] = {
    {"SameOrder", {"a", "b", "c", "d"}, TPlan::SameOrder, {1, 2, 3, 4}},
    {"BlanksTrimmed", {" a", "b\t", "c", "d "}, TPlan::SameOrder, {1, 2, 3, 4}},
    {"TrailingBlankRows", {"a", "b", "c", "d", "", ""}, TPlan::SameOrder, {1, 2, 3, 4}},
    {"Sorted", {"d", "b", "a", "c"}, TPlan::Reordered, {3, 2, 4, 1}},
    {"Filtered", {"c", "a"}, TPlan::Reordered, {2, -1, 1, -1}},
    {"RowLeftOut", {"a", "b", "c"}, TPlan::Reordered, {1, 2, 3, -1}},
    {"UnknownName", {"a", "x", "c", "d"}, TPlan::Unmatched, {}, "Row 3 of the sheet (\"x\") names no entry"},
    {"NameTwice",
     {"a", "b", "a", "d"},
     TPlan::Unmatched,
     {},
     "Row 4 of the sheet (\"a\") names the same entry as row 2"},
    {"BlankBetween", {"a", "", "c", "d"}, TPlan::Unmatched, {}, "Row 3 of the sheet names no entry"},
    {"ExtraRow", {"a", "b", "c", "d", "e"}, TPlan::Unmatched, {}, "(\"e\") names no entry"},
};

class RowPlans : public ::testing::TestWithParam<TPlanCase> {};

TEST_P(RowPlans, NamesDecideHowRowsMeet) {
    const TPlanCase& c = GetParam();
    TStringGrid grid{GridDef(TGridId::Items)};
    std::vector<std::vector<std::string>> rows;
    for (const char* name : {"a", "b", "c", "d"}) {
        rows.push_back({name, "1", "1", "1", "1", "1", "1"});
    }
    grid.Fill(rows);
    TSheet sheet{"s", static_cast<int>(c.SheetNames.size()) + 1, 7, {std::vector<TSheetCell>(7, Str("h"))}};
    for (const std::string& name : c.SheetNames) {
        sheet.Cells.push_back(std::vector<TSheetCell>(7, name.empty() ? Blank() : Str("1")));
        sheet.Cells.back()[0] = Str(name);
    }
    const TRowPlan plan = PlanRows(grid, sheet);
    EXPECT_EQ(plan.Kind, c.Kind);
    if (c.Kind != TPlan::Unmatched) {
        EXPECT_EQ(plan.SheetRows, c.SheetRows);
    }
    EXPECT_THAT(plan.Problem, HasSubstr(c.Problem));
}

INSTANTIATE_TEST_SUITE_P(Cases, RowPlans, ::testing::ValuesIn(kPlanCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Entries that share a display name cannot be told apart by it.
TEST(RowPlansTest, AGridNameHeldTwiceMatchesOnlyInOrder) {
    TStringGrid grid{GridDef(TGridId::Items)};
    grid.Fill({{"a", "1", "1", "1", "1", "1", "1"}, {"a", "2", "2", "2", "2", "2", "2"}});
    TSheet sheet{"s", 3, 7, {std::vector<TSheetCell>(7, Str("h")), {}, {}}};
    sheet.Cells[1] = std::vector<TSheetCell>(7, Str("a"));
    sheet.Cells[2] = std::vector<TSheetCell>(7, Str("a"));
    EXPECT_EQ(PlanRows(grid, sheet).Kind, TPlan::SameOrder);
    sheet.Rows = 2;
    sheet.Cells.pop_back();
    EXPECT_THAT(PlanRows(grid, sheet).Problem, HasSubstr("the table holds more than once"));
}

TEST_F(SheetImportTest, RowsMatchedByNameLeaveTheOthersAlone) {
    TSheet sheet = Sheet(2, 11, Num(5));
    sheet.Cells[1][0] = Str("name1");
    const TRowPlan plan = PlanRows(grid, sheet);
    ASSERT_EQ(plan.Kind, TPlan::Reordered);
    EXPECT_EQ(ImportSheet(grid, sheet, TSheetOrigin::Typed, plan.SheetRows), 10);
    EXPECT_EQ(grid.Text(0, 1), "0.30");
    EXPECT_EQ(grid.Text(1, 1), "5");
    EXPECT_TRUE(SheetColumnsMatch(grid, sheet));
    EXPECT_FALSE(SheetSizeMatches(grid, sheet));
}

TEST_F(SheetImportTest, UnreadXlsCellsAndCommaDecimalCsvAreRefusedWithTheGridUntouched) {
    TSheet xls = Sheet(3, 11, Num(1));
    xls.Cells[2][4] = Blank();
    try {
        ImportSheet(grid, xls, TSheetOrigin::ValuesOnly);
        FAIL() << "imported";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("E3"));
        EXPECT_THAT(e.what(), HasSubstr(".xlsx"));
    }
    EXPECT_TRUE(grid.MarkedCells().empty());
    // Where the grid holds nothing an empty .xls cell is simply empty.
    grid.SetText(1, 4, "");
    grid.AcceptTexts();
    EXPECT_EQ(ImportSheet(grid, xls, TSheetOrigin::ValuesOnly), 19);

    TSheet csv = Sheet(3, 11, Str("0.30"));
    csv.Cells[1][3] = Str("0,3");
    try {
        ImportSheet(grid, csv, TSheetOrigin::Text);
        FAIL() << "imported";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("D2"));
    }
    EXPECT_EQ(grid.Text(0, 3), "1");
}

TEST_F(SheetImportTest, CsvDecimalsKeepTheGridsNotationWhenTheyAreTheSameNumber) {
    TSheet csv = Sheet(3, 11, Str("0.3"));
    csv.Cells[1][2] = Str("0.4");
    csv.Cells[1][3] = Str("1,2"); // a decimal comma where the grid holds a number
    grid.SetText(1, 1, "a");
    grid.AcceptTexts();
    csv.Cells[2][1] = Str("a,b");
    EXPECT_THROW(ImportSheet(grid, csv, TSheetOrigin::Text), Error);
    csv.Cells[1][3] = Str("1.2");
    EXPECT_EQ(ImportSheet(grid, csv, TSheetOrigin::Text), 3);
    EXPECT_EQ(grid.Text(0, 1), "0.30");
    EXPECT_EQ(grid.Text(0, 2), "0.4");
    EXPECT_EQ(grid.Text(0, 3), "1.2");
    EXPECT_EQ(grid.Text(1, 1), "a,b");
    // Written under a comma-decimal locale, the same file reads the comma as a point.
    csv.Cells[1][3] = Str("1,2");
    EXPECT_EQ(ImportSheet(grid, csv, TSheetOrigin::LocaleText), 0);
}

TEST_F(SheetImportTest, ASheetOfOneColumnHoldsNoValues) {
    EXPECT_THAT(SheetShapeProblem(grid, Sheet(3, 1, Str("a;b;c"))), HasSubstr("one column"));
    EXPECT_EQ(SheetShapeProblem(grid, Sheet(3, 2, Str("a"))), "");
}

} // namespace
} // namespace kw
