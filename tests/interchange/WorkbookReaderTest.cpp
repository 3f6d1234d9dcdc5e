#include "WorkbookFolder.h"

#include "gamecfg/FileSys.h"
#include "interchange/WorkbookReader.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using kw::TSheet;
using kw::TSheetCell;
using kw::TWorkbookFormat;
using TKind = TSheetCell::TKind;

// An expected cell: "s:text", "n:number", "b:1"/"b:0", "d:text" for a date, or "" for an empty cell.
using TRows = std::vector<std::vector<std::string>>;

std::string Describe(const TSheetCell& cell) {
    switch (cell.Kind) {
    case TKind::String:
        return "s:" + cell.Text;
    case TKind::Number:
        return "n:" + std::to_string(cell.Number);
    case TKind::Bool:
        return cell.Bool ? "b:1" : "b:0";
    case TKind::Date:
        return "d:" + cell.Text;
    case TKind::Empty:
        break;
    }
    return "";
}

std::string Expected(const std::string& cell) {
    return cell.starts_with("n:") ? "n:" + std::to_string(std::stod(cell.substr(2))) : cell;
}

// The sheet that openpyxl and xlwt are asked to write, as every .xlsx variant must read back.
const TRows kAmmoRows = {
    {"s:Название", "s:k_hit", "s:Вес", "s:Квест"},
    {"s:ammo_5.45x39_fmj", "n:0.3", "n:12", "b:1"},
    {"s:ammo_9x18_pmm", "s:xAy", "n:-5.25", "b:0"},
};

const TRows kXlsKinds = {
    {"s:Название", "s:дата", "s:время", "s:часы", "s:да", "s:нет", "s:вес", "s:дни", "s:число"},
    {"s:wpn_ak74", "d:2023-03-15", "d:2023-03-15 12:30:00", "d:06:15:00", "b:1", "b:0", "n:12.5", "n:3",
     "n:1"},
};

struct TReadCase {
    const char* File;
    TWorkbookFormat Format;
    const char* SheetName;
    TRows Rows;
};

TRows WithColumn(TRows rows, const std::vector<std::string>& column) {
    for (size_t r = 0; r < rows.size(); ++r) {
        rows[r].push_back(column[r]);
    }
    return rows;
}

const std::vector<TReadCase> kReadCases = {
    {"plain.xlsx", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    {"shared-strings.xlsx", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    {"cached-formulas.xlsx", TWorkbookFormat::Xlsx, "Патроны",
     WithColumn(kAmmoRows, {"", "n:0.6", "s:ammo_9x18_pmm!"})},
    {"sheet-order.xlsx", TWorkbookFormat::Xlsx, "Данные", kAmmoRows},
    {"chartsheet-first.xlsx", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    {"odd-names.xlsx", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    {"without-refs.xlsx", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    {"really-xlsx.csv", TWorkbookFormat::Xlsx, "Патроны", kAmmoRows},
    // An escaped "_x" stays literal, a pair of escaped surrogates is one character, a lone one no character.
    {"escapes-and-blank.xlsx",
     TWorkbookFormat::Xlsx,
     "Sheet",
     {{"s:_x0041_ 😀 _xD800_ _x41_ \n", "", ""}, {"", "", ""}, {"", "", ""}, {"", "", ""}}},
    // The .xls library reads a formula as nothing (B3) and counts the formatted empty cell F4 in the size.
    {"plain.xls",
     TWorkbookFormat::Xls,
     "Патроны",
     {{"s:Название", "s:k_hit", "s:Вес", "s:Квест", "", ""},
      {"s:ammo_5.45x39_fmj", "n:0.3", "n:12", "b:1", "", ""},
      {"s:ammo_9x18_pmm", "", "n:-5.25", "", "", ""},
      {"", "", "", "", "", ""}}},
    // Built-in date formats 14, 22 and 46, custom ones (elapsed time among them), and look-alikes that show
    // no date. The 1900 date
    // system counts a 29 February 1900 that never was; a negative number shows as no date at all.
    {"dates.xlsx",
     TWorkbookFormat::Xlsx,
     "Даты",
     {{"s:Название", "s:f0", "s:f1", "s:f2", "s:f3", "s:f4", "s:f5", "s:f6", "s:f7", "s:f8", "s:f9", "s:f10",
       "s:f11", "s:f12", "s:f13", "s:f14", "s:f15", "s:Квест", "s:iso"},
      {"s:wpn_ak74", "d:2023-03-15", "d:2023-03-15 12:30:00", "d:1900-01-01 06:00:00", "d:2023-03-15",
       "d:12:00:00", "d:12:00:00", "d:18:00:00", "d:1900-02-29", "d:1900-03-01", "d:-1", "n:5.5", "n:2",
       "n:3", "n:4", "n:0.25", "n:7", "b:1", "d:2023-03-15T00:00:00"}}},
    {"dates-1904.xlsx", TWorkbookFormat::Xlsx, "Sheet", {{"s:x", "d:2023-03-15"}}},
    // Without a styles part nothing shows as a date.
    {"without-styles.xlsx",
     TWorkbookFormat::Xlsx,
     "Даты",
     {{"s:Название", "s:f0", "s:f1", "s:f2", "s:f3", "s:f4", "s:f5", "s:f6", "s:f7", "s:f8", "s:f9", "s:f10",
       "s:f11", "s:f12", "s:f13", "s:f14", "s:f15", "s:Квест", "s:iso"},
      {"s:wpn_ak74", "n:45000", "n:45000.5208333333", "n:1.25", "n:45000", "n:0.5", "n:0.5", "n:0.75", "n:60",
       "n:61", "n:-1", "n:5.5", "n:2", "n:3", "n:4", "n:0.25", "n:7", "b:1", "d:2023-03-15T00:00:00"}}},
    // The .xls library gives dates as ISO texts and judges formats its own way ("0.0\"d\"" is no date to it
    // either); Booleans come from the records it reads as numbers.
    {"kinds.xls", TWorkbookFormat::Xls, "Виды", kXlsKinds},
    // The same workbook in the mini stream, where a compound file keeps a stream under 4096 bytes.
    {"mini-stream.xls", TWorkbookFormat::Xls, "Виды", kXlsKinds},
    {"plain.csv",
     TWorkbookFormat::Csv,
     "",
     {{"s:Название", "s:k_hit", "s:Вес"},
      {"s:ammo_5.45x39_fmj", "s:0,3", "s:12"},
      {"s:ammo \"9x18\"", "s:две\nстроки", "s:"},
      {"s:", "s:", "s:"},
      {"s:последняя", "s:", "s:"}}},
    {"cp1251.csv", TWorkbookFormat::Csv, "", {{"s:Название", "s:0.3"}}},
};

const kw::TReadLimits kLimits{1u << 20, 100, 20};

class WorkbookReaderTest : public WorkbookFolder {};

TEST_F(WorkbookReaderTest, ReadsWhatOtherProgramsWrote) {
    for (const TReadCase& c : kReadCases) {
        SCOPED_TRACE(c.File);
        TSheet sheet;
        TWorkbookFormat format = TWorkbookFormat::Csv;
        ASSERT_NO_THROW(kw::ReadWorkbook(PathOf(c.File), sheet, format, kLimits));
        EXPECT_EQ(format, c.Format);
        EXPECT_EQ(sheet.Name, c.SheetName);
        ASSERT_EQ(sheet.Rows, static_cast<int>(c.Rows.size()));
        ASSERT_EQ(sheet.Columns, static_cast<int>(c.Rows[0].size()));
        ASSERT_EQ(sheet.Cells.size(), c.Rows.size());
        for (size_t r = 0; r < c.Rows.size(); ++r) {
            ASSERT_EQ(sheet.Cells[r].size(), c.Rows[0].size()) << "row " << r;
            for (size_t col = 0; col < c.Rows[r].size(); ++col) {
                EXPECT_EQ(Describe(sheet.Cells[r][col]), Expected(c.Rows[r][col]))
                    << "row " << r << " column " << col;
            }
        }
    }
}

struct TBadCase {
    const char* File;
    const char* Reason; // a part of the message after the file's name
};

const std::vector<TBadCase> kBadCases = {
    {"bomb.xlsx", "is larger than 1048576 bytes when unpacked"},
    {"lying-size.xlsx", "damaged"},
    {"formula-without-result.xlsx", "the formula in cell C7 has no stored result"},
    {"error-cell.xlsx", "cell C2 holds the error value #DIV/0!"},
    {"beyond-limits.xlsx", "cell Z5, beyond the 100 rows and 20 columns"},
    {"damaged-xml.xlsx", "the XML of the part \"xl/worksheets/sheet1.xml\" is damaged"},
    {"entity.xlsx", "declares a document type"},
    {"no-sheet.xlsx", "holds no worksheet"},
    {"bad-shared-index.xlsx", "cell C2 refers to a shared string that does not exist"},
    {"truncated.xlsx", "the zip archive is damaged"},
    {"not-a-workbook.xlsx", "the archive holds no workbook"},
    {"picture.xlsx", "neither a workbook nor text in UTF-8 or windows-1251"},
    {"binary.csv", "neither a workbook nor text in UTF-8 or windows-1251"},
    {"unclosed-quote.csv", "the quoted field that begins in line 2 is not closed"},
    {"empty.csv", "the file is empty"},
    {"bom-only.csv", "the file is empty"},
    {"damaged.xls", "save it as .xlsx"},
    {"damaged-styles.xlsx", "the XML of the part \"xl/styles.xml\" is damaged"},
    {"bad-format-id.xlsx", "the part \"xl/styles.xml\" names the number format \"fourteen\""},
    {"error-div0.xls", "cell C4 holds the error value #DIV/0!"},
    {"error-na.xls", "cell B2 holds the error value #N/A"},
    {"forged-first-sheet.xls",
     "the .xls workbook declares a sheet of 10000 rows and 256 columns, beyond the 100 rows and 20 columns"},
    {"forged-second-sheet.xls",
     "the .xls workbook declares a sheet of 60000 rows and 250 columns, far more than its 4096 bytes"},
    {"sheet-list-bomb.xls", "the .xls workbook lists 122 sheets, of more cells than its"},
    {"looping-chain.xls", "the .xls workbook is damaged"},
    {"chain-off-file.xls", "the .xls workbook is damaged"},
    {"truncated.xls", "the .xls workbook is damaged"},
    {"far-date.xls", "the .xls workbook holds more dates, or later ones, than can be read"},
    {"missing.xlsx", "the file does not exist"},
};

TEST_F(WorkbookReaderTest, RefusesBadFilesNamingFileAndProblem) {
    for (const TBadCase& c : kBadCases) {
        SCOPED_TRACE(c.File);
        TSheet sheet;
        sheet.Rows = 1;
        sheet.Columns = 1;
        sheet.Cells = {{TSheetCell{}}};
        try {
            kw::ReadWorkbook(PathOf(c.File), sheet, kLimits);
            ADD_FAILURE() << "read without an error";
        } catch (const kw::WorkbookError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.starts_with(kw::fs::Resolve(PathOf(c.File)) + ": ")) << message;
            EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
        }
        EXPECT_EQ(sheet.Rows, 0);
        EXPECT_EQ(sheet.Columns, 0);
        EXPECT_TRUE(sheet.Cells.empty());
    }
}

// The bounds are the caller's: the bomb and the far cell read once the caller allows them.
TEST_F(WorkbookReaderTest, LimitsAreTheCallers) {
    TSheet sheet;
    ASSERT_NO_THROW(kw::ReadWorkbook(PathOf("bomb.xlsx"), sheet));
    EXPECT_EQ(sheet.Rows, 3);
    ASSERT_NO_THROW(kw::ReadWorkbook(PathOf("beyond-limits.xlsx"), sheet, kw::TReadLimits{1u << 20, 5, 26}));
    EXPECT_EQ(sheet.Rows, 5);
    EXPECT_EQ(sheet.Columns, 26);
    EXPECT_EQ(Describe(sheet.Cells[4][25]), Expected("n:1"));
    EXPECT_THROW(kw::ReadWorkbook(PathOf("beyond-limits.xlsx"), sheet, kw::TReadLimits{1u << 20, 4, 26}),
                 kw::WorkbookError);
    EXPECT_THROW(kw::ReadWorkbook(PathOf("plain.xlsx"), sheet, kw::TReadLimits{1000, 100, 20}),
                 kw::WorkbookError);
}

// libxlsxwriter, which writes our exports, stores texts as shared strings and writes formatted blank cells
// that a spreadsheet counts in the used area.
TEST_F(WorkbookReaderTest, ReadsWhatLibxlsxwriterWrites) {
    const std::string path = PathOf("libxlsxwriter.xlsx");
    lxw_workbook* workbook = workbook_new(path.c_str());
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, "Оружие");
    lxw_format* fill = workbook_add_format(workbook);
    format_set_bg_color(fill, 0xC0C0C0);
    worksheet_write_string(worksheet, 0, 0, "Название", fill);
    worksheet_write_string(worksheet, 0, 1, "k_hit", fill);
    worksheet_write_string(worksheet, 1, 0, "wpn_ak74", nullptr);
    worksheet_write_number(worksheet, 1, 1, 0.35, nullptr);
    worksheet_write_string(worksheet, 2, 0, "wpn_ak74", nullptr);
    worksheet_write_blank(worksheet, 2, 2, fill);
    ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);

    TSheet sheet;
    ASSERT_NO_THROW(kw::ReadWorkbook(path, sheet, kLimits));
    EXPECT_EQ(sheet.Name, "Оружие");
    ASSERT_EQ(sheet.Rows, 3);
    ASSERT_EQ(sheet.Columns, 3);
    const TRows expected = {
        {"s:Название", "s:k_hit", ""}, {"s:wpn_ak74", "n:0.35", ""}, {"s:wpn_ak74", "", ""}};
    for (size_t r = 0; r < expected.size(); ++r) {
        for (size_t c = 0; c < expected[r].size(); ++c) {
            EXPECT_EQ(Describe(sheet.Cells[r][c]), Expected(expected[r][c]))
                << "row " << r << " column " << c;
        }
    }
}

// LibreOffice, where it is installed, writes the .xls workbooks many users have. Its conversion of the dates
// workbook must read with the same kinds: dates as dates, the look-alikes as numbers. The .xls library
// takes "[ss]" for no date, and Calc keeps a Boolean as a formatted number, so those two are not compared.
TEST_F(WorkbookReaderTest, ReadsWhatLibreOfficeWritesAsXls) {
    std::string office;
    for (const char* name : {"libreoffice", "soffice"}) {
        if (std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0) {
            office = name;
            break;
        }
    }
    if (office.empty()) {
        GTEST_SKIP() << "LibreOffice is not installed";
    }
    const std::string folder = PathOf("libreoffice");
    std::filesystem::create_directories(folder);
    const std::string command = office + " -env:UserInstallation=file://" + folder +
                                "/profile --headless --convert-to xls --outdir '" + folder + "' '" +
                                PathOf("dates.xlsx") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    TSheet sheet;
    TWorkbookFormat format = TWorkbookFormat::Csv;
    ASSERT_NO_THROW(kw::ReadWorkbook(folder + "/dates.xls", sheet, format, kLimits));
    EXPECT_EQ(format, TWorkbookFormat::Xls);
    // Name, f0..f15, the Boolean, the ISO date; "?" is not compared.
    const std::string kinds = "sddddd?ddddnnnnnn?d";
    ASSERT_EQ(sheet.Rows, 2);
    ASSERT_EQ(sheet.Columns, static_cast<int>(kinds.size()));
    for (size_t column = 0; column < kinds.size(); ++column) {
        const std::string cell = Describe(sheet.Cells[1][column]);
        if (kinds[column] != '?') {
            EXPECT_EQ(cell.substr(0, 1), std::string(1, kinds[column]))
                << "column " << column << ": " << cell;
        }
    }
}

TEST(CommaDecimalTest, TellsLocaleNumbersFromOtherTexts) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"0,3", true}, {"-12,50", true}, {"+1,0", true},     {"0.3", false}, {"1,2,3", false},
        {",5", false}, {"5,", false},    {"1.000,5", false}, {"a,b", false}, {"", false},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(kw::IsCommaDecimal(text), expected) << text;
    }
}

} // namespace
