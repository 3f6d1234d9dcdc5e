#include "interchange/GridTable.h"

#include "gamecfg/Error.h"
#include "interchange/InterchangeFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace kw {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The field each column shows, as the column tables of the table view name it, reached in the first entry.
struct TColumnCase {
    TGridId Grid;
    int Column;
    std::function<TParam&(TCatalog&)> Field;
};

std::ostream& operator<<(std::ostream& out, const TColumnCase& c) {
    return out << GridDef(c.Grid).Name << " column " << c.Column;
}

const TColumnCase kColumnCases[] = {
    {TGridId::Weapons, 1, [](TCatalog& c) -> TParam& { return c.Weapons[0]->fire_dispersion_base; }},
    {TGridId::Weapons, 5, [](TCatalog& c) -> TParam& { return c.Weapons[0]->rpm; }},
    {TGridId::Weapons, 9, [](TCatalog& c) -> TParam& { return c.Weapons[0]->scope_zoom_factor; }},
    {TGridId::Weapons, 10, [](TCatalog& c) -> TParam& { return c.Weapons[0]->inv_weight; }},
    {TGridId::Weapons, 11, [](TCatalog& c) -> TParam& { return c.Weapons[0]->cost; }},
    // Columns 1-2 and 3-4 of the ammunition grid stand in the opposite order to the entry's fields.
    {TGridId::Ammo, 1, [](TCatalog& c) -> TParam& { return c.Ammo[0]->k_disp; }},
    {TGridId::Ammo, 2, [](TCatalog& c) -> TParam& { return c.Ammo[0]->k_dist; }},
    {TGridId::Ammo, 3, [](TCatalog& c) -> TParam& { return c.Ammo[0]->k_impulse; }},
    {TGridId::Ammo, 4, [](TCatalog& c) -> TParam& { return c.Ammo[0]->k_hit; }},
    {TGridId::Ammo, 8, [](TCatalog& c) -> TParam& { return c.Ammo[0]->box_size; }},
    {TGridId::Outfits, 1, [](TCatalog& c) -> TParam& { return c.Outfits[0]->Protection.burn; }},
    {TGridId::Outfits, 9, [](TCatalog& c) -> TParam& { return c.Outfits[0]->Protection.fire_wound; }},
    {TGridId::Outfits, 10, [](TCatalog& c) -> TParam& { return c.Outfits[0]->Immunity.burn; }},
    {TGridId::Outfits, 16, [](TCatalog& c) -> TParam& { return c.Outfits[0]->Immunity.chemical_burn; }},
    {TGridId::Outfits, 19, [](TCatalog& c) -> TParam& { return c.Outfits[0]->inv_weight; }},
    {TGridId::Arts, 1, [](TCatalog& c) -> TParam& { return c.Arts[0]->health_restore_speed; }},
    {TGridId::Arts, 5, [](TCatalog& c) -> TParam& { return c.Arts[0]->bleeding_restore_speed; }},
    {TGridId::Arts, 6, [](TCatalog& c) -> TParam& { return c.Arts[0]->Immunity.burn; }},
    {TGridId::Arts, 14, [](TCatalog& c) -> TParam& { return c.Arts[0]->Immunity.fire_wound; }},
    {TGridId::Arts, 16, [](TCatalog& c) -> TParam& { return c.Arts[0]->cost; }},
    {TGridId::Items, 1, [](TCatalog& c) -> TParam& { return c.Items[0]->eat_health; }},
    {TGridId::Items, 4, [](TCatalog& c) -> TParam& { return c.Items[0]->eat_radiation; }},
    {TGridId::Items, 5, [](TCatalog& c) -> TParam& { return c.Items[0]->inv_weight; }},
    {TGridId::Weather, 1, [](TCatalog& c) -> TParam& { return c.Weather[0]->sky_color; }},
    {TGridId::Weather, 10, [](TCatalog& c) -> TParam& { return c.Weather[0]->ambient; }},
    {TGridId::Weather, 12, [](TCatalog& c) -> TParam& { return c.Weather[0]->sun_dir; }},
    {TGridId::Weather, 13, [](TCatalog& c) -> TParam& { return c.Weather[0]->bolt_period; }},
    {TGridId::Weather, 14, [](TCatalog& c) -> TParam& { return c.Weather[0]->bolt_duration; }},
};

using GridTableTest = test::InterchangeTest;

class GridColumnTest : public test::InterchangeTest, public ::testing::WithParamInterface<TColumnCase> {};

// A value only one field holds shows in that field's column and nowhere else, converted from windows-1251;
// storing the column writes that field.
TEST_P(GridColumnTest, ColumnShowsAndStoresItsField) {
    const TColumnCase& c = GetParam();
    c.Field(Catalog()).Value = "\xEF\xF0\xEE\xE1\xE0"; // "проба"
    TStringGrid grid(GridDef(c.Grid));
    FillTable(grid, Catalog());
    for (int column = 0; column < grid.ColumnCount(); ++column) {
        EXPECT_EQ(grid.Text(0, column) == "проба", column == c.Column) << "column " << column;
    }

    grid.SetText(0, c.Column, "ёж");
    EXPECT_EQ(StoreTable(grid, Loaded()), 1);
    EXPECT_EQ(c.Field(Catalog()).Value, "\xB8\xE6");
}

INSTANTIATE_TEST_SUITE_P(Grids, GridColumnTest, ::testing::ValuesIn(kColumnCases));

TEST_F(GridTableTest, EveryGridFillsWithItsEntriesAndHeaders) {
    const std::pair<TGridId, std::size_t> sizes[] = {
        {TGridId::Weapons, Catalog().Weapons.size()}, {TGridId::Ammo, Catalog().Ammo.size()},
        {TGridId::Outfits, Catalog().Outfits.size()}, {TGridId::Arts, Catalog().Arts.size()},
        {TGridId::Items, Catalog().Items.size()},     {TGridId::Weather, Catalog().Weather.size()},
    };
    const int columns[] = {12, 11, 21, 17, 7, 15};
    int headers = 0;
    for (const auto& [id, entries] : sizes) {
        TStringGrid grid(GridDef(id));
        FillTable(grid, Catalog());
        EXPECT_EQ(grid.ColumnCount(), columns[static_cast<int>(id)]);
        EXPECT_EQ(grid.EntryCount(), static_cast<int>(entries));
        EXPECT_TRUE(grid.MarkedCells().empty());
        headers += grid.ColumnCount();
    }
    EXPECT_EQ(headers, 83);

    // Names come from the game, not from the interface language; weather shows the time slot.
    TStringGrid weather(GridDef(TGridId::Weather));
    FillTable(weather, Catalog());
    EXPECT_EQ(weather.Text(0, 0), Catalog().Weather[0]->Time);
    EXPECT_EQ(weather.Header(0), "время");
}

TEST_F(GridTableTest, IndexConventions) {
    // An empty catalog shows one empty data row that belongs to no entry: the classic RowCount of 2.
    TDocument nothing;
    const TCatalog& empty = nothing.Catalog();
    TStringGrid none(GridDef(TGridId::Items));
    FillTable(none, empty);
    EXPECT_EQ(none.RowCount(), 1);
    EXPECT_EQ(none.SheetRows(), 2);
    EXPECT_EQ(none.EntryCount(), 0);
    EXPECT_FALSE(none.IsEditable(0, 1));
    none.SetText(0, 1, "5");
    EXPECT_EQ(StoreTable(none, nothing), 0);

    // Data row r is entry r; the header is not a row of the grid; only columns 1 and up are edited.
    TStringGrid ammo(GridDef(TGridId::Ammo));
    FillTable(ammo, Catalog());
    const int entries = static_cast<int>(Catalog().Ammo.size());
    EXPECT_EQ(ammo.RowCount(), entries);
    EXPECT_EQ(ammo.SheetRows(), entries + 1);
    EXPECT_EQ(ammo.Text(entries - 1, 0), Catalog().Ammo.back()->Name);
    EXPECT_FALSE(ammo.IsEditable(0, 0));
    EXPECT_TRUE(ammo.IsEditable(0, 1));
    EXPECT_TRUE(ammo.IsEditable(entries - 1, ammo.ColumnCount() - 1));
    EXPECT_FALSE(ammo.IsEditable(entries, 1));

    // A one-entry catalog: the entry in the only data row.
    Catalog().Ammo.resize(1);
    FillTable(ammo, Catalog());
    EXPECT_EQ(ammo.RowCount(), 1);
    EXPECT_EQ(ammo.EntryCount(), 1);
    EXPECT_EQ(ammo.Text(0, 0), Catalog().Ammo[0]->Name);

    EXPECT_EQ(SheetCellName(0, 0), "A1");
    EXPECT_EQ(SheetCellName(3, 2), "C4");
    EXPECT_EQ(SheetCellName(9, 25), "Z10");
    EXPECT_EQ(SheetCellName(0, 26), "AA1");
}

TEST_F(GridTableTest, StoresOnlyTheCellsThatDifferFromTheFill) {
    TStringGrid grid(GridDef(TGridId::Ammo));
    FillTable(grid, Catalog());
    const std::string k_hit = Catalog().Ammo[0]->k_hit.Value;
    grid.SetText(1, 2, "1.7");
    grid.SetText(2, 9, "");
    grid.SetText(0, 4, "9");
    grid.SetText(0, 4, k_hit);     // typed back: no change
    grid.SetText(3, 0, "renamed"); // the name column is never stored
    EXPECT_THAT(grid.MarkedCells(), ElementsAre(TCellPos{1, 2}, TCellPos{2, 9}, TCellPos{3, 0}));

    EXPECT_EQ(StoreTable(grid, Loaded()), 2);
    EXPECT_EQ(Catalog().Ammo[1]->k_dist.Value, "1.7");
    EXPECT_EQ(Catalog().Ammo[2]->inv_weight.Value, "");
    EXPECT_EQ(Catalog().Ammo[0]->k_hit.Value, k_hit);
    // The store fills the grid again: nothing is marked, the name is the entry's again.
    EXPECT_TRUE(grid.MarkedCells().empty());
    EXPECT_EQ(grid.Text(1, 2), "1.7");
    EXPECT_EQ(grid.Text(3, 0), Catalog().Ammo[3]->Name);
}

// Two outfits whose immunities live in one section.
class SharedSectionTest : public test::InterchangeTest {
protected:
    SharedSectionTest() {
        Append("gamedata\\config\\misc\\outfit.ltx",
               "\r\n[ranger_outfit]:outfit_base\r\ninv_name = ranger_outfit\r\n"
               "cost = 100\r\nimmunities_sect = wanderer_immunities\r\n");
        FillTable(grid, Catalog());
        for (int row = 0; row < grid.EntryCount(); ++row) {
            const std::string& section = Catalog().Outfits[static_cast<std::size_t>(row)]->Section;
            (section == "wanderer_outfit" ? wanderer : section == "ranger_outfit" ? ranger : other) = row;
        }
    }

    TStringGrid grid{GridDef(TGridId::Outfits)};
    int wanderer = -1, ranger = -1, other = -1;
    static constexpr int kBurnImmunity = 10;
};

TEST_F(SharedSectionTest, AnEditInOneRowIsNotUndoneByTheOtherRow) {
    ASSERT_GE(wanderer, 0);
    ASSERT_GE(ranger, 0);
    ASSERT_EQ(grid.Text(ranger, kBurnImmunity), grid.Text(wanderer, kBurnImmunity));
    grid.SetText(wanderer, kBurnImmunity, "0.5");
    EXPECT_EQ(StoreTable(grid, Loaded()), 1);
    EXPECT_EQ(Catalog().Outfits[static_cast<std::size_t>(wanderer)]->Immunity.burn.Value, "0.5");

    // The same text in both rows writes the key once, as wanted, and counts as the one value it is.
    grid.SetText(wanderer, kBurnImmunity, "0.4");
    grid.SetText(ranger, kBurnImmunity, "0.4");
    EXPECT_EQ(StoreTable(grid, Loaded()), 1);
    EXPECT_EQ(Catalog().Outfits[static_cast<std::size_t>(ranger)]->Immunity.burn.Value, "0.4");
}

TEST_F(SharedSectionTest, DifferentTextsForOneKeyAreRefusedNamingBothRows) {
    grid.SetText(wanderer, kBurnImmunity, "0.5");
    grid.SetText(ranger, kBurnImmunity, "0.6");
    const std::string price = grid.Text(other, 20);
    grid.SetText(other, 20, "1"); // a fine cell elsewhere is not stored either
    try {
        StoreTable(grid, Loaded());
        FAIL() << "stored";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(),
                    AllOf(HasSubstr("Wanderer's coat"), HasSubstr("ranger_outfit"), HasSubstr("-ожог"),
                          HasSubstr("burn_immunity"), HasSubstr("wanderer_immunities")));
    }
    EXPECT_EQ(Catalog().Outfits[static_cast<std::size_t>(wanderer)]->Immunity.burn.Value, "0.9");
    EXPECT_EQ(Catalog().Outfits[static_cast<std::size_t>(other)]->cost.Value, price);
    EXPECT_EQ(grid.MarkedCells().size(), 3u) << "the typed cells stay for the user to mend";
}

struct TRefusedText {
    const char* Label;
    std::string Text;
    const char* Reason;
};

std::ostream& operator<<(std::ostream& out, const TRefusedText& c) {
    return out << c.Label;
}

class RefusedTextTest : public test::InterchangeTest, public ::testing::WithParamInterface<TRefusedText> {};

TEST_P(RefusedTextTest, RefusesTheWholeGridNamingEntryAndColumn) {
    TStringGrid grid(GridDef(TGridId::Ammo));
    FillTable(grid, Catalog());
    const std::string disp = Catalog().Ammo[0]->k_disp.Value;
    grid.SetText(0, 1, "2.5");
    grid.SetText(2, 2, GetParam().Text);
    try {
        StoreTable(grid, Loaded());
        FAIL() << "stored";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), AllOf(HasSubstr(Catalog().Ammo[2]->Name), HasSubstr("дистанция"),
                                    HasSubstr(GetParam().Reason)));
    }
    EXPECT_EQ(Catalog().Ammo[0]->k_disp.Value, disp);
    EXPECT_EQ(grid.Text(2, 2), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedTextTest,
                         ::testing::Values(TRefusedText{"CR", "1\r2", "line break"},
                                           TRefusedText{"LF", "1\n", "line break"},
                                           TRefusedText{"NUL",
                                                        std::string("1\0"
                                                                    "2",
                                                                    3),
                                                        "NUL"},
                                           TRefusedText{"CJK", "1日", "\"日\""},
                                           TRefusedText{"check mark", "✓", "windows-1251"},
                                           TRefusedText{"broken UTF-8", "\xFF", "UTF-8"}));

TEST_F(GridTableTest, AGridFilledBeforeTheCatalogChangedIsNotStored) {
    TStringGrid grid(GridDef(TGridId::Ammo));
    FillTable(grid, Catalog());
    Catalog().Ammo.pop_back();
    grid.SetText(0, 1, "3");
    EXPECT_THROW(StoreTable(grid, Loaded()), Error);
}

TEST(GridHeadersTest, LanguageTextsWithTheBuiltInOnesWhereTheLanguageLacksAKey) {
    const auto headers = GridHeaders(GridDef(TGridId::Weather), [](const char* key, const char* builtIn) {
        return std::string(key) == "rs_Weather_sky_color" ? std::string("sky colour") : std::string(builtIn);
    });
    EXPECT_EQ(headers[1], "sky colour");
    EXPECT_EQ(headers[4], "цвет тум.");
    TStringGrid grid(GridDef(TGridId::Weather));
    grid.SetHeaders(headers);
    EXPECT_EQ(grid.Header(1), "sky colour");
    EXPECT_EQ(BuiltInHeaders(GridDef(TGridId::Weather))[1], "цвет неба");
}

} // namespace
} // namespace kw
