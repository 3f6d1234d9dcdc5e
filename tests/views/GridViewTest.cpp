#include "views/GridView.h"

#include "views/AmmoGridFixture.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "interchange/TableColumns.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kwtest {
namespace {

using GridViewTest = AmmoGridTest;

TEST_F(GridViewTest, ShowsEntriesBelowTheHeaderAndOnlyValuesAreEditable) {
    ASSERT_EQ(FGrid->model()->rowCount(), 3);
    EXPECT_EQ(FGrid->WorkingCopy().SheetRows(), 4);
    EXPECT_EQ(Text(1, 0), "5.45");
    EXPECT_EQ(Text(1, 2), "0.30"); // column 2 is k_dist, the opposite order of the entry's fields
    EXPECT_EQ(FGrid->model()->headerData(2, Qt::Horizontal).toString(), "дистанция");
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(Editable(row, 0));
        for (int column = 1; column < FGrid->model()->columnCount(); ++column) {
            EXPECT_TRUE(Editable(row, column)) << row << "," << column;
        }
    }
    EXPECT_EQ(FGrid->rowHeight(0), kw::kTableRowHeight);
    EXPECT_TRUE(FGrid->showGrid());
    EXPECT_EQ(FGrid->horizontalHeader()->sectionResizeMode(3), QHeaderView::Interactive);
}

TEST_F(GridViewTest, EmptyCatalogShowsOneRowNobodyCanEdit) {
    FCatalog.Ammo.clear();
    FGrid->ShowCatalog();
    ASSERT_EQ(FGrid->model()->rowCount(), 1);
    for (int column = 0; column < FGrid->model()->columnCount(); ++column) {
        EXPECT_EQ(Text(0, column), "");
        EXPECT_FALSE(Editable(0, column));
    }
    FGrid->setCurrentIndex(At(0, 1));
    EXPECT_EQ(FGrid->PasteText("5"), 0);
    EXPECT_EQ(Text(0, 1), "");
    EXPECT_TRUE(FDocument.Cells().empty());
}

// A view switch shows the catalog again and keeps the marks; only the page's Refresh drops them.
TEST_F(GridViewTest, TypingMarksAndTintsUntilTheMarksAreDroppedAndNeverTouchesTheCatalog) {
    Type(0, 2, "0.5");
    EXPECT_EQ(Text(0, 2), "0.5");
    EXPECT_TRUE(Marked(0, 2));
    EXPECT_EQ(Tint(0, 2).color(), kw::TGridView::MarkedColor());
    EXPECT_EQ(FCatalog.Ammo[0]->k_dist.Value, "0.30");
    Type(0, 4, "1.2");
    Type(0, 4, "1.1"); // back to the catalog's text: no mark
    EXPECT_FALSE(Marked(0, 4));
    EXPECT_EQ(Tint(0, 4).style(), Qt::NoBrush);

    FGrid->ShowCatalog();
    EXPECT_EQ(Text(0, 2), "0.5");
    FGrid->DropMarks();
    EXPECT_EQ(Text(0, 2), "0.30");
    EXPECT_FALSE(Marked(0, 2));
    EXPECT_EQ(Tint(0, 2).style(), Qt::NoBrush);
    EXPECT_FALSE(FDocument.IsModified());
}

TEST_F(GridViewTest, StoreWritesOnlyMarkedCellsAndAClearedCellStoresEmpty) {
    FCatalog.Ammo[1]->k_hit.Value = "2"; // newer than the grid; unmarked, so not written back
    Type(0, 2, "");
    EXPECT_EQ(FGrid->StoreMarkedCells(), 1);
    EXPECT_EQ(FCatalog.Ammo[0]->k_dist.Value, "");
    EXPECT_EQ(FCatalog.Ammo[1]->k_hit.Value, "2");
    EXPECT_EQ(Text(1, 4), "2");
    EXPECT_TRUE(FGrid->Model().MarkedCells().empty());
}

TEST_F(GridViewTest, RefusedStoreLeavesTheCellMarkedAndTheCatalogAsItWas) {
    Type(0, 1, "0.7");
    Type(2, 2, "中");
    const kw::TEditStep* last = FDocument.NextUndo();
    EXPECT_THROW(FGrid->StoreMarkedCells(), std::exception);
    EXPECT_EQ(FDocument.NextUndo(), last);
    EXPECT_EQ(FCatalog.Ammo[0]->k_disp.Value, "1");
    EXPECT_EQ(FCatalog.Ammo[2]->k_dist.Value, "0.30");
    EXPECT_EQ(Text(2, 2), "中");
    EXPECT_TRUE(Marked(0, 1));
    EXPECT_EQ(Tint(2, 2).color(), kw::TGridView::MarkedColor());
}

// An editor the user typed into reaches the grid only through CommitEditor; nothing else is relied on.
TEST_F(GridViewTest, CommitEditorWritesTheOpenEditorIntoItsCell) {
    EXPECT_FALSE(FGrid->CommitEditor());
    QLineEdit* editor = TypeInEditor(*FGrid, 1, 5, "0.25");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Text(1, 5), "");
    EXPECT_TRUE(FGrid->CommitEditor());
    EXPECT_EQ(Text(1, 5), "0.25");
    EXPECT_TRUE(Marked(1, 5));
    EXPECT_EQ(FGrid->indexWidget(FGrid->currentIndex()), nullptr); // the editor is closed
}

struct PasteCase {
    const char* Name;
    int Row;
    int Column;
    const char* Text;
    int Written;
    int LeftOut; // what the grid says it passed over; nothing said for none
    // Cells expected afterwards as row, column, text.
    std::vector<std::tuple<int, int, const char*>> Cells;
};

void PrintTo(const PasteCase& test, std::ostream* out) {
    *out << test.Name;
}

class GridPasteTest : public GridViewTest, public testing::WithParamInterface<PasteCase> {};

TEST_P(GridPasteTest, PastesFromTheCurrentCellWithinTheGrid) {
    const PasteCase& test = GetParam();
    FGrid->setCurrentIndex(At(test.Row, test.Column));
    QSignalSpy leftOut(FGrid, &kw::TGridView::cellsLeftOut);
    EXPECT_EQ(FGrid->PasteText(QString::fromUtf8(test.Text)), test.Written);
    if (test.LeftOut == 0) {
        EXPECT_EQ(leftOut.count(), 0);
    } else {
        ASSERT_EQ(leftOut.count(), 1);
        EXPECT_EQ(leftOut[0][0].toInt(), test.LeftOut);
    }
    for (const auto& [row, column, text] : test.Cells) {
        EXPECT_EQ(Text(row, column).toStdString(), text) << row << "," << column;
    }
    for (int row = 0; row < FGrid->model()->rowCount(); ++row) {
        EXPECT_FALSE(Marked(row, 0));
    }
    EXPECT_EQ(FGrid->model()->rowCount(), 3);
    EXPECT_EQ(FGrid->model()->headerData(1, Qt::Horizontal).toString(), "разброс");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridPasteTest,
    testing::Values(
        PasteCase{
            "TrailingLineBreakAddsNoRow", 1, 1, "7\t8\n", 2, 0, {{1, 1, "7"}, {1, 2, "8"}, {2, 1, "1"}}},
        PasteCase{"WindowsLineBreaks", 0, 2, "a\r\nb\r\n", 2, 0, {{0, 2, "a"}, {1, 2, "b"}, {2, 2, "0.30"}}},
        PasteCase{"NameColumnIsPassedOver",
                  0,
                  0,
                  "x\t9\ny\t10",
                  2,
                  2,
                  {{0, 0, "9x18"}, {0, 1, "9"}, {1, 0, "5.45"}, {1, 1, "10"}}},
        PasteCase{"RowsBeyondTheGridAreDropped", 2, 1, "1\n2\n3", 1, 2, {{2, 1, "1"}}},
        PasteCase{"ColumnsBeyondTheGridAreDropped", 0, 10, "5\t6\t7", 1, 2, {{0, 10, "5"}}},
        PasteCase{"EmptyFieldsEmptyCells", 0, 1, "\t\t", 3, 0, {{0, 1, ""}, {0, 2, ""}, {0, 3, ""}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridViewTest, CopyGivesTheSelectedRangeAsTabSeparatedLines) {
    Select(0, 0, 1, 2);
    EXPECT_EQ(FGrid->SelectedText(), "9x18\t1\t0.30\n5.45\t1\t0.30");
    FGrid->setFocus();
    QTest::keyClick(FGrid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "9x18\t1\t0.30\n5.45\t1\t0.30");

    // What was copied goes back in through Ctrl+V, one row lower.
    FGrid->clearSelection();
    FGrid->setCurrentIndex(At(1, 0));
    QTest::keyClick(FGrid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(1, 0), "5.45");
    EXPECT_EQ(Text(2, 0), "7.62");
    EXPECT_EQ(Text(2, 2), "0.30");
    EXPECT_TRUE(FGrid->Model().MarkedCells().empty());
}

TEST_F(GridViewTest, DeleteEmptiesTheSelectedValuesButNotTheNames) {
    Select(1, 0, 2, 1);
    FGrid->setFocus();
    QTest::keyClick(FGrid, Qt::Key_Delete);
    EXPECT_EQ(Text(1, 0), "5.45");
    EXPECT_EQ(Text(2, 0), "7.62");
    EXPECT_EQ(Text(1, 1), "");
    EXPECT_EQ(Text(2, 1), "");
    EXPECT_EQ(Text(0, 1), "1");
    EXPECT_EQ(FGrid->Model().MarkedCells().size(), 2u);
}

TEST(GridViewSelection, WeaponsTakeSingleCellsTheOthersRanges) {
    kw::TDocument document;
    for (const kw::TGridDef& def : kw::kGridDefs) {
        kw::TGridView grid(def, document);
        EXPECT_EQ(grid.selectionMode(), def.Id == kw::TGridId::Weapons
                                            ? QAbstractItemView::SingleSelection
                                            : QAbstractItemView::ContiguousSelection)
            << def.Name;
        EXPECT_EQ(grid.objectName(), def.Name);
        EXPECT_EQ(grid.model()->columnCount(), def.ColumnCount());
        EXPECT_EQ(grid.columnWidth(0), kw::kNameColumnWidth);
    }
}

// The overlaid name column shows column 0 only, follows its width, and stays put while the grid scrolls.
TEST_F(GridViewTest, NameColumnStaysInViewWhenTheGridScrollsSideways) {
    auto* names = FGrid->findChild<QTableView*>("sgAmmoNames");
    ASSERT_NE(names, nullptr);
    EXPECT_TRUE(names->isVisible());
    for (int column = 1; column < FGrid->model()->columnCount(); ++column) {
        EXPECT_TRUE(names->isColumnHidden(column));
    }
    FGrid->setColumnWidth(0, 90);
    EXPECT_EQ(names->columnWidth(0), 90);
    EXPECT_GE(names->width(), 90);

    QScrollBar* sideways = FGrid->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0);
    sideways->setValue(sideways->maximum());
    EXPECT_EQ(names->geometry().left(), FGrid->frameWidth());
    EXPECT_EQ(names->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(names->indexAt(QPoint(5, 5)).column(), 0);
    EXPECT_EQ(names->model(), FGrid->model());
    EXPECT_EQ(names->selectionModel(), FGrid->selectionModel());
}

} // namespace
} // namespace kwtest
