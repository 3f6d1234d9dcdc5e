#include "interchange/WorkbookWriter.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"
#include "interchange/NumberText.h"

#include <xlsxwriter.h>

#include <clocale>
#include <locale.h>
#include <map>
#include <tuple>

namespace kw {
namespace {

constexpr double kPixelsPerPoint = 1.33;
constexpr double kPixelsPerCharacter = 7.27;
constexpr lxw_color_t kWhite = 0xFFFFFF;
constexpr lxw_color_t kSilver = 0xC0C0C0;

// libxlsxwriter prints numbers with the C library, which follows the locale: under a comma-decimal locale
// it would write "0,3" into the XML. The calls run in the C locale on this thread only.
class TCLocale {
public:
    TCLocale() : FLocale(newlocale(LC_ALL_MASK, "C", nullptr)), FPrevious(uselocale(FLocale)) {}
    ~TCLocale() {
        uselocale(FPrevious);
        freelocale(FLocale);
    }
    TCLocale(const TCLocale&) = delete;
    TCLocale& operator=(const TCLocale&) = delete;

private:
    locale_t FLocale;
    locale_t FPrevious;
};

// Everything that decides how one cell looks. The overlapping ranges of the layout (whole table, header
// row, last row, first and last column, dotted row lines, shaded odd rows, inner column lines) are
// combined here into one format per cell, as libxlsxwriter takes one format per cell.
struct TCellStyle {
    bool Silver = false;
    bool Centred = false;
    std::uint8_t Top = LXW_BORDER_NONE;
    std::uint8_t Bottom = LXW_BORDER_NONE;
    std::uint8_t Left = LXW_BORDER_NONE;
    std::uint8_t Right = LXW_BORDER_NONE;

    auto Key() const { return std::tuple(Silver, Centred, Top, Bottom, Left, Right); }
};

// Sheet row and column counted from 0; rows and columns are the sheet's extent.
TCellStyle StyleAt(int row, int column, int rows, int columns) {
    TCellStyle style;
    const int sheetRow = row + 1; // the layout counts sheet rows from 1
    if (row == 0) {
        style.Silver = true;
        style.Centred = true;
        style.Top = LXW_BORDER_MEDIUM;
        style.Bottom = LXW_BORDER_MEDIUM;
    } else if (sheetRow >= 3) {
        style.Top = LXW_BORDER_DOTTED;
        style.Silver = sheetRow % 2 == 1;
    }
    if (row == rows - 1) {
        style.Bottom = LXW_BORDER_MEDIUM;
    }
    if (column == 0) {
        style.Left = LXW_BORDER_MEDIUM;
        style.Right = LXW_BORDER_MEDIUM;
    } else if (column == columns - 1) {
        style.Right = LXW_BORDER_MEDIUM;
    } else {
        style.Right = LXW_BORDER_THIN;
    }
    return style;
}

class TWorkbook {
public:
    TWorkbook(const std::string& file, const std::string& shownPath) : FShownPath(shownPath) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_FALSE;
        FWorkbook = workbook_new_opt(file.c_str(), &options);
        if (!FWorkbook) {
            Fail("the workbook could not be created");
        }
    }
    ~TWorkbook() {
        if (FWorkbook) {
            // Closing is the only way to free a libxlsxwriter workbook; the half-written file is removed.
            workbook_close(FWorkbook);
        }
    }
    TWorkbook(const TWorkbook&) = delete;
    TWorkbook& operator=(const TWorkbook&) = delete;

    lxw_worksheet* AddSheet(const std::string& name) {
        lxw_worksheet* sheet = workbook_add_worksheet(FWorkbook, name.c_str());
        if (!sheet) {
            Fail("the sheet \"" + name + "\" could not be added");
        }
        return sheet;
    }

    lxw_format* Format(const TCellStyle& style, const std::string& fontName) {
        auto [it, fresh] = FFormats.try_emplace(style.Key(), nullptr);
        if (fresh) {
            lxw_format* format = workbook_add_format(FWorkbook);
            format_set_font_name(format, fontName.c_str());
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, style.Silver ? kSilver : kWhite);
            format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
            format_set_align(format, style.Centred ? LXW_ALIGN_CENTER : LXW_ALIGN_LEFT);
            format_set_top(format, style.Top);
            format_set_bottom(format, style.Bottom);
            format_set_left(format, style.Left);
            format_set_right(format, style.Right);
            it->second = format;
        }
        return it->second;
    }

    void Check(lxw_error error, const std::string& what) {
        if (error != LXW_NO_ERROR) {
            Fail(what + ": " + lxw_strerror(error));
        }
    }

    void Close() {
        const lxw_error error = workbook_close(FWorkbook);
        FWorkbook = nullptr;
        Check(error, "the workbook could not be written");
    }

private:
    [[noreturn]] void Fail(const std::string& reason) {
        throw Error("Unable to write to " + FShownPath + ": " + reason);
    }

    lxw_workbook* FWorkbook = nullptr;
    std::string FShownPath;
    std::map<decltype(TCellStyle{}.Key()), lxw_format*> FFormats;
};

// The text of sheet cell (row, column): the header, then the data rows.
const std::string& SheetText(const TStringGrid& grid, int row, int column) {
    return row < kHeaderRows ? grid.Header(column) : grid.Text(row - kHeaderRows, column);
}

void WriteCells(TWorkbook& book, lxw_worksheet* sheet, const TStringGrid& grid, const TGridLayout& layout) {
    const int rows = grid.SheetRows();
    const int columns = grid.ColumnCount();
    for (int column = 0; column < columns; ++column) {
        const double width = layout.ColumnWidths.at(static_cast<std::size_t>(column)) / kPixelsPerCharacter;
        book.Check(worksheet_set_column(sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                                        width, nullptr),
                   "column " + std::to_string(column + 1));
    }
    for (int row = 0; row < rows; ++row) {
        const double height = layout.RowHeights.at(static_cast<std::size_t>(row)) / kPixelsPerPoint;
        book.Check(worksheet_set_row(sheet, static_cast<lxw_row_t>(row), height, nullptr),
                   "row " + std::to_string(row + 1));
        for (int column = 0; column < columns; ++column) {
            lxw_format* format = book.Format(StyleAt(row, column, rows, columns), layout.FontName);
            const std::string& text = SheetText(grid, row, column);
            const auto r = static_cast<lxw_row_t>(row);
            const auto c = static_cast<lxw_col_t>(column);
            lxw_error error = LXW_NO_ERROR;
            if (text.empty()) {
                error = worksheet_write_blank(sheet, r, c, format);
            } else if (const std::optional<double> number = ParsePlainDecimal(text)) {
                error = worksheet_write_number(sheet, r, c, *number == 0 ? 0.0 : *number, format);
            } else {
                error = worksheet_write_string(sheet, r, c, text.c_str(), format);
            }
            book.Check(error, "cell " + SheetCellName(row, column));
        }
    }
}

void CheckLayout(const TStringGrid& grid, const TGridLayout& layout) {
    if (layout.ColumnWidths.size() != static_cast<std::size_t>(grid.ColumnCount()) ||
        layout.RowHeights.size() != static_cast<std::size_t>(grid.SheetRows())) {
        throw std::invalid_argument("grid layout does not match the grid");
    }
}

// Removes the scratch file whatever happens.
class TScratchFile {
public:
    explicit TScratchFile(std::string path) : FPath(std::move(path)) { fs::RemoveFile(FPath); }
    ~TScratchFile() { fs::RemoveFile(FPath); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

void RefuseObstacle(const std::string& path) {
    const std::string obstacle = fs::WriteObstacle(path, true);
    if (!obstacle.empty()) {
        throw Error("Unable to write to " + fs::Resolve(path) + ": " + obstacle);
    }
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

} // namespace

TGridLayout DefaultLayout(const TStringGrid& grid, const std::string& fontName) {
    TGridLayout layout;
    for (int column = 0; column < grid.ColumnCount(); ++column) {
        layout.ColumnWidths.push_back(DefaultColumnWidth(grid.Def(), column));
    }
    layout.RowHeights.assign(static_cast<std::size_t>(grid.SheetRows()), kTableRowHeight);
    layout.FontName = fontName;
    return layout;
}

std::string SheetName(const std::string& title) {
    std::string name;
    int characters = 0;
    for (std::size_t i = 0; i < title.size() && characters < 31; ++characters) {
        std::size_t length = 1;
        while (i + length < title.size() && (static_cast<unsigned char>(title[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        const char c = title[i];
        const bool forbidden = length == 1 && std::string_view("[]:*?/\\").find(c) != std::string_view::npos;
        name += forbidden ? std::string("_") : title.substr(i, length);
        i += length;
    }
    // Spreadsheet applications refuse a name that begins or ends with an apostrophe.
    if (!name.empty() && name.front() == '\'') {
        name.front() = '_';
    }
    if (!name.empty() && name.back() == '\'') {
        name.back() = '_';
    }
    return name.empty() ? "Sheet1" : name;
}

void WriteWorkbook(const std::string& path, const std::string& title, const TStringGrid& grid,
                   const TGridLayout& layout) {
    CheckLayout(grid, layout);
    RefuseObstacle(path);
    TScratchFile scratch(fs::ScratchPathBeside(path, "kwxlsx"));
    {
        const TCLocale cLocale;
        TWorkbook book(scratch.Path(), fs::Resolve(path));
        WriteCells(book, book.AddSheet(SheetName(title)), grid, layout);
        book.Close();
    }
    const std::optional<std::string> bytes = fs::ReadFile(scratch.Path());
    if (!bytes) {
        throw Error("Unable to write to " + fs::Resolve(path) +
                    ": the workbook written beside it cannot be read");
    }
    fs::AtomicReplace(path, *bytes);
}

void WriteCsv(const std::string& path, const TStringGrid& grid) {
    RefuseObstacle(path);
    // The byte order mark makes Excel read the file as UTF-8 rather than in the system's code page.
    std::string text = "\xEF\xBB\xBF";
    for (int row = 0; row < grid.SheetRows(); ++row) {
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            text += (column > 0 ? "," : "") + CsvField(SheetText(grid, row, column));
        }
        text += "\r\n";
    }
    fs::AtomicReplace(path, text);
}

TExportFormat ExportFormatOf(const std::string& path) {
    return path.size() >= 4 && EqualIgnoringAsciiCase(std::string_view(path).substr(path.size() - 4), ".csv")
               ? TExportFormat::Csv
               : TExportFormat::Xlsx;
}

} // namespace kw
