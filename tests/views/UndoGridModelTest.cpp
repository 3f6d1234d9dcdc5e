#include "views/AmmoGridFixture.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTableView>

#include <algorithm>
#include <functional>
#include <tuple>

namespace kwtest {
namespace {

class UndoGridModel;

// One step that changes the cell at Row, Column of the ammunition grid, after the steps Prepare makes.
struct TModelStepCase {
    const char* Name;
    std::function<void(UndoGridModel&)> Prepare;
    std::function<void(UndoGridModel&)> Act;
    int Row;
    int Column;
};

void PrintTo(const TModelStepCase& test, std::ostream* out) {
    *out << test.Name;
}

// The grid learns every step from the document, whoever made it, and tells its views which cells to show
// again: the name column's view over the same model too.
class UndoGridModel : public AmmoGridTest, public testing::WithParamInterface<TModelStepCase> {
public:
    kw::TGridView& Grid() const { return *FGrid; }
    kw::TDocument& Document() { return FDocument; }
    kw::TCatalog& Catalog() { return FCatalog; }

protected:
    // Whether a dataChanged signal since the spy began named the cell.
    static bool Named(const QSignalSpy& spy, int row, int column) {
        for (const QList<QVariant>& signal : spy) {
            const auto topLeft = signal[0].value<QModelIndex>();
            const auto bottomRight = signal[1].value<QModelIndex>();
            if (topLeft.row() <= row && row <= bottomRight.row() && topLeft.column() <= column &&
                column <= bottomRight.column()) {
                return true;
            }
        }
        return false;
    }
    std::tuple<QString, bool> Cell(int row, int column) const {
        return {Text(row, column), Marked(row, column)};
    }
};

const TModelStepCase kModelSteps[] = {
    {"TypedCell", nullptr, [](UndoGridModel& t) { TypeIntoCell(t.Grid(), 1, 2, "0.5"); }, 1, 2},
    {"Paste", nullptr,
     [](UndoGridModel& t) {
         t.Grid().setCurrentIndex(At(t.Grid(), 0, 1));
         t.Grid().PasteText("7\t8\n9\t10");
     },
     1, 2},
    {"DeleteOfARange", nullptr,
     [](UndoGridModel& t) {
         SelectRange(t.Grid(), 1, 1, 2, 2);
         t.Grid().EmptySelectedCells();
     },
     2, 2},
    {"FieldOfTheStandardView", nullptr,
     [](UndoGridModel& t) {
         t.Document().Edit("урон (7.62)", {"ammo", 2, {}, false}, {{&t.Catalog().Ammo[2]->k_hit, "3"}});
     },
     2, 4},
    {"StoreOfTheMarks", [](UndoGridModel& t) { TypeIntoCell(t.Grid(), 2, 4, "4"); },
     [](UndoGridModel& t) { t.Grid().StoreMarkedCells(); }, 2, 4},
    {"Refresh", [](UndoGridModel& t) { TypeIntoCell(t.Grid(), 2, 4, "4"); },
     [](UndoGridModel& t) { t.Grid().DropMarks(); }, 2, 4},
};

TEST_P(UndoGridModel, UndoAndRedoReachTheViewsAtOnce) {
    const TModelStepCase& test = GetParam();
    if (test.Prepare) {
        test.Prepare(*this);
    }
    const auto before = Cell(test.Row, test.Column);
    QSignalSpy changed(FGrid->model(), &QAbstractItemModel::dataChanged);
    test.Act(*this);
    const auto after = Cell(test.Row, test.Column);
    ASSERT_NE(after, before);
    EXPECT_TRUE(Named(changed, test.Row, test.Column));

    changed.clear();
    FDocument.Undo();
    EXPECT_EQ(Cell(test.Row, test.Column), before);
    EXPECT_TRUE(Named(changed, test.Row, test.Column));

    changed.clear();
    FDocument.Redo();
    EXPECT_EQ(Cell(test.Row, test.Column), after);
    EXPECT_TRUE(Named(changed, test.Row, test.Column));
}

INSTANTIATE_TEST_SUITE_P(Cases, UndoGridModel, testing::ValuesIn(kModelSteps),
                         [](const auto& info) { return std::string(info.param.Name); });

using UndoGridView = AmmoGridTest;

// Dropping every unsaved edit shows the catalog anew, with no mark left.
TEST_F(UndoGridView, RevertOfEverythingResetsTheGrid) {
    Type(0, 1, "5");
    QSignalSpy reset(FGrid->model(), &QAbstractItemModel::modelReset);
    FDocument.RevertAll();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(Text(0, 1).toStdString(), FCatalog.Ammo[0]->k_disp.Value);
    EXPECT_FALSE(Marked(0, 1));
    EXPECT_EQ(FDocument.NextUndo(), nullptr);
}

// What an Undo brought back is selected, one range per row run, and the first cell made current; cells of
// another grid are passed over.
TEST_F(UndoGridView, SelectCellsSelectsExactlyTheGivenCells) {
    const int ammo = static_cast<int>(kw::TGridId::Ammo);
    FGrid->SelectCells({{ammo, 2, 3}, {ammo, 1, 2}, {ammo, 1, 3}, {0, 0, 1}, {ammo, 1, 5}});
    EXPECT_EQ(FGrid->currentIndex(), At(1, 2));
    QModelIndexList selected = FGrid->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (QModelIndexList{At(1, 2), At(1, 3), At(1, 5), At(2, 3)}));
    FGrid->SelectCells({{0, 0, 1}});
    EXPECT_EQ(FGrid->currentIndex(), At(1, 2));
}

// A cell editor takes back its own typing; with nothing of its own to take back, Ctrl+Z and Ctrl+Shift+Z
// reach the window's Edit menu.
TEST_F(UndoGridView, EditorKeepsItsOwnTypingAndPassesTheRestOn) {
    QAction undo(&FWindow);
    undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction redo(&FWindow);
    redo.setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    FWindow.addActions({&undo, &redo});
    QSignalSpy undone(&undo, &QAction::triggered);
    QSignalSpy redone(&redo, &QAction::triggered);
    QApplication::setActiveWindow(&FWindow);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&FWindow));

    FGrid->setFocus();
    FGrid->setCurrentIndex(At(0, 4));
    FGrid->edit(At(0, 4));
    auto* editor = qobject_cast<QLineEdit*>(FGrid->indexWidget(At(0, 4)));
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undone.count(), 1);
    EXPECT_EQ(editor->text(), "1.1");

    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->text(), "1.1");
    EXPECT_EQ(undone.count(), 1);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->text(), "1.15");
    EXPECT_EQ(redone.count(), 0);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(redone.count(), 1);
}

} // namespace
} // namespace kwtest
