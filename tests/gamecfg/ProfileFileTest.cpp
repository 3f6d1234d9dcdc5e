#include "gamecfg/ProfileFile.h"

#include "FullDisk.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include <sys/resource.h>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ProfileFileTest : public ::testing::Test {
protected:
    ProfileFileTest() {
        FRoot = stdfs::temp_directory_path() / ("kw-profile-" + std::to_string(std::random_device{}()));
        stdfs::create_directories(FRoot);
    }
    ~ProfileFileTest() override {
        std::error_code ec;
        stdfs::remove_all(FRoot, ec);
    }

    std::string At(const std::string& name) const { return (FRoot / name).string(); }

    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(FRoot / name, std::ios::binary) << bytes;
        return At(name);
    }

    std::string Contents(const std::string& name) const {
        std::ifstream in(FRoot / name, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : stdfs::directory_iterator(FRoot)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    // The file after one write and a flush.
    std::string AfterWrite(const std::string& bytes, const std::string& section, const std::string& key,
                           const std::string& value) {
        std::string path = Put("w.ltx", bytes);
        ProfileFile file(path);
        file.WriteString(section, key, value);
        file.Flush();
        return Contents("w.ltx");
    }

    std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }

    stdfs::path FRoot;
};

const char kWeapons[] = "; weapons of the zone\n"
                        "orphan = 1\n"
                        "[empty]\n"
                        "; only a comment\n"
                        "[wpn_ak74]:identity_immunities,weapon_probability\n"
                        "cost = 1500 ; price\n"
                        "Fire_Distance\t=\t600\n"
                        "cost = 9999\n"
                        "  ; hidden = 1\n"
                        "#include \"weapons\\w_other.ltx\"\n"
                        "no equals here\n"
                        "empty_value =\n"
                        "[WPN_AK74]\n"
                        "cost = 1\n"
                        "extra = 2\n"
                        " [other] ; note\n"
                        " key2 = value = with sign \n";

TEST_F(ProfileFileTest, ReadsSectionsAndKeysByTheirRules) {
    ProfileFile file(Put("weapons.ltx", kWeapons));

    EXPECT_THAT(file.ReadSections(), ElementsAre("empty", "wpn_ak74", "WPN_AK74", "other"));
    EXPECT_FALSE(file.SectionExists("empty"));
    EXPECT_THAT(file.ReadSection("empty"), ElementsAre());
    EXPECT_TRUE(file.SectionExists("Wpn_Ak74"));

    EXPECT_EQ(file.ReadString("wpn_ak74", "cost", "?"), "1500 ; price");
    EXPECT_EQ(file.ReadString("WPN_ak74", "fire_distance", "?"), "600");
    EXPECT_EQ(file.ReadString("wpn_ak74", "extra", "?"), "?");
    EXPECT_EQ(file.ReadString("wpn_ak74", "hidden", "?"), "?");
    EXPECT_EQ(file.ReadString("wpn_ak74", "empty_value", "?"), "");
    EXPECT_EQ(file.ReadString("other", "key2", "?"), "value = with sign");
    EXPECT_EQ(file.ReadString("missing", "cost", "?"), "?");
    EXPECT_TRUE(file.KeyExists("wpn_ak74", "EMPTY_VALUE"));
    EXPECT_FALSE(file.KeyExists("wpn_ak74", "no equals here"));

    EXPECT_THAT(file.ReadSection("wpn_ak74"), ElementsAre("cost", "Fire_Distance", "cost", "empty_value"));
    EXPECT_THAT(file.ReadSectionValues("wpn_ak74"),
                ElementsAre("cost=1500 ; price", "Fire_Distance=600", "cost=1500 ; price", "empty_value="));
}

TEST_F(ProfileFileTest, AByteOrderMarkDoesNotHideTheFirstSection) {
    ProfileFile file(Put("bom.ltx", "\xEF\xBB\xBF[first]\r\nk = v\r\n"));
    EXPECT_THAT(file.ReadSections(), ElementsAre("first"));
    EXPECT_EQ(file.ReadString("first", "k", ""), "v");
}

TEST_F(ProfileFileTest, MissingFileReadsAsEmpty) {
    ProfileFile file(At("none.ltx"));
    EXPECT_THAT(file.ReadSections(), ElementsAre());
    EXPECT_EQ(file.ReadString("a", "b", "default"), "default");
    EXPECT_FALSE(file.SectionExists("a"));
}

TEST_F(ProfileFileTest, ReadsAFileOnceAndLateEditsStayUnseen) {
    std::string path = Put("a.ltx", "[s]\nk=1\n");
    ProfileFile file(path);
    EXPECT_EQ(file.ReadString("s", "k", ""), "1");
    Put("a.ltx", "[s]\nk=2\n");
    EXPECT_EQ(file.ReadString("s", "k", ""), "1");
}

TEST_F(ProfileFileTest, IntegersAndBooleans) {
    ProfileFile file(Put("settings.ini",
                         "[m]\na=  42 \nb=-7\nc=+3\nd=\ne=12abc\nf=0x10\ng=99999999999\nh=+-1\n"
                         "t=5\nz=0\n"));
    EXPECT_EQ(file.ReadInteger("m", "a", -1), 42);
    EXPECT_EQ(file.ReadInteger("m", "b", -1), -7);
    EXPECT_EQ(file.ReadInteger("m", "c", -1), 3);
    for (const char* key : {"d", "e", "f", "g", "h", "missing"}) {
        EXPECT_EQ(file.ReadInteger("m", key, -1), -1) << key;
    }
    EXPECT_TRUE(file.ReadBool("m", "t", false));
    EXPECT_FALSE(file.ReadBool("m", "z", true));
    EXPECT_TRUE(file.ReadBool("m", "missing", true));

    file.WriteInteger("m", "a", -12);
    file.WriteBool("m", "t", true);
    file.WriteBool("m", "z", false);
    file.Flush();
    EXPECT_EQ(Contents("settings.ini"),
              "[m]\na=  -12\nb=-7\nc=+3\nd=\ne=12abc\nf=0x10\ng=99999999999\nh=+-1\n"
              "t=1\nz=0\n");
}

TEST_F(ProfileFileTest, WritingOneKeyLeavesEveryOtherByteAlone) {
    const std::string before = "\xEF\xBB\xBF; \xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9\r\n"
                               "[wpn_ak74]:weapon_base\r\n"
                               "inv_name\t=\t\xC0\xCA-74 ; \xE8\xEC\xFF\n"
                               "\r\n"
                               "cost  =  100\t; old\r\n"
                               "\tweight= 3.5\n"
                               "[other]\n"
                               "x=1";
    std::string expected = before;
    expected.replace(expected.find("100\t; old"), 9, "250\t; new");
    EXPECT_EQ(AfterWrite(before, "WPN_AK74", "COST", "250\t; new"), expected);

    expected = before.substr(0, before.size() - 1) + "\xC0";
    EXPECT_EQ(AfterWrite(before, "other", "x", "\xC0"), expected);
}

// Editors that add a CR to CRLF lines leave "\r\r\n"; every CR before the break belongs to the break.
TEST_F(ProfileFileTest, CarriageReturnsBeforeTheBreakBelongToTheLineEnding) {
    const std::string before = "[s]\r\r\nk = 1 ; note\r\r\nother = 2\r\r\r\n[t]\r\nz = 3\r\r";
    const std::string path = Put("cr.ltx", before);
    {
        const ProfileFile file(path);
        EXPECT_EQ(file.ReadString("s", "k", ""), "1 ; note");
        EXPECT_EQ(file.ReadString("s", "other", ""), "2");
        EXPECT_EQ(file.ReadString("t", "z", ""), "3");
    }
    EXPECT_EQ(AfterWrite(before, "s", "k", "5\t; note"),
              "[s]\r\r\nk = 5\t; note\r\r\nother = 2\r\r\r\n[t]\r\nz = 3\r\r");
    EXPECT_EQ(AfterWrite(before, "t", "n", "4"), before + "\nn=4\r\n");
}

TEST_F(ProfileFileTest, AddsKeysBehindTheSectionsLastKeyAndSectionsAtTheEnd) {
    const std::string sections = "[a]\nk1=1\n\nk2=2\n; trailing comment\n\n[b]\nz=1\n";
    EXPECT_EQ(AfterWrite(sections, "a", "k3", "3"),
              "[a]\nk1=1\n\nk2=2\nk3=3\n; trailing comment\n\n[b]\nz=1\n");
    EXPECT_EQ(AfterWrite(sections, "c", "n", "v"), sections + "[c]\nn=v\n");
    EXPECT_EQ(AfterWrite("[e]\n; nothing\n[f]\nx=1\n", "E", "k", "v"), "[e]\nk=v\n; nothing\n[f]\nx=1\n");
    EXPECT_EQ(AfterWrite("[a]\r\nk=1", "c", "n", "v"), "[a]\r\nk=1\r\n[c]\r\nn=v\r\n");
    EXPECT_EQ(AfterWrite("[a]\nk=1\r\n", "a", "n", "v"), "[a]\nk=1\r\nn=v\n");
    EXPECT_EQ(AfterWrite("[a]\nk=1", "a", "n", "v"), "[a]\nk=1\nn=v\n");
    EXPECT_EQ(AfterWrite("", "s", "k", "v"), "[s]\nk=v\n");
}

TEST_F(ProfileFileTest, WritesAreReadBackBeforeAndAfterTheFlush) {
    std::string path = Put("a.ltx", "[a]\nk=1\n");
    {
        ProfileFile file(path);
        file.WriteString("a", "k", "2");
        file.WriteString("new", "x", "y");
        EXPECT_EQ(file.ReadString("A", "K", ""), "2");
        EXPECT_TRUE(file.SectionExists("NEW"));
        EXPECT_TRUE(file.HasPendingWrites());
        EXPECT_EQ(Contents("a.ltx"), "[a]\nk=1\n");
    }
    EXPECT_EQ(Contents("a.ltx"), "[a]\nk=2\n[new]\nx=y\n");
}

TEST_F(ProfileFileTest, NoLimitsOnValuesOrSectionLists) {
    std::string path = Put("big.ltx", "");
    std::string longValue(10000, 'v');
    longValue.back() = 'e';
    std::string content;
    for (int i = 0; i < 3000; ++i) {
        content +=
            "[section_with_a_rather_long_name_" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    }
    Put("big.ltx", content);
    {
        ProfileFile file(path);
        file.WriteString("section_with_a_rather_long_name_2999", "long", longValue);
    }
    ProfileFile file(path);
    EXPECT_EQ(file.ReadString("section_with_a_rather_long_name_2999", "long", ""), longValue);
    std::vector<std::string> names = file.ReadSections();
    ASSERT_EQ(names.size(), 3000u);
    EXPECT_EQ(names.back(), "section_with_a_rather_long_name_2999");
}

// Every key of a big file reads back and every write lands; speed is measured in the benchmark.
TEST_F(ProfileFileTest, ReadsAndWritesEveryKeyOfABigFile) {
    constexpr int kKeys = 100000;
    std::string content = "[s]\n";
    for (int i = 0; i < kKeys; ++i) {
        content += "key" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    }
    ProfileFile file(Put("huge.ltx", content));
    for (int i = 0; i < kKeys; ++i) {
        ASSERT_EQ(file.ReadString("s", "KEY" + std::to_string(i), ""), std::to_string(i));
    }
    for (int i = 0; i < kKeys; i += 5) {
        file.WriteString("s", "key" + std::to_string(i), "x");
        file.WriteString("s", "new" + std::to_string(i), "n");
    }
    file.Flush();
    EXPECT_EQ(file.ReadString("s", "key99995", ""), "x");
    EXPECT_EQ(file.ReadSection("s").size(), kKeys + kKeys / 5u);
}

TEST_F(ProfileFileTest, RefusesWhatWouldNotReadBack) {
    std::string path = Put("a.ltx", "[a]\nk=1\n");
    ProfileFile file(path);
    const std::pair<std::array<std::string, 3>, const char*> refused[] = {
        {{"a", "k", "1\r\n[b]"}, "line break"},
        {{"a", "k", "x\ny"}, "line break"},
        {{"a", "k", std::string("x\0y", 3)}, "zero byte"},
        {{"a\nb", "k", "v"}, "section name"},
        {{"a]b", "k", "v"}, "\"]\""},
        {{"a", "k=x", "v"}, "\"=\""},
        {{"a", "", "v"}, "is empty"},
        {{"a", " k", "v"}, "blank"},
        {{"a", ";k", "v"}, "begins with"},
    };
    for (const auto& [write, problem] : refused) {
        std::string message = ErrorOf([&] { file.WriteString(write[0], write[1], write[2]); });
        EXPECT_THAT(message, StartsWith("Unable to write to " + path + ": ")) << write[2];
        EXPECT_THAT(message, HasSubstr(problem)) << write[2];
    }
    EXPECT_FALSE(file.HasPendingWrites());
    EXPECT_EQ(file.ReadString("a", "k", ""), "1");
}

TEST_F(ProfileFileTest, RefusesFilesThatCannotBeWritten) {
    std::string readOnly = Put("ro.ltx", "[a]\nk=1\n");
    stdfs::permissions(readOnly,
                       stdfs::perms::owner_read | stdfs::perms::group_read | stdfs::perms::others_read);
    ProfileFile roFile(readOnly);
    EXPECT_THAT(ErrorOf([&] { roFile.WriteString("a", "k", "2"); }),
                StartsWith("Unable to write to " + readOnly + ": the file is read-only"));

    ProfileFile missing(At("gone.ltx"));
    EXPECT_THAT(ErrorOf([&] { missing.WriteString("a", "k", "2"); }), StartsWith("Unable to write to "));
    ProfileFile noFolder(At("nowhere/settings.ini"));
    noFolder.SetCreateIfMissing(true);
    EXPECT_THAT(ErrorOf([&] { noFolder.WriteString("a", "k", "2"); }), HasSubstr("folder does not exist"));
    EXPECT_THAT(Entries(), ElementsAre("ro.ltx"));

    ProfileFile settings(At("settings.ini"));
    settings.SetCreateIfMissing(true);
    settings.WriteString("MainOptions", "Left", "10");
    settings.Flush();
    EXPECT_EQ(Contents("settings.ini"), "[MainOptions]\nLeft=10\n");
}

TEST_F(ProfileFileTest, AVanishedGameFileIsNotRecreated) {
    std::string path = Put("w_ak74.ltx", "[a]\nk=1\n");
    ProfileFile file(path);
    file.WriteString("a", "k", "2");
    stdfs::remove(path);
    EXPECT_THAT(ErrorOf([&] { file.Flush(); }), HasSubstr("does not exist"));
    EXPECT_TRUE(file.HasPendingWrites());
    file.DiscardPending();
    EXPECT_EQ(file.ReadString("a", "k", "none"), "none");
    EXPECT_THAT(Entries(), ElementsAre());
}

TEST_F(ProfileFileTest, AFailedFlushLeavesTheFileAsItWas) {
    const std::string before = "[a]\nk=1\n";
    std::string path = Put("a.ltx", before);
    ProfileFile file(path);
    file.WriteString("a", "k", std::string(4096, 'x'));
    {
        kwtest::FullDisk full(64);
        EXPECT_THAT(ErrorOf([&] { file.Flush(); }), StartsWith("Unable to write to " + path + ": "));
    }
    EXPECT_EQ(Contents("a.ltx"), before);
    EXPECT_THAT(Entries(), ElementsAre("a.ltx"));
    EXPECT_TRUE(file.HasPendingWrites());

    file.Flush();
    EXPECT_EQ(Contents("a.ltx"), "[a]\nk=" + std::string(4096, 'x') + "\n");
    EXPECT_FALSE(file.HasPendingWrites());
}

TEST_F(ProfileFileTest, DiscardedWritesNeverReachTheFile) {
    std::string path = Put("a.ltx", "[a]\nk=1\n");
    {
        ProfileFile file(path);
        file.WriteString("a", "k", "2");
        file.DiscardPending();
        EXPECT_EQ(file.ReadString("a", "k", ""), "1");
    }
    EXPECT_EQ(Contents("a.ltx"), "[a]\nk=1\n");
}

TEST_F(ProfileFileTest, AFlushKeepsWhatAnotherProgramChangedMeanwhile) {
    std::string path = Put("a.ltx", "[a]\nk=1\nother=1\n[b]\nz=1\n");
    ProfileFile file(path);
    EXPECT_EQ(file.ReadString("a", "k", ""), "1");
    file.WriteString("a", "k", "ours");
    file.WriteString("b", "z", "ours");
    Put("a.ltx", "; edited elsewhere\n[a]\nk=1\nother=2\nadded=3\n[b]\nz=theirs\n");
    file.Flush();
    EXPECT_EQ(Contents("a.ltx"), "; edited elsewhere\n[a]\nk=ours\nother=2\nadded=3\n[b]\nz=ours\n");
    EXPECT_EQ(file.ReadString("a", "added", ""), "3");
}

TEST_F(ProfileFileTest, AFlushKeepsLinksPermissionsAndUnchangedFiles) {
    std::string target = Put("real.ltx", "[a]\nk=1\n");
    stdfs::permissions(target,
                       stdfs::perms::owner_read | stdfs::perms::owner_write | stdfs::perms::others_read);
    stdfs::create_symlink(target, FRoot / "link.ltx");
    {
        ProfileFile file(At("link.ltx"));
        file.WriteString("a", "k", "2");
    }
    EXPECT_TRUE(stdfs::is_symlink(FRoot / "link.ltx"));
    EXPECT_EQ(Contents("real.ltx"), "[a]\nk=2\n");
    EXPECT_EQ(stdfs::status(target).permissions(),
              stdfs::perms::owner_read | stdfs::perms::owner_write | stdfs::perms::others_read);

    auto longAgo = stdfs::last_write_time(target) - std::chrono::hours(48);
    stdfs::last_write_time(target, longAgo);
    ProfileFile file(target);
    file.WriteString("a", "k", "2");
    file.Flush();
    file.Flush();
    EXPECT_EQ(stdfs::last_write_time(target), longAgo);
    EXPECT_FALSE(file.HasPendingWrites());
}

} // namespace
} // namespace kw
