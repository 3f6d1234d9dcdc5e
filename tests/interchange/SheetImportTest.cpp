#include "interchange/SheetImport.h"

#include "gamecfg/Error.h"
#include "interchange/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(NumberTextTest, FifteenDigitsPointNoTrailingZerosNoExponentForOrdinaryMagnitudes) {
    const std::pair<double, const char*> cases[] = {
        {0.3, "0.3"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {-2.5, "-2.5"},
        {100, "100"},
        {24000, "24000"},
        {123456789012345, "123456789012345"},
        {0.0002, "0.0002"},
        {-0.0, "0"},
        {1e-7, "1e-07"},
        {1e20, "1e+20"},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(NumberText(number), text) << number;
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
    TSheet sheet = Sheet(3, 11, Num(0.3));
    auto& row = sheet.Cells[1];
    row[2] = Num(0.30000000000000004); // as a spreadsheet keeps 0.1 + 0.2
    row[3] = Num(0.5);
    row[4] = Num(12);
    row[5] = Str("abc");
    row[6] = Flag(true);
    row[7] = Flag(false);
    row[8] = Blank();
    row[9] = Str("0.3"); // a text is taken as it stands
    EXPECT_EQ(ImportSheet(grid, sheet), 7);
    EXPECT_EQ(grid.Text(0, 1), "0.30");
    EXPECT_EQ(grid.Text(0, 2), "0.30");
    EXPECT_EQ(grid.Text(0, 3), "0.5");
    EXPECT_EQ(grid.Text(0, 4), "12");
    EXPECT_EQ(grid.Text(0, 5), "abc");
    EXPECT_EQ(grid.Text(0, 6), "true");
    EXPECT_EQ(grid.Text(0, 7), "false");
    EXPECT_EQ(grid.Text(0, 8), "");
    EXPECT_EQ(grid.Text(0, 9), "0.3");
    EXPECT_EQ(grid.Text(1, 1), "0.30");
}

TEST_F(SheetImportTest, NameColumnAndHeaderNeverChangeAndTheGridNeverGrows) {
    // One row fewer and one column more than the grid.
    TSheet sheet = Sheet(2, 12, Str("x"));
    EXPECT_EQ(ImportSheet(grid, sheet), 20);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Text(0, 0), "name0");
    EXPECT_EQ(grid.Header(0), "название");
    EXPECT_EQ(grid.Header(1), "разброс");
    EXPECT_EQ(grid.Text(0, 10), "x");
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
    csv.Cells[2][1] = Str("a,b");
    EXPECT_THROW(ImportSheet(grid, csv, TSheetOrigin::Text), Error);
    csv.Cells[1][3] = Str("1,2,3");
    EXPECT_EQ(ImportSheet(grid, csv, TSheetOrigin::Text), 3);
    EXPECT_EQ(grid.Text(0, 1), "0.30");
    EXPECT_EQ(grid.Text(0, 2), "0.4");
    EXPECT_EQ(grid.Text(0, 3), "1,2,3");
    EXPECT_EQ(grid.Text(1, 1), "a,b");
}

} // namespace
} // namespace kw
