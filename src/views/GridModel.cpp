#include "views/GridModel.h"

#include "gamecfg/ColourText.h"
#include "interchange/GridTable.h"
#include "interchange/WorkingCopy.h"
#include "translate/Texts.h"
#include "views/ColourSwatch.h"
#include "views/GameText.h"

#include <QBrush>
#include <QFont>

#include <algorithm>
#include <optional>
#include <utility>

namespace kw {

TGridModel::TGridModel(const TGridDef& def, TDocument& document, QObject* parent)
    : QAbstractTableModel(parent), FDef(def), FDocument(document), FHeaders(BuiltInHeaders(def)),
      FInheritedHint(QString::fromUtf8(kInheritedFromText.Default)),
      FEntries(CatalogEntryCount(def, document.Catalog())) {
    FListener = FDocument.Listen([this](const TDocumentChange& change) { OnDocumentChange(change); });
}

TGridModel::~TGridModel() {
    FDocument.StopListening(FListener);
}

TCellRef TGridModel::Ref(int row, int column) const {
    return {GridIndex(FDef), row, column};
}

bool TGridModel::IsEditable(int row, int column) const {
    return row >= 0 && row < FEntries && column >= 1 && column < FDef.ColumnCount();
}

std::string TGridModel::CatalogText(int row, int column) const {
    return row < FEntries ? CatalogCellText(FDef, FDocument.Catalog(), row, column) : std::string();
}

std::string TGridModel::Text(int row, int column) const {
    if (const std::string* marked = FDocument.CellText(Ref(row, column))) {
        return *marked;
    }
    return CatalogText(row, column);
}

bool TGridModel::IsMarked(int row, int column) const {
    return FDocument.CellText(Ref(row, column)) != nullptr;
}

std::vector<TCellPos> TGridModel::MarkedCells() const {
    std::vector<TCellPos> cells;
    for (const auto& [cell, text] : GridMarks(FDocument, FDef)) {
        cells.push_back({cell.Row, cell.Column});
    }
    return cells;
}

bool TGridModel::HasMarks() const {
    return !GridMarks(FDocument, FDef).empty();
}

const TInheritedValue* TGridModel::InheritedValue(int row, int column) const {
    if (!IsEditable(row, column) || !Text(row, column).empty()) {
        return nullptr;
    }
    return CatalogCellInheritedValue(FDef, FDocument.Catalog(), row, column);
}

void TGridModel::SetInheritedHint(QString hint) {
    FInheritedHint = std::move(hint);
}

QVariant TGridModel::InheritedData(int row, int column, int role) const {
    const TInheritedValue* inherited = InheritedValue(row, column);
    if (!inherited) {
        return {};
    }
    switch (role) {
    case kInheritedTextRole:
        return GameTextToQt(inherited->Value);
    case Qt::ForegroundRole:
        return QBrush(InheritedColor());
    case Qt::FontRole: {
        QFont font;
        font.setItalic(true);
        return font;
    }
    case Qt::ToolTipRole:
        return FInheritedHint.arg(GameTextToQt(inherited->Source->Section),
                                  GameTextToQt(inherited->Source->ConfigFile()));
    default:
        return {};
    }
}

void TGridModel::SetHeaders(std::vector<std::string> headers) {
    headers.resize(static_cast<std::size_t>(FDef.ColumnCount()));
    FHeaders = std::move(headers);
    emit headerDataChanged(Qt::Horizontal, 0, FDef.ColumnCount() - 1);
}

TStringGrid TGridModel::WorkingCopy() const {
    return kw::WorkingCopy(FDef, FDocument, FHeaders);
}

void TGridModel::WriteCells(const std::vector<TCellText>& cells, TStepLabel label) {
    std::vector<TCellEdit> edits;
    edits.reserve(cells.size());
    // The step names an entry only when all its cells lie in that entry's row.
    std::optional<int> entry;
    for (const TCellText& cell : cells) {
        if (!IsEditable(cell.Row, cell.Column)) {
            continue;
        }
        const bool same = cell.Text == CatalogText(cell.Row, cell.Column);
        edits.push_back(
            {Ref(cell.Row, cell.Column), same ? std::nullopt : std::optional<std::string>(cell.Text)});
        entry = !entry || *entry == cell.Row ? cell.Row : -1;
    }
    FDocument.Edit(std::move(label), {FDef.CatalogName, entry.value_or(-1), {}, true}, {}, std::move(edits));
}

int TGridModel::Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows,
                       TStepLabel label) {
    TStringGrid copy = WorkingCopy();
    const int changed = ImportSheet(copy, sheet, origin, sheetRows);
    FDocument.Edit(std::move(label), {FDef.CatalogName, -1, {}, true}, {}, WorkingCopyEdits(copy, FDocument));
    return changed;
}

int TGridModel::Store(TStepLabel label) {
    return StoreMarkedCells(FDef, FDocument, FHeaders, std::move(label));
}

void TGridModel::DropMarks(TStepLabel label) {
    std::vector<TCellEdit> clears;
    for (const auto& [cell, text] : GridMarks(FDocument, FDef)) {
        clears.push_back({cell, std::nullopt});
    }
    FDocument.Edit(std::move(label), {FDef.CatalogName, -1, {}, true}, {}, std::move(clears));
}

void TGridModel::ShowCatalog() {
    if (CatalogEntryCount(FDef, FDocument.Catalog()) != FEntries) {
        Reset();
    } else {
        ShowEveryCell();
    }
}

void TGridModel::Reset() {
    beginResetModel();
    FEntries = CatalogEntryCount(FDef, FDocument.Catalog());
    endResetModel();
}

void TGridModel::ShowEveryCell() {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void TGridModel::OnDocumentChange(const TDocumentChange& change) {
    switch (change.Kind) {
    case TDocumentChange::TKind::Loaded:
    case TDocumentChange::TKind::RevertedAll:
        Reset();
        return;
    case TDocumentChange::TKind::Saved:
        return;
    case TDocumentChange::TKind::Edited:
    case TDocumentChange::TKind::Undone:
    case TDocumentChange::TKind::Redone:
    case TDocumentChange::TKind::Settled:
        break;
    }
    if (change.Step) {
        ShowStep(*change.Step);
    } else {
        ShowEveryCell();
    }
}

// An edited value shows in every entry that shares its section, in any grid: rather than find those rows,
// every cell is shown again, which costs a view no more than repainting what is on screen.
void TGridModel::ShowStep(const TEditStep& step) {
    if (!step.Params.empty()) {
        ShowEveryCell();
        return;
    }
    const int grid = GridIndex(FDef);
    int top = rowCount();
    int bottom = -1;
    int left = columnCount();
    int right = -1;
    for (const TEditStep::TCellChange& change : step.Cells) {
        if (change.Cell.Grid == grid) {
            top = std::min(top, change.Cell.Row);
            bottom = std::max(bottom, change.Cell.Row);
            left = std::min(left, change.Cell.Column);
            right = std::max(right, change.Cell.Column);
        }
    }
    if (bottom >= 0 && bottom < rowCount() && right < columnCount()) {
        emit dataChanged(index(top, left), index(bottom, right));
    }
}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(FEntries, 1);
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FDef.ColumnCount();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Utf8ToQt(Text(index.row(), index.column()));
    case Qt::BackgroundRole:
        return IsMarked(index.row(), index.column()) ? QVariant(QBrush(MarkedColor())) : QVariant();
    case Qt::DecorationRole:
        return ColourSwatchOf(index.row(), index.column());
    case kInheritedTextRole:
    case Qt::ForegroundRole:
    case Qt::FontRole:
    case Qt::ToolTipRole:
        return InheritedData(index.row(), index.column(), role);
    default:
        return {};
    }
}

// A colour column's cells show the colour they hold, as typed so far.
QVariant TGridModel::ColourSwatchOf(int row, int column) const {
    if (!IsEditable(row, column) || !HasSwatches(column)) {
        return {};
    }
    // Colours are plain ASCII, the same bytes in UTF-8 as in the game's code page.
    return SwatchIcon({ShownColour(Text(row, column))}, kCellSwatchSize);
}

bool TGridModel::HasSwatches(int column) const {
    return column > 0 && column < FDef.ColumnCount() &&
           IsColourKey(FDef.Columns[static_cast<std::size_t>(column)].GameKey);
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < FDef.ColumnCount()) {
        return Utf8ToQt(FHeaders[static_cast<std::size_t>(section)]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags fixed = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return IsEditable(index.row(), index.column()) ? fixed | Qt::ItemIsEditable : fixed;
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !IsEditable(index.row(), index.column())) {
        return false;
    }
    const std::string& header = FHeaders[static_cast<std::size_t>(index.column())];
    TStepName name;
    name.Column = index.column();
    name.Argument = CatalogText(index.row(), 0);
    WriteCells({{index.row(), index.column(), QtToUtf8(value.toString())}},
               {header + " (" + name.Argument + ")", name});
    return true;
}

} // namespace kw
