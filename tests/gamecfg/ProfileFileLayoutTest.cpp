#include "catalog/GameDir.h"
#include "gamecfg/ProfileFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// Files at the edges of how the profile file keeps them: sections searched in place and sections indexed,
// repeated names, odd line ends, texts longer than a block of kept text, writes applied to a file another
// program changed meanwhile.
namespace kw {
namespace {

struct TWrite {
    std::string Section, Key, Value;
};

struct TLayoutCase {
    const char* Name;
    std::string Before;
    std::vector<TWrite> Writes;
    std::optional<std::string> Meanwhile; // put on disk between the writes and the flush
    std::string After;
    std::vector<TWrite> Reads; // read before the writes; an empty value: missing
};

// "[big]" and count keys k0=0, k1=1, ..., with the value of key `changed` replaced.
std::string Big(int count, int changed = -1, const std::string& value = "") {
    std::string text = "[big]\n";
    for (int i = 0; i < count; ++i) {
        text += "k" + std::to_string(i) + "=" + (i == changed ? value : std::to_string(i)) + "\n";
    }
    return text;
}

const std::string kLong(70000, 'v');

// clang-format off
const TLayoutCase kCases[] = {
    {"RepeatedKeyInASmallSection", "[s]\nk=1\nK=2\n", {{"s", "k", "3"}}, {}, "[s]\nk=3\nK=2\n", {{"s", "k", "1"}}},
    {"RepeatedKeyInABigSection", Big(40) + "K3=dup\n", {{"big", "K3", "x"}}, {}, Big(40, 3, "x") + "K3=dup\n",
     {{"big", "k3", "3"}, {"big", "k40", ""}}},
    {"ASectionGrowsPastTheSearchedSize", Big(23) + "[next]\na=1\n",
     {{"big", "new1", "a"}, {"big", "new2", "b"}, {"big", "NEW1", "c"}, {"big", "k0", "z"}}, {},
     Big(23, 0, "z") + "new1=c\nnew2=b\n[next]\na=1\n", {{"big", "k22", "22"}, {"big", "new2", ""}}},
    {"RepeatedSections", "[a]\nk=1\n[A]\nk=2\nj=3\n", {{"a", "j", "4"}}, {}, "[a]\nk=1\nj=4\n[A]\nk=2\nj=3\n",
     {{"a", "k", "1"}, {"a", "j", ""}}},
    {"CarriageReturnsBeforeTheBreak", "[a]\r\r\nk = 1\r\r\nlast=2\r", {{"a", "k", "2"}, {"a", "n", "3"}}, {},
     "[a]\r\r\nk = 2\r\r\nlast=2\r\nn=3\r\n", {{"a", "last", "2"}}},
    {"EmptyFile", "", {{"a", "k", "1"}, {"b", "k", "2"}}, {}, "[a]\nk=1\n[b]\nk=2\n", {{"a", "k", ""}}},
    {"ValuesLongerThanABlock", "[a]\nk=1\n", {{"a", "k", kLong}, {"a", "j", kLong}}, {},
     "[a]\nk=" + kLong + "\nj=" + kLong + "\n", {}},
    {"WritesAppliedToAFileChangedMeanwhile", Big(30),
     {{"big", "k5", " padded"}, {"big", "k5", "  again"}, {"Big", "fresh", "1"}, {"other", "o", "2"}},
     "; changed\n[big]\nk5=old\n", "; changed\n[big]\nk5=  again\nfresh=1\n[other]\no=2\n", {}},
};
// clang-format on

class ProfileFileLayoutTest : public ::testing::TestWithParam<TLayoutCase> {
protected:
    test::TGameDir FDir;
};

TEST_P(ProfileFileLayoutTest, ReadsWritesAndKeepsEveryOtherByte) {
    const TLayoutCase& c = GetParam();
    FDir.Write("f.ltx", c.Before);
    ProfileFile file(FDir.Full("f.ltx").string());
    for (const TWrite& read : c.Reads) {
        EXPECT_EQ(file.ReadString(read.Section, read.Key, ""), read.Value) << read.Key;
        EXPECT_EQ(file.KeyExists(read.Section, read.Key), !read.Value.empty()) << read.Key;
    }
    for (const TWrite& write : c.Writes) {
        file.WriteString(write.Section, write.Key, write.Value);
    }
    if (c.Meanwhile) {
        FDir.Write("f.ltx", *c.Meanwhile);
    }
    file.Flush();
    EXPECT_EQ(FDir.Read("f.ltx"), c.After);
    ProfileFile reread(file.Path()); // what was written reads back alike from the file kept and a new one
    for (const TWrite& write : c.Writes) {
        EXPECT_TRUE(reread.KeyExists(write.Section, write.Key)) << write.Key;
        EXPECT_EQ(reread.ReadString(write.Section, write.Key, ""),
                  file.ReadString(write.Section, write.Key, ""));
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ProfileFileLayoutTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kw
