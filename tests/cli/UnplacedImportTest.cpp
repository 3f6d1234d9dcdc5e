#include "catalog/GameDir.h"
#include "catalog/SampleCopy.h"
#include "cli/InterchangeCommands.h"
#include "cli/ToolCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kw {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A workbook change that touches a value no file has a place for, among others.
struct TImportCase {
    const char* Label;
    const char* Catalog;
    const char* Edit; // openpyxl statements on the sheet s
    const char* Message;
};

std::ostream& operator<<(std::ostream& out, const TImportCase& c) {
    return out << c.Label;
}

const TImportCase kImportCases[] = {
    {"artefact immunity alone", "arts", "s['G5'] = 0.5",
     "Cannot store \"af_hollowstone\", column \"ожог\": the section [af_hollowstone_absorbation] that holds "
     "this "
     "value does not exist in gamedata\\config\\misc\\artefacts.ltx."},
    {"with values that have their place", "arts", "s['Q4'] = 9000; s['G4'] = 0.45; s['K5'] = 0.2",
     "Cannot store \"af_hollowstone\", column \"рад.\": the section [af_hollowstone_absorbation]"},
    {"outfit whose link carries a comment", "outfits", "s['K3'] = 0.1",
     "Cannot store \"Fenwarden suit\", column \"-ожог\": the section [fenwarden_immunities ; tuned for the "
     "swamp "
     "gas] that holds this value does not exist in gamedata\\config\\misc\\outfit.ltx."},
};

class UnplacedImportTest : public ::testing::TestWithParam<TImportCase> {
protected:
    UnplacedImportTest() {
        test::CopySampleGame(game);
        std::filesystem::create_directories(game.Full("out"));
    }

    test::TGameDir game;
};

// The import refuses, says why, and leaves every byte of the game as it was: it never reports a change or a
// save that did not happen.
TEST_P(UnplacedImportTest, ImportRefusesAndWritesNothing) {
    const TImportCase& c = GetParam();
    const std::string book = game.Full("out").string() + "/sheet.xlsx";
    std::ostringstream out, err;
    ASSERT_EQ(RunInterchangeCommand({"export", game.Path(), c.Catalog, book}, out, err), kExitOk)
        << err.str();
    const std::string edit = "/usr/bin/python3 -c \"import openpyxl; b = openpyxl.load_workbook('" + book +
                             "'); s = b.worksheets[0]; " + c.Edit + "; b.save('" + book + "')\"";
    ASSERT_EQ(std::system(edit.c_str()), 0) << edit;
    const auto before = game.Files();

    out.str("");
    err.str("");
    EXPECT_EQ(RunInterchangeCommand({"import", game.Path(), c.Catalog, book}, out, err), kExitFailed);
    EXPECT_THAT(err.str(), HasSubstr(c.Message));
    EXPECT_THAT(out.str(), Not(HasSubstr("saved")));
    EXPECT_THAT(out.str(), Not(HasSubstr("changed")));
    EXPECT_EQ(game.Files(), before);
}

INSTANTIATE_TEST_SUITE_P(Sheets, UnplacedImportTest, ::testing::ValuesIn(kImportCases));

} // namespace
} // namespace kw
