#include "interchange/WorkingCopy.h"

#include "catalog/CatalogEntries.h"
#include "gamecfg/CodePage.h"
#include "interchange/GridBinding.h"
#include "interchange/GridTable.h"

#include <algorithm>
#include <utility>

namespace kw {

using namespace binding;

TMarkedCells GridMarks(const TDocument& document, const TGridDef& def) {
    const std::map<TCellRef, std::string>& cells = document.Cells();
    const int grid = GridIndex(def);
    return {cells.lower_bound({grid, 0, 0}), cells.lower_bound({grid + 1, 0, 0})};
}

TStringGrid WorkingCopy(const TGridDef& def, const TDocument& document, std::vector<std::string> headers) {
    TStringGrid grid(def);
    grid.SetHeaders(std::move(headers));
    FillTable(grid, document.Catalog());
    for (const auto& [cell, text] : GridMarks(document, def)) {
        if (cell.Row < grid.RowCount() && cell.Column < grid.ColumnCount()) {
            grid.SetText(cell.Row, cell.Column, text);
        }
    }
    return grid;
}

std::vector<TCellEdit> WorkingCopyEdits(const TStringGrid& grid, const TDocument& document) {
    std::vector<TCellEdit> edits;
    const int index = GridIndex(grid.Def());
    WithBoundGrid(grid.Def(), document.Catalog(), [&](const auto& bound) {
        const int rows = std::min(grid.EntryCount(), EntryCountOf(bound));
        for (int row = 0; row < rows; ++row) {
            for (int column = 1; column < grid.ColumnCount(); ++column) {
                const TCellRef cell{index, row, column};
                const std::string& text = grid.Text(row, column);
                std::string catalogText = CellTextOf(bound, row, column);
                const std::string* marked = document.CellText(cell);
                if (text == (marked ? *marked : catalogText)) {
                    continue;
                }
                edits.push_back(
                    {cell, text == catalogText ? std::nullopt : std::optional<std::string>(text)});
            }
        }
    });
    return edits;
}

std::optional<TCellDescription> DescribeCell(const TDocument& document, const TCellRef& cell) {
    if (cell.Grid < 0 || cell.Grid >= kGridCount) {
        return std::nullopt;
    }
    const TGridDef& def = kGridDefs[static_cast<std::size_t>(cell.Grid)];
    const std::string* text = document.CellText(cell);
    return WithBoundGrid(def, document.Catalog(), [&](const auto& bound) -> std::optional<TCellDescription> {
        if (!text || cell.Row < 0 || cell.Row >= EntryCountOf(bound) || cell.Column < 1 ||
            cell.Column >= def.ColumnCount()) {
            return std::nullopt;
        }
        auto& entry = *bound.Entries[static_cast<std::size_t>(cell.Row)];
        const auto& rule = *bound.Columns[static_cast<std::size_t>(cell.Column)];
        const TParam& param = rule.Param.In(entry);
        return TCellDescription{def.CatalogName,
                                ChangeEntryName(entry),
                                FileOf(entry, bound.CategoryFile),
                                SectionOf(entry, rule, bound.Keys),
                                rule.Key,
                                Utf8ToCp1251(*text).value_or(*text),
                                param.WasPresent(),
                                std::string(param.StoredValue())};
    });
}

} // namespace kw
