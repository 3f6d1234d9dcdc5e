#include "catalog/SampleCopy.h"
#include "cli/Tool.h"
#include "cli/ToolCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace kw {
namespace {

using ::testing::HasSubstr;

std::set<std::string> Listing(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ExportTargetToolTest : public test::SampleCopyTest {};

// The command that once put a workbook in place of the game's items.ltx.
TEST_F(ExportTargetToolTest, ExportOverAGameFileIsRefusedAndWritesNothing) {
    const std::string items = "gamedata\\config\\misc\\items.ltx";
    const std::string before = FGame.Read(items);
    const std::set<std::string> misc = Listing(FGame.Full("gamedata\\config\\misc"));

    std::ostringstream out, err;
    const int code =
        RunTool({"export", FGame.Path(), "items", FGame.Path() + "gamedata/config/misc/items.ltx"}, out, err);
    EXPECT_EQ(code, kExitFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(err.str(), HasSubstr(FGame.Full(items).string() + " belongs to the game"));
    EXPECT_THAT(err.str(), HasSubstr("Nothing was written."));
    EXPECT_EQ(FGame.Read(items), before);
    EXPECT_EQ(Listing(FGame.Full("gamedata\\config\\misc")), misc);
}

} // namespace
} // namespace kw
