// The CSV reader on any text: it refuses it naming the file, or reads a sheet that, written back with every
// field quoted, reads again cell for cell.

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

// The sheet as CSV: the fields of each record up to its first Empty cell, all quoted.
std::string AsCsv(const kw::TSheet& sheet) {
    std::string csv;
    for (const auto& row : sheet.Cells) {
        std::string record;
        for (size_t c = 0; c < row.size() && row[c].Kind == kw::TSheetCell::TKind::String; ++c) {
            record += (c == 0 ? "" : ",") + Quoted(row[c].Text);
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
    kw::TSheet sheet;
    if (!kw::fuzz::ReadChecked(kw::fuzz::WriteScratch("sheet.csv", bytes), sheet)) {
        return 0;
    }
    for (const auto& row : sheet.Cells) {
        Require(!row.empty() && row[0].Kind == kw::TSheetCell::TKind::String);
        for (size_t c = 1; c < row.size(); ++c) {
            Require(row[c - 1].Kind == kw::TSheetCell::TKind::String ||
                    row[c].Kind == kw::TSheetCell::TKind::Empty);
        }
    }
    kw::TSheet again;
    Require(kw::fuzz::ReadChecked(kw::fuzz::WriteScratch("again.csv", AsCsv(sheet)), again));
    Require(again.Rows == sheet.Rows && again.Columns == sheet.Columns);
    for (int r = 0; r < sheet.Rows; ++r) {
        for (int c = 0; c < sheet.Columns; ++c) {
            Require(again.Cells[r][c].Kind == sheet.Cells[r][c].Kind);
            Require(again.Cells[r][c].Text == sheet.Cells[r][c].Text);
        }
    }
    return 0;
}
