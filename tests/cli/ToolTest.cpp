#include "cli/Tool.h"
#include "cli/ToolCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace kw {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct TUsageCase {
    const char* Name;
    std::vector<std::string> Args;
    int Code;
    const char* Out; // the whole of stdout, or nullptr when only err counts
    const char* Err; // a part of stderr, or nullptr for none at all
};

class ToolUsageTest : public ::testing::TestWithParam<TUsageCase> {};

TEST_P(ToolUsageTest, AnswersOnStdoutOrFailsOnStderr) {
    const TUsageCase& c = GetParam();
    std::ostringstream out, err;
    EXPECT_EQ(RunTool(c.Args, out, err), c.Code);
    if (c.Out != nullptr) {
        EXPECT_EQ(out.str(), c.Out);
    } else {
        EXPECT_THAT(out.str(), IsEmpty());
    }
    if (c.Err != nullptr) {
        EXPECT_THAT(err.str(), HasSubstr(c.Err));
        EXPECT_THAT(err.str(), HasSubstr("Usage: kitwright-cli"));
    } else {
        EXPECT_THAT(err.str(), IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolUsageTest,
    ::testing::Values(
        TUsageCase{"Help", {"--help"}, kExitOk, kToolUsage, nullptr},
        TUsageCase{"ShortHelp", {"-h"}, kExitOk, kToolUsage, nullptr},
        TUsageCase{"Version", {"--version"}, kExitOk, "Kitwright version 1.05\n", nullptr},
        TUsageCase{"VersionWithMore", {"--version", "x"}, kExitUsage, nullptr, "\"--version\""},
        TUsageCase{"UnknownOption", {"--verbose"}, kExitUsage, nullptr, "\"--verbose\""},
        TUsageCase{"NoCommand", {}, kExitUsage, nullptr, "no command given"},
        TUsageCase{"DumpWithoutFolder", {"dump"}, kExitUsage, nullptr, "exactly one game folder"},
        TUsageCase{"ExportWithoutFile", {"export", "/g", "ammo"}, kExitUsage, nullptr, "export"},
        TUsageCase{"DiffWithOneFolder", {"diff", "/g"}, kExitUsage, nullptr, "two game folders"}),
    [](const ::testing::TestParamInfo<TUsageCase>& info) { return std::string(info.param.Name); });

// Each command is listed with the exit codes it gives, before the next command begins.
TEST(ToolUsage, ListsEveryCommandWithItsExitCodes) {
    const std::string usage = kToolUsage;
    for (const char* command : {"dump", "resave", "check", "export", "import", "diff"}) {
        const std::size_t start = usage.find(std::string("\n  ") + command + " ");
        ASSERT_NE(start, std::string::npos) << command;
        // Continuation lines are indented further than the command names.
        std::size_t end = start;
        do {
            end = usage.find("\n  ", end + 1);
        } while (end != std::string::npos && usage[end + 3] == ' ');
        EXPECT_THAT(usage.substr(start, end - start), HasSubstr("exit status: 0")) << command;
    }
    EXPECT_THAT(usage, HasSubstr("--version"));
}

} // namespace
} // namespace kw
