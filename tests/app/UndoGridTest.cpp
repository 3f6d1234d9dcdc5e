#include "MainWindowFixture.h"

#include "interchange/WorkbookWriter.h"
#include "views/GridCells.h"

#include <QClipboard>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <functional>

namespace kwtest {
namespace {

constexpr int kAmmo = 1;

// What a grid shows of the document, cell by cell: the shown texts, the marks and the catalog's values.
struct TGridState {
    std::vector<QString> Shown;
    std::vector<kw::TCellPos> Marks;
    std::vector<std::string> Catalog;
    bool Modified = false;
    bool operator==(const TGridState&) const = default;
};

void PrintTo(const TGridState& state, std::ostream* out) {
    *out << state.Marks.size() << " marks";
    for (const kw::TCellPos& mark : state.Marks) {
        *out << " (" << mark.Row << "," << mark.Column << ")";
    }
    *out << (state.Modified ? ", modified" : "");
}

class UndoGridSteps;

// One edit of a grid as a user makes it, on the ammunition page. Prepare makes the steps the edit needs first
// (a typed cell to save or to drop); Label is the step's name in the Edit menu, Saved what the main Save then
// writes into the ammunition file, in the order of its lines.
struct TGridStepCase {
    const char* Name;
    std::function<void(UndoGridSteps&)> Prepare;
    std::function<void(UndoGridSteps&)> Act;
    std::function<QString(UndoGridSteps&)> Label;
    std::vector<std::string> Saved;
    std::pair<int, int> Shown; // the first cell the step changed, made current by its Undo
};

void PrintTo(const TGridStepCase& test, std::ostream* out) {
    *out << test.Name;
}

// Each grid edit is one step: Undo shows the grid, its marks and the catalog as they were before it, Redo as
// they were after it, and the files on disk follow the catalog through saves.
class UndoGridSteps : public SampleGameWindowTest, public testing::WithParamInterface<TGridStepCase> {
public:
    kw::TGridView& Grid() const { return *FWindow->Page(kAmmo).sg; }
    QString Cell(int row, int column) const { return CellText(Grid(), row, column); }
    void Type(int row, int column, const QString& text) const { TypeIntoCell(Grid(), row, column, text); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const {
        Grid().setFocus();
        QTest::keyClick(&Grid(), key, modifiers);
    }
    // Writes the sheet as a CSV file of that name beside the game and imports it.
    void Import(const kw::TStringGrid& sheet, const std::string& name) {
        const std::string file = (FFolder / name).string();
        kw::WriteCsv(file, sheet);
        FPlatform.File = QString::fromStdString(file);
        FWindow->Page(kAmmo).btnImport->click();
    }
    void Click(QPushButton* kw::TCatalogPage::*button) const { (FWindow->Page(kAmmo).*button)->click(); }

    TGridState State() const {
        TGridState state;
        const kw::TGridModel& model = Grid().Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                state.Shown.push_back(Cell(row, column));
                state.Catalog.push_back(model.CatalogText(row, column));
            }
        }
        state.Marks = model.MarkedCells();
        state.Modified = FWindow->isWindowModified();
        EXPECT_EQ(state.Modified, FWindow->Document().IsModified());
        return state;
    }

protected:
    std::string MoreOptions() const override { return "ViewType=0\n"; }
};

const std::string kAmmoFile = "gamedata/config/weapons/weapons.ltx";

const TGridStepCase kGridSteps[] = {
    {"TypedCell",
     nullptr,
     [](UndoGridSteps& t) { t.Type(0, 2, "1.75"); },
     [](UndoGridSteps& t) { return QStringLiteral("дистанция (%1)").arg(t.Cell(0, 0)); },
     {"k_dist                  = 1.75"},
     {0, 2}},
    {"Paste",
     nullptr,
     [](UndoGridSteps& t) {
         QApplication::clipboard()->setText(QStringLiteral("0.5\t0.6\n0.7\t0.8\n"));
         t.Grid().setCurrentIndex(At(t.Grid(), 0, 1));
         t.Press(Qt::Key_V, Qt::ControlModifier);
     },
     [](UndoGridSteps&) { return QStringLiteral("вставку ячеек: 4"); },
     {"k_dist                  = 0.6", "k_disp                  = 0.5", "k_dist                  = 0.8",
      "k_disp                  = 0.7"},
     {0, 1}},
    {"DeleteOfARange",
     nullptr,
     [](UndoGridSteps& t) {
         SelectRange(t.Grid(), 0, 5, 1, 6);
         t.Press(Qt::Key_Delete);
     },
     [](UndoGridSteps&) { return QStringLiteral("удаление ячеек: 4"); },
     {"k_pierce                = ", "impair                  = ", "k_pierce                = ",
      "impair                  = "},
     {0, 5}},
    {"Import",
     nullptr,
     [](UndoGridSteps& t) {
         kw::TStringGrid sheet = t.Grid().WorkingCopy();
         sheet.SetText(1, 8, "77");
         t.Import(sheet, "ammo.csv");
     },
     [](UndoGridSteps&) { return QStringLiteral("импорт ammo.csv"); },
     {"box_size                = 77"},
     {1, 8}},
    {"PageSave",
     [](UndoGridSteps& t) { t.Type(1, 5, "0.66"); },
     [](UndoGridSteps& t) { t.Click(&kw::TCatalogPage::btnTableSave); },
     [](UndoGridSteps&) { return QStringLiteral("сохранение таблицы"); },
     {"k_pierce                = 0.66"},
     {1, 5}},
    {"Refresh",
     [](UndoGridSteps& t) { t.Type(1, 5, "0.66"); },
     [](UndoGridSteps& t) { t.Click(&kw::TCatalogPage::btnTableRefresh); },
     [](UndoGridSteps&) { return QStringLiteral("обновление таблицы"); },
     {},
     {1, 5}},
};

TEST_P(UndoGridSteps, UndoAndRedoShowEachSideAndSavesFollow) {
    const TGridStepCase& test = GetParam();
    const auto original = FileBytes(FGame);
    kw::TfrmMain& window = StartShown();
    window.PageControl1->setCurrentIndex(kAmmo);
    kw::TDocument& document = window.Document();
    if (test.Prepare) {
        test.Prepare(*this);
    }
    const TGridState before = State();
    test.Act(*this);
    const TGridState after = State();
    ASSERT_NE(after, before);
    ASSERT_NE(document.NextUndo(), nullptr);
    EXPECT_EQ(QString::fromStdString(document.NextUndo()->Label), test.Label(*this));
    EXPECT_TRUE(document.NextUndo()->Place.InTable);

    Grid().setCurrentIndex(At(Grid(), 2, 0));
    document.Undo();
    EXPECT_EQ(State(), before);
    EXPECT_EQ(Grid().currentIndex(), At(Grid(), test.Shown.first, test.Shown.second));
    document.Redo();
    EXPECT_EQ(State(), after);
    EXPECT_EQ(document.NextRedo(), nullptr);

    // The main Save stores what the grid still marks, then writes.
    window.mnuFileSave->trigger();
    std::vector<std::string> saved;
    for (const std::string& line : test.Saved) {
        saved.push_back(kAmmoFile + ": " + line);
    }
    EXPECT_EQ(ChangedLines(original, FileBytes(FGame)), saved);
    EXPECT_FALSE(window.isWindowModified());

    // Taken back across the save, every step leaves the files as they came.
    while (document.NextUndo()) {
        document.Undo();
    }
    EXPECT_TRUE(Grid().Model().MarkedCells().empty());
    EXPECT_EQ(window.isWindowModified(), !saved.empty());
    window.mnuFileSave->trigger();
    EXPECT_EQ(FileBytes(FGame), original);
    EXPECT_FALSE(window.isWindowModified());
    for (const FakePlatform::Message& message : FPlatform.Messages) {
        EXPECT_EQ(message.Icon, QMessageBox::Information) << message.Text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UndoGridSteps, testing::ValuesIn(kGridSteps),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kwtest
