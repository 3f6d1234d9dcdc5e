#pragma once

#include "interchange/Sheet.h"
#include "interchange/SheetImport.h"
#include "interchange/StringGrid.h"

#include <QString>
#include <QTableWidget>

#include <string>
#include <vector>

class QTableView;

namespace kw {

class TDocument;

class TCatalog;

// One grid of the table view, for any of the six catalogs: the catalog's working copy (TStringGrid) shown in
// a table widget. The widget mirrors the working copy: data row r of the grid is the widget's row r below
// its header, so the grid's classic cell (c, r) with the header as row 0 is item(r - 1, c).
//
// Typing, pasting and emptying change the working copy only; a cell whose text differs from what the last
// fill put there is marked and tinted until the next fill. Only data cells of columns 1 and up that show an
// entry are editable. The name column stays in view when the grid scrolls sideways.
class TGridView : public QTableWidget {
    Q_OBJECT
public:
    explicit TGridView(const TGridDef& def, QWidget* parent = nullptr);

    const TGridDef& Def() const { return FGrid.Def(); }
    const TStringGrid& Grid() const { return FGrid; }

    // The catalog's values, every mark dropped.
    void FillFrom(const TCatalog& catalog);
    // Stores the marked cells and fills again; throws kw::Error, grid and catalog unchanged, when the core
    // refuses. Returns how many values were stored.
    int StoreInto(TDocument& document, std::string label);
    // Copies the sheet's cells over the data cells, data row r from sheet row sheetRows[r] (see ImportSheet);
    // throws kw::Error, the grid unchanged. Returns how many cells changed.
    int Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows);
    // UTF-8 header texts, one per column.
    void SetHeaders(std::vector<std::string> headers);

    // Writes an open cell editor's text into its cell and closes the editor. The toolkit would commit it when
    // the editor loses the focus, which never happens for a shortcut, a menu or an inactive window; every
    // action that reads the grid calls this first. Returns whether an editor was open.
    bool CommitEditor();

    // The selected range as tab-separated lines, as spreadsheets put it on the clipboard.
    QString SelectedText() const;
    // Tab-separated lines written from the current cell on; a trailing line break is dropped. Cells beyond
    // the grid, in the name column or in no entry's row are passed over: the grid never grows. Returns how
    // many cells were written.
    int PasteText(const QString& text);
    // Empties the selected editable cells; returns how many.
    int EmptySelectedCells();

    // The tint of a marked cell.
    static QColor MarkedColor();

signals:
    // The set of marked cells may have changed: a cell typed, pasted, emptied or imported, or a fill.
    void marksChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void SetUpFrozenColumn();
    void UpdateFrozenGeometry();
    // Shows the working copy's texts, flags and marks again.
    void ShowGrid();
    void OnItemChanged(QTableWidgetItem* item);
    void ShowMark(QTableWidgetItem& item);
    void SetCellText(int row, int column, const QString& text);

    TStringGrid FGrid;
    QTableView* FFrozen = nullptr;
    // Item changes made while showing the working copy are not the user's.
    bool FShowing = false;
};

} // namespace kw
