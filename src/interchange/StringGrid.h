#pragma once

#include "interchange/TableColumns.h"

#include <functional>
#include <string>
#include <vector>

namespace kw {

// Index conventions, the same for every grid and everything built on it.
//
// A grid is a header plus data rows. Data rows are counted from 0, as a QTableWidget counts the rows below
// its horizontal header: data row r shows the catalog entry at position r. Columns are counted from 0;
// column 0 holds the entry's name.
//
// The classic string grid counted its header as row 0, so its RowCount is RowCount() + 1 (SheetRows()) and
// its cell (column c, row r) is Text(r - 1, c). An empty catalog still shows one empty data row, so
// RowCount() is never below 1.
//
// A worksheet holds the header in its first row: data cell (r, c) is the sheet's zero-based cell
// (row r + 1, column c), and the sheet's 1-based last used cell of a whole grid is
// (SheetRows(), ColumnCount()).
inline constexpr int kHeaderRows = 1;

// The spreadsheet name of the sheet's zero-based cell: "A1" for (0, 0), "C4" for (3, 2).
std::string SheetCellName(int row, int column);

struct TCellPos {
    int Row;
    int Column;
    bool operator==(const TCellPos&) const = default;
};

// A working copy of one catalog as the table view shows it: texts are UTF-8. It remembers what the last
// fill put into each cell; a cell whose text differs from that is marked, and only marked cells are stored.
class TStringGrid {
public:
    // An empty grid of def's columns with the built-in headers: one empty data row, no entries.
    explicit TStringGrid(const TGridDef& def);

    const TGridDef& Def() const { return *FDef; }

    int RowCount() const { return FRows; }
    int ColumnCount() const { return FColumns; }
    int SheetRows() const { return FRows + kHeaderRows; }
    // Rows that show an entry; 0 for an empty catalog, whose one data row belongs to no entry.
    int EntryCount() const { return FEntries; }

    // Data cells of columns 1 and up that show an entry; the name column and the empty catalog's row are
    // never edited.
    bool IsEditable(int row, int column) const;

    const std::string& Text(int row, int column) const;
    // Any cell may be set, so that a view can mirror its widget; only editable cells are ever stored.
    void SetText(int row, int column, std::string text);
    // What the last fill put into the cell.
    const std::string& FilledText(int row, int column) const;
    bool IsMarked(int row, int column) const;
    // Marked cells row by row, left to right.
    std::vector<TCellPos> MarkedCells() const;

    const std::string& Header(int column) const { return FHeaders[column]; }
    const std::vector<std::string>& Headers() const { return FHeaders; }
    void SetHeaders(std::vector<std::string> headers);

    // Replaces the whole content: entries rows of filled texts, each row with ColumnCount() cells. With no
    // rows the grid keeps one empty data row. The headers stay.
    void Fill(std::vector<std::vector<std::string>> rows);
    // The same with the text of each cell from cell(row, column).
    using TCellSource = std::function<std::string(int row, int column)>;
    void Fill(int entries, const TCellSource& cell);
    // Takes the current texts as the filled ones: nothing is marked afterwards.
    void AcceptTexts();

private:
    std::size_t Index(int row, int column) const;

    const TGridDef* FDef;
    int FRows = 1;
    int FColumns;
    int FEntries = 0;
    std::vector<std::string> FTexts;
    std::vector<std::string> FFilled;
    std::vector<std::string> FHeaders;
};

// The header texts of a grid in the current language: lookup(key, builtIn) returns the language's text
// for key, or builtIn when the language lacks it.
using THeaderLookup = std::function<std::string(const char* key, const char* builtIn)>;
std::vector<std::string> GridHeaders(const TGridDef& def, const THeaderLookup& lookup);
// The built-in Russian headers.
std::vector<std::string> BuiltInHeaders(const TGridDef& def);

} // namespace kw
