#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "catalog/GameDir.h"
#include "catalog/SyntheticGame.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using TSnapshot = std::map<std::string, std::string>; // game-relative path -> bytes

constexpr int kScale = 10;
constexpr int kKills = 30;
constexpr int kEditRound = 1;

bool IsTemporary(const std::string& name) {
    return name.starts_with('.') && name.ends_with(".kwtmp");
}

class CrashSafeSaveTest : public ::testing::Test {
protected:
    CrashSafeSaveTest() : FFiles(test::WriteSyntheticGame(FDir.Path(), kScale)), FOld(Snapshot()) {}

    TSnapshot Snapshot() const {
        TSnapshot snapshot;
        for (const std::string& rel : FFiles) {
            snapshot[rel] = FDir.Read(rel);
        }
        return snapshot;
    }

    // Rewrites only the files that differ, so that each round starts from the same state quickly.
    void Restore(const TSnapshot& snapshot) const {
        for (const auto& [rel, bytes] : snapshot) {
            if (FDir.Read(rel) != bytes) {
                FDir.Write(rel, bytes);
            }
        }
    }

    // Every entry below the game folder that is no game file.
    std::vector<std::string> Strays() const {
        std::vector<std::string> strays;
        for (const auto& entry : stdfs::recursive_directory_iterator(FDir.Path())) {
            const std::string rel = stdfs::relative(entry.path(), FDir.Path()).string();
            std::string gameRel = rel;
            std::replace(gameRel.begin(), gameRel.end(), '/', '\\');
            if (entry.is_regular_file() && !FOld.contains(gameRel)) {
                strays.push_back(rel);
            }
        }
        return strays;
    }

    // Loads, changes every value and saves; the pipe learns when the save begins.
    [[noreturn]] void SaveInChild(int readyFd) const {
        auto game = std::make_unique<TDocument>();
        game->Load(FDir.Path());
        test::EditEveryValue(game->Catalog(), kEditRound);
        const char ready = 'r';
        bool told = ::write(readyFd, &ready, 1) == 1;
        const bool saved = SaveCatalogs(game->Catalog()).Ok();
        ::_exit(told && saved ? 0 : 1);
    }

    // Starts a saving child and reaps it, killing it after delay from the start of its save unless delay is
    // negative; returns how long its save ran.
    std::chrono::microseconds SaveInChildKilledAfter(std::chrono::microseconds delay) const {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            SaveInChild(fds[1]);
        }
        ::close(fds[1]);
        char ready = 0;
        EXPECT_EQ(::read(fds[0], &ready, 1), 1) << "the child never began its save";
        const auto start = std::chrono::steady_clock::now();
        ::close(fds[0]);
        if (delay.count() >= 0) {
            std::this_thread::sleep_for(delay);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(delay.count() >= 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                     start);
    }

    test::TGameDir FDir;
    const std::vector<std::string> FFiles;
    const TSnapshot FOld;
};

// A save killed at any moment leaves each file as it was or as the save meant it, and whatever temporary
// it left neither shows up as a game file nor keeps the next save from finishing.
TEST_F(CrashSafeSaveTest, KilledSavesLeaveEveryFileOldOrNew) {
    const std::chrono::microseconds saveTime = SaveInChildKilledAfter(std::chrono::microseconds(-1));
    const TSnapshot fresh = Snapshot();
    size_t changedFiles = 0;
    for (const auto& [rel, bytes] : FOld) {
        changedFiles += bytes != fresh.at(rel);
    }
    ASSERT_GT(changedFiles, 400u);

    std::mt19937 random(20240607);
    std::uniform_int_distribution<long long> delays(0, saveTime.count() * 11 / 10);
    int partial = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        Restore(FOld);
        SaveInChildKilledAfter(std::chrono::microseconds(delays(random)));
        size_t newFiles = 0;
        for (const auto& [rel, bytes] : Snapshot()) {
            const bool isNew = bytes == fresh.at(rel);
            ASSERT_TRUE(isNew || bytes == FOld.at(rel)) << rel << " is torn after kill " << kill;
            newFiles += isNew && bytes != FOld.at(rel);
        }
        partial += newFiles > 0 && newFiles < changedFiles;
        for (const std::string& stray : Strays()) {
            EXPECT_TRUE(IsTemporary(stdfs::path(stray).filename().string())) << stray;
        }
    }
    EXPECT_GT(partial, 0) << "no kill landed inside a save";

    // Whatever the last kill left is no weapon file, and the next full save replaces every file and leaves no
    // temporary.
    const auto size = test::SyntheticGameSize(kScale);
    auto game = std::make_unique<TDocument>();
    game->Load(FDir.Path());
    EXPECT_EQ(game->Catalog().Weapons.size(), static_cast<size_t>(size.Weapons));
    test::EditEveryValue(game->Catalog(), kEditRound);
    EXPECT_TRUE(SaveCatalogs(game->Catalog()).Ok());
    EXPECT_EQ(Snapshot(), fresh);
    EXPECT_TRUE(Strays().empty());
}

// A temporary left by a killed save goes with the next save of its file, whether that save changes the
// file or finds nothing to change.
TEST_F(CrashSafeSaveTest, NextSaveRemovesTheTemporaryItsFileLeft) {
    auto game = std::make_unique<TDocument>();
    game->Load(FDir.Path());
    ASSERT_TRUE(SaveCatalogs(game->Catalog()).Ok()); // from now on a save without edits changes nothing
    const std::string weapons = FDir.Path() + "gamedata/config/weapons/";
    const std::string changed = weapons + ".w_gen0001.ltx.kwtmp";
    const std::string unchanged = weapons + ".w_gen0002.ltx.kwtmp";
    for (const std::string& path : {changed, unchanged}) {
        std::ofstream(path, std::ios::binary) << "half a file";
    }
    game->Catalog().Weapons[1]->cost.Value = "777";
    ASSERT_TRUE(SaveCatalogs(game->Catalog()).Ok());
    EXPECT_EQ(ProfileFile(weapons + "w_gen0001.ltx").ReadString("wpn_gen0001", "cost", ""),
              "777\t; trader price");
    EXPECT_FALSE(stdfs::exists(changed));
    EXPECT_FALSE(stdfs::exists(unchanged));
    EXPECT_TRUE(Strays().empty());
}

} // namespace
} // namespace kw
