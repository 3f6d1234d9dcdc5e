// A save that meets a key another program changed under the user's edit.

#include "MainWindowFixture.h"

#include "views/uConflicts.h"

#include <QAbstractButton>
#include <QTableWidget>

namespace {

const std::string kItems = "gamedata/config/misc/items.ltx";
const std::string kBittern = "gamedata/config/weapons/w_bittern.ltx";

// What the user answers in the list of conflicts, and what the files and the entry show afterwards.
struct TSaveAnswer {
    const char* Name;
    std::vector<const char*> Clicks; // object names in the list, in order
    const char* OnDisk;              // the bread's price in items.ltx
    const char* Shown;               // the bread's price in the window
    bool Modified;
};

void PrintTo(const TSaveAnswer& answer, std::ostream* out) {
    *out << answer.Name;
}

class ChangedOnDiskSaveTest : public kwtest::SampleGameWindowTest,
                              public ::testing::WithParamInterface<TSaveAnswer> {};

TEST_P(ChangedOnDiskSaveTest, TheOtherFilesAreSavedFirstThenTheUserKeepsEitherSide) {
    const TSaveAnswer& answer = GetParam();
    kw::TfrmMain& window = StartShown();
    kw::TDocument& document = window.Document();
    kw::TItem& bread = kwtest::Find(document.Catalog().Items, "marsh_bread");
    SetValue(bread.cost, "45");
    SetValue(kwtest::Find(document.Catalog().Weapons, "wpn_bittern").cost, "2700");
    ReplaceInGameFile(kItems, "cost                     = 40\n", "cost                     = 41 ; by hand\n");
    const std::string itemsByHand = GameFile(kItems);

    std::string bitternWhenAsked, itemsWhenAsked;
    QStringList values;
    int rows = 0;
    FPlatform.OnDialog = [&](QDialog& dialog) {
        auto& list = dynamic_cast<kw::TfrmConflicts&>(dialog);
        bitternWhenAsked = GameFile(kBittern);
        itemsWhenAsked = GameFile(kItems);
        rows = list.tblConflicts->rowCount();
        for (const int column : {3, 4, 5}) {
            values << list.tblConflicts->item(0, column)->text();
        }
        for (const char* name : answer.Clicks) {
            auto* button = list.findChild<QAbstractButton*>(name);
            ASSERT_NE(button, nullptr) << name;
            QTest::mouseClick(button, Qt::LeftButton);
        }
    };
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);

    EXPECT_NE(bitternWhenAsked.find("2700"), std::string::npos)
        << "the other files go in before the question";
    EXPECT_EQ(itemsWhenAsked, itemsByHand) << "the file with the conflict is held back";
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(values, (QStringList{"40", "41 ; by hand", "45"}));
    const std::string expected = std::string("cost                     = ") + answer.OnDisk;
    EXPECT_NE(GameFile(kItems).find(expected), std::string::npos) << GameFile(kItems);
    EXPECT_EQ(bread.cost.Value, answer.Shown);
    EXPECT_EQ(document.IsModified(), answer.Modified);
    EXPECT_EQ(window.isWindowModified(), answer.Modified);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChangedOnDiskSaveTest,
    ::testing::Values(TSaveAnswer{"Mine", {"rbTheirs0", "rbMine0", "btnOk"}, "45\t; by hand", "45", false},
                      TSaveAnswer{"Theirs", {"rbTheirs0", "btnOk"}, "41 ; by hand", "41", false},
                      TSaveAnswer{
                          "AllTheFilesValues", {"btnAllTheirs", "btnOk"}, "41 ; by hand", "41", false},
                      TSaveAnswer{"Cancel", {"rbTheirs0", "btnCancel"}, "41 ; by hand", "45", true}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
