// Game files that another program changes while they are loaded: what the document notices, what a save
// holds back, and what a reload keeps of unsaved work.

#include "catalog/Document.h"
#include "catalog/SampleCopy.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace kw {
namespace {

const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";
const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::string kBittern = "gamedata\\config\\weapons\\w_bittern.ltx";
const std::string kWeaponsBase = "gamedata\\config\\weapons\\weapons_base.ltx";
const std::string kStringTable = "gamedata\\config\\text\\eng\\string_table_enc_equipment.xml";

// Writes the file as another program would: a fresh file renamed over the old one.
void ReplaceByRename(const test::TGameDir& game, const std::string& rel, const std::string& bytes) {
    const std::filesystem::path target = game.Full(rel);
    const std::filesystem::path fresh = target.string() + ".new";
    std::ofstream(fresh, std::ios::binary) << bytes;
    std::filesystem::rename(fresh, target);
}

class ChangedOnDiskDocumentTest : public test::SampleCopyTest {
protected:
    ChangedOnDiskDocumentTest() { FDocument.Load(FGame.Path()); }

    template <class T> static T& Find(std::vector<std::unique_ptr<T>>& entries, const std::string& section) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& entry) { return entry->Section == section; });
        EXPECT_NE(found, entries.end()) << section;
        return **found;
    }
    TItem& Item(const std::string& section) { return Find(FDocument.Catalog().Items, section); }
    TWeapon& Weapon(const std::string& section) { return Find(FDocument.Catalog().Weapons, section); }

    void Type(TParam& param, const std::string& value) { FDocument.Edit("type", {}, {{&param, value}}); }

    std::string Stored(const std::string& rel, const std::string& section, const std::string& key) const {
        return ProfileFile(FGame.Path() + rel).ReadString(section, key, "<missing>");
    }

    // The file as the sample game ships it.
    void Restore(const std::string& rel) const {
        std::string native = rel;
        std::replace(native.begin(), native.end(), '\\', '/');
        std::ifstream in(test::SampleGamePath() + native, std::ios::binary);
        FGame.Write(rel, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    }

    TDiskState Look(const std::string& rel) {
        TDiskMarks& marks = FDocument.DiskMarks();
        const std::optional<std::size_t> file = marks.Find(fs::Resolve(FGame.Path() + rel));
        EXPECT_TRUE(file) << rel << " is not among the files the load read";
        return file ? marks.Look(*file) : TDiskState::Same;
    }

    TDocument FDocument;
};

// What another program does to a file, and how the document sees it afterwards.
struct TOutsideCase {
    const char* Name;
    std::string File;
    std::function<void(const test::TGameDir&, const std::string&)> Act;
    TDiskState Expected;
};

class ChangedOnDiskMarksTest : public ChangedOnDiskDocumentTest,
                               public ::testing::WithParamInterface<TOutsideCase> {};

TEST_P(ChangedOnDiskMarksTest, TellsAnotherProgramsChangeFromTheSameBytes) {
    const TOutsideCase& outside = GetParam();
    ASSERT_EQ(Look(outside.File), TDiskState::Same);
    outside.Act(FGame, outside.File);
    EXPECT_EQ(Look(outside.File), outside.Expected);
    // A second look finds the same: an equal copy took its new time, a change stays a change.
    EXPECT_EQ(Look(outside.File), outside.Expected);
}

const auto kAppend = [](const test::TGameDir& game, const std::string& rel) {
    game.Write(rel, game.Read(rel) + "; added by hand\n");
};
const auto kSameBytesAgain = [](const test::TGameDir& game, const std::string& rel) {
    const std::string bytes = game.Read(rel);
    std::filesystem::last_write_time(game.Full(rel),
                                     std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    ReplaceByRename(game, rel, bytes);
};
const auto kRenameOther = [](const test::TGameDir& game, const std::string& rel) {
    std::string bytes = game.Read(rel);
    bytes.back() = bytes.back() == ' ' ? '\t' : ' '; // one byte, same size
    ReplaceByRename(game, rel, bytes);
};
const auto kDelete = [](const test::TGameDir& game, const std::string& rel) {
    std::filesystem::remove(game.Full(rel));
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangedOnDiskMarksTest,
    ::testing::Values(TOutsideCase{"CategoryFileAppended", kItemsLtx, kAppend, TDiskState::Changed},
                      TOutsideCase{"WeaponFileReplacedByRename", kBittern, kRenameOther, TDiskState::Changed},
                      TOutsideCase{"ParentFileOnlyTheIndexRead", kWeaponsBase, kAppend, TDiskState::Changed},
                      TOutsideCase{"StringTableAppended", kStringTable, kAppend, TDiskState::Changed},
                      TOutsideCase{"SameBytesCopiedOver", kItemsLtx, kSameBytesAgain, TDiskState::Same},
                      TOutsideCase{"FileDeleted", kOutfitLtx, kDelete, TDiskState::Gone}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ChangedOnDiskDocumentTest, TheDocumentsOwnSaveIsNoChange) {
    Type(Item("marsh_bread").cost, "45");
    Type(Weapon("wpn_bittern").cost, "2700");
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_EQ(Look(kItemsLtx), TDiskState::Same);
    EXPECT_EQ(Look(kBittern), TDiskState::Same);
    // Whoever writes next is another program.
    kAppend(FGame, kItemsLtx);
    EXPECT_EQ(Look(kItemsLtx), TDiskState::Changed);
}

TEST_F(ChangedOnDiskDocumentTest, AnIgnoredChangeIsNotReportedAgain) {
    kAppend(FGame, kItemsLtx);
    TDiskMarks& marks = FDocument.DiskMarks();
    const std::size_t items = *marks.Find(fs::Resolve(FGame.Path() + kItemsLtx));
    ASSERT_EQ(marks.Look(items), TDiskState::Changed);
    marks.Accept(items);
    EXPECT_EQ(marks.Look(items), TDiskState::Same);
}

// The save-time check: a key the user edited and another program changed too is never written over.
TEST_F(ChangedOnDiskDocumentTest, ASaveHoldsBackAFileWhoseEditedKeyChangedAndSavesTheOthers) {
    Type(Item("marsh_bread").cost, "45");
    Type(Item("smoked_eel").cost, "99");
    Type(Weapon("wpn_bittern").cost, "2700");
    Replace(kItemsLtx, "cost                     = 40\n", "cost                     = 41 ; theirs\n");
    const std::string itemsOnDisk = FGame.Read(kItemsLtx);

    const TSaveReport report = FDocument.Save();
    EXPECT_FALSE(report.Ok());
    ASSERT_EQ(report.Conflicts.size(), 1u);
    EXPECT_EQ(report.Conflicts[0].Key, "cost");
    EXPECT_EQ(report.Conflicts[0].OnDisk.Value, "41");
    EXPECT_NE(report.Conflicts[0].Message().find("[marsh_bread] cost"), std::string::npos);
    // Held back whole: not even the eel's price, which nobody else touched, went in.
    EXPECT_EQ(FGame.Read(kItemsLtx), itemsOnDisk);
    EXPECT_EQ(Stored(kBittern, "wpn_bittern", "cost"), "2700");
    EXPECT_TRUE(FDocument.IsModified());
}

TEST_F(ChangedOnDiskDocumentTest, ASettledConflictSavesTheUsersValueOrShowsTheFilesOne) {
    for (const bool mine : {true, false}) {
        SCOPED_TRACE(mine ? "mine" : "theirs");
        Restore(kItemsLtx);
        FDocument.Load(FGame.Path());
        Type(Item("marsh_bread").cost, "45");
        Type(Item("smoked_eel").cost, "99");
        Replace(kItemsLtx, "cost                     = 40\n", "cost                     = 41\n");
        std::vector<TChangeOnDisk> conflicts = FDocument.Conflicts(FDocument.Save());
        ASSERT_EQ(conflicts.size(), 1u);
        EXPECT_EQ(conflicts[0].Change.StoredValue, "40");
        EXPECT_EQ(conflicts[0].Change.NewValue, "45");
        EXPECT_EQ(conflicts[0].Change.Entries.at(0).Name, "marsh_bread");
        conflicts[0].KeepMine = mine;
        FDocument.Settle(conflicts);
        EXPECT_EQ(Item("marsh_bread").cost.Value, mine ? "45" : "41");

        ASSERT_TRUE(FDocument.Save().Ok());
        EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), mine ? "45" : "41");
        EXPECT_EQ(Stored(kItemsLtx, "smoked_eel", "cost"), "99");
        EXPECT_FALSE(FDocument.IsModified());
    }
}

TEST_F(ChangedOnDiskDocumentTest, AReloadKeepsEditsOverTheNewFileAndTheMarkedCellsOfEntriesThatRemain) {
    Type(Item("marsh_bread").cost, "45");
    Type(Weapon("wpn_bittern").cost, "2700");
    const auto rowOf = [&](const std::string& section) {
        auto& items = FDocument.Catalog().Items;
        return static_cast<int>(std::find_if(items.begin(), items.end(),
                                             [&](const auto& item) { return item->Section == section; }) -
                                items.begin());
    };
    const TCellRef eelCell{4, rowOf("smoked_eel"), 1};
    FDocument.Edit("mark", {}, {}, {{eelCell, std::string("typed, not stored")}});
    // Another program adds a section in front of the eel and changes another key of the bread.
    Replace(kItemsLtx, "[smoked_eel]", "[fen_apple]\ninv_name = fen_apple\ncost = 5\n\n[smoked_eel]");
    Replace(kItemsLtx, "eat_satiety              = 0.4", "eat_satiety              = 0.5");

    TReloadPlan plan = FDocument.PlanReload();
    EXPECT_EQ(plan.Kept.size(), 2u);
    EXPECT_TRUE(plan.Conflicts.empty());
    EXPECT_TRUE(plan.Lost.empty());
    FDocument.ReadCatalogs(nullptr, &plan);

    EXPECT_TRUE(plan.Unplaced.empty());
    EXPECT_EQ(Item("marsh_bread").cost.Value, "45");
    EXPECT_EQ(Item("marsh_bread").eat_satiety.Value, "0.5");
    EXPECT_EQ(Weapon("wpn_bittern").cost.Value, "2700");
    EXPECT_TRUE(FDocument.IsModified());
    EXPECT_EQ(FDocument.NextUndo(), nullptr);
    const std::string* eel = FDocument.CellText({4, rowOf("smoked_eel"), 1});
    ASSERT_NE(eel, nullptr) << "the marked cell moved with its entry";
    EXPECT_EQ(*eel, "typed, not stored");
    EXPECT_EQ(FDocument.CellText(eelCell), nullptr);
    // Nothing was written by the reload; the save writes both changes.
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "40");
    FDocument.Edit("unmark", {}, {}, {{{4, rowOf("smoked_eel"), 1}, std::nullopt}});
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "45");
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "eat_satiety"), "0.5");
    EXPECT_EQ(Stored(kItemsLtx, "fen_apple", "cost"), "5");
}

// The user chooses on what the plan read; a change made while the choice was open must not be written over.
TEST_F(ChangedOnDiskDocumentTest, AKeyChangedAgainAfterThePlanIsAConflictAtTheSave) {
    Type(Item("marsh_bread").cost, "45");
    TReloadPlan plan = FDocument.PlanReload();
    ASSERT_EQ(plan.Kept.size(), 1u);
    Replace(kItemsLtx, "cost                     = 40\n", "cost                     = 42\n");
    FDocument.ReadCatalogs(nullptr, &plan);
    EXPECT_EQ(Item("marsh_bread").cost.Value, "45");

    const TSaveReport report = FDocument.Save();
    ASSERT_EQ(report.Conflicts.size(), 1u);
    EXPECT_EQ(report.Conflicts[0].OnDisk.Value, "42");
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "42");
}

TEST_F(ChangedOnDiskDocumentTest, AReloadSortsConflictsAndLostEditsAndPutsBackTheChosenSide) {
    for (const bool mine : {true, false}) {
        SCOPED_TRACE(mine ? "mine" : "theirs");
        Restore(kItemsLtx);
        Restore(kBittern);
        FDocument.Load(FGame.Path());
        Type(Item("marsh_bread").cost, "45");
        Type(Item("smoked_eel").cost, "99");
        Type(Weapon("wpn_bittern").cost, "2700");
        Replace(kItemsLtx, "cost                     = 40\n", "cost                     = 41\n");
        std::filesystem::remove(FGame.Full(kBittern));

        TReloadPlan plan = FDocument.PlanReload();
        ASSERT_EQ(plan.Conflicts.size(), 1u);
        EXPECT_EQ(plan.Conflicts[0].Change.Section, "marsh_bread");
        EXPECT_EQ(plan.Conflicts[0].OnDisk.Value, "41");
        ASSERT_EQ(plan.Lost.size(), 1u);
        EXPECT_EQ(plan.Lost[0].Change.Section, "wpn_bittern");
        ASSERT_EQ(plan.Kept.size(), 1u);
        plan.Conflicts[0].KeepMine = mine;
        FDocument.ReadCatalogs(nullptr, &plan);

        EXPECT_EQ(Item("marsh_bread").cost.Value, mine ? "45" : "41");
        EXPECT_EQ(Item("smoked_eel").cost.Value, "99");
        ASSERT_TRUE(FDocument.Save().Ok());
        EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), mine ? "45" : "41");
        EXPECT_EQ(Stored(kItemsLtx, "smoked_eel", "cost"), "99");
        EXPECT_FALSE(std::filesystem::exists(FGame.Full(kBittern))) << "a deleted file is not made again";
    }
}

} // namespace
} // namespace kw
