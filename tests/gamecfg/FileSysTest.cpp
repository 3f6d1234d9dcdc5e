#include "gamecfg/FileSys.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kw::fs {
namespace {

namespace stdfs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class FileSysTest : public ::testing::Test {
protected:
    FileSysTest() {
        FRoot = stdfs::temp_directory_path() / ("kw-fs-" + std::to_string(std::random_device{}()));
        stdfs::create_directories(FRoot);
    }
    ~FileSysTest() override {
        std::error_code ec;
        stdfs::remove_all(FRoot, ec);
    }

    std::string At(const std::string& relative) const { return (FRoot / relative).string(); }

    std::string Put(const std::string& relative, const std::string& bytes = "x") const {
        stdfs::create_directories((FRoot / relative).parent_path());
        std::ofstream(FRoot / relative, std::ios::binary) << bytes;
        return At(relative);
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : stdfs::directory_iterator(FRoot)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    stdfs::path FRoot;
};

TEST_F(FileSysTest, ResolveFindsComponentsRegardlessOfCase) {
    std::string actual = Put("GameData/Config/WEAPONS/weapons.ltx");
    std::string folder = WithTrailingSeparator(FRoot.string());

    EXPECT_EQ(Resolve(folder + "gamedata\\config\\weapons\\weapons.ltx"), actual);
    EXPECT_EQ(Resolve(folder + "gamedata\\\\config/Weapons\\WEAPONS.LTX"), actual);
    // What does not exist keeps its spelling behind the part that was found.
    EXPECT_EQ(Resolve(folder + "gamedata\\config\\misc\\Outfit.ltx"), At("GameData/Config/misc/Outfit.ltx"));
    EXPECT_TRUE(FileExists(folder + "GAMEDATA\\config\\weapons\\weapons.ltx"));
    EXPECT_TRUE(DirExists(folder + "gamedata\\config\\"));
    EXPECT_FALSE(DirExists(folder + "gamedata\\config\\weapons\\weapons.ltx"));
}

TEST_F(FileSysTest, ResolvePrefersTheExactSpellingThenByteOrder) {
    Put("Foo.ltx");
    Put("foo.ltx");
    Put("fOO.LTX");
    EXPECT_EQ(Resolve(At("foo.ltx")), At("foo.ltx"));
    EXPECT_EQ(Resolve(At("FOO.ltx")), At("Foo.ltx"));
}

TEST_F(FileSysTest, WithTrailingSeparatorEndsWithExactlyOne) {
    EXPECT_EQ(WithTrailingSeparator(""), "");
    EXPECT_EQ(WithTrailingSeparator("/games/dh"), "/games/dh/");
    EXPECT_EQ(WithTrailingSeparator("/games/dh//"), "/games/dh/");
    EXPECT_EQ(WithTrailingSeparator("/games/dh\\"), "/games/dh/");
    EXPECT_EQ(WithTrailingSeparator("/"), "/");
}

TEST_F(FileSysTest, ListFilesMatchesMaskAndSortsRegardlessOfCase) {
    for (const char* name :
         {"w_ak74.ltx", "W_Abakan.LTX", "w_b.ltx", "weapons.ltx", "w_.txt", "a.jpg", "A.jpg"}) {
        Put(name);
    }
    stdfs::create_directory(FRoot / "w_folder.ltx");
    stdfs::create_symlink(FRoot / "w_b.ltx", FRoot / "w_linked.ltx");
    stdfs::create_symlink(FRoot / "missing.ltx", FRoot / "w_dangling.ltx");

    EXPECT_THAT(ListFiles(FRoot.string(), "w_*.ltx"),
                ElementsAre("W_Abakan.LTX", "w_ak74.ltx", "w_b.ltx", "w_linked.ltx"));
    EXPECT_THAT(ListFiles(FRoot.string(), "?.JPG"), ElementsAre("A.jpg", "a.jpg"));
    EXPECT_THAT(ListFiles(FRoot.string(), "*s.ltx"), ElementsAre("weapons.ltx"));
    EXPECT_THAT(ListFiles(At("Missing"), "*"), ElementsAre());
}

TEST_F(FileSysTest, ReadsWholeFilesAndTheirState) {
    std::string bytes("a\0b\r\n\xC0", 6);
    std::string path = Put("data.ltx", bytes);
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(FileSize(path), 6u);
    EXPECT_EQ(ReadFile(At("none.ltx")), std::nullopt);
    EXPECT_EQ(ReadFile(FRoot.string()), std::nullopt);
    EXPECT_EQ(FileSize(At("none.ltx")), std::nullopt);

    EXPECT_FALSE(IsReadOnly(path));
    stdfs::permissions(path, stdfs::perms::owner_read | stdfs::perms::group_read);
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_THAT(WriteObstacle(path, false), HasSubstr("read-only"));
    EXPECT_FALSE(IsReadOnly(At("none.ltx")));
}

TEST_F(FileSysTest, WriteObstacleNamesWhatStandsInTheWay) {
    std::string path = Put("a.ltx");
    EXPECT_EQ(WriteObstacle(path, false), "");
    EXPECT_THAT(WriteObstacle(At("new.ltx"), false), HasSubstr("does not exist"));
    EXPECT_EQ(WriteObstacle(At("new.ltx"), true), "");
    EXPECT_THAT(WriteObstacle(At("nowhere/new.ltx"), true), HasSubstr("folder does not exist"));
    EXPECT_THAT(WriteObstacle(FRoot.string(), true), HasSubstr("not a file"));
}

TEST_F(FileSysTest, AtomicReplaceKeepsLinkModeAndLeavesNoTemporaryFile) {
    std::string target = Put("real.ltx", "old");
    stdfs::permissions(target,
                       stdfs::perms::owner_read | stdfs::perms::owner_write | stdfs::perms::group_read);
    stdfs::create_symlink("real.ltx", FRoot / "link.ltx");

    AtomicReplace(At("link.ltx"), "new content");

    EXPECT_TRUE(stdfs::is_symlink(FRoot / "link.ltx"));
    EXPECT_EQ(ReadFile(target), "new content");
    EXPECT_EQ(stdfs::status(target).permissions(),
              stdfs::perms::owner_read | stdfs::perms::owner_write | stdfs::perms::group_read);
    EXPECT_THAT(Entries(), ::testing::UnorderedElementsAre("real.ltx", "link.ltx"));

    AtomicReplace(At("created.ltx"), "fresh");
    EXPECT_EQ(ReadFile(At("created.ltx")), "fresh");
}

TEST_F(FileSysTest, AtomicReplaceFailureNamesTheFile) {
    try {
        AtomicReplace(At("nowhere/a.ltx"), "x");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), StartsWith("Unable to write to " + At("nowhere/a.ltx") + ": "));
    }
}

TEST_F(FileSysTest, ExecutableFolderHoldsTheRunningProgram) {
    std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(FileExists(folder + "test_gamecfg"));
}

// Tidying many files at once finds every temporary a killed replace left, as the file-by-file tidy does:
// beside a plain file, beside the target of a link in another folder, and for a file named in another case;
// a temporary whose file was not named, and the files themselves, stay.
TEST_F(FileSysTest, StaleTemporariesOfManyFilesGoWithOneListingPerFolder) {
    const std::string plain = Put("weapons/w_a.ltx");
    Put("weapons/.w_a.ltx.kwtmp");
    Put("weapons/w_b.ltx");
    Put("weapons/.w_other.ltx.kwtmp");
    Put("elsewhere/w_target.ltx");
    Put("elsewhere/.w_target.ltx.kwtmp");
    stdfs::create_symlink(FRoot / "elsewhere/w_target.ltx", FRoot / "weapons/w_link.ltx");
    Put("misc/Items.ltx");
    Put("misc/.Items.ltx.kwtmp");
    RemoveStaleTemporaries(
        {plain, At("weapons/w_b.ltx"), At("weapons/w_link.ltx"), At("misc/items.ltx"), At("gone/w_c.ltx")});
    EXPECT_FALSE(stdfs::exists(At("weapons/.w_a.ltx.kwtmp")));
    EXPECT_FALSE(stdfs::exists(At("elsewhere/.w_target.ltx.kwtmp")));
    EXPECT_FALSE(stdfs::exists(At("misc/.Items.ltx.kwtmp")));
    EXPECT_TRUE(stdfs::exists(At("weapons/.w_other.ltx.kwtmp")));
    for (const char* kept :
         {"weapons/w_a.ltx", "weapons/w_b.ltx", "elsewhere/w_target.ltx", "misc/Items.ltx"}) {
        EXPECT_TRUE(stdfs::exists(At(kept))) << kept;
    }
}

} // namespace
} // namespace kw::fs
