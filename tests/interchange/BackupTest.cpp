#include "interchange/Backup.h"

#include "catalog/GameDir.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::vector<std::string> kRequired = {
    "gamedata\\config\\weapons\\weapons.ltx", "gamedata\\config\\misc\\outfit.ltx",
    "gamedata\\config\\misc\\artefacts.ltx", "gamedata\\config\\misc\\items.ltx",
    "gamedata\\config\\weathers\\weather_default.ltx"};
const std::vector<std::string> kWeapons = {"gamedata\\config\\weapons\\w_a.ltx",
                                           "gamedata\\config\\weapons\\w_b.ltx"};

const TBackupLogTexts kTexts{"Log file created", "Backup copies of the files were created",
                             "An error occurred while backing up the files"};

// A game folder with the five category files and two weapon files, each holding its own name.
class BackupTest : public ::testing::Test {
protected:
    BackupTest() {
        for (const auto* list : {&kRequired, &kWeapons}) {
            for (const std::string& rel : *list) {
                FGame.Write(rel, "[" + rel + "]\r\nvalue = 1\r\n");
                FFiles.push_back(FGame.Path() + rel);
            }
        }
    }

    std::string Platform(const std::string& rel) const { return FGame.Full(rel).string(); }

    test::TGameDir FGame;
    std::vector<std::string> FFiles;
};

TEST_F(BackupTest, CopiesEveryFileInOrderAndReplacesEarlierCopies) {
    FGame.Write(kWeapons[1] + ".bak", "an older copy");
    const TBackupResult result = BackupFiles(FFiles);

    ASSERT_TRUE(result.Ok());
    std::vector<std::string> expected;
    for (const auto* list : {&kRequired, &kWeapons}) {
        for (const std::string& rel : *list) {
            expected.push_back(Platform(rel));
            EXPECT_EQ(FGame.Read(rel + ".bak"), FGame.Read(rel)) << rel;
        }
    }
    EXPECT_EQ(result.Copied, expected);
}

TEST_F(BackupTest, FolderSpelledInOtherCaseCopiesBesideTheFile) {
    const std::string spelled = FGame.Path() + "GAMEDATA\\Config\\Weapons\\W_A.LTX";
    const TBackupResult result = BackupFiles({spelled});

    ASSERT_TRUE(result.Ok());
    EXPECT_THAT(result.Copied, ElementsAre(Platform(kWeapons[0])));
    EXPECT_EQ(FGame.Read(kWeapons[0] + ".bak"), FGame.Read(kWeapons[0]));
}

// The atomic replace alone would take over a read-only copy, even for a privileged user.
TEST_F(BackupTest, ReadOnlyCopyFailsThatFileOnlyAndKeepsTheOthers) {
    FGame.Write(kWeapons[0] + ".bak", "kept");
    FGame.MakeReadOnly(kWeapons[0] + ".bak");
    std::vector<std::string> files = FFiles;
    files.push_back(FGame.Path() + "gamedata\\config\\weapons\\w_gone.ltx");

    const TBackupResult result = BackupFiles(files);

    ASSERT_EQ(result.Failures.size(), 2u);
    EXPECT_EQ(result.Failures[0].File, Platform(kWeapons[0]));
    EXPECT_THAT(result.Failures[0].Reason, HasSubstr("read-only"));
    EXPECT_THAT(result.Failures[0].Reason, HasSubstr("w_a.ltx.bak"));
    EXPECT_THAT(result.Failures[1].Reason, HasSubstr("does not exist"));
    EXPECT_EQ(FGame.Read(kWeapons[0] + ".bak"), "kept");
    EXPECT_EQ(FGame.Read(kWeapons[1] + ".bak"), FGame.Read(kWeapons[1]));
    EXPECT_EQ(FGame.Read(kRequired[4] + ".bak"), FGame.Read(kRequired[4]));
    EXPECT_EQ(result.Copied.size(), FFiles.size() - 1);

    const std::vector<std::string> log = test::Lines(BackupLogText(result, kTexts, "08.12.2026 04:30:00"));
    EXPECT_THAT(log, ElementsAre("Kitwright version 1.05", "Log file created [08.12.2026 04:30:00]",
                                 "An error occurred while backing up the files:", "", Platform(kWeapons[0]),
                                 result.Failures[1].File));
}

TEST_F(BackupTest, SuccessLogListsEveryCopyWithCrLf) {
    const TBackupResult result = BackupFiles(FFiles);
    const std::string text = BackupLogText(result, kTexts, "1/2/26 3:04:05 PM");

    std::string expected = "Kitwright version 1.05\r\nLog file created [1/2/26 3:04:05 PM]\r\n"
                           "Backup copies of the files were created:\r\n\r\n";
    for (const std::string& file : result.Copied) {
        expected += file + "\r\n";
    }
    EXPECT_EQ(text, expected);

    const std::string log = FGame.Path() + kBackupLogName;
    FGame.Write(kBackupLogName, "an older log that is longer than the new one would be, surely, yes");
    WriteBackupLog(log, text);
    EXPECT_EQ(FGame.Read(kBackupLogName), text);
}

TEST_F(BackupTest, UnwritableLogNamesTheFile) {
    FGame.Write(kBackupLogName, "old");
    FGame.MakeReadOnly(kBackupLogName);
    const std::string log = FGame.Path() + kBackupLogName;
    try {
        WriteBackupLog(log, "new");
        FAIL() << "a read-only log was replaced";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(kBackupLogName));
    }
    EXPECT_EQ(FGame.Read(kBackupLogName), "old");
}

} // namespace
} // namespace kw
