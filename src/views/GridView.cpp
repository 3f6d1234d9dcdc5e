#include "views/GridView.h"

#include "interchange/GridTable.h"
#include "interchange/WorkingCopy.h"
#include "views/CoolCtrls.h"
#include "views/GameText.h"
#include "views/StepNames.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <set>
#include <unordered_set>

namespace kw {

namespace {

constexpr qreal kHeaderPointSize = 7;

// A smaller font, and captions wrapped between words, keep columns of short numbers narrow: captions such as
// "цвет неба" show whole.
void FitHeaderToNarrowColumns(QHeaderView* header) {
    QFont font = header->font();
    font.setPointSizeF(kHeaderPointSize);
    header->setFont(font);
    header->setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    header->setHighlightSections(false);
}

// Above and below the header's lines.
constexpr int kHeaderLinePadding = 6;
// A pixel on either side of a header's widest word, so that it never touches a divider.
constexpr int kHeaderWordSpare = 2;

void SetFixedRowHeight(QHeaderView* rows) {
    rows->setMinimumSectionSize(kTableRowHeight);
    rows->setDefaultSectionSize(kTableRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
}

// Tab-separated lines as a spreadsheet copies them; one trailing line break ends the last row, not a row
// of its own.
std::vector<QStringList> SplitTabText(QString text) {
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    std::vector<QStringList> rows;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        rows.push_back(line.split(QLatin1Char('\t')));
    }
    return rows;
}

// A cell editor keeps Undo and Redo while it has typing of its own to take back; otherwise the keys reach the
// window's Edit menu. A line edit would take them even with nothing to undo.
class TCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    // An empty cell paints what a parent section supplies; an editor opened on it starts from the cell's own
    // empty text, which setEditorData takes from the model, not from this option.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.isEmpty()) {
            option->text = index.data(TGridModel::kInheritedTextRole).toString();
        }
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* editor = qobject_cast<QLineEdit*>(object);
            if (editor && LeavesUndoKeyToWindow(*editor, *static_cast<QKeyEvent*>(event))) {
                event->ignore();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    // A value cut off by a narrow column shows whole in its tooltip; one shown whole needs none.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        if (const QString hint = index.data(Qt::ToolTipRole).toString(); !hint.isEmpty()) {
            QToolTip::showText(event->globalPos(), hint, view, option.rect);
            return true;
        }
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (cell.text.isEmpty() || !IsCellTextCut(cell, view)) {
            QToolTip::hideText();
            event->ignore();
            return false;
        }
        QToolTip::showText(event->globalPos(), cell.text, view, option.rect);
        return true;
    }
};

} // namespace

TGridView::TGridView(const TGridDef& def, TDocument& document, QWidget* parent)
    : QTableView(parent), FModel(new TGridModel(def, document, this)),
      FTextOf([](const TextDef& text) { return QString::fromUtf8(text.Default); }) {
    setObjectName(QString::fromLatin1(def.Name));
    setModel(FModel);
    setItemDelegate(new TCellDelegate(this));
    verticalHeader()->hide();
    SetFixedRowHeight(verticalHeader());
    FitHeaderToNarrowColumns(horizontalHeader());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setShowGrid(true);
    setSelectionBehavior(SelectItems);
    setSelectionMode(def.Id == TGridId::Weapons ? SingleSelection : ContiguousSelection);
    setColumnWidth(0, kNameColumnWidth);
    SetUpFrozenColumn();
    SetUpColumnFitting();
}

void TGridView::SetTextOf(TTextOf textOf) {
    FTextOf = std::move(textOf);
}

// The toolkit's frozen-column technique: a second view over the same model and selection that shows only
// the name column, laid over the first column and scrolled vertically with the grid.
void TGridView::SetUpFrozenColumn() {
    FFrozen = new QTableView(this);
    FFrozen->setObjectName(objectName() + QStringLiteral("Names"));
    FFrozen->setModel(model());
    FFrozen->setSelectionModel(selectionModel());
    FFrozen->setFocusPolicy(Qt::NoFocus);
    FFrozen->setEditTriggers(NoEditTriggers);
    // For the tooltips of names cut off by the column.
    FFrozen->setItemDelegate(new TCellDelegate(FFrozen));
    FFrozen->verticalHeader()->hide();
    SetFixedRowHeight(FFrozen->verticalHeader());
    FitHeaderToNarrowColumns(FFrozen->horizontalHeader());
    FFrozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FFrozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FFrozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FFrozen->setFrameShape(QFrame::NoFrame);
    for (int column = 1; column < FModel->columnCount(); ++column) {
        FFrozen->setColumnHidden(column, true);
    }
    FFrozen->setColumnWidth(0, columnWidth(0));
    viewport()->stackUnder(FFrozen);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column == 0) {
            FFrozen->setColumnWidth(0, width);
            UpdateFrozenGeometry();
        }
    });
    connect(FFrozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, FFrozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    setHorizontalScrollMode(ScrollPerPixel);
    FFrozen->show();
    UpdateFrozenGeometry();
}

void TGridView::UpdateFrozenGeometry() {
    if (FFrozen) {
        FFrozen->setGeometry(frameWidth(), frameWidth(), columnWidth(0) + (showGrid() ? 1 : 0),
                             viewport()->height() + horizontalHeader()->height());
    }
}

void TGridView::SetUpColumnFitting() {
    FFitted.assign(static_cast<std::size_t>(FModel->columnCount()), true);
    FFitted[0] = false;
    // The toolkit's double-click fits the rows on screen only, to any width.
    disconnect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this,
            &TGridView::FitColumnToContents);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int) { OnColumnResized(column); });
    connect(FModel, &QAbstractItemModel::modelReset, this, &TGridView::FitColumns);
    connect(FModel, &QAbstractItemModel::headerDataChanged, this, &TGridView::FitColumns);
    FitColumns();
}

void TGridView::RestoreColumnWidth(int column, int stored) {
    // Set here rather than left to the resize signal, which the header keeps back for a width it already has.
    const bool fitted = column > 0 && stored == DefaultColumnWidth(Def(), column);
    FFitted.at(static_cast<std::size_t>(column)) = fitted;
    const QScopedValueRollback fitting(FFitting, true);
    setColumnWidth(column, fitted ? FittedWidth(ColumnNeed(column)) : stored);
}

int TGridView::StoredColumnWidth(int column) const {
    return IsFitted(column) ? DefaultColumnWidth(Def(), column) : columnWidth(column);
}

bool TGridView::IsFitted(int column) const {
    return FFitted.at(static_cast<std::size_t>(column));
}

// A spreadsheet fits a column to all of its text; only the room in view bounds it, so that the column's right
// edge stays within reach.
void TGridView::FitColumnToContents(int column) {
    const int room = viewport()->width() - (column > 0 ? columnWidth(0) : 0);
    FFitted.at(static_cast<std::size_t>(column)) = false;
    const QScopedValueRollback fitting(FFitting, true);
    setColumnWidth(column, FittedWidth(ColumnNeed(column), std::max(room, kFitMaximumWidth)));
    UpdateHeaderHeight();
}

// Measuring every value of a large grid takes a while: a grid out of sight fits its header words only, and
// its values when it comes into view.
void TGridView::FitColumns() {
    FFitPending = !isVisible();
    for (int column = 0; column < FModel->columnCount(); ++column) {
        if (IsFitted(column)) {
            SetFittedWidth(column, FittedWidth(ColumnNeed(column, !FFitPending)));
        }
    }
    UpdateHeaderHeight();
}

void TGridView::SetFittedWidth(int column, int width) {
    const QScopedValueRollback fitting(FFitting, true);
    setColumnWidth(column, width);
}

// Values repeat a lot (the same price, the same resistance), so each text is measured once. Without values:
// what the header word alone needs.
TColumnNeed TGridView::ColumnNeed(int column, bool values) const {
    std::unordered_set<std::string> seen;
    std::vector<QString> texts;
    for (int row = 0; values && row < FModel->EntryCount(); ++row) {
        std::string text = FModel->Text(row, column);
        if (!text.empty() && seen.insert(text).second) {
            texts.push_back(Utf8ToQt(text));
        }
    }
    const QHeaderView& header = *horizontalHeader();
    const QString headerText = FModel->headerData(column, Qt::Horizontal).toString();
    const QSize swatch = FModel->HasSwatches(column) ? TGridModel::kCellSwatchSize : QSize();
    return {WidestWord(QFontMetricsF(header.font()), headerText) + HeaderPadding(header) + kHeaderWordSpare,
            WidestText(QFontMetricsF(font()), texts) + CellPadding(*this, swatch)};
}

// The grid's own widths come column by column; whoever sets them measures the header once at the end.
void TGridView::OnColumnResized(int column) {
    if (!FFitting) {
        FFitted.at(static_cast<std::size_t>(column)) = false;
        UpdateHeaderHeight();
    }
}

// One line where every header fits on one, more where a header wraps.
void TGridView::UpdateHeaderHeight() {
    const QHeaderView& header = *horizontalHeader();
    int lines = 1;
    for (int column = 0; column < FModel->columnCount(); ++column) {
        lines = std::max(lines, HeaderLineCount(header, FModel->headerData(column, Qt::Horizontal).toString(),
                                                columnWidth(column)));
    }
    const int height = lines * QFontMetrics(header.font()).lineSpacing() + kHeaderLinePadding;
    horizontalHeader()->setFixedHeight(height);
    FFrozen->horizontalHeader()->setFixedHeight(height);
    UpdateFrozenGeometry();
}

TGridLayout TGridView::Layout(const TStringGrid& shown) const {
    TGridLayout layout = DefaultLayout(shown, QtToUtf8(font().family()));
    for (int column = 0; column < shown.ColumnCount(); ++column) {
        layout.ColumnWidths.at(static_cast<std::size_t>(column)) = columnWidth(column);
    }
    layout.RowHeights.at(0) = horizontalHeader()->maximumHeight();
    for (int row = 1; row < shown.SheetRows() && row - 1 < FModel->rowCount(); ++row) {
        layout.RowHeights.at(static_cast<std::size_t>(row)) = rowHeight(row - 1);
    }
    return layout;
}

void TGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    UpdateFrozenGeometry();
}

// Moving left onto a cell hidden under the name column scrolls it out from under it.
QModelIndex TGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    if (action == MoveLeft && current.column() > 0 && visualRect(current).left() < columnWidth(0)) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() -
                                        columnWidth(0));
    }
    return current;
}

// The name column never scrolls, so a name cell needs no scrolling to be seen.
void TGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.column() > 0) {
        QTableView::scrollTo(index, hint);
    }
}

void TGridView::ShowCatalog() {
    CommitEditor();
    FModel->ShowCatalog();
}

TStepLabel TGridView::Label(const TextDef& text, const QString& argument) const {
    return TextStepLabel(text, FTextOf(text), argument);
}

int TGridView::StoreMarkedCells() {
    CommitEditor();
    // A refusal throws before anything is stored; the marks stay for the user to mend.
    return FModel->Store(Label(kTableSaveStepText));
}

void TGridView::DropMarks() {
    CommitEditor();
    FModel->DropMarks(Label(kRefreshStepText));
}

int TGridView::Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows,
                      const QString& fileName) {
    CommitEditor();
    return FModel->Import(sheet, origin, sheetRows, Label(kImportStepText, fileName));
}

void TGridView::SetHeaders(std::vector<std::string> headers) {
    FModel->SetHeaders(std::move(headers));
}

void TGridView::SetInheritedHint(QString hint) {
    FModel->SetInheritedHint(std::move(hint));
}

bool TGridView::CommitEditor() {
    if (state() != EditingState) {
        return false;
    }
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) {
        return false;
    }
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

QString TGridView::SelectedText() const {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        return {};
    }
    // Contiguous selection gives one range; the bounding box keeps any other shape rectangular.
    int top = selection.front().top();
    int bottom = selection.front().bottom();
    int left = selection.front().left();
    int right = selection.front().right();
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            const QModelIndex cell = FModel->index(row, column);
            cells << (selectionModel()->isSelected(cell) ? cell.data().toString() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

int TGridView::PasteText(const QString& text) {
    const QModelIndex start = currentIndex();
    if (!start.isValid() || text.isEmpty()) {
        return 0;
    }
    std::vector<TCellText> cells;
    int leftOut = 0;
    const std::vector<QStringList> rows = SplitTabText(text);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const QStringList& fields = rows[static_cast<std::size_t>(i)];
        for (int j = 0; j < fields.size(); ++j) {
            if (FModel->IsEditable(start.row() + i, start.column() + j)) {
                cells.push_back({start.row() + i, start.column() + j, QtToUtf8(fields[j])});
            } else {
                ++leftOut;
            }
        }
    }
    const int written = static_cast<int>(cells.size());
    FModel->WriteCells(cells, Label(kPasteStepText, QString::number(written)));
    if (leftOut > 0) {
        emit cellsLeftOut(leftOut);
    }
    return written;
}

int TGridView::EmptySelectedCells() {
    std::vector<TCellText> cells;
    for (const QModelIndex& cell : selectionModel()->selectedIndexes()) {
        if (FModel->IsEditable(cell.row(), cell.column())) {
            cells.push_back({cell.row(), cell.column(), {}});
        }
    }
    const int emptied = static_cast<int>(cells.size());
    FModel->WriteCells(cells, Label(kDeleteStepText, QString::number(emptied)));
    return emptied;
}

// Each row's run of neighbouring columns is one range: a pasted block of thousands of cells is a few hundred.
void TGridView::SelectCells(const std::vector<TCellRef>& cells) {
    std::set<std::pair<int, int>> mine;
    for (const TCellRef& cell : cells) {
        if (cell.Grid == GridIndex(Def()) && cell.Row >= 0 && cell.Row < FModel->rowCount() &&
            cell.Column >= 0 && cell.Column < FModel->columnCount()) {
            mine.insert({cell.Row, cell.Column});
        }
    }
    if (mine.empty()) {
        return;
    }
    QItemSelection selection;
    for (auto run = mine.begin(); run != mine.end();) {
        auto end = std::next(run);
        int last = run->second;
        while (end != mine.end() && end->first == run->first && end->second == last + 1) {
            last = end->second;
            ++end;
        }
        selection.select(FModel->index(run->first, run->second), FModel->index(run->first, last));
        run = end;
    }
    const QModelIndex first = FModel->index(mine.begin()->first, mine.begin()->second);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
}

void TGridView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            QApplication::clipboard()->setText(SelectedText());
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            PasteText(QApplication::clipboard()->text());
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
            EmptySelectedCells();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// A grid that leaves the screen (a page or view switch, the window closing) keeps what its editor held.
void TGridView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (FFitPending) {
        FitColumns();
    }
}

void TGridView::hideEvent(QHideEvent* event) {
    CommitEditor();
    QTableView::hideEvent(event);
}

} // namespace kw
