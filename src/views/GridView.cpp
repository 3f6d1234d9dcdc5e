#include "views/GridView.h"

#include "interchange/GridTable.h"
#include "views/GameText.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace kw {

namespace {

constexpr qreal kHeaderPointSize = 7;
constexpr Qt::ItemFlags kFixedCell = Qt::ItemIsSelectable | Qt::ItemIsEnabled;

// Many columns default to 34 or 40 pixels: a smaller font and two wrapped lines let captions such as
// "цвет неба" show whole.
void FitHeaderToNarrowColumns(QHeaderView* header) {
    QFont font = header->font();
    font.setPointSizeF(kHeaderPointSize);
    header->setFont(font);
    header->setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    header->setFixedHeight(2 * QFontMetrics(font).lineSpacing() + 6);
    header->setHighlightSections(false);
}

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

} // namespace

TGridView::TGridView(const TGridDef& def, QWidget* parent)
    : QTableWidget(0, def.ColumnCount(), parent), FGrid(def) {
    setObjectName(QString::fromLatin1(def.Name));
    verticalHeader()->hide();
    SetFixedRowHeight(verticalHeader());
    FitHeaderToNarrowColumns(horizontalHeader());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setShowGrid(true);
    setSelectionBehavior(SelectItems);
    setSelectionMode(def.Id == TGridId::Weapons ? SingleSelection : ContiguousSelection);
    for (int column = 0; column < def.ColumnCount(); ++column) {
        setColumnWidth(column, DefaultColumnWidth(def, column));
    }
    connect(this, &QTableWidget::itemChanged, this, &TGridView::OnItemChanged);
    SetHeaders(FGrid.Headers());
    ShowGrid();
    SetUpFrozenColumn();
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
    FFrozen->verticalHeader()->hide();
    SetFixedRowHeight(FFrozen->verticalHeader());
    FitHeaderToNarrowColumns(FFrozen->horizontalHeader());
    FFrozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FFrozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FFrozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FFrozen->setFrameShape(QFrame::NoFrame);
    for (int column = 1; column < columnCount(); ++column) {
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

void TGridView::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    UpdateFrozenGeometry();
}

// Moving left onto a cell hidden under the name column scrolls it out from under it.
QModelIndex TGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableWidget::moveCursor(action, modifiers);
    if (action == MoveLeft && current.column() > 0 && visualRect(current).left() < columnWidth(0)) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() -
                                        columnWidth(0));
    }
    return current;
}

// The name column never scrolls, so a name cell needs no scrolling to be seen.
void TGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.column() > 0) {
        QTableWidget::scrollTo(index, hint);
    }
}

void TGridView::FillFrom(const TCatalog& catalog) {
    CommitEditor();
    FillTable(FGrid, catalog);
    ShowGrid();
    emit marksChanged();
}

int TGridView::StoreInto(TDocument& document, std::string label) {
    CommitEditor();
    // A refusal throws before anything is stored; the marks stay for the user to mend.
    const int stored = StoreTable(FGrid, document, std::move(label));
    ShowGrid();
    emit marksChanged();
    return stored;
}

int TGridView::Import(const TSheet& sheet, TSheetOrigin origin, const std::vector<int>& sheetRows) {
    CommitEditor();
    const int changed = ImportSheet(FGrid, sheet, origin, sheetRows);
    ShowGrid();
    emit marksChanged();
    return changed;
}

void TGridView::SetHeaders(std::vector<std::string> headers) {
    FGrid.SetHeaders(std::move(headers));
    QStringList labels;
    for (const std::string& header : FGrid.Headers()) {
        labels << Utf8ToQt(header);
    }
    setHorizontalHeaderLabels(labels);
}

void TGridView::ShowGrid() {
    const QSignalBlocker quiet(this);
    FShowing = true;
    setUpdatesEnabled(false);
    setRowCount(FGrid.RowCount());
    for (int row = 0; row < FGrid.RowCount(); ++row) {
        for (int column = 0; column < FGrid.ColumnCount(); ++column) {
            QTableWidgetItem* cell = item(row, column);
            if (!cell) {
                cell = new QTableWidgetItem;
                setItem(row, column, cell);
            }
            cell->setText(Utf8ToQt(FGrid.Text(row, column)));
            cell->setFlags(FGrid.IsEditable(row, column) ? kFixedCell | Qt::ItemIsEditable : kFixedCell);
            ShowMark(*cell);
        }
    }
    setUpdatesEnabled(true);
    FShowing = false;
    viewport()->update();
    if (FFrozen) {
        FFrozen->viewport()->update();
    }
}

void TGridView::OnItemChanged(QTableWidgetItem* cell) {
    if (FShowing) {
        return;
    }
    const int row = cell->row();
    const int column = cell->column();
    if (row < 0 || row >= FGrid.RowCount() || column < 0 || column >= FGrid.ColumnCount()) {
        return;
    }
    FGrid.SetText(row, column, QtToUtf8(cell->text()));
    FShowing = true;
    ShowMark(*cell);
    FShowing = false;
    emit marksChanged();
}

QColor TGridView::MarkedColor() {
    return {255, 236, 170};
}

void TGridView::ShowMark(QTableWidgetItem& cell) {
    if (FGrid.IsMarked(cell.row(), cell.column())) {
        cell.setBackground(MarkedColor());
    } else {
        cell.setBackground(QBrush());
    }
}

void TGridView::SetCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = item(row, column)) {
        cell->setText(text);
    }
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
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) {
        return {};
    }
    // Contiguous selection gives one range; the bounding box keeps any other shape rectangular.
    int top = ranges.front().topRow();
    int bottom = ranges.front().bottomRow();
    int left = ranges.front().leftColumn();
    int right = ranges.front().rightColumn();
    for (const QTableWidgetSelectionRange& range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            const QTableWidgetItem* cell = item(row, column);
            cells << (cell && cell->isSelected() ? cell->text() : QString());
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
    int written = 0;
    const std::vector<QStringList> rows = SplitTabText(text);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        for (int j = 0; j < rows[static_cast<size_t>(i)].size(); ++j) {
            const int row = start.row() + i;
            const int column = start.column() + j;
            if (FGrid.IsEditable(row, column)) {
                SetCellText(row, column, rows[static_cast<size_t>(i)][j]);
                ++written;
            }
        }
    }
    return written;
}

int TGridView::EmptySelectedCells() {
    int emptied = 0;
    for (QTableWidgetItem* cell : selectedItems()) {
        if (FGrid.IsEditable(cell->row(), cell->column())) {
            cell->setText(QString());
            ++emptied;
        }
    }
    return emptied;
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
    QTableWidget::keyPressEvent(event);
}

// A grid that leaves the screen (a page or view switch, the window closing) keeps what its editor held.
void TGridView::hideEvent(QHideEvent* event) {
    CommitEditor();
    QTableWidget::hideEvent(event);
}

} // namespace kw
