#include "interchange/ChartColumn.h"

#include "interchange/ChartNumbers.h"
#include "interchange/GridBinding.h"
#include "interchange/WorkingCopy.h"

#include <algorithm>

namespace kw {
namespace {

using namespace binding;

// The texts of one cell. Numbers are ASCII, the same bytes in windows-1251 as in UTF-8, so the catalog's
// bytes are read as they are and only a marked cell's text is compared in UTF-8.
struct TCellTexts {
    std::string_view Shown;
    std::string_view OnDisk;
    bool Changed;
    bool Inherited;
};

template <class Visit>
void ForEachCell(const TGridDef& def, const TDocument& document, int column, Visit visit) {
    WithBoundGrid(def, document.Catalog(), [&](const auto& bound) {
        const auto* rule = column >= 1 && column < def.ColumnCount()
                               ? bound.Columns[static_cast<std::size_t>(column)]
                               : nullptr;
        for (int row = 0; row < EntryCountOf(bound); ++row) {
            if (!rule) {
                visit(std::optional<TCellTexts>());
                continue;
            }
            const TParam& param = rule->Param.In(*bound.Entries[static_cast<std::size_t>(row)]);
            const std::string* marked = document.CellText({GridIndex(def), row, column});
            const bool changed =
                marked ? *marked != Cp1251ToUtf8(param.StoredValue()) : param.Value != param.StoredValue();
            const std::string_view shown = marked ? std::string_view(*marked) : std::string_view(param.Value);
            const TInheritedValue* inherited =
                shown.empty() ? ShownInheritedValue(document.Catalog(), param) : nullptr;
            visit(std::optional<TCellTexts>(TCellTexts{inherited ? std::string_view(inherited->Value) : shown,
                                                       param.StoredValue(), changed, inherited != nullptr}));
        }
    });
}

} // namespace

std::vector<TChartCell> ReadChartColumn(const TGridDef& def, const TDocument& document, int column,
                                        int element) {
    std::vector<TChartCell> cells;
    ForEachCell(def, document, column, [&](const std::optional<TCellTexts>& texts) {
        TChartCell& cell = cells.emplace_back();
        if (texts) {
            cell.Shown = ChartNumber(texts->Shown, element);
            cell.Changed = texts->Changed;
            cell.OnDisk = texts->Changed ? ChartNumber(texts->OnDisk, element) : std::nullopt;
            cell.Inherited = texts->Inherited;
        }
    });
    return cells;
}

int ChartListLength(const TGridDef& def, const TDocument& document, int column) {
    std::size_t length = 0;
    ForEachCell(def, document, column, [&](const std::optional<TCellTexts>& texts) {
        if (const auto numbers = texts ? CellNumbers(texts->Shown) : std::nullopt) {
            length = std::max(length, numbers->size());
        }
    });
    return static_cast<int>(length);
}

} // namespace kw
