// The CSV reader on any text, read for a grid of a column count the first byte picks: it refuses it naming
// the file, or reads a rectangle of texts that, written back with every field quoted and the separator it
// found, reads again cell for cell with that separator (for a header without separators or quotes inside).

#include "SheetCheck.h"

#include <string>

using kw::fuzz::Require;

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + "\"";
}

// The sheet as CSV, every field quoted.
std::string AsCsv(const kw::TSheet& sheet, char separator) {
    std::string csv;
    for (const auto& row : sheet.Cells) {
        std::string record;
        for (size_t c = 0; c < row.size(); ++c) {
            record += (c == 0 ? "" : std::string(1, separator)) + Quoted(row[c].Text);
        }
        csv += record + "\r\n";
    }
    return csv;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = kw::fuzz::AsString(data, size);
    if (kw::WorkbookFormatOf(bytes) != kw::TWorkbookFormat::Csv) {
        return 0; // the archive readers have their own target
    }
    kw::TReadLimits limits = kw::fuzz::kFuzzLimits;
    limits.GridColumns = size > 0 ? data[0] % 16 : 0;
    kw::TSheet sheet;
    kw::TWorkbookInfo info;
    if (!kw::fuzz::ReadChecked(kw::fuzz::WriteScratch("sheet.csv", bytes), sheet, info, limits)) {
        return 0;
    }
    Require(info.Separator == ',' || info.Separator == ';' || info.Separator == '\t');
    for (const auto& row : sheet.Cells) {
        for (const kw::TSheetCell& cell : row) {
            Require(cell.Kind == kw::TSheetCell::TKind::String);
        }
    }
    // A header that holds a separator or a quote of its own can read another way once quoted; the round
    // trip holds for the headers spreadsheets write.
    for (const kw::TSheetCell& header : sheet.Cells.front()) {
        if (header.Text.find_first_of(",;\t\"") != std::string::npos) {
            return 0;
        }
    }
    kw::TSheet again;
    kw::TWorkbookInfo againInfo;
    Require(kw::fuzz::ReadChecked(kw::fuzz::WriteScratch("again.csv", AsCsv(sheet, info.Separator)), again,
                                  againInfo, limits));
    Require(againInfo.Separator == info.Separator);
    Require(again.Rows == sheet.Rows && again.Columns == sheet.Columns);
    for (int r = 0; r < sheet.Rows; ++r) {
        for (int c = 0; c < sheet.Columns; ++c) {
            Require(again.Cells[r][c].Kind == sheet.Cells[r][c].Kind);
            Require(again.Cells[r][c].Text == sheet.Cells[r][c].Text);
        }
    }
    return 0;
}
