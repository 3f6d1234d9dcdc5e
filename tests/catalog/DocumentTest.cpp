#include "catalog/Document.h"

#include "catalog/SampleCopy.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;

const std::string kBittern = "gamedata\\config\\weapons\\w_bittern.ltx";
const std::string kWeaponsLtx = "gamedata\\config\\weapons\\weapons.ltx";
const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";
const std::string kWeatherLtx = "gamedata\\config\\weathers\\weather_default.ltx";

// A change of the sample game's text made before the load.
struct TFileEdit {
    std::string File, From, To;
};
// The reed cloak names the wanderer's immunity section too, in other letter case.
const TFileEdit kSharedImmunities{kOutfitLtx, "= reedcloak_immunities", "= WANDERER_IMMUNITIES"};
// The 01:00 slot shows the midnight section.
const TFileEdit kSharedWeather{kWeatherLtx, "01:00:00 = default_wth_01", "01:00:00 = default_wth_00"};
// The bittern's section lacks silencer_status, which then reads as its default "0".
const TFileEdit kNoSilencerStatus{kBittern, "silencer_status         = 0\n", ""};

using TPick = std::function<TParam&(TCatalog&)>;

class DocumentTest : public test::SampleCopyTest {
protected:
    void Load(const std::vector<TFileEdit>& edits = {}) {
        for (const TFileEdit& edit : edits) {
            Replace(edit.File, edit.From, edit.To);
        }
        FDocument.Listen([this](const TDocumentChange&) { ++FNotified; });
        FDocument.Load(FGame.Path());
        FBefore = Files();
    }

    // An edit as the views make it, through the document; an addon state is a status key.
    void Set(TParam& param, std::string value) {
        const bool status = &param == &FDocument.Catalog().Weapons[0]->scope_status ||
                            &param == &FDocument.Catalog().Weapons[0]->silencer_status;
        FDocument.Edit("", {}, {{&param, std::move(value), status ? TKeyUse::Status : TKeyUse::Edit}});
    }

    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(FGame.Full("gamedata"))) {
            if (entry.is_regular_file()) {
                files[entry.path().string()] = FGame.Read(entry.path().string().substr(FGame.Path().size()));
            }
        }
        return files;
    }

    // The files whose bytes differ from what they held at the load.
    std::vector<std::string> ChangedFiles() const {
        std::vector<std::string> changed;
        for (const auto& [path, bytes] : Files()) {
            if (FBefore.at(path) != bytes) {
                changed.push_back(std::filesystem::path(path).filename().string());
            }
        }
        return changed;
    }

    std::string Stored(const std::string& rel, const std::string& section, const std::string& key) const {
        return ProfileFile(FGame.Full(rel).string()).ReadString(section, key, "<missing>");
    }

    std::vector<std::string> ChangedKeys() {
        std::vector<std::string> keys;
        for (const TChange& change : FDocument.Changes()) {
            // The path keeps the game's backslash form below the game folder.
            const std::string file = change.File.substr(change.File.find_last_of("/\\") + 1);
            keys.push_back(file + " " + change.Section + " " + change.Key);
        }
        return keys;
    }

    TDocument FDocument;
    std::map<std::string, std::string> FBefore;
    int FNotified = 0;
};

struct TTypedBackCase {
    const char* Name;
    std::vector<TFileEdit> Setup;
    TPick Edited;  // where the value is typed
    TPick TypedAt; // where it is typed back: the same key, maybe through another entry
    std::string Value;
};

void PrintTo(const TTypedBackCase& c, std::ostream* out) {
    *out << c.Name;
}

class TypedBackTest : public DocumentTest, public ::testing::WithParamInterface<TTypedBackCase> {};

TEST_P(TypedBackTest, TypingTheFilesValueBackLeavesNothingToSave) {
    const TTypedBackCase& c = GetParam();
    Load(c.Setup);
    TParam& edited = c.Edited(FDocument.Catalog());
    const std::string baseline = edited.Value;
    Set(edited, c.Value);
    ASSERT_TRUE(FDocument.IsModified());
    ASSERT_EQ(FDocument.Changes().size(), 1u);

    Set(c.TypedAt(FDocument.Catalog()), baseline);
    EXPECT_FALSE(FDocument.IsModified());
    EXPECT_THAT(FDocument.Changes(), IsEmpty());
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_THAT(ChangedFiles(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypedBackTest,
    ::testing::Values(TTypedBackCase{"KeyTheSectionHolds",
                                     {},
                                     [](TCatalog& c) -> TParam& { return c.Weapons[0]->cost; },
                                     [](TCatalog& c) -> TParam& { return c.Weapons[0]->cost; },
                                     "2700"},
                      TTypedBackCase{"KeyTheSectionLacks",
                                     {kNoSilencerStatus},
                                     [](TCatalog& c) -> TParam& { return c.Weapons[0]->silencer_status; },
                                     [](TCatalog& c) -> TParam& { return c.Weapons[0]->silencer_status; },
                                     "2"},
                      TTypedBackCase{"KeySharedByTwoOutfits",
                                     {kSharedImmunities},
                                     [](TCatalog& c) -> TParam& { return c.Outfits[0]->Immunity.burn; },
                                     [](TCatalog& c) -> TParam& { return c.Outfits[2]->Immunity.burn; },
                                     "0.5"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TChangeRowCase {
    const char* Name;
    std::vector<TFileEdit> Setup;
    TPick Edited;
    std::string Value;
    std::string File, Section, Key;
    std::vector<std::string> Entries; // catalog/name
    bool WasPresent;
    std::string StoredValue;
};

void PrintTo(const TChangeRowCase& c, std::ostream* out) {
    *out << c.Name;
}

class ChangeRowTest : public DocumentTest, public ::testing::WithParamInterface<TChangeRowCase> {};

TEST_P(ChangeRowTest, OneRowNamesEveryEntryShowingTheValue) {
    const TChangeRowCase& c = GetParam();
    Load(c.Setup);
    Set(c.Edited(FDocument.Catalog()), c.Value);
    const std::vector<TChange> changes = FDocument.Changes();
    ASSERT_EQ(changes.size(), 1u);
    const TChange& row = changes[0];
    EXPECT_THAT(row.File, EndsWith(c.File));
    EXPECT_EQ(row.Section, c.Section);
    EXPECT_EQ(row.Key, c.Key);
    std::vector<std::string> entries;
    for (const TChangeEntry& entry : row.Entries) {
        entries.push_back(std::string(entry.Catalog) + "/" + entry.Name);
    }
    EXPECT_EQ(entries, c.Entries);
    EXPECT_EQ(row.WasPresent, c.WasPresent);
    EXPECT_EQ(row.StoredValue, c.StoredValue);
    EXPECT_EQ(row.NewValue, c.Value);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ChangeRowTest,
    ::testing::Values(TChangeRowCase{"TwoOutfitsSharingAnImmunitySection",
                                     {kSharedImmunities},
                                     [](TCatalog& c) -> TParam& { return c.Outfits[2]->Immunity.burn; },
                                     "0.5",
                                     "outfit.ltx",
                                     "wanderer_immunities",
                                     "burn_immunity",
                                     {"outfits/wanderer_outfit", "outfits/reedcloak_outfit"},
                                     true,
                                     "0.9"},
                      TChangeRowCase{"WeatherSlotsByTheirTimes",
                                     {kSharedWeather},
                                     [](TCatalog& c) -> TParam& { return c.Weather[1]->fog_distance; },
                                     "150",
                                     "weather_default.ltx",
                                     "default_wth_00",
                                     "fog_distance",
                                     {"weather/00:00:00", "weather/01:00:00"},
                                     true,
                                     "120"},
                      TChangeRowCase{"KeyTheSectionLacks",
                                     {kNoSilencerStatus},
                                     [](TCatalog& c) -> TParam& { return c.Weapons[0]->silencer_status; },
                                     "2",
                                     "w_bittern.ltx",
                                     "wpn_bittern",
                                     "silencer_status",
                                     {"weapons/wpn_bittern"},
                                     false,
                                     "0"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DocumentTest, RevertedRowsAreWrittenNeitherNowNorByTheNextSave) {
    Load({kSharedImmunities});
    TCatalog& catalog = FDocument.Catalog();
    Set(catalog.Weapons[0]->cost, "2700");
    Set(catalog.Outfits[0]->Immunity.burn, "0.5");
    Set(catalog.Items[0]->cost, "45");
    const std::vector<TChange> changes = FDocument.Changes();
    ASSERT_EQ(changes.size(), 3u);
    FNotified = 0;
    FDocument.Revert(std::vector<TChange>{changes[0], changes[1]});
    EXPECT_EQ(FNotified, 1);
    EXPECT_THAT(ChangedFiles(), IsEmpty());
    EXPECT_EQ(catalog.Weapons[0]->cost.Value, "2600");
    EXPECT_EQ(catalog.Outfits[0]->Immunity.burn.Value, "0.9");
    EXPECT_EQ(catalog.Outfits[2]->Immunity.burn.Value, "0.9"); // every entry showing the value
    EXPECT_THAT(ChangedKeys(), ElementsAre("items.ltx marsh_bread cost"));

    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_THAT(ChangedFiles(), ElementsAre("items.ltx"));
    EXPECT_EQ(Stored(kBittern, "wpn_bittern", "cost"), "2600");
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_immunities", "burn_immunity"), "0.9");
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "45");
    EXPECT_FALSE(FDocument.IsModified());
}

// outfit.ltx cannot be written: what comes before it is saved, it and what comes after it stay changes, and
// a later save writes them.
TEST_F(DocumentTest, ValuesASaveCouldNotWriteStayModified) {
    Load();
    TCatalog& catalog = FDocument.Catalog();
    Set(catalog.Weapons[0]->cost, "2700");
    Set(catalog.Ammo[0]->k_hit, "1.5");
    Set(catalog.Outfits[0]->cost, "2800");
    Set(catalog.Items[0]->cost, "45");
    FGame.MakeReadOnly(kOutfitLtx);

    const TSaveReport report = FDocument.Save();
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_THAT(report.Failures[0].File, EndsWith("outfit.ltx"));
    EXPECT_TRUE(report.Stopped);
    EXPECT_TRUE(FDocument.IsModified());
    EXPECT_THAT(ChangedKeys(), ElementsAre("outfit.ltx wanderer_outfit cost", "items.ltx marsh_bread cost"));
    EXPECT_THAT(ChangedFiles(), ElementsAre("w_bittern.ltx", "weapons.ltx"));

    std::filesystem::permissions(FGame.Full(kOutfitLtx), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_FALSE(FDocument.IsModified());
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_outfit", "cost"), "2800");
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "45");
}

// Marked grid cells are the table view's working copy; the document counts them as unsaved work until a
// revert or a load.
TEST_F(DocumentTest, MarkedCellsCountUntilARevertOrALoad) {
    Load();
    const TCellEdit marked{{1, 0, 4}, "2"};
    FDocument.Edit("", {}, {}, {marked});
    EXPECT_TRUE(FDocument.IsModified());
    EXPECT_THAT(FDocument.Changes(), IsEmpty());
    FDocument.RevertAll();
    EXPECT_FALSE(FDocument.IsModified());

    FDocument.Edit("", {}, {}, {marked});
    Set(FDocument.Catalog().Weapons[0]->scope_status, "-1"); // never written, yet not the file's value
    Set(FDocument.Catalog().Items[0]->cost, "45");
    TCatalog* const catalog = &FDocument.Catalog();
    FNotified = 0;
    FDocument.ReadCatalogs();
    EXPECT_EQ(FNotified, 1);
    EXPECT_EQ(&FDocument.Catalog(), catalog); // refilled, never replaced
    EXPECT_FALSE(FDocument.IsModified());
    EXPECT_THAT(FDocument.Cells(), IsEmpty());
    EXPECT_EQ(FDocument.Catalog().Items[0]->cost.Value, "40");
    EXPECT_EQ(FDocument.Catalog().Weapons[0]->scope_status.Value, "0");
    ASSERT_TRUE(FDocument.Source());
    EXPECT_EQ(FDocument.Source()->GamePath, FGame.Path());

    Set(FDocument.Catalog().Weapons[0]->scope_status, "-1");
    FDocument.RevertAll();
    EXPECT_EQ(FDocument.Catalog().Weapons[0]->scope_status.Value, "0");
}

} // namespace
} // namespace kw
