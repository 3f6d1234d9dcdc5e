#pragma once

#include "gamecfg/Error.h"
#include "interchange/Sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reads the first worksheet of a workbook file into a TSheet, whatever program wrote it. The format comes
// from the file's first bytes, never from its name: a zip archive is read as .xlsx, an OLE2 compound file
// as .xls, anything else as .csv text.
//
// What each format yields:
// - .xlsx: strings (shared, inline, formula results; rich-text runs joined, phonetic runs left out,
//   "_xHHHH_" escapes decoded), numbers, booleans and dates. A number whose cell style has a date or time
//   format (the built-in ones, or a format code of day, month, year, hour or second parts) is a Date whose
//   Text reads "2023-03-15", "2023-03-15 12:30:00" or "12:30:00" (the number itself when it lies outside
//   the years 1900-9999); a cell of the ISO date type is a Date of its ISO text. A formula without a
//   cached value or an error value ("#DIV/0!") refuses the file, naming the cell ("C4"). Rows and Columns
//   are the used area: the last row and the last column holding a cell element, a value-less formatted
//   cell included, as a spreadsheet's "last cell" counts it.
// - .xls: values only; Rows and Columns are the counts the file declares. Booleans are Bool cells; dates
//   and times are Date cells of the ISO text the .xls library makes of them ("2023-03-15", "2023-03-15
//   12:30:00", "12:30:00"), by the library's judgment of the number formats. An error value refuses the
//   file, naming the cell. Before the library opens the file its records are scanned: a damaged compound
//   file, a first sheet declared beyond the limits, sheets declared far larger than the file's bytes could
//   fill and dates the library would take seconds to count refuse the file. The .xls library cannot tell
//   an empty cell from one it could not read (formula results among them): both come as Empty. The caller
//   learns the format through the overload below and treats every Empty cell of an .xls sheet as unread
//   wherever the grid holds a text there, asking for the workbook saved as .xlsx.
// - .csv: UTF-8 (a byte-order mark is dropped), or windows-1251 when the bytes are not UTF-8; fields
//   separated by ",", or by ";" or TAB when the header row splits on that into GridColumns fields and holds
//   no comma (see TReadLimits); quotes doubled; CRLF, LF or CR. Every field is a String cell, "" when empty;
//   deciding what is a number is the caller's job. A record whose field count differs from the header
//   row's refuses the file, naming its line; blank lines at the end are ignored. A file written under a
//   comma-decimal locale shows itself as texts like "0,3": see IsCommaDecimal.
// - .ods: refused with the advice to save it as .xlsx.
//
// Rows and Columns count from sheet cell A1, so Cells[0] is the header row and Cells[r][0] the name
// column. Every row of Cells holds exactly Columns cells.
namespace kw {

// Bounds that keep a hostile file from exhausting memory. A part (a file inside an .xlsx archive) whose
// directory size exceeds MaxPartBytes is refused before it is inflated, and so is one that inflates past
// it; the workbook file itself may not exceed it either. A cell beyond MaxRows or MaxColumns refuses the
// file: pass bounds above the grid's size, so that a sheet a row or a column larger than the grid still
// reaches the size test.
struct TReadLimits {
    uint64_t MaxPartBytes = 64u << 20;
    int MaxRows = 10000;
    int MaxColumns = 256;
    // The columns of the grid the file is read for, 0 for none: a CSV header row that splits into this many
    // fields on ";" or TAB, and holds no comma, was written with that separator.
    int GridColumns = 0;
};

enum class TWorkbookFormat { Xlsx, Xls, Csv };

// What a read tells of the file besides its cells.
struct TWorkbookInfo {
    TWorkbookFormat Format = TWorkbookFormat::Xlsx;
    char Separator = ','; // of a CSV file
};

// The reason a workbook cannot be read, naming the file and the problem, in UTF-8.
class WorkbookError : public Error {
public:
    using Error::Error;
};

// Throws WorkbookError; sheet is left empty then.
void ReadWorkbook(const std::string& path, TSheet& sheet, const TReadLimits& limits = {});

// As above, and tells which reader read the file (see .xls above) and, for CSV, the separator.
void ReadWorkbook(const std::string& path, TSheet& sheet, TWorkbookInfo& info,
                  const TReadLimits& limits = {});
void ReadWorkbook(const std::string& path, TSheet& sheet, TWorkbookFormat& format,
                  const TReadLimits& limits = {});

// The format the first bytes of a file name.
TWorkbookFormat WorkbookFormatOf(std::string_view firstBytes);

// True for a text a comma-decimal locale makes of a decimal number: an optional sign, digits, one comma
// and digits ("0,3", "-12,50"). Text that holds a list ("1,2,3") or a thousands group with a point is not.
bool IsCommaDecimal(std::string_view text);

} // namespace kw
