#include "interchange/WorkingCopy.h"

#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"
#include "interchange/GridTable.h"
#include "interchange/InterchangeFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kOutfitFile[] = "gamedata\\config\\misc\\outfit.ltx";
constexpr int kAmmo = static_cast<int>(TGridId::Ammo);
constexpr int kOutfits = static_cast<int>(TGridId::Outfits);

// A table view's working copy in the document, over a copy of the sample game.
class UndoWorkingCopy : public test::InterchangeTest {
protected:
    // The data row of the entry whose section is section, in the ammunition or the outfits grid.
    int Row(TGridId grid, const std::string& section) {
        const auto find = [&](const auto& entries) {
            for (std::size_t row = 0; row < entries.size(); ++row) {
                if (entries[row]->Section == section) {
                    return static_cast<int>(row);
                }
            }
            ADD_FAILURE() << "no entry " << section;
            return -1;
        };
        return grid == TGridId::Ammo ? find(Catalog().Ammo) : find(Catalog().Outfits);
    }
    void Mark(std::vector<TCellEdit> cells) { Loaded().Edit("typed", {}, {}, std::move(cells)); }
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& item : std::filesystem::recursive_directory_iterator(game.Full("gamedata"))) {
            if (item.is_regular_file()) {
                files[item.path().string()] = fs::ReadFile(item.path().string()).value_or("<unreadable>");
            }
        }
        return files;
    }
    std::string OnDisk(const std::string& file, const std::string& section, const std::string& key) const {
        return ProfileFile(game.Full(file).string()).ReadString(section, key, "<absent>");
    }
};

// A cell reads the catalog as a fill shows it, without a fill; nothing outside the entries.
TEST_F(UndoWorkingCopy, EveryCellReadsAsTheFillShowsIt) {
    for (const TGridDef& def : kGridDefs) {
        TStringGrid grid(def);
        FillTable(grid, Catalog());
        ASSERT_EQ(CatalogEntryCount(def, Catalog()), grid.EntryCount()) << def.Name;
        for (int row = 0; row < grid.EntryCount(); ++row) {
            for (int column = 0; column < grid.ColumnCount(); ++column) {
                ASSERT_EQ(CatalogCellText(def, Catalog(), row, column), grid.Text(row, column))
                    << def.Name << " " << row << "," << column;
            }
        }
        EXPECT_EQ(CatalogCellText(def, Catalog(), grid.EntryCount(), 1), "");
        EXPECT_EQ(CatalogCellText(def, Catalog(), 0, grid.ColumnCount()), "");
    }
}

// A page's Save is one step with the values and the dropped marks; the other grids keep theirs. Taken back
// across a file save, the files are as they came.
TEST_F(UndoWorkingCopy, StoreOfTheMarksIsOneStepThatUndoTakesBackOnDisk) {
    TDocument& document = Loaded();
    const std::string weaponsFile = "gamedata\\config\\weapons\\weapons.ltx";
    const int pmm = Row(TGridId::Ammo, "ammo_9x18_pmm");
    const int wanderer = Row(TGridId::Outfits, "wanderer_outfit");
    const TCellRef pierce{kAmmo, pmm, 5};
    const TCellRef burn{kOutfits, wanderer, 10};
    const auto original = Files();
    Mark({{pierce, "1.3"}, {burn, "0.5"}});

    EXPECT_EQ(StoreMarkedCells(GridDef(TGridId::Ammo), document, {}, "save of the ammunition"), 1);
    ASSERT_NE(document.NextUndo(), nullptr);
    EXPECT_EQ(document.NextUndo()->Label, "save of the ammunition");
    const auto stored = document.Cells();
    EXPECT_THAT(stored, ElementsAre(std::pair{burn, std::string("0.5")}));
    EXPECT_EQ(Catalog().Ammo[static_cast<std::size_t>(pmm)]->k_pierce.Value, "1.3");

    document.Undo();
    EXPECT_EQ(Catalog().Ammo[static_cast<std::size_t>(pmm)]->k_pierce.Value, "1.25");
    EXPECT_EQ(document.Cells().size(), 2u);
    ASSERT_NE(document.CellText(pierce), nullptr);
    EXPECT_EQ(*document.CellText(pierce), "1.3");
    document.Redo();
    EXPECT_EQ(document.Cells(), stored);

    ASSERT_TRUE(document.Save().Ok());
    EXPECT_EQ(OnDisk(weaponsFile, "ammo_9x18_pmm", "k_pierce"), "1.3");
    EXPECT_TRUE(document.IsModified()); // the outfit's cell is still marked

    document.Undo();
    document.Undo();
    EXPECT_THAT(document.Cells(), IsEmpty());
    ASSERT_TRUE(document.Save().Ok());
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(Files(), original);
}

// Marked cells the core cannot take: in the document the store refuses them as it refuses a string grid
// holding the same marks, and nothing changes, not even the history.
struct TRefusalCase {
    const char* Name;
    const char* OutfitText; // appended to the outfit file before the load
    std::vector<std::tuple<TGridId, const char*, int, const char*>> Marks; // grid, entry, column, text
};

void PrintTo(const TRefusalCase& test, std::ostream* out) {
    *out << test.Name;
}

class UndoWorkingCopyRefusal : public UndoWorkingCopy, public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(UndoWorkingCopyRefusal, RefusesAsTheStringGridStoreDoes) {
    const TRefusalCase& test = GetParam();
    if (*test.OutfitText) {
        Append(kOutfitFile, test.OutfitText);
    }
    TDocument& document = Loaded();
    const TGridDef& def = GridDef(std::get<0>(test.Marks.front()));
    std::vector<TCellEdit> marks;
    for (const auto& [grid, entry, column, text] : test.Marks) {
        marks.push_back({{static_cast<int>(grid), Row(grid, entry), column}, text});
    }
    Mark(marks);
    const auto cells = document.Cells();
    const TEditStep* last = document.NextUndo();

    std::string expected;
    try {
        CheckTable(WorkingCopy(def, document, BuiltInHeaders(def)), Catalog());
    } catch (const Error& error) {
        expected = error.what();
    }
    ASSERT_FALSE(expected.empty());
    try {
        StoreMarkedCells(def, document, BuiltInHeaders(def), "save");
        ADD_FAILURE() << "stored";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), expected);
    }
    EXPECT_EQ(document.Cells(), cells);
    EXPECT_EQ(document.NextUndo(), last);
    EXPECT_THAT(document.Changes(), IsEmpty());
}

const char kRanger[] = "\r\n[ranger_outfit]:outfit_base\r\ninv_name = ranger_outfit\r\ncost = 100\r\n"
                       "immunities_sect = wanderer_immunities\r\n";
const char kHomeless[] = "\r\n[homeless_outfit]:outfit_base\r\ninv_name = homeless_outfit\r\ncost = 100\r\n"
                         "immunities_sect = no_such_immunities\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UndoWorkingCopyRefusal,
    ::testing::Values(
        TRefusalCase{"Semicolon",
                     "",
                     {{TGridId::Ammo, "ammo_9x18_pmm", 1, "2"}, {TGridId::Ammo, "ammo_9x18_fmj", 2, "1;2"}}},
        TRefusalCase{"NotInTheCodePage", "", {{TGridId::Ammo, "ammo_9x18_fmj", 2, "1日"}}},
        TRefusalCase{"SharedSectionTwoTexts",
                     kRanger,
                     {{TGridId::Outfits, "wanderer_outfit", 10, "0.5"},
                      {TGridId::Outfits, "ranger_outfit", 10, "0.6"}}},
        TRefusalCase{"SectionTheFileLacks", kHomeless, {{TGridId::Outfits, "homeless_outfit", 10, "0.5"}}}),
    [](const auto& info) { return std::string(info.param.Name); });

// An import works on a string grid of what the view shows; its differences come back as cell edits, and a
// text equal to the catalog's unmarks its cell.
TEST_F(UndoWorkingCopy, ChangedWorkingCopyComesBackAsCellEdits) {
    TDocument& document = Loaded();
    const TGridDef& def = GridDef(TGridId::Ammo);
    Mark({{{kAmmo, 0, 1}, "5"}, {{kAmmo, 1, 2}, "6"}});
    TStringGrid copy = WorkingCopy(def, document, {"a", "b"});
    EXPECT_EQ(copy.Header(1), "b");
    EXPECT_THAT(copy.MarkedCells(), ElementsAre(TCellPos{0, 1}, TCellPos{1, 2}));
    EXPECT_EQ(copy.FilledText(0, 1), CatalogCellText(def, Catalog(), 0, 1));

    copy.SetText(0, 1, copy.FilledText(0, 1));
    copy.SetText(2, 3, "7");
    copy.SetText(0, 0, "renamed"); // names are never the working copy's
    const std::vector<TCellEdit> edits = WorkingCopyEdits(copy, document);
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].Cell, (TCellRef{kAmmo, 0, 1}));
    EXPECT_EQ(edits[0].Text, std::nullopt);
    EXPECT_EQ(edits[1].Cell, (TCellRef{kAmmo, 2, 3}));
    EXPECT_EQ(edits[1].Text, "7");

    document.Edit("import", {}, {}, edits);
    const TStringGrid shown = WorkingCopy(def, document, {});
    for (int row = 0; row < shown.EntryCount(); ++row) {
        for (int column = 1; column < shown.ColumnCount(); ++column) {
            ASSERT_EQ(shown.Text(row, column), copy.Text(row, column)) << row << "," << column;
        }
    }
    EXPECT_THAT(shown.MarkedCells(), ElementsAre(TCellPos{1, 2}, TCellPos{2, 3}));
}

// The Changes window's row of a marked cell: where the value lives, and its text as the game would hold it.
TEST_F(UndoWorkingCopy, DescribeCellNamesWhereTheValueLives) {
    TDocument& document = Loaded();
    const int wanderer = Row(TGridId::Outfits, "wanderer_outfit");
    const TCellRef burn{kOutfits, wanderer, 10};
    const TCellRef cost{kOutfits, wanderer, 20};
    const TCellRef slot{static_cast<int>(TGridId::Weather), 0, 1};
    Mark({{burn, "ёж"}, {cost, "中"}, {slot, "1"}});

    const std::optional<TCellDescription> immunity = DescribeCell(document, burn);
    ASSERT_TRUE(immunity);
    EXPECT_STREQ(immunity->Catalog, "outfits");
    EXPECT_EQ(immunity->Entry, "wanderer_outfit");
    EXPECT_EQ(immunity->Section, "wanderer_immunities");
    EXPECT_EQ(immunity->File, kOutfitFile);
    EXPECT_EQ(immunity->Key, "burn_immunity");
    EXPECT_EQ(immunity->Text, "\xB8\xE6");
    // What the file holds, not what the catalog holds after an edit the save has not yet written.
    document.Edit("burn", {},
                  {{&Catalog().Outfits[static_cast<std::size_t>(wanderer)]->Immunity.burn, "0.7"}});
    EXPECT_TRUE(DescribeCell(document, burn)->WasPresent);
    EXPECT_EQ(DescribeCell(document, burn)->StoredValue, "0.9");
    ASSERT_TRUE(DescribeCell(document, cost));
    EXPECT_EQ(DescribeCell(document, cost)->Section, "wanderer_outfit");
    EXPECT_EQ(DescribeCell(document, cost)->Text, "中"); // kept as typed: still a change
    ASSERT_TRUE(DescribeCell(document, slot));
    EXPECT_EQ(DescribeCell(document, slot)->Entry, Catalog().Weather[0]->Time);
    EXPECT_EQ(DescribeCell(document, slot)->Section, Catalog().Weather[0]->Section);

    EXPECT_EQ(DescribeCell(document, {kOutfits, wanderer, 11}), std::nullopt); // not marked
    EXPECT_EQ(DescribeCell(document, {9, 0, 1}), std::nullopt);
}

} // namespace
} // namespace kw
