#pragma once

#include "catalog/Document.h"
#include "interchange/Sheet.h"
#include "interchange/SheetImport.h"
#include "interchange/StringGrid.h"
#include "interchange/WorkbookWriter.h"
#include "translate/Texts.h"
#include "views/ColumnFit.h"
#include "views/GridModel.h"

#include <QString>
#include <QTableView>

#include <functional>
#include <string>
#include <vector>

namespace kw {

// One grid of the table view, for any of the six catalogs: a table view on a TGridModel, which shows the
// document's working copy of the grid. Data row r is the view's row r below its header, the entry at position
// r of the catalog.
//
// Typing, pasting, emptying and importing change the working copy only, each as one step of the document; a
// marked cell is tinted until the page's Save stores it or Refresh drops it. Undo and Redo show at once. Only
// data cells of columns 1 and up that show an entry are editable. The name column stays in view when the grid
// scrolls sideways.
class TGridView : public QTableView {
    Q_OBJECT
public:
    // The interface texts a step is named with, in the window's language.
    using TTextOf = std::function<QString(const TextDef&)>;

    TGridView(const TGridDef& def, TDocument& document, QWidget* parent = nullptr);

    const TGridDef& Def() const { return FModel->Def(); }
    const TGridModel& Model() const { return *FModel; }
    // The built-in texts until the window gives its own.
    void SetTextOf(TTextOf textOf);

    // Shows the catalog again, after its entries changed or the view comes back into sight.
    void ShowCatalog();
    // Stores the marked cells and drops their marks, one step; throws kw::Error, grid and catalog unchanged,
    // when the core refuses. Returns how many values were stored.
    int StoreMarkedCells();
    // Drops every mark, one step: the grid shows the catalog again.
    void DropMarks();
    // Copies the sheet's cells over the data cells, data row r from sheet row sheetRows[r] (see ImportSheet),
    // one step named after fileName; throws kw::Error, the grid unchanged. Returns how many cells changed.
    int Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows,
               const QString& fileName);
    // What the grid shows, with the headers it shows: what an export writes and an import reads into.
    TStringGrid WorkingCopy() const { return FModel->WorkingCopy(); }
    // UTF-8 header texts, one per column.
    void SetHeaders(std::vector<std::string> headers);
    // The hint of cells showing what a parent section supplies: %1 the section, %2 its file.
    void SetInheritedHint(QString hint);

    // Writes an open cell editor's text into its cell and closes the editor. The toolkit would commit it when
    // the editor loses the focus, which never happens for a shortcut, a menu or an inactive window; every
    // action that reads the grid calls this first. Returns whether an editor was open.
    bool CommitEditor();

    // The selected range as tab-separated lines, as spreadsheets put it on the clipboard.
    QString SelectedText() const;
    // Tab-separated lines written from the current cell on, one step; a trailing line break is dropped. Cells
    // beyond the grid, in the name column or in no entry's row are passed over: the grid never grows, and
    // cellsLeftOut tells how many. Returns how many cells were written.
    int PasteText(const QString& text);
    // Empties the selected editable cells, one step; returns how many.
    int EmptySelectedCells();
    // Selects the cells of this grid among cells, makes the first current and scrolls to it: what an Undo or
    // a Redo brings back. Cells of other grids are passed over; nothing happens when none is left.
    void SelectCells(const std::vector<TCellRef>& cells);

    // Column widths. A column is fitted, as wide as its widest header word and its widest value need (within
    // kFitMinimumWidth and kFitMaximumWidth), and fits again whenever the grid gets new values (a load) or
    // new headers (a language), until it is given a width: by the user's dragging or double-click, by
    // setColumnWidth, or a stored width. The name column is never fitted. A stored width equal to the
    // column's default, which older versions stored for every column at close, leaves the column fitted.
    void RestoreColumnWidth(int column, int stored);
    // Grows or shrinks the header row to the lines its captions wrap to; for after the widths are restored.
    void UpdateHeaderHeight();
    // What the settings file keeps for the column: the default for a fitted column, so that it fits again at
    // the next start.
    int StoredColumnWidth(int column) const;
    bool IsFitted(int column) const;
    // What a double-click on the divider right of the column's header does: fits the column to its header
    // words and values, bounded above only by the room the grid shows, and counts the width as the user's.
    void FitColumnToContents(int column);
    // The columns and rows as shown, the header row with its real height: what an export of shown writes.
    TGridLayout Layout(const TStringGrid& shown) const;

    // The tint of a marked cell.
    static QColor MarkedColor() { return TGridModel::MarkedColor(); }

signals:
    // A paste found no cell for count of its cells; the user would not see that they are missing.
    void cellsLeftOut(int count);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void SetUpFrozenColumn();
    void UpdateFrozenGeometry();
    void SetUpColumnFitting();
    void FitColumns();
    void SetFittedWidth(int column, int width);
    TColumnNeed ColumnNeed(int column, bool values = true) const;
    void OnColumnResized(int column);
    TStepLabel Label(const TextDef& text, const QString& argument = {}) const;

    TGridModel* FModel;
    TTextOf FTextOf;
    QTableView* FFrozen = nullptr;
    std::vector<bool> FFitted; // per column
    bool FFitting = false;     // while the grid itself sets widths
    bool FFitPending = false;  // fitted columns wait until the grid is shown
};

} // namespace kw
