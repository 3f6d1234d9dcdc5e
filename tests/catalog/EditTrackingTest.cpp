#include "catalog/SampleGame.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";
const std::string kWeaponsLtx = "gamedata\\config\\weapons\\weapons.ltx";
const std::string kAk74 = "gamedata\\config\\weapons\\w_ak74.ltx";

// Entries that share keys, as mods write them: two outfits naming one immunity section, and a section header
// that a file repeats, which gives two entries reading the first section.
const char kSharingOutfits[] = "[wanderer_immunities]\n"
                               "burn_immunity = 0.9 ; shared by both\n"
                               "strike_immunity = 0.8\n"
                               "[wanderer_outfit]\n"
                               "inv_name = wanderer_outfit\n"
                               "cost = 3000\n"
                               "immunities_sect = wanderer_immunities\n"
                               "[wanderer_outfit_tan]\n"
                               "inv_name = wanderer_outfit_tan\n"
                               "cost = 3100\n"
                               "immunities_sect = WANDERER_IMMUNITIES\n";
const char kRepeatedItem[] = "[bread]\n"
                             "inv_name = bread\n"
                             "cost = 50\n"
                             "[kolbasa]\n"
                             "inv_name = kolbasa\n"
                             "cost = 70\n"
                             "[bread]\n"
                             "inv_name = bread\n"
                             "cost = 99\n";

class EditTrackingTest : public test::SampleGameTest {
protected:
    EditTrackingTest() {
        FDir.Write(kOutfitLtx, kSharingOutfits);
        FDir.Write(kItemsLtx, kRepeatedItem);
        Load(FCatalog);
        FBefore = Files();
    }

    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& [rel, bytes] : test::SampleGameFiles()) {
            files[rel] = FDir.Read(rel);
        }
        return files;
    }

    std::string Stored(const std::string& rel, const std::string& section, const std::string& key) const {
        return ProfileFile(FDir.Path() + rel).ReadString(section, key, "<missing>");
    }

    // Lines of the file that are not in what it held before; the file kept all of those.
    std::vector<std::string> NewLines(const std::string& rel) const {
        const auto old = test::Lines(FBefore.at(rel));
        std::vector<std::string> added;
        for (const std::string& line : test::Lines(FDir.Read(rel))) {
            if (std::find(old.begin(), old.end(), line) == old.end()) {
                added.push_back(line);
            }
        }
        return added;
    }

    void ExpectUnchangedBut(const std::vector<std::string>& changed) const {
        for (const auto& [rel, bytes] : Files()) {
            const bool expected = std::find(changed.begin(), changed.end(), rel) != changed.end();
            EXPECT_EQ(bytes != FBefore.at(rel), expected) << rel;
        }
    }

    TCatalog FCatalog;
    std::map<std::string, std::string> FBefore;
};

TEST_F(EditTrackingTest, OutfitsSharingAnImmunitySectionShowAndSaveOneValue) {
    ASSERT_EQ(FCatalog.Outfits.size(), 2u);
    TOutfit& first = *FCatalog.Outfits[0];
    TOutfit& second = *FCatalog.Outfits[1];
    first.Immunity.burn.Edit("0.5");
    EXPECT_EQ(second.Immunity.burn.Value, "0.5");
    EXPECT_EQ(second.Immunity.strike.Value, "0.8");
    const auto pending = PendingWrites(FCatalog);
    ASSERT_EQ(pending.size(), 1u); // one key, however many entries show it
    EXPECT_EQ(pending[0].Key, "burn_immunity");
    EXPECT_EQ(pending[0].Param->StoredValue(), "0.9");

    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_immunities", "burn_immunity"), "0.5\t; shared by both");
    EXPECT_THAT(NewLines(kOutfitLtx), ElementsAre("burn_immunity = 0.5\t; shared by both"));
    ExpectUnchangedBut({kOutfitLtx});
    EXPECT_THAT(PendingWrites(FCatalog), IsEmpty());

    // Edited through the second entry, back to what the file held at load: written, since the file has moved.
    second.Immunity.burn.Edit("0.9");
    EXPECT_EQ(first.Immunity.burn.Value, "0.9");
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_immunities", "burn_immunity"), "0.9\t; shared by both");
}

TEST_F(EditTrackingTest, ARepeatedSectionHeaderGivesEntriesOfOneSection) {
    ASSERT_EQ(FCatalog.Items.size(), 3u);
    TItem& later = *FCatalog.Items[2];
    EXPECT_EQ(later.cost.Value, "50"); // reads reach the first section of a name
    later.cost.Edit("55");
    EXPECT_EQ(FCatalog.Items[0]->cost.Value, "55");
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_THAT(NewLines(kItemsLtx), ElementsAre("cost = 55"));
    EXPECT_THAT(FDir.Read(kItemsLtx), HasSubstr("cost = 99\n"));
}

// Only entries reading one section of one file share its keys: a header repeated in any letter case, but
// neither a name that merely starts alike nor the same name in another file.
TEST_F(EditTrackingTest, EntriesShareKeysExactlyWhereTheyReadOneSectionOfOneFile) {
    struct TCase {
        const char* Name;
        std::string Items;
        std::vector<std::vector<size_t>> SharingCost; // groups of items whose cost is one key
    };
    const auto item = [](const std::string& header) { return "[" + header + "]\ninv_name = x\ncost = 1\n"; };
    const std::vector<TCase> cases = {
        {"repeated in other letter case", item("bread") + item("kolbasa") + item("BREAD"), {{0, 2}}},
        {"three readers", item("bread") + item("Bread") + item("bread"), {{0, 1, 2}}},
        {"alike names", item("bread") + item("bread2") + item("bread_a2"), {}},
    };
    FDir.Write("gamedata\\config\\misc\\artefacts.ltx", item("bread"));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FDir.Write(kItemsLtx, c.Items);
        TCatalog catalog;
        Load(catalog);
        ASSERT_EQ(catalog.Items.size(), 3u);
        const auto group = [&](size_t index) {
            const auto found = std::find_if(c.SharingCost.begin(), c.SharingCost.end(), [&](const auto& g) {
                return std::find(g.begin(), g.end(), index) != g.end();
            });
            return found == c.SharingCost.end() ? -1 - static_cast<int>(index)
                                                : static_cast<int>(found - c.SharingCost.begin());
        };
        for (size_t i = 0; i < 3; ++i) {
            for (size_t j = i + 1; j < 3; ++j) {
                EXPECT_EQ(catalog.Items[i]->cost.IsLinkedWith(catalog.Items[j]->cost), group(i) == group(j))
                    << i << " and " << j;
            }
        }
        ASSERT_EQ(catalog.Arts.size(), 1u);
        EXPECT_FALSE(catalog.Arts[0]->cost.IsLinked()); // [bread] of another file
    }
}

TEST_F(EditTrackingTest, WhatAnotherProgramChangedAfterTheLoadStaysUnlessTheUserEditedIt) {
    std::string outfits = FBefore.at(kOutfitLtx);
    outfits.replace(outfits.find("cost = 3000"), 11, "cost = 3333");
    outfits.replace(outfits.find("strike_immunity = 0.8"), 21, "strike_immunity = 0.7");
    FDir.Write(kOutfitLtx, outfits);
    std::string rifle = FBefore.at(kAk74);
    rifle.replace(rifle.find("rpm = 600"), 9, "rpm = 650");
    FDir.Write(kAk74, rifle);

    FCatalog.Outfits[1]->cost.Edit("4000");
    FCatalog.Weapons[0]->fire_distance.Edit("1100");
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_outfit", "cost"), "3333");
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_immunities", "strike_immunity"), "0.7");
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_outfit_tan", "cost"), "4000");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "rpm"), "650");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "fire_distance"), "1100");

    // A file with no edit is not written, whatever changed in it.
    std::string items = FBefore.at(kItemsLtx) + "; added by hand\n";
    FDir.Write(kItemsLtx, items);
    // A key the other program changed too is not written over: the file is held back.
    FCatalog.Outfits[0]->cost.Edit("3500");
    const TSaveReport held = SaveCatalogs(FCatalog);
    ASSERT_EQ(held.Conflicts.size(), 1u);
    EXPECT_EQ(held.Conflicts[0].OnDisk.Value, "3333");
    EXPECT_EQ(FDir.Read(kItemsLtx), items);
    EXPECT_EQ(Stored(kOutfitLtx, "wanderer_outfit", "cost"), "3333");
}

TEST_F(EditTrackingTest, AValueChosenForAMissingKeyIsWrittenEvenWhenItEqualsTheDefault) {
    TWeapon& rifle = *FCatalog.Weapons[0];
    TAmmo& armourPiercing = *FCatalog.Ammo[1];
    ASSERT_EQ(rifle.zoom_enabled.Value, "true");
    ASSERT_EQ(armourPiercing.tracer.Value, "off");
    rifle.zoom_enabled.Edit("true");
    armourPiercing.tracer.Edit("off");
    rifle.hit_power.Edit(""); // left empty: what the parent section holds still applies
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "zoom_enabled"), "true");
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_5.45x39_ap", "tracer"), "off");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "hit_power"), "<missing>");
    ExpectUnchangedBut({kAk74, kWeaponsLtx});

    // The keys stand in their sections now; a save without edits leaves everything as it is.
    FBefore = Files();
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    ExpectUnchangedBut({});
}

// An editor that adds a CR to CRLF lines leaves "\r\r\n": still one line break, so the comment carries no
// CR and the file takes edits.
TEST_F(EditTrackingTest, LinesEndingInSeveralCarriageReturnsStaySaveable) {
    std::string weapons = FBefore.at(kWeaponsLtx);
    for (size_t pos = weapons.find('\n'); pos != std::string::npos; pos = weapons.find('\n', pos + 3)) {
        weapons.replace(pos, 1, "\r\r\n");
    }
    FDir.Write(kWeaponsLtx, weapons);
    Load(FCatalog);
    TAmmo& armourPiercing = *FCatalog.Ammo[1];
    EXPECT_EQ(armourPiercing.k_hit.Comment, "; armour piercing");
    armourPiercing.k_hit.Edit("1.25");
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    std::string expected = weapons;
    expected.replace(expected.find("k_hit = 1.2 ; armour"), 20, "k_hit = 1.25\t; armour");
    EXPECT_EQ(FDir.Read(kWeaponsLtx), expected);

    armourPiercing.k_hit.Edit(std::string("1\0"
                                          "2",
                                          3)); // a zero byte is still refused
    const auto report = SaveCatalogs(FCatalog);
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_THAT(report.Failures[0].Reason, HasSubstr("zero byte"));
    EXPECT_EQ(FDir.Read(kWeaponsLtx), expected);
}

// A weapon file named in Cyrillic on a file system that names files in UTF-8: its section is named in the
// game's code page inside the file, and so is its picture once it is matched.
TEST_F(EditTrackingTest, CyrillicFileNamesMeetTheGamesCodePageOnce) {
    const std::string lynx = "\xF0\xFB\xF1\xFC"; // "рысь" in windows-1251
    const std::string lynxFile = "gamedata\\config\\weapons\\w_\xD1\x80\xD1\x8B\xD1\x81\xD1\x8C.ltx";
    FDir.Write(lynxFile, "[wpn_" + lynx + "]\ninv_name = wpn_" + lynx + "\ncost = 700\n");
    FPictures.Weapon.push_back(std::make_unique<TPic>());
    FPictures.Weapon.back()->Name = "WPN_" + lynx;
    Load(FCatalog);
    const auto found = std::find_if(FCatalog.Weapons.begin(), FCatalog.Weapons.end(),
                                    [&](const auto& weapon) { return weapon->Section == "wpn_" + lynx; });
    ASSERT_NE(found, FCatalog.Weapons.end());
    TWeapon& weapon = **found;
    EXPECT_EQ(weapon.FileName, "gamedata\\config\\weapons\\w_" + lynx + ".ltx");
    EXPECT_EQ(weapon.Pic, FPictures.Weapon.back().get());

    weapon.cost.Edit("750");
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(lynxFile, "wpn_" + lynx, "cost"), "750");
}

} // namespace
} // namespace kw
