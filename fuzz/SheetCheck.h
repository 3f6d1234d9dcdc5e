#pragma once

#include "ScratchFile.h"
#include "gamecfg/CodePage.h"
#include "interchange/WorkbookReader.h"

#include <cmath>
#include <string>

// What every workbook read promises, whatever the bytes: a refusal names the file and leaves the sheet
// empty; a read sheet is a rectangle within the limits, of valid UTF-8 and finite numbers.
namespace kw::fuzz {

inline const TReadLimits kFuzzLimits{1u << 20, 200, 40};

// Reads path; returns whether the sheet was read.
inline bool ReadChecked(const std::string& path, TSheet& sheet, TWorkbookInfo& info,
                        const TReadLimits& limits = kFuzzLimits) {
    try {
        ReadWorkbook(path, sheet, info, limits);
    } catch (const WorkbookError& error) {
        Require(std::string(error.what()).starts_with(path + ": "));
        Require(IsValidUtf8(error.what()));
        Require(sheet.Rows == 0 && sheet.Columns == 0 && sheet.Cells.empty());
        return false;
    }
    Require(sheet.Rows >= 0 && sheet.Rows <= kFuzzLimits.MaxRows);
    Require(sheet.Columns >= 0 && sheet.Columns <= kFuzzLimits.MaxColumns);
    Require((sheet.Rows == 0) == (sheet.Columns == 0));
    Require(sheet.Cells.size() == static_cast<size_t>(sheet.Rows));
    Require(IsValidUtf8(sheet.Name));
    for (const auto& row : sheet.Cells) {
        Require(row.size() == static_cast<size_t>(sheet.Columns));
        for (const TSheetCell& cell : row) {
            Require(IsValidUtf8(cell.Text));
            Require(cell.Kind == TSheetCell::TKind::String || cell.Kind == TSheetCell::TKind::Date ||
                    cell.Text.empty());
            Require(std::isfinite(cell.Number));
        }
    }
    return true;
}

inline bool ReadChecked(const std::string& path, TSheet& sheet) {
    TWorkbookInfo info;
    return ReadChecked(path, sheet, info);
}

} // namespace kw::fuzz
