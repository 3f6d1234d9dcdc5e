#include "interchange/WorkbookReader.h"

#include "catalog/GameDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kw {
namespace {

using ::testing::HasSubstr;
using TRows = std::vector<std::vector<std::string>>;

// The bytes of a CSV file as a spreadsheet program under some locale saves it, read for a grid of
// GridColumns columns: the separator and the rows found, or the part of the refusal that says why.
struct TCsvCase {
    const char* Name;
    std::string Bytes;
    int GridColumns;
    char Separator = ',';
    TRows Rows;
    const char* Refusal = nullptr;
};

std::ostream& operator<<(std::ostream& out, const TCsvCase& c) {
    return out << c.Name;
}

const TCsvCase kCsvCases[] = {
    {"Comma", "name,a,b\r\nx,1,2\r\n", 3, ',', {{"name", "a", "b"}, {"x", "1", "2"}}},
    {"Semicolon", "name;a;b\r\nx;0,5;2\r\n", 3, ';', {{"name", "a", "b"}, {"x", "0,5", "2"}}},
    {"Tab", "name\ta\tb\nx\t0,5\t2\n", 3, '\t', {{"name", "a", "b"}, {"x", "0,5", "2"}}},
    // A header that splits on ";" into another count than the grid's, or that holds a comma, keeps ",".
    {"SemicolonOfAnotherCount", "name;a\r\nx;1\r\n", 3, ',', {{"name;a"}, {"x;1"}}},
    {"HeaderWithComma", "name,a;b;c\r\nx,1\r\n", 3, ',', {{"name", "a;b;c"}, {"x", "1"}}},
    {"QuotedSeparators",
     "name;\"a;1\";b\r\n\"x;y\";\"1\";\"2\"\r\n",
     3,
     ';',
     {{"name", "a;1", "b"}, {"x;y", "1", "2"}}},
    {"Windows1251",
     "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5;a;b\r\n\xf5\xeb\xe5\xe1;0,5;\xb9\r\n",
     3,
     ';',
     {{"Название", "a", "b"}, {"хлеб", "0,5", "№"}}},
    {"ByteOrderMark", "\xEF\xBB\xBFname;a;b\r\nx;1;2\r\n", 3, ';', {{"name", "a", "b"}, {"x", "1", "2"}}},
    {"TrailingBlankLines",
     "name,a,b\r\nx,1,2\r\n\r\n  \r\n\n",
     3,
     ',',
     {{"name", "a", "b"}, {"x", "1", "2"}}},
    {"LoneCarriageReturns", "name,a,b\rx,1,2\r", 3, ',', {{"name", "a", "b"}, {"x", "1", "2"}}},
    {"EmptyFieldsKeepTheCount", "name,a,b\r\n,,\r\n", 3, ',', {{"name", "a", "b"}, {"", "", ""}}},
    {"LastRecordCutShort",
     "name,a,b\r\nx,1,2\r\ny,1",
     3,
     ',',
     {},
     "line 3 holds 2 fields where the header row holds 3"},
    {"RecordTooLong", "name;a;b\r\nx;1;2;3\r\n", 3, ';', {}, "line 2 holds 4 fields"},
    {"BlankLineBetween", "name,a,b\r\nx,1,2\r\n\r\ny,1,2\r\n", 3, ',', {}, "line 3 holds 1 field "},
    {"LinesCountedInsideQuotes", "name,a,b\r\n\"two\nlines\",1,2\r\nz,1\r\n", 3, ',', {}, "line 4 holds 2"},
    {"NeitherCodePage", "name,a\r\n\x01\x98\r\n", 2, ',', {}, "neither a workbook nor text"},
};

class CsvReading : public ::testing::TestWithParam<TCsvCase> {
protected:
    test::TGameDir folder;
};

TEST_P(CsvReading, SeparatorCodePageAndRecordShape) {
    const TCsvCase& c = GetParam();
    folder.Write("sheet.csv", c.Bytes);
    TReadLimits limits;
    limits.GridColumns = c.GridColumns;
    TSheet sheet;
    TWorkbookInfo info;
    if (c.Refusal) {
        try {
            ReadWorkbook(folder.Full("sheet.csv").string(), sheet, info, limits);
            FAIL() << "read " << sheet.Rows << " rows";
        } catch (const WorkbookError& e) {
            EXPECT_THAT(e.what(), HasSubstr("sheet.csv: "));
            EXPECT_THAT(e.what(), HasSubstr(c.Refusal));
        }
        return;
    }
    ReadWorkbook(folder.Full("sheet.csv").string(), sheet, info, limits);
    EXPECT_EQ(info.Format, TWorkbookFormat::Csv);
    EXPECT_EQ(info.Separator, c.Separator);
    TRows rows;
    for (const auto& cells : sheet.Cells) {
        rows.emplace_back();
        for (const TSheetCell& cell : cells) {
            rows.back().push_back(cell.Text);
        }
    }
    EXPECT_EQ(rows, c.Rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvReading, ::testing::ValuesIn(kCsvCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WorkbookFilesTest, FoldersOpenDocumentAndMissingFilesAreNamed) {
    test::TGameDir folder;
    folder.Write("sheet.ods/inner", "x");
    // The start of an OpenDocument spreadsheet: its first member is the media type, stored as it is.
    folder.Write("prices.ods", std::string("PK\x03\x04", 4) + std::string(26, '\0') +
                                   "mimetypeapplication/vnd.oasis.opendocument.spreadsheetPK");
    const std::pair<const char*, const char*> cases[] = {
        {"sheet.ods", "is not a regular file"},
        {"prices.ods", "OpenDocument spreadsheets are not read; save it as .xlsx"},
        {"none.xlsx", "the file does not exist"},
    };
    for (const auto& [name, why] : cases) {
        TSheet sheet;
        const std::string path = folder.Full(name).string();
        try {
            ReadWorkbook(path, sheet);
            ADD_FAILURE() << name << " was read";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(std::string(e.what()), path + ": " + why);
        }
    }
}

} // namespace
} // namespace kw
