#pragma once

#include "catalog/Document.h"
#include "interchange/Sheet.h"
#include "interchange/SheetImport.h"
#include "interchange/StringGrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QSize>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace kw {

// A text one grid edit writes into data row Row, column Column; UTF-8.
struct TCellText {
    int Row;
    int Column;
    std::string Text;
};

// The cells of one table view grid, over the document: a cell shows the document's marked text when it is
// marked (its working copy, TDocument::Cells), else the catalog's value as FillTable would show it. Nothing
// is copied per cell, so the largest grid shows at once. Only data cells of columns 1 and up that show an
// entry are editable.
//
// Every change of the working copy is one step of the document, and the model shows whatever the document
// announces: a step done, taken back or done again, a load.
class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TGridModel(const TGridDef& def, TDocument& document, QObject* parent = nullptr);
    ~TGridModel() override;
    TGridModel(const TGridModel&) = delete;
    TGridModel& operator=(const TGridModel&) = delete;

    const TGridDef& Def() const { return FDef; }
    TDocument& Document() const { return FDocument; }
    // Rows that show an entry; 0 for an empty catalog, whose one data row belongs to no entry.
    int EntryCount() const { return FEntries; }
    bool IsEditable(int row, int column) const;
    // What the cell shows, and what the catalog holds for it; UTF-8.
    std::string Text(int row, int column) const;
    std::string CatalogText(int row, int column) const;
    bool IsMarked(int row, int column) const;
    // Row by row, left to right.
    std::vector<TCellPos> MarkedCells() const;
    bool HasMarks() const;
    // UTF-8, one per column.
    const std::vector<std::string>& Headers() const { return FHeaders; }
    void SetHeaders(std::vector<std::string> headers);
    // What the grid shows, as a string grid whose marks are the document's: for an export or an import.
    TStringGrid WorkingCopy() const;

    // The edits of the working copy, each one step labelled label (UTF-8). WriteCells passes over cells that
    // are not editable; a text equal to the catalog's value unmarks its cell.
    void WriteCells(const std::vector<TCellText>& cells, TStepLabel label);
    // Imports as ImportSheet does into the working copy; throws kw::Error, nothing changed. Returns how many
    // cells changed.
    int Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows, TStepLabel label);
    // Stores the marked cells into the catalog and drops their marks (StoreMarkedCells); throws kw::Error,
    // nothing changed, when the core refuses. Returns how many values were stored.
    int Store(TStepLabel label);
    void DropMarks(TStepLabel label);
    // Shows the catalog again: its rows when the number of entries changed, else every cell.
    void ShowCatalog();

    static QColor MarkedColor() { return {255, 236, 170}; }
    // A cell whose text is empty while a parent section supplies its value paints that value in grey italics
    // (the text under this role), with a hint naming the section. The cell's text stays empty: editing,
    // copying, exporting and importing see what they saw before.
    static constexpr int kInheritedTextRole = Qt::UserRole + 1;
    static QColor InheritedColor() { return {128, 128, 128}; }
    // What an empty cell paints, or none.
    const TInheritedValue* InheritedValue(int row, int column) const;
    // %1 the parent section, %2 its file below the config folder.
    void SetInheritedHint(QString hint);
    // The swatch before the text of a colour column's cell.
    static constexpr QSize kCellSwatchSize{12, 12};
    // Whether the column's cells show a swatch before their text.
    bool HasSwatches(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed cell: one step named after the column and the entry.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    TCellRef Ref(int row, int column) const;
    QVariant ColourSwatchOf(int row, int column) const;
    QVariant InheritedData(int row, int column, int role) const;
    void OnDocumentChange(const TDocumentChange& change);
    void ShowStep(const TEditStep& step);
    void ShowEveryCell();
    void Reset();

    const TGridDef& FDef;
    TDocument& FDocument;
    std::vector<std::string> FHeaders;
    QString FInheritedHint;
    int FEntries = 0;
    std::size_t FListener = 0;
};

} // namespace kw
