#include "MainWindowFixture.h"

#include "translate/Texts.h"
#include "views/GridCells.h"
#include "views/uChanges.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <sstream>
#include <string_view>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

QString Text(const kw::TextDef& text) {
    return QString::fromUtf8(text.Default);
}

// One value edited in the catalog, and the row the Changes window must show for it.
struct TEdit {
    const char* Key;
    const char* File; // below the game folder, as the window shows it
    const char* Section;
    const char* Label; // the standard view's label of the field
    const char* OnDisk;
    const char* NewValue;
    const char* Entries; // every entry that shows the value
};

const TEdit kEdits[] = {
    {"cost", "gamedata\\config\\weapons\\w_heron.ltx", "wpn_heron", "Цена", "4200", "777", "wpn_heron"},
    // kept in the section that the outfit's immunities_sect names, not in the outfit's own
    {"burn_immunity", "gamedata\\config\\misc\\outfit.ltx", "wanderer_immunities", "Ожог", "0.9", "0.5",
     "wanderer_outfit"},
};

template <class Entries> int RowOf(const Entries& entries, const char* section) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return entry->Section == section; });
    return static_cast<int>(found - entries.begin());
}

int ColumnOf(kw::TGridId grid, const char* key) {
    const auto& columns = kw::GridDef(grid).Columns;
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const kw::TColumnDef& column) {
        return column.GameKey && std::string_view(column.GameKey) == key;
    });
    return static_cast<int>(found - columns.begin());
}

class ChangesWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
        WriteSettings("GamePath=" + FGame + "\n");
    }
    void Edit(const TEdit& edit) {
        kw::TCatalog& catalog = FWindow->Catalog();
        if (std::string_view(edit.Key) == "cost") {
            for (const auto& weapon : catalog.Weapons) {
                if (weapon->Section == edit.Section) {
                    SetValue(weapon->cost, edit.NewValue);
                }
            }
            return;
        }
        for (const auto& outfit : catalog.Outfits) {
            if (outfit->immunities_sect.Value == edit.Section) {
                SetValue(outfit->Immunity.burn, edit.NewValue);
            }
        }
    }
    // Opens File → Changes… and hands the shown window to check.
    void WithChangesWindow(const std::function<void(kw::TfrmChanges&)>& check) {
        bool shown = false;
        FPlatform.OnDialog = [&](QDialog& dialog) {
            auto* changes = qobject_cast<kw::TfrmChanges*>(&dialog);
            ASSERT_NE(changes, nullptr);
            shown = true;
            check(*changes);
        };
        FWindow->mnuFileChanges->trigger();
        EXPECT_TRUE(shown);
    }
    static QString Cell(const kw::TfrmChanges& changes, int row, int column) {
        return changes.tblChanges->item(row, column)->text();
    }
    // One row per edit, naming its entries, field, file, section and new value; stored says what the
    // column of the file's value shows.
    static void ExpectEditsListed(const kw::TfrmChanges& changes,
                                  const std::function<QString(const TEdit&)>& stored) {
        ASSERT_EQ(changes.tblChanges->rowCount(), 2);
        for (const TEdit& edit : kEdits) {
            SCOPED_TRACE(edit.Key);
            const auto found = changes.tblChanges->findItems(QString::fromUtf8(edit.Key), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            const int row = found.front()->row();
            EXPECT_EQ(Cell(changes, row, 0), QString::fromUtf8(edit.Entries));
            EXPECT_EQ(Cell(changes, row, 1), QString::fromUtf8(edit.Label));
            EXPECT_EQ(Cell(changes, row, 3), QString::fromUtf8(edit.File));
            EXPECT_EQ(Cell(changes, row, 4), QString::fromUtf8(edit.Section));
            EXPECT_EQ(Cell(changes, row, 5), stored(edit));
            EXPECT_EQ(Cell(changes, row, 6), QString::fromUtf8(edit.NewValue));
        }
    }

    std::string FGame;
};

TEST_F(ChangesWindowTest, ListsRevertsAndCopiesWhatASaveWouldWrite) {
    kw::TfrmMain& window = Start();
    window.show();
    const std::string heron = FileText(FGame + "gamedata/config/weapons/w_heron.ltx");
    const std::string outfits = FileText(FGame + "gamedata/config/misc/outfit.ltx");
    for (const TEdit& edit : kEdits) {
        Edit(edit);
    }

    WithChangesWindow([&](kw::TfrmChanges& changes) {
        ExpectEditsListed(changes, [](const TEdit& edit) { return QString::fromUtf8(edit.OnDisk); });
        const QStringList lines = changes.ListText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_TRUE(lines[0].startsWith(Text(kw::kChangesColumns[0]) + QLatin1Char('\t')));
        for (int row = 0; row < 2; ++row) {
            QStringList cells;
            for (int column = 0; column < changes.tblChanges->columnCount(); ++column) {
                cells << Cell(changes, row, column);
            }
            EXPECT_EQ(lines[row + 1], cells.join(QLatin1Char('\t')));
        }
        changes.btnCopy->click();
        EXPECT_EQ(QApplication::clipboard()->text(), changes.ListText());
        EXPECT_FALSE(changes.btnRevert->isEnabled());
    });
    EXPECT_TRUE(window.isWindowModified());

    WithChangesWindow([&](kw::TfrmChanges& changes) {
        changes.tblChanges->selectAll();
        ASSERT_TRUE(changes.btnRevert->isEnabled());
        changes.btnRevert->click();
        EXPECT_EQ(changes.tblChanges->rowCount(), 0);
    });
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(FileText(FGame + "gamedata/config/weapons/w_heron.ltx"), heron);
    EXPECT_EQ(FileText(FGame + "gamedata/config/misc/outfit.ltx"), outfits);
    for (const auto& weapon : window.Catalog().Weapons) {
        if (weapon->Section == "wpn_heron") {
            EXPECT_EQ(weapon->cost.Value, "4200");
        }
    }
    for (const auto& outfit : window.Catalog().Outfits) {
        if (outfit->immunities_sect.Value == "wanderer_immunities") {
            EXPECT_EQ(outfit->Immunity.burn.Value, "0.9");
        }
    }
}

// A grid cell not yet stored is listed with where its value lives and what the file holds, tinted as the grid
// tints it. Reverting its row drops the mark and the grid shows the catalog's value again, as one step that
// Ctrl+Z takes back; nothing is written.
TEST_F(ChangesWindowTest, RevertsGridCellsNotYetStored) {
    kw::TfrmMain& window = Start();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.btnView->click();
    const kw::TCatalog& catalog = window.Catalog();
    const kw::TCellRef cost{0, RowOf(catalog.Weapons, kEdits[0].Entries),
                            ColumnOf(kw::TGridId::Weapons, kEdits[0].Key)};
    const kw::TCellRef burn{2, RowOf(catalog.Outfits, kEdits[1].Entries),
                            ColumnOf(kw::TGridId::Outfits, kEdits[1].Key)};
    const auto disk = FileBytes(FGame);
    window.Document().Edit("", {}, {}, {{cost, kEdits[0].NewValue}, {burn, kEdits[1].NewValue}});

    WithChangesWindow([&](kw::TfrmChanges& changes) {
        ExpectEditsListed(changes, [](const TEdit& edit) { return QString::fromUtf8(edit.OnDisk); });
        for (int row = 0; row < changes.tblChanges->rowCount(); ++row) {
            for (int column = 0; column < changes.tblChanges->columnCount(); ++column) {
                const QTableWidgetItem* item = changes.tblChanges->item(row, column);
                EXPECT_EQ(item->background().color(), kw::TGridView::MarkedColor());
                EXPECT_EQ(item->toolTip(), Text(kw::kChangesGridCell));
            }
        }
        const auto found = changes.tblChanges->findItems(QString::fromUtf8(kEdits[0].Key), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        changes.tblChanges->selectRow(found.front()->row());
        ASSERT_TRUE(changes.btnRevert->isEnabled());
        changes.btnRevert->click();
        ASSERT_EQ(changes.tblChanges->rowCount(), 1);
        EXPECT_EQ(Cell(changes, 0, 2), QString::fromUtf8(kEdits[1].Key));
    });
    const kw::TGridModel& weapons = window.Page(0).sg->Model();
    EXPECT_EQ(window.Document().CellText(cost), nullptr);
    EXPECT_FALSE(weapons.IsMarked(cost.Row, cost.Column));
    EXPECT_EQ(weapons.data(weapons.index(cost.Row, cost.Column)).toString(), kEdits[0].OnDisk);
    ASSERT_NE(window.Document().CellText(burn), nullptr);
    EXPECT_EQ(*window.Document().CellText(burn), kEdits[1].NewValue);

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NE(window.Document().CellText(cost), nullptr);
    EXPECT_EQ(*window.Document().CellText(cost), kEdits[0].NewValue);
    EXPECT_TRUE(weapons.IsMarked(cost.Row, cost.Column));
    EXPECT_EQ(weapons.data(weapons.index(cost.Row, cost.Column)).toString(), kEdits[0].NewValue);
    EXPECT_EQ(FileBytes(FGame), disk);
}

// A stored change and a typed cell reverted together are one step: one Ctrl+Z brings both back.
TEST_F(ChangesWindowTest, RevertsAStoredChangeAndATypedCellAsOneStep) {
    kw::TfrmMain& window = Start();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    kw::TCatalog& catalog = window.Catalog();
    kw::TWeapon& heron =
        *catalog.Weapons.at(static_cast<std::size_t>(RowOf(catalog.Weapons, kEdits[0].Entries)));
    SetValue(heron.cost, kEdits[0].NewValue);
    window.btnView->click();
    window.PageControl1->setCurrentIndex(2);
    const int row = RowOf(catalog.Outfits, kEdits[1].Entries);
    const int column = ColumnOf(kw::TGridId::Outfits, kEdits[1].Key);
    TypeIntoCell(*window.Page(2).sg, row, column, QString::fromUtf8(kEdits[1].NewValue));
    const auto disk = FileBytes(FGame);

    WithChangesWindow([&](kw::TfrmChanges& changes) {
        ASSERT_EQ(changes.tblChanges->rowCount(), 2);
        changes.tblChanges->selectAll();
        changes.btnRevert->click();
        EXPECT_EQ(changes.tblChanges->rowCount(), 0);
    });
    EXPECT_EQ(heron.cost.Value, kEdits[0].OnDisk);
    EXPECT_EQ(window.Document().CellText({2, row, column}), nullptr);
    EXPECT_TRUE(window.mnuEditUndo->text().endsWith(QStringLiteral(": 2")))
        << window.mnuEditUndo->text().toStdString();

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(heron.cost.Value, kEdits[0].NewValue);
    ASSERT_NE(window.Document().CellText({2, row, column}), nullptr);
    EXPECT_EQ(*window.Document().CellText({2, row, column}), kEdits[1].NewValue);
    EXPECT_EQ(FileBytes(FGame), disk);
}

} // namespace
} // namespace kwtest
