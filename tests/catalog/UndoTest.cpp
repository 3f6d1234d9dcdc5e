#include "catalog/Document.h"

#include "catalog/SampleCopy.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";
const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::string kBittern = "gamedata\\config\\weapons\\w_bittern.ltx";

// The sample game loaded into a document that records what it announces.
class UndoFixture : public test::SampleCopyTest {
protected:
    void SetUp() override {
        FDocument.Load(FGame.Path());
        FBefore = FGame.Files();
        FListener = FDocument.Listen([this](const TDocumentChange& change) {
            FHeard.push_back({change.Kind, change.Step ? change.Step->Label : "", change.ModifiedChanged});
        });
    }

    TCatalog& Catalog() { return FDocument.Catalog(); }
    void Set(TParam& param, std::string value, std::string label = "edit") {
        FDocument.Edit(std::move(label), {}, {{&param, std::move(value)}});
    }
    // The files whose bytes differ from what they held at the load, by name.
    std::vector<std::string> ChangedFiles() const {
        std::vector<std::string> changed;
        for (const auto& [path, bytes] : FGame.Files()) {
            if (FBefore.at(path) != bytes) {
                changed.push_back(std::filesystem::path(path).filename().string());
            }
        }
        return changed;
    }
    std::string Stored(const std::string& rel, const std::string& section, const std::string& key) const {
        return ProfileFile(FGame.Full(rel).string()).ReadString(section, key, "<missing>");
    }

    struct THeard {
        TDocumentChange::TKind Kind;
        std::string Label;
        bool ModifiedChanged;
        bool operator==(const THeard&) const = default;
    };

    TDocument FDocument;
    std::map<std::string, std::string> FBefore;
    std::size_t FListener = 0;
    std::vector<THeard> FHeard;
};

using TKind = TDocumentChange::TKind;

// Every listener hears each step as it is done, taken back and done again, and whether the document became
// modified or clean by it; one that stopped listening hears nothing more.
TEST_F(UndoFixture, UndoListenersHearEachStepAndTheModifiedState) {
    TParam& cost = Catalog().Items[0]->cost;
    Set(cost, "45", "price");
    Set(cost, "50", "price again");
    FDocument.Undo();
    FDocument.Undo();
    FDocument.Redo();
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_EQ(FHeard, (std::vector<THeard>{{TKind::Edited, "price", true},
                                           {TKind::Edited, "price again", false},
                                           {TKind::Undone, "price again", false},
                                           {TKind::Undone, "price", true},
                                           {TKind::Redone, "price", true},
                                           {TKind::Saved, "", true}}));
    FDocument.StopListening(FListener);
    Set(cost, "55");
    EXPECT_EQ(FHeard.size(), 6u);
}

// One kind of step: what it does to the catalog, and what a save of it writes.
struct TStepCase {
    const char* Name;
    std::function<void(TDocument&)> Do;
    std::function<std::string(TCatalog&)> Shown; // the value the step changes, as an entry shows it
    std::string Before, After;
    std::vector<std::string> Written; // the files a save of the done step writes
};

std::ostream& operator<<(std::ostream& out, const TStepCase& c) {
    return out << c.Name;
}

const TStepCase kStepCases[] = {
    {"OneValue",
     [](TDocument& d) {
         d.Edit("", {}, {{&d.Catalog().Items[0]->cost, "45"}});
     },
     [](TCatalog& c) { return c.Items[0]->cost.Value; },
     "40",
     "45",
     {"items.ltx"}},
    // The wanderer's immunity section is read by struck-out outfits too, so its values are linked.
    {"SharedSection",
     [](TDocument& d) {
         d.Edit("", {}, {{&d.Catalog().Outfits[0]->Immunity.burn, "0.5"}});
     },
     [](TCatalog& c) { return c.Outfits[0]->Immunity.burn.Value; },
     "0.9",
     "0.5",
     {"outfit.ltx"}},
    // A dialog stores several values, one of them twice, as one step.
    {"Group",
     [](TDocument& d) {
         const TEditGroup group(d, "silencer", {});
         TWeapon& weapon = *d.Catalog().Weapons[0];
         d.Edit("", {}, {{&weapon.silencer_x, "10"}});
         d.Edit("", {}, {{&weapon.silencer_y, "20"}});
         d.Edit("", {}, {{&weapon.silencer_x, "30"}});
     },
     [](TCatalog& c) { return c.Weapons[0]->silencer_x.Value + "," + c.Weapons[0]->silencer_y.Value; },
     "0,0",
     "30,20",
     {"w_bittern.ltx"}},
    // A revert in the Changes window after an edit taken as it stands.
    {"Revert",
     [](TDocument& d) {
         d.Edit("", {}, {{&d.Catalog().Items[0]->cost, "45"}});
         d.Revert(d.Changes(), "revert");
     },
     [](TCatalog& c) { return c.Items[0]->cost.Value; },
     "45",
     "40",
     {}},
};

class UndoSteps : public UndoFixture, public ::testing::WithParamInterface<TStepCase> {};

// Each kind of step undone and done again: the catalog shows what it showed, the document is as modified as
// it was, and a save writes exactly what the step meant, or nothing.
TEST_P(UndoSteps, UndoneAndRedoneAndSaved) {
    const TStepCase& c = GetParam();
    c.Do(FDocument);
    const bool revert = std::string(c.Name) == "Revert";
    ASSERT_EQ(c.Shown(Catalog()), c.After);
    FDocument.Undo();
    EXPECT_EQ(c.Shown(Catalog()), c.Before);
    EXPECT_EQ(FDocument.IsModified(), revert);
    FDocument.Redo();
    EXPECT_EQ(c.Shown(Catalog()), c.After);
    EXPECT_EQ(FDocument.IsModified(), !revert);
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_EQ(ChangedFiles(), c.Written);
    EXPECT_FALSE(FDocument.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Kinds, UndoSteps, ::testing::ValuesIn(kStepCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A save keeps the history: a step taken back after it differs from the file again, and done again it is
// what the file holds.
TEST_F(UndoFixture, UndoAcrossSaveMakesTheDocumentModifiedAgain) {
    Set(Catalog().Items[0]->cost, "45");
    ASSERT_TRUE(FDocument.Save().Ok());
    ASSERT_FALSE(FDocument.IsModified());
    FDocument.Undo();
    EXPECT_TRUE(FDocument.IsModified());
    ASSERT_EQ(FDocument.Changes().size(), 1u);
    FDocument.Redo();
    EXPECT_FALSE(FDocument.IsModified());
    FDocument.Undo();
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_THAT(ChangedFiles(), IsEmpty());
    EXPECT_EQ(Stored(kItemsLtx, "marsh_bread", "cost"), "40");
}

// The bittern's section lacks silencer_status: set, it is written; taken back, it is not, though the value
// shown is the default either way.
TEST_F(UndoFixture, UndoOfAKeyTheSectionLackedLeavesNothingToWrite) {
    Replace(kBittern, "silencer_status         = 0\n", "");
    FDocument.Load(FGame.Path());
    FBefore = FGame.Files();
    TParam& status = Catalog().Weapons[0]->silencer_status;
    FDocument.Edit("", {}, {{&status, "2", TKeyUse::Status}});
    FDocument.Undo();
    EXPECT_FALSE(FDocument.IsModified());
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_THAT(ChangedFiles(), IsEmpty());
    FDocument.Redo();
    ASSERT_TRUE(FDocument.Save().Ok());
    EXPECT_THAT(ChangedFiles(), ElementsAre("w_bittern.ltx"));
}

// A revert taken back keeps the use its edit was made with: an addon state set to "-1" afterwards is still
// never written, so nothing is left to save.
TEST_F(UndoFixture, UndoOfARevertKeepsTheUseOfItsEdit) {
    TParam& status = Catalog().Weapons[0]->silencer_status;
    FDocument.Edit("", {}, {{&status, "2", TKeyUse::Status}});
    FDocument.Revert(FDocument.Changes(), "revert");
    ASSERT_TRUE(FDocument.Save().Ok());
    FDocument.Undo();
    FDocument.Edit("", {}, {{&status, "-1", TKeyUse::Status}});
    EXPECT_THAT(FDocument.Changes(), IsEmpty());
    EXPECT_FALSE(FDocument.IsModified());
}

// Within one group, linked parameters are one value: edited by turns through two of them, Undo and Redo end
// where the group began and ended.
TEST_F(UndoFixture, UndoGroupOfLinkedParametersEndsWhereTheGroupDid) {
    // As the loader links the parameters of entries that read one section.
    TParam& first = Catalog().Items[0]->cost;
    TParam& other = Catalog().Items[1]->cost;
    first.LinkWith(other);
    const std::string start = first.Value;
    {
        const TEditGroup group(FDocument, "dialog", {});
        Set(first, "45");
        Set(other, "46");
        Set(first, "47");
    }
    FDocument.Undo();
    EXPECT_EQ(other.Value, start);
    FDocument.Redo();
    EXPECT_EQ(other.Value, "47");
    EXPECT_EQ(first.Value, "47");
}

TEST_F(UndoFixture, UndoHistoryIsBoundedClearedByAReloadAndCutByANewStep) {
    TParam& cost = Catalog().Items[0]->cost;
    for (int i = 0; i < 205; ++i) {
        Set(cost, std::to_string(100 + i));
    }
    int undone = 0;
    while (FDocument.NextUndo()) {
        FDocument.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(TEditHistory::kMaxSteps));
    EXPECT_EQ(cost.Value, "104"); // the first five steps are gone
    FDocument.Redo();
    Set(cost, "7");
    EXPECT_EQ(FDocument.NextRedo(), nullptr);

    FDocument.ReadCatalogs();
    EXPECT_EQ(FDocument.NextUndo(), nullptr);
    EXPECT_EQ(FDocument.NextRedo(), nullptr);
    EXPECT_FALSE(FDocument.IsModified());
}

// A step that changes nothing is no step: a value stored as it stands, a group that set a value and set it
// back.
TEST_F(UndoFixture, UndoSkipsStepsThatChangeNothing) {
    TParam& cost = Catalog().Items[0]->cost;
    Set(cost, "45");
    {
        const TEditGroup group(FDocument, "dialog", {});
        Set(cost, "50");
        Set(cost, "45");
    }
    FDocument.Edit("cells", {}, {}, {{{4, 0, 6}, std::nullopt}});
    ASSERT_NE(FDocument.NextUndo(), nullptr);
    EXPECT_EQ(FDocument.NextUndo()->Label, "edit");
}

TEST_F(UndoFixture, UndoCellsOfTheWorkingCopyCountAsUnsavedWork) {
    const TCellRef price{4, 0, 6};
    FDocument.Edit("typed", {}, {}, {{price, "45"}});
    ASSERT_NE(FDocument.CellText(price), nullptr);
    EXPECT_EQ(*FDocument.CellText(price), "45");
    EXPECT_TRUE(FDocument.IsModified());
    FDocument.Undo();
    EXPECT_EQ(FDocument.CellText(price), nullptr);
    EXPECT_FALSE(FDocument.IsModified());
    FDocument.Redo();
    EXPECT_TRUE(FDocument.IsModified());
    FDocument.RevertAll();
    EXPECT_THAT(FDocument.Cells(), IsEmpty());
    EXPECT_EQ(FDocument.NextUndo(), nullptr);
}

} // namespace
} // namespace kw
