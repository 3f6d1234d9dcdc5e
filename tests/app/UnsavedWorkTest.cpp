#include "MainWindowFixture.h"

#include "translate/Texts.h"
#include "views/GridCells.h"
#include "views/GridView.h"

#include <QPushButton>
#include <QToolButton>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

QString Answer(const kw::TextDef& text) {
    return QString::fromUtf8(text.Default);
}

// The sample game in a temporary folder that the settings name, so start-up loads it.
class UnsavedWorkTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
        WriteSettings("GamePath=" + FGame + "\n");
    }
    kw::TWeapon& Heron() const {
        for (const auto& weapon : FWindow->Catalog().Weapons) {
            if (weapon->Section == "wpn_heron") {
                return *weapon;
            }
        }
        throw std::runtime_error("no wpn_heron");
    }
    std::string HeronFile() const { return FGame + "gamedata/config/weapons/w_heron.ltx"; }
    std::string OnDisk(const std::string& key) const {
        const std::string text = kw::ProfileFile(HeronFile()).ReadString("wpn_heron", key, "<absent>");
        return text.substr(0, text.find_first_of("\t ;"));
    }
    // The settings are written only by a close that goes ahead; start-up leaves them as the test wrote them.
    bool SettingsWritten() const { return Setting("MainOptions", "LocalizationPath") != "<absent>"; }

    std::string FGame;
};

struct TCloseCase {
    const char* Name;
    bool Edit;
    bool ReadOnly;
    const kw::TextDef* Choice;
    bool Closes;
    const char* CostOnDisk; // nullptr: as the sample holds it
};

class CloseWithEdits : public UnsavedWorkTest, public ::testing::WithParamInterface<TCloseCase> {};

const TCloseCase kCloseCases[] = {
    {"NothingEdited", false, false, nullptr, true, nullptr},
    {"SaveSucceeds", true, false, &kw::kSaveAnswer, true, "777"},
    {"SaveFails", true, true, &kw::kSaveAnswer, false, nullptr},
    {"Discard", true, false, &kw::kDiscardAnswer, true, nullptr},
    {"Cancel", true, false, &kw::kCancelAnswer, false, nullptr},
};

TEST_P(CloseWithEdits, ClosesOnlyWhenNothingIsLost) {
    const TCloseCase& c = GetParam();
    kw::TfrmMain& window = Start();
    window.show();
    const std::string sampleCost = OnDisk("cost");
    if (c.Edit) {
        SetValue(Heron().cost, "777");
    }
    if (c.ReadOnly) {
        fs::permissions(HeronFile(), fs::perms(0444));
    }
    if (c.Choice) {
        FPlatform.Choice = Answer(*c.Choice);
    }

    EXPECT_EQ(window.close(), c.Closes);

    if (c.Edit) {
        ASSERT_EQ(FPlatform.Questions.size(), 1u);
        EXPECT_EQ(
            FPlatform.Questions[0].Answers,
            QStringList({Answer(kw::kSaveAnswer), Answer(kw::kDiscardAnswer), Answer(kw::kCancelAnswer)}));
    } else {
        EXPECT_TRUE(FPlatform.Questions.empty());
    }
    EXPECT_EQ(window.isVisible(), !c.Closes);
    if (!c.Closes) {
        EXPECT_EQ(window.isWindowModified(), c.Edit);
    }
    EXPECT_EQ(SettingsWritten(), c.Closes);
    EXPECT_EQ(OnDisk("cost"), c.CostOnDisk ? std::string(c.CostOnDisk) : sampleCost);
    EXPECT_EQ(Heron().cost.Value, c.Edit ? "777" : sampleCost);
    EXPECT_EQ(FPlatform.Messages.size(), c.ReadOnly ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseWithEdits, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(UnsavedWorkTest, RefusedGridStoreKeepsTheWindowOpen) {
    kw::TfrmMain& window = Start();
    window.show();
    window.btnView->click();
    TypeIntoCell(*window.Page(kw::WeaponsPage).sg, 0, 1, QStringLiteral("2★"));
    FPlatform.Choice = Answer(kw::kSaveAnswer);

    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_FALSE(SettingsWritten());
    EXPECT_EQ(FPlatform.Messages.size(), 1u);
}

// Answered Cancel, the choice changes nothing, not even the folder; answered Discard, every value is back at
// the file's and the chosen folder loads.
TEST_F(UnsavedWorkTest, FolderChoiceWithEditsAsksBeforeTheFolderChanges) {
    kw::TfrmMain& window = Start();
    const std::string other = CopySampleGame("other");
    const std::string sampleCost = OnDisk("cost");
    SetValue(Heron().cost, "777");
    FPlatform.Folder = QString::fromStdString(other);
    FPlatform.Choice = Answer(kw::kCancelAnswer);

    window.btnSelectGamePath->click();
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Answers,
              QStringList({Answer(kw::kDiscardAnswer), Answer(kw::kCancelAnswer)}));
    EXPECT_EQ(window.GamePath(), FGame);
    EXPECT_EQ(window.Document().Source()->GamePath, FGame);
    EXPECT_EQ(Heron().cost.Value, "777");
    EXPECT_TRUE(window.isWindowModified());

    FPlatform.Choice = Answer(kw::kDiscardAnswer);
    window.btnSelectGamePath->click();
    EXPECT_EQ(FPlatform.Questions.size(), 2u);
    EXPECT_EQ(window.GamePath(), other);
    EXPECT_EQ(Heron().cost.Value, sampleCost);
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(OnDisk("cost"), sampleCost);
}

TEST_F(UnsavedWorkTest, RevertAsksOnlyWithEditsAndCancelKeepsThem) {
    kw::TfrmMain& window = Start();
    window.btnResetSettings->click();
    EXPECT_TRUE(FPlatform.Questions.empty());

    SetValue(Heron().cost, "777");
    FPlatform.Choice = Answer(kw::kCancelAnswer);
    window.btnResetSettings->click();
    EXPECT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(Heron().cost.Value, "777");

    FPlatform.Choice = Answer(kw::kDiscardAnswer);
    window.mnuFileReset->trigger();
    EXPECT_EQ(FPlatform.Questions.size(), 2u);
    EXPECT_EQ(Heron().cost.Value, OnDisk("cost"));
    EXPECT_FALSE(window.isWindowModified());
}

struct TSwitchCase {
    const char* Name;
    const kw::TextDef* Choice;
    bool Switches;
    bool Stored;
};

class ViewSwitchWithTypedCell : public UnsavedWorkTest, public ::testing::WithParamInterface<TSwitchCase> {};

const TSwitchCase kSwitchCases[] = {
    {"Store", &kw::kStoreAnswer, true, true},
    {"Discard", &kw::kDiscardAnswer, true, false},
    {"Cancel", &kw::kCancelAnswer, false, false},
};

// A typed cell would be filled over by the next switch back, so leaving the table view asks first.
TEST_P(ViewSwitchWithTypedCell, StoresDropsOrStays) {
    const TSwitchCase& c = GetParam();
    kw::TfrmMain& window = Start();
    window.show();
    window.btnView->click();
    kw::TGridView& grid = *window.Page(kw::WeaponsPage).sg;
    const std::string before = window.Catalog().Weapons[0]->fire_dispersion_base.Value;
    TypeIntoCell(grid, 0, 1, "0.5");
    FPlatform.Choice = Answer(*c.Choice);

    window.btnView->click();

    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Answers,
              QStringList({Answer(kw::kStoreAnswer), Answer(kw::kDiscardAnswer), Answer(kw::kCancelAnswer)}));
    EXPECT_EQ(window.IsStandardView(), c.Switches);
    EXPECT_EQ(window.Catalog().Weapons[0]->fire_dispersion_base.Value, c.Stored ? "0.5" : before);
    EXPECT_EQ(grid.Model().MarkedCells().size(), c.Switches ? 0u : 1u);
    EXPECT_EQ(window.isWindowModified(), c.Choice != &kw::kDiscardAnswer);
    EXPECT_TRUE(FPlatform.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, ViewSwitchWithTypedCell, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(UnsavedWorkTest, TableRefreshAsksOnlyOverTypedCells) {
    kw::TfrmMain& window = Start();
    window.show();
    window.btnView->click();
    kw::TGridView& grid = *window.Page(kw::WeaponsPage).sg;
    QPushButton* refresh = window.Page(kw::WeaponsPage).btnTableRefresh;
    refresh->click();
    EXPECT_TRUE(FPlatform.Questions.empty());

    TypeIntoCell(grid, 0, 1, "0.5");
    FPlatform.Choice = Answer(kw::kCancelAnswer);
    refresh->click();
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Answers,
              QStringList({Answer(kw::kDiscardAnswer), Answer(kw::kCancelAnswer)}));
    EXPECT_EQ(CellText(grid, 0, 1), "0.5");

    FPlatform.Choice = Answer(kw::kDiscardAnswer);
    refresh->click();
    EXPECT_NE(CellText(grid, 0, 1), "0.5");
    EXPECT_FALSE(window.isWindowModified());
}

} // namespace
} // namespace kwtest
