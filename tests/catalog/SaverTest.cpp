#include "catalog/SampleGame.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace kw {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kAk74 = "gamedata\\config\\weapons\\w_ak74.ltx";
const std::string kUps = "gamedata\\config\\weapons\\w_ups.ltx";
const std::string kUsp = "gamedata\\config\\weapons\\w_usp.ltx";
const std::string kWeaponsLtx = "gamedata\\config\\weapons\\weapons.ltx";
const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";

class SaverTest : public test::SampleGameTest {
protected:
    std::string Stored(const std::string& rel, const std::string& section, const std::string& key) const {
        return ProfileFile(FDir.Path() + rel).ReadString(section, key, "<missing>");
    }

    // Lines that differ between before and now, where the file otherwise kept every line.
    std::vector<std::string> ChangedLines(const std::string& before, const std::string& rel) const {
        const auto old = test::Lines(before);
        const auto now = test::Lines(FDir.Read(rel));
        EXPECT_EQ(old.size(), now.size()) << rel;
        std::vector<std::string> changed;
        for (size_t i = 0; i < std::min(old.size(), now.size()); ++i) {
            if (old[i] != now[i]) {
                changed.push_back(now[i]);
            }
        }
        return changed;
    }

    // Every file but the excepted ones holds exactly what it held.
    void ExpectUnchanged(const std::map<std::string, std::string>& before,
                         const std::vector<std::string>& except = {}) const {
        for (const auto& [rel, bytes] : before) {
            if (std::find(except.begin(), except.end(), rel) == except.end()) {
                EXPECT_EQ(FDir.Read(rel), bytes) << rel;
            }
        }
    }

    // Which file each path names: a file replaced by a save gets a new one.
    std::map<std::string, ino_t> Inodes() const {
        std::map<std::string, ino_t> inodes;
        for (const auto& [rel, bytes] : test::SampleGameFiles()) {
            struct stat info {};
            ::stat(FDir.Full(rel).c_str(), &info);
            inodes[rel] = info.st_ino;
        }
        return inodes;
    }

    TCatalog FCatalog;
};

TEST_F(SaverTest, SavingWithoutEditsTouchesNoFile) {
    const auto before = FilesOnDisk();
    const auto inodes = Inodes();
    Load(FCatalog);
    EXPECT_THAT(PendingWrites(FCatalog), IsEmpty());
    const auto report = SaveCatalogs(FCatalog);
    EXPECT_TRUE(report.Ok());
    EXPECT_FALSE(report.Stopped);
    EXPECT_EQ(FilesOnDisk(), before);
    EXPECT_EQ(Inodes(), inodes); // not even replaced by the same bytes
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "cost"), "3500   ; the price");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "zoom_enabled"), "<missing>");
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_5.45x39_ap", "tracer"), "<missing>");
}

TEST_F(SaverTest, EditedValuesLandInTheirOwnFileAndSection) {
    Load(FCatalog);
    const auto before = FilesOnDisk();
    FCatalog.Weapons[0]->fire_distance.Value = "1200";
    FCatalog.Weapons[0]->hit_power.Value = "0.5"; // typed over an inherited value
    FCatalog.Weapons[0]->zoom_enabled.Value = "false";
    FCatalog.Ammo[1]->k_hit.Value = "1.3";
    FCatalog.Outfits[0]->Immunity.strike.Value = "0.7";
    FCatalog.Weather[0]->fog_distance.Value = "350";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());

    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "fire_distance"), "1200");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "hit_power"), "0.5");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74_base", "hit_power"), "0.35, 0.35, 0.35, 0.35");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "zoom_enabled"), "false");
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_5.45x39_ap", "k_hit"), "1.3\t; armour piercing");
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_base", "k_hit"), "1");
    EXPECT_EQ(Stored(kOutfitLtx, "stalker_immunities", "strike_immunity"), "0.7");
    EXPECT_EQ(Stored("gamedata\\config\\weathers\\weather_default.ltx", "default_00", "fog_distance"), "350");
    ExpectUnchanged(before,
                    {kAk74, kWeaponsLtx, kOutfitLtx, "gamedata\\config\\weathers\\weather_default.ltx"});
    EXPECT_EQ(FDir.Read(kUsp), before.at(kUsp));
    EXPECT_THAT(FDir.Read(kAk74), HasSubstr("\r\ncost = 3500   ; the price\r\n")); // not edited, not written
    EXPECT_THAT(ChangedLines(before.at(kWeaponsLtx), kWeaponsLtx),
                ::testing::ElementsAre("k_hit = 1.3\t; armour piercing"));

    // The key stands in the section now, so clearing it later is written too.
    FCatalog.Weapons[0]->hit_power.Value = "";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "hit_power"), "");
}

TEST_F(SaverTest, AddonStatusIsWrittenOnlyAsAChosenState) {
    Load(FCatalog);
    FCatalog.Weapons[0]->scope_status.Value = "-1";
    FCatalog.Weapons[0]->silencer_status.Value = "1";
    FCatalog.Weapons[0]->grenade_launcher_status.Value = "-1";
    FCatalog.Weapons[2]->scope_status.Value = "";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "scope_status"), "2");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "silencer_status"), "1");
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "grenade_launcher_status"), "<missing>");
    EXPECT_EQ(Stored(kUps, "wpn_usp", "scope_status"), "5");
    EXPECT_EQ(Stored(kUsp, "wpn_usp", "scope_status"), "<missing>");
}

TEST_F(SaverTest, WeaponsDerivingTheSameSectionKeepTheirOwnFiles) {
    Load(FCatalog);
    FCatalog.Weapons[1]->cost.Value = "2001";
    FCatalog.Weapons[2]->cost.Value = "2101";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kUps, "wpn_usp", "cost"), "2001");
    EXPECT_EQ(Stored(kUsp, "wpn_usp", "cost"), "2101");
}

TEST_F(SaverTest, ImmunitiesAreWrittenOnlyIntoExistingSections) {
    Load(FCatalog);
    const auto before = FilesOnDisk();
    for (auto& outfit : FCatalog.Outfits) {
        outfit->Immunity.burn.Value = "0.25";
    }
    FCatalog.Arts[0]->Immunity.shock.Value = "0.4";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kOutfitLtx, "stalker_immunities", "burn_immunity"), "0.25");
    EXPECT_EQ(Stored(kOutfitLtx, "dolg_immunities", "burn_immunity"), "0.5");
    EXPECT_EQ(Stored(kOutfitLtx, "exo_immunities", "burn_immunity"), "<missing>");
    EXPECT_THAT(ChangedLines(before.at(kOutfitLtx), kOutfitLtx),
                ::testing::ElementsAre("burn_immunity = 0.25"));
    EXPECT_EQ(Stored("gamedata\\config\\misc\\artefacts.ltx", "af_medusa_absorbation", "shock_immunity"),
              "0.4");
}

TEST_F(SaverTest, ReadOnlyWeaponFileIsReportedAndPassedOver) {
    Load(FCatalog);
    const auto before = FilesOnDisk();
    FDir.MakeReadOnly(kUps);
    for (auto& weapon : FCatalog.Weapons) {
        weapon->cost.Value = "1";
    }
    FCatalog.Items[0]->cost.Value = "51";
    const auto report = SaveCatalogs(FCatalog);
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_THAT(report.Failures[0].File, HasSubstr("w_ups.ltx"));
    EXPECT_THAT(report.Failures[0].Reason, HasSubstr("Unable to write to"));
    EXPECT_FALSE(report.Stopped);
    EXPECT_EQ(FDir.Read(kUps), before.at(kUps));
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "cost"), "1\t; the price");
    EXPECT_EQ(Stored(kUsp, "wpn_usp", "cost"), "1");
    EXPECT_EQ(Stored(kItemsLtx, "bread", "cost"), "51");
}

TEST_F(SaverTest, ReadOnlyWeaponsLtxStopsTheSaveBeforeTheOtherCategories) {
    Load(FCatalog);
    const auto before = FilesOnDisk();
    FDir.MakeReadOnly(kWeaponsLtx);
    FCatalog.Weapons[0]->rpm.Value = "650";
    FCatalog.Ammo[0]->k_dist.Value = "2";
    FCatalog.Outfits[0]->cost.Value = "3100";
    FCatalog.Items[0]->cost.Value = "51";
    const auto report = SaveCatalogs(FCatalog);
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_THAT(report.Failures[0].File, HasSubstr("weapons.ltx"));
    EXPECT_TRUE(report.Stopped);
    EXPECT_EQ(Stored(kAk74, "wpn_ak74", "rpm"), "650");
    for (const auto& rel : {kWeaponsLtx, kOutfitLtx, kItemsLtx}) {
        EXPECT_EQ(FDir.Read(rel), before.at(rel)) << rel;
    }
}

TEST_F(SaverTest, WritesOfAFailedFileAreNeverCommittedLater) {
    Load(FCatalog);
    const auto before = FilesOnDisk();
    FCatalog.Ammo[0]->k_dist.Value = "2";
    FCatalog.Ammo[1]->k_dist.Value = "3\n4"; // cannot stand on one line: fails after the first write
    FCatalog.Weapons[0]->rpm.Value = "650";
    FCatalog.Weapons[0]->scope_x.Value = "1\r";
    const auto report = SaveCatalogs(FCatalog);
    ASSERT_EQ(report.Failures.size(), 2u);
    EXPECT_THAT(report.Failures[0].File, HasSubstr("w_ak74.ltx"));
    EXPECT_THAT(report.Failures[1].File, HasSubstr("weapons.ltx"));
    EXPECT_TRUE(report.Stopped);

    Load(FCatalog); // a reload closes the held files
    EXPECT_EQ(FCatalog.Ammo[0]->k_dist.Value, "1");
    EXPECT_EQ(FCatalog.Weapons[0]->rpm.Value, "600");
    FCatalog.Ammo[1]->k_dist.Value = "3";
    ASSERT_TRUE(SaveCatalogs(FCatalog).Ok());
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_5.45x39_fmj", "k_dist"), "1");
    EXPECT_EQ(Stored(kWeaponsLtx, "ammo_5.45x39_ap", "k_dist"), "3");
    EXPECT_EQ(FDir.Read(kAk74), before.at(kAk74));
}

TEST_F(SaverTest, DestroyingTheCatalogAfterAFailureLeavesTheFileAlone) {
    const auto before = FilesOnDisk();
    {
        TCatalog catalog;
        Load(catalog);
        catalog.Outfits[0]->cost.Value = "1";
        catalog.Outfits[1]->cost.Value = "\n";
        EXPECT_TRUE(SaveCatalogs(catalog).Stopped);
    }
    EXPECT_EQ(FDir.Read(kOutfitLtx), before.at(kOutfitLtx));
    EXPECT_EQ(FDir.Read(kItemsLtx), before.at(kItemsLtx));
}

TEST(SaverUnloadedTest, NothingLoadedMeansNothingWritten) {
    TCatalog catalog;
    catalog.Weapons.push_back(std::make_unique<TWeapon>());
    EXPECT_TRUE(SaveCatalogs(catalog).Ok());
}

} // namespace
} // namespace kw
