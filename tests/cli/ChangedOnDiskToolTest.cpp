#include "catalog/Document.h"
#include "catalog/SampleCopy.h"
#include "cli/ToolCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace kw {
namespace {

using ::testing::HasSubstr;

class ChangedOnDiskToolTest : public test::SampleCopyTest {};

// The headless tool's import and resave end with this report: a key another program changed between the
// tool's load and its save is named as not saved, and the run fails.
TEST_F(ChangedOnDiskToolTest, AKeyChangedBetweenLoadAndSaveIsNotSavedAndTheRunFails) {
    TDocument game;
    game.Load(FGame.Path());
    TItem& bread = **std::find_if(game.Catalog().Items.begin(), game.Catalog().Items.end(),
                                  [](const auto& item) { return item->Section == "marsh_bread"; });
    game.Edit("import", {}, {{&bread.cost, "45"}});
    Replace("gamedata\\config\\misc\\items.ltx", "cost                     = 40\n",
            "cost                     = 41\n");

    std::ostringstream out;
    EXPECT_EQ(PrintSaveReport(game.Save(), out), kExitFailed);
    EXPECT_THAT(out.str(), HasSubstr("Not saved: "));
    EXPECT_THAT(out.str(), HasSubstr("items.ltx: [marsh_bread] cost was changed by another program"));
    EXPECT_THAT(out.str(), HasSubstr("it now holds \"41\""));
    EXPECT_THAT(out.str(), ::testing::Not(HasSubstr("Every file was saved")));
}

} // namespace
} // namespace kw
