#include "catalog/Catalog.h"

#include "FullDisk.h"
#include "catalog/Document.h"
#include "catalog/GameDir.h"
#include "catalog/SyntheticGame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const std::string kWeaponsLtx = "gamedata\\config\\weapons\\weapons.ltx";
const std::string kOutfitLtx = "gamedata\\config\\misc\\outfit.ltx";
const std::vector<std::string> kAfterOutfits = {"gamedata\\config\\misc\\artefacts.ltx",
                                                "gamedata\\config\\misc\\items.ltx",
                                                "gamedata\\config\\weathers\\weather_default.ltx"};
constexpr uid_t kNobody = 65534;

// Takes permissions from a folder for the length of a test, so that the folder can still be removed after.
class TWithout {
public:
    TWithout(stdfs::path folder, stdfs::perms taken)
        : FFolder(std::move(folder)), FBefore(stdfs::status(FFolder).permissions()) {
        stdfs::permissions(FFolder, taken, stdfs::perm_options::remove);
    }
    ~TWithout() { stdfs::permissions(FFolder, FBefore); }
    TWithout(const TWithout&) = delete;
    TWithout& operator=(const TWithout&) = delete;

private:
    stdfs::path FFolder;
    stdfs::perms FBefore;
};

// Runs work in a child that has given up root, so that permission bits bind it as they bind any user, and
// returns what work returned.
std::string AsUnprivilegedUser(const std::function<std::string()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string out;
        if (::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            out = "cannot drop root";
        } else {
            try {
                out = work();
            } catch (const std::exception& error) {
                out = std::string("exception: ") + error.what();
            }
        }
        for (size_t done = 0; done < out.size();) {
            const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
            done += n > 0 ? static_cast<size_t>(n) : out.size();
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return out;
}

// One line per file the save could not write: the file's name, a TAB and the reason; then "stopped" when the
// save ended early.
std::string Describe(const TSaveReport& report) {
    std::ostringstream out;
    for (const TSaveFailure& failure : report.Failures) {
        out << stdfs::path(failure.File).filename().string() << '\t' << failure.Reason << '\n';
    }
    out << (report.Stopped ? "stopped" : "went on") << '\n';
    return out.str();
}

class SaveFailureTest : public ::testing::Test {
protected:
    SaveFailureTest() : FFiles(test::WriteSyntheticGame(FDir.Path(), 1)) {
        for (const std::string& rel : FFiles) {
            FBefore[rel] = FDir.Read(rel);
        }
    }

    // Loads the game, changes every value and saves.
    std::string SaveEverythingChanged() const {
        auto game = std::make_unique<TDocument>();
        game->Load(FDir.Path());
        test::EditEveryValue(game->Catalog(), 1);
        return Describe(SaveCatalogs(game->Catalog()));
    }

    std::vector<std::string> Unchanged() const {
        std::vector<std::string> unchanged;
        for (const auto& [rel, bytes] : FBefore) {
            if (FDir.Read(rel) == bytes) {
                unchanged.push_back(rel);
            }
        }
        return unchanged;
    }

    bool IsUnchanged(const std::string& rel) const { return FDir.Read(rel) == FBefore.at(rel); }

    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : stdfs::recursive_directory_iterator(FDir.Path())) {
            if (entry.path().filename().string().ends_with(".kwtmp")) {
                names.push_back(entry.path().string());
            }
        }
        return names;
    }

    void GiveGameToNobody() const {
        if (::getuid() != 0) {
            return;
        }
        ::lchown(FDir.Path().c_str(), kNobody, kNobody);
        for (const auto& entry : stdfs::recursive_directory_iterator(FDir.Path())) {
            ::lchown(entry.path().c_str(), kNobody, kNobody);
        }
    }

    test::TGameDir FDir;
    const std::vector<std::string> FFiles;
    std::map<std::string, std::string> FBefore;
};

// Weapon files are small enough to fit, weapons.ltx is not: the weapons are saved, weapons.ltx is reported
// and ends the save, and nothing from it on changes.
TEST_F(SaveFailureTest, FullDiskReportsTheFileAndLeavesItAndTheRestAsTheyWere) {
    std::string report;
    {
        kwtest::FullDisk full(8192);
        report = SaveEverythingChanged();
    }
    EXPECT_EQ(report, "weapons.ltx\tUnable to write to " + FDir.Path() +
                          "gamedata/config/weapons/weapons.ltx: File too large\nstopped\n");
    EXPECT_FALSE(IsUnchanged("gamedata\\config\\weapons\\w_gen0000.ltx"));
    EXPECT_TRUE(IsUnchanged(kWeaponsLtx));
    EXPECT_TRUE(IsUnchanged(kOutfitLtx));
    EXPECT_THAT(Leftovers(), IsEmpty());
}

// A folder the user may not write to: its files are reported and left alone; the weapon files and
// weapons.ltx before it are saved.
TEST_F(SaveFailureTest, ReadOnlyFolderReportsItsFileAndLeavesTheRestAsTheyWere) {
    GiveGameToNobody();
    const TWithout writing(FDir.Full("gamedata\\config\\misc"), stdfs::perms::owner_write |
                                                                    stdfs::perms::group_write |
                                                                    stdfs::perms::others_write);
    const std::string report = AsUnprivilegedUser([&] { return SaveEverythingChanged(); });
    EXPECT_THAT(report, AllOf(StartsWith("outfit.ltx\tUnable to write to "),
                              HasSubstr("Permission denied\nstopped\n")));
    EXPECT_FALSE(IsUnchanged(kWeaponsLtx));
    EXPECT_TRUE(IsUnchanged(kOutfitLtx));
    for (const std::string& rel : kAfterOutfits) {
        EXPECT_TRUE(IsUnchanged(rel)) << rel;
    }
    EXPECT_THAT(Leftovers(), IsEmpty());
}

// A folder the user may not read looks like one without the game: every required file is missing.
TEST_F(SaveFailureTest, UnreadableFolderLacksEveryRequiredFile) {
    const TWithout access(FDir.Full("gamedata"), stdfs::perms::all);
    const auto joined = [](const std::vector<std::string>& files) {
        std::string text;
        for (const std::string& file : files) {
            text += file + "\n";
        }
        return text;
    };
    const std::vector<std::string> required = BuildRequiredFiles(FDir.Path());
    EXPECT_EQ(AsUnprivilegedUser([&] { return joined(MissingFiles(required)); }), joined(required));
}

// A zero byte inside a comment reads as part of it, but could not be written back as it stands: that weapon
// file is reported and left alone, the others are saved.
TEST_F(SaveFailureTest, ZeroByteInACommentKeepsOnlyItsFileFromBeingSaved) {
    const std::string rel = "gamedata\\config\\weapons\\w_gen0003.ltx";
    std::string bytes = FBefore.at(rel);
    bytes.insert(bytes.find("trader price"), std::string("\0", 1));
    FDir.Write(rel, bytes);
    FBefore[rel] = bytes;

    const std::string report = SaveEverythingChanged();
    EXPECT_THAT(report, AllOf(StartsWith("w_gen0003.ltx\tUnable to write to "),
                              HasSubstr("holds a line break or a zero byte\nwent on\n")));
    EXPECT_THAT(Unchanged(), ::testing::Contains(rel));
    EXPECT_FALSE(IsUnchanged(kOutfitLtx));
}

} // namespace
} // namespace kw
