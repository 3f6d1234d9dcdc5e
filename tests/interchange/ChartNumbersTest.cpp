#include "interchange/ChartNumbers.h"
#include "catalog/Classes.h"
#include "interchange/ChartColumn.h"
#include "interchange/GridTable.h"
#include "interchange/WorkingCopy.h"

#include "InterchangeFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace kw::test {
namespace {

constexpr int kAverage = kAverageElement;

struct TNumberCase {
    const char* Text;
    int Element;
    std::optional<double> Expected;
};

// What the grids hold, as the game files write it, and what a chart draws for it.
const TNumberCase kNumberCases[] = {
    {"900", 0, 900},
    {"-0.3", 0, -0.3},
    {"+7", 0, 7},
    {".2", 0, 0.2},
    {"4.", 0, 4},
    {"4.5f", 0, 4.5},
    {"  12\t", 0, 12},
    // A lone number stands for every element and is its own average.
    {"0.5", 3, 0.5},
    {"0.5", kAverage, 0.5},
    {"0.3, 0.4, 0.5, 0.6", 0, 0.3},
    {"0.3, 0.4, 0.5, 0.6", 3, 0.6},
    {"0.3, 0.4, 0.5, 0.6", kAverage, 0.45},
    {"0.3,0.4,\t0.5 ,\t 0.6", 2, 0.5},
    {"1.5f, 2.5f", kAverage, 2},
    // A list shorter than the element chosen has no number there.
    {"0.3, 0.4", 2, std::nullopt},
    {"", 0, std::nullopt},
    {"   ", kAverage, std::nullopt},
    {"wpn_knife", 0, std::nullopt},
    {"1e3", 0, std::nullopt},
    {"0,5", 1, 5}, // a decimal comma reads as a list of two, as the game would read it
    {"1, , 3", 0, std::nullopt},
    {"1, 2,", kAverage, std::nullopt},
    {"1 2", 0, std::nullopt},
    {"-", 0, std::nullopt},
    {".", 0, std::nullopt},
    {"f", 0, std::nullopt},
    {"12 kg", 0, std::nullopt},
};

class ChartNumbers : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(ChartNumbers, DrawsWhatTheCellHolds) {
    const TNumberCase& c = GetParam();
    const std::optional<double> got = ChartNumber(c.Text, c.Element);
    ASSERT_EQ(got.has_value(), c.Expected.has_value()) << "\"" << c.Text << "\" element " << c.Element;
    if (got) {
        EXPECT_NEAR(*got, *c.Expected, 1e-12) << "\"" << c.Text << "\" element " << c.Element;
    }
}

INSTANTIATE_TEST_SUITE_P(ChartCells, ChartNumbers, ::testing::ValuesIn(kNumberCases));

// The column of a grid as a chart reads it from a loaded game: the working copy over the catalog, the file's
// value beside every entry whose shown text differs from it, and the texts that are no numbers left out.
class ChartColumnTest : public InterchangeTest {};

TEST_F(ChartColumnTest, ReadsTheWorkingCopyAndTheFilesValues) {
    TDocument& document = Loaded();
    const TGridDef& ammo = GridDef(TGridId::Ammo);
    const int price = ammo.ColumnCount() - 1;
    const std::vector<TChartCell> before = ReadChartColumn(ammo, document, price, 0);
    ASSERT_EQ(static_cast<int>(before.size()), CatalogEntryCount(ammo, document.Catalog()));
    ASSERT_GE(before.size(), 3u);
    for (const TChartCell& cell : before) {
        EXPECT_FALSE(cell.Changed);
        EXPECT_FALSE(cell.OnDisk);
    }
    ASSERT_TRUE(before[0].Shown && before[2].Shown);
    const double onDisk0 = *before[0].Shown;

    // A typed cell not yet stored, a stored value and a text that is no number.
    document.Edit("type", {}, {}, {{{GridIndex(ammo), 0, price}, std::string("12345")}});
    TParam& stored = document.Catalog().Ammo[1]->cost;
    const std::string storedOnDisk = stored.Value;
    document.Edit("store", {}, {{&stored, "777.5f"}});
    document.Edit("word", {}, {}, {{{GridIndex(ammo), 2, price}, std::string("dear")}});

    const std::vector<TChartCell> after = ReadChartColumn(ammo, document, price, 0);
    EXPECT_EQ(after[0].Shown, 12345);
    EXPECT_TRUE(after[0].Changed);
    EXPECT_EQ(after[0].OnDisk, onDisk0);
    EXPECT_EQ(after[1].Shown, 777.5);
    EXPECT_TRUE(after[1].Changed);
    EXPECT_EQ(after[1].OnDisk, ChartNumber(storedOnDisk, 0));
    EXPECT_FALSE(after[2].Shown);
    EXPECT_TRUE(after[2].Changed);
    for (std::size_t row = 3; row < after.size(); ++row) {
        EXPECT_EQ(after[row].Shown, before[row].Shown) << row;
        EXPECT_FALSE(after[row].Changed) << row;
    }

    // Typed back to what the file holds, the cell shows no change any more.
    const std::string catalogText = CatalogCellText(ammo, document.Catalog(), 0, price);
    document.Edit("back", {}, {}, {{{GridIndex(ammo), 0, price}, catalogText}});
    EXPECT_FALSE(ReadChartColumn(ammo, document, price, 0)[0].Changed);
    // The name column has no numbers to draw.
    for (const TChartCell& cell : ReadChartColumn(ammo, document, 0, 0)) {
        EXPECT_FALSE(cell.Shown);
    }
}

TEST_F(ChartColumnTest, ListColumnsTellTheirLength) {
    const TGridDef& weapons = GridDef(TGridId::Weapons);
    int damage = -1;
    for (int column = 1; column < weapons.ColumnCount(); ++column) {
        if (std::string(weapons.Columns[static_cast<std::size_t>(column)].GameKey) == "hit_power") {
            damage = column;
        }
    }
    ASSERT_GT(damage, 0);
    EXPECT_EQ(ChartListLength(weapons, Loaded(), damage), 4);
    EXPECT_EQ(ChartListLength(weapons, Loaded(), weapons.ColumnCount() - 1), 1);
}

} // namespace
} // namespace kw::test
