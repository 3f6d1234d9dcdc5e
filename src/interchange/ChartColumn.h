#pragma once

#include "catalog/Document.h"
#include "interchange/TableColumns.h"

#include <optional>
#include <vector>

namespace kw {

// One entry of a chart of a grid column.
struct TChartCell {
    std::optional<double> Shown;  // the grid's text as the chart draws it (ChartNumber); nothing: left out
    bool Changed = false;         // the grid shows another text than the file holds
    std::optional<double> OnDisk; // for a changed entry, the file's text as the chart draws it
    bool Inherited = false;       // the grid's text is empty: Shown is what a parent section supplies
};

// The cells of column of def's grid, one per entry in catalog order: the grid's working copy (the document's
// marked cells over the catalog's values) and what the files hold (the values of the last load or save),
// each read as ChartNumber reads it with element. An empty text gives way to what a parent section supplies,
// as the grid paints it. The name column and columns beyond the grid give cells
// that are all left out.
std::vector<TChartCell> ReadChartColumn(const TGridDef& def, const TDocument& document, int column,
                                        int element);

// The most numbers a cell of the column holds: above one, the column holds lists, such as a damage per
// difficulty, and a chart chooses their element.
int ChartListLength(const TGridDef& def, const TDocument& document, int column);

} // namespace kw
