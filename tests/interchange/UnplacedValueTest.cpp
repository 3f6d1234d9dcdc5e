#include "interchange/GridTable.h"

#include "gamecfg/Error.h"
#include "interchange/InterchangeFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace kw {
namespace {

using ::testing::HasSubstr;

const char* const kArtefacts = "gamedata\\config\\misc\\artefacts.ltx";
const char* const kOutfits = "gamedata\\config\\misc\\outfit.ltx";

// One typed cell, found by its entry's section.
struct TTypedCell {
    const char* Section;
    int Column;
    const char* Text;
};

// The one line of a file that a stored value changes: the first OldLine after Header becomes NewLine.
struct TWrittenLine {
    const char* File = nullptr;
    const char* Header = nullptr;
    const char* OldLine = nullptr;
    const char* NewLine = nullptr;
};

// A store of typed cells: refused with a message holding every text of Refusal, or stored (Refusal empty) and
// saved as Written.
struct TStoreCase {
    const char* Label;
    TGridId Grid;
    std::vector<TTypedCell> Cells;
    std::vector<std::string> Refusal;
    TWrittenLine Written = {};
    const char* Appended = ""; // written to the end of the outfits file before the load
};

std::ostream& operator<<(std::ostream& out, const TStoreCase& c) {
    return out << c.Label;
}

constexpr int kArtBurn = 6;      // "ожог"
constexpr int kArtPrice = 16;    // "цена"
constexpr int kOutfitBurn = 10;  // "-ожог"
constexpr int kOutfitShock = 12; // "-шок"
constexpr int kOutfitPrice = 20; // "цена"

const TStoreCase kStoreCases[] = {
    {"artefact whose absorption section is missing",
     TGridId::Arts,
     {{"af_hollowstone", kArtBurn, "0.5"}},
     {"Cannot store \"af_hollowstone\", column \"ожог\": the section [af_hollowstone_absorbation] that holds "
      "this value does not exist in gamedata\\config\\misc\\artefacts.ltx."}},
    // The link is read whole, comment included, and no section has that name.
    {"outfit whose link carries a comment",
     TGridId::Outfits,
     {{"fenwarden_outfit", kOutfitShock, "0.7"}},
     {"\"Fenwarden suit\", column \"-шок\"", "[fenwarden_immunities ; tuned for the swamp gas]", kOutfits}},
    {"outfit that names no immunity section",
     TGridId::Outfits,
     {{"mossback_outfit", kOutfitBurn, "0.7"}},
     {"\"mossback_outfit\", column \"-ожог\": the entry names no section to hold this value in "
      "gamedata\\config\\misc\\outfit.ltx."},
     {},
     "\r\n[mossback_outfit]:outfit_base\r\ninv_name = mossback_outfit\r\ncost = 40\r\n"},
    {"one refused cell stops the others",
     TGridId::Arts,
     {{"af_emberheart", kArtBurn, "0.45"},
      {"af_emberheart", kArtPrice, "9000"},
      {"af_hollowstone", kArtPrice, "1300"},
      {"af_hollowstone", kArtBurn + 4, "0.2"}},
     {"\"af_hollowstone\", column \"рад.\"", "[af_hollowstone_absorbation]"}},
    {"outfit price beside an immunity it cannot hold",
     TGridId::Outfits,
     {{"fenwarden_outfit", kOutfitPrice, "7900"}, {"fenwarden_outfit", kOutfitBurn, "0.1"}},
     {"-ожог", "fenwarden_immunities"}},
    {"artefact whose section exists",
     TGridId::Arts,
     {{"af_emberheart", kArtBurn, "0.45"}},
     {},
     {kArtefacts, "[af_emberheart_absorbation]", "burn_immunity            = 0.6\n",
      "burn_immunity            = 0.45\n"}},
    {"outfit whose section exists",
     TGridId::Outfits,
     {{"reedcloak_outfit", kOutfitShock, "0.35"}},
     {},
     {kOutfits, "[reedcloak_immunities]", "shock_immunity           = 0.9\n",
      "shock_immunity           = 0.35\n"}},
};

class UnplacedValueTest : public test::InterchangeTest, public ::testing::WithParamInterface<TStoreCase> {
protected:
    int RowOf(const TStringGrid& grid, const std::string& section) {
        for (int row = 0; row < grid.EntryCount(); ++row) {
            const TMainItem& entry = GetParam().Grid == TGridId::Arts
                                         ? static_cast<const TMainItem&>(*Catalog().Arts[row])
                                         : *Catalog().Outfits[row];
            if (entry.Section == section) {
                return row;
            }
        }
        ADD_FAILURE() << "no row for " << section;
        return 0;
    }
};

// A value whose section the file lacks is refused with the whole grid, so a save writes and counts nothing of
// it; a value whose section exists is stored, saved and counted.
TEST_P(UnplacedValueTest, StoreRefusesWhatNoFileHasAPlaceFor) {
    const TStoreCase& c = GetParam();
    Append(kOutfits, c.Appended);
    const std::map<std::string, std::string> before = game.Files();
    TStringGrid grid(GridDef(c.Grid));
    FillTable(grid, Catalog());
    for (const TTypedCell& cell : c.Cells) {
        grid.SetText(RowOf(grid, cell.Section), cell.Column, cell.Text);
    }

    if (!c.Refusal.empty()) {
        try {
            StoreTable(grid, Loaded());
            FAIL() << "stored";
        } catch (const Error& e) {
            for (const std::string& text : c.Refusal) {
                EXPECT_THAT(e.what(), HasSubstr(text));
            }
        }
        EXPECT_EQ(grid.MarkedCells().size(), c.Cells.size()) << "the typed cells stay for the user to mend";
        EXPECT_FALSE(Loaded().IsModified());
        EXPECT_TRUE(Loaded().Changes().empty());
        EXPECT_TRUE(Loaded().Save().Ok());
        EXPECT_EQ(game.Files(), before);
        return;
    }
    EXPECT_EQ(StoreTable(grid, Loaded()), 1);
    ASSERT_EQ(Loaded().Changes().size(), 1u);
    EXPECT_TRUE(Loaded().Save().Ok());
    std::map<std::string, std::string> expected = before;
    std::string path = c.Written.File;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string& bytes = expected[path];
    const std::size_t line = bytes.find(c.Written.OldLine, bytes.find(c.Written.Header));
    ASSERT_NE(line, std::string::npos);
    bytes.replace(line, std::strlen(c.Written.OldLine), c.Written.NewLine);
    EXPECT_EQ(game.Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnplacedValueTest, ::testing::ValuesIn(kStoreCases));

} // namespace
} // namespace kw
