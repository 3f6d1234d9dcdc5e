#include "gamecfg/ProfileFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

// Files whose shape reaches the edges of how the profile file keeps them: sections searched in place and
// sections indexed, names that repeat, odd line ends, texts too long for one block of kept text, and writes
// applied to a file another program changed meanwhile.
namespace kw {
namespace {

namespace stdfs = std::filesystem;

struct TWrite {
    std::string Section, Key, Value;
};

struct TRead {
    std::string Section, Key;
    std::optional<std::string> Value; // none: the key reads as missing
};

struct TLayoutCase {
    const char* Name;
    std::string Before;
    std::vector<TWrite> Writes;
    std::optional<std::string> ChangedMeanwhile; // put on disk after the writes, before the flush
    std::string After;                           // the file after the flush
    std::vector<TRead> Reads;                    // checked before the writes
};

void PrintTo(const TLayoutCase& c, std::ostream* out) {
    *out << c.Name;
}

// "[big]" with count keys k0=0, k1=1, ...
std::string BigSection(int count, const std::string& lineEnd = "\n") {
    std::string text = "[big]" + lineEnd;
    for (int i = 0; i < count; ++i) {
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + lineEnd;
    }
    return text;
}

const std::string kLong(70000, 'v'); // longer than a block of kept text

std::vector<TLayoutCase> Cases() {
    return {
        {"RepeatedKeyInASmallSection",
         "[s]\nk=1\nK=2\n",
         {{"s", "k", "3"}},
         {},
         "[s]\nk=3\nK=2\n",
         {{"s", "k", "1"}}},
        {"RepeatedKeyInABigSection",
         BigSection(40) + "K3=dup\nk39=dup\n",
         {{"big", "K3", "x"}, {"BIG", "k39", "y"}},
         {},
         [] {
             std::string after = BigSection(40);
             after.replace(after.find("k3=3"), 4, "k3=x");
             after.replace(after.find("k39=39"), 6, "k39=y");
             return after + "K3=dup\nk39=dup\n";
         }(),
         {{"big", "k3", "3"}, {"big", "K39", "39"}, {"big", "k40", std::nullopt}}},
        {"ASectionGrowsPastTheSearchedSizeByWrites",
         BigSection(23) + "[next]\na=1\n",
         {{"big", "new1", "a"}, {"big", "new2", "b"}, {"big", "NEW1", "c"}, {"big", "k0", "z"}},
         {},
         [] {
             std::string after = BigSection(23);
             after.replace(after.find("k0=0"), 4, "k0=z");
             return after + "new1=c\nnew2=b\n[next]\na=1\n";
         }(),
         {{"big", "k22", "22"}, {"next", "a", "1"}, {"big", "new2", std::nullopt}}},
        {"RepeatedSectionsReadAndGrowTheFirst",
         "[a]\nk=1\n[A]\nk=2\nj=3\n",
         {{"a", "j", "4"}},
         {},
         "[a]\nk=1\nj=4\n[A]\nk=2\nj=3\n",
         {{"a", "k", "1"}, {"a", "j", std::nullopt}}},
        {"CarriageReturnsBeforeTheBreak",
         "[a]\r\r\nk = 1\r\r\nlast=2\r",
         {{"a", "k", "2"}, {"a", "n", "3"}},
         {},
         "[a]\r\r\nk = 2\r\r\nlast=2\r\nn=3\r\n",
         {{"a", "k", "1"}, {"a", "last", "2"}}},
        {"EmptyFile",
         "",
         {{"a", "k", "1"}, {"b", "k", "2"}},
         {},
         "[a]\nk=1\n[b]\nk=2\n",
         {{"a", "k", std::nullopt}}},
        {"ValuesLongerThanABlock",
         "[a]\nk=1\n",
         {{"a", "k", kLong}, {"a", "j", kLong + "j"}, {"b", "k", "s"}},
         {},
         "[a]\nk=" + kLong + "\nj=" + kLong + "j\n[b]\nk=s\n",
         {{"a", "k", "1"}}},
        {"WritesAppliedToAFileChangedMeanwhile",
         BigSection(30),
         {{"big", "k5", " padded"}, {"big", "k5", "  again"}, {"Big", "fresh", "1"}, {"other", "o", "2"}},
         "; changed\n[big]\nk5=old\n",
         "; changed\n[big]\nk5=  again\nfresh=1\n[other]\no=2\n",
         {{"big", "k5", "5"}}},
    };
}

class ProfileFileLayoutTest : public ::testing::TestWithParam<TLayoutCase> {
protected:
    ProfileFileLayoutTest() {
        root_ = stdfs::temp_directory_path() / ("kw-layout-" + std::to_string(std::random_device{}()));
        stdfs::create_directories(root_);
    }
    ~ProfileFileLayoutTest() override {
        std::error_code ec;
        stdfs::remove_all(root_, ec);
    }

    std::string Put(const std::string& bytes) const {
        std::ofstream(root_ / "f.ltx", std::ios::binary) << bytes;
        return (root_ / "f.ltx").string();
    }

    std::string Contents() const {
        std::ifstream in(root_ / "f.ltx", std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    stdfs::path root_;
};

TEST_P(ProfileFileLayoutTest, ReadsWritesAndKeepsEveryOtherByte) {
    const TLayoutCase& c = GetParam();
    ProfileFile file(Put(c.Before));
    for (const TRead& read : c.Reads) {
        EXPECT_EQ(file.ReadValue(read.Section, read.Key), read.Value) << read.Section << "." << read.Key;
    }
    for (const TWrite& write : c.Writes) {
        file.WriteString(write.Section, write.Key, write.Value);
    }
    if (c.ChangedMeanwhile) {
        Put(*c.ChangedMeanwhile);
    }
    file.Flush();
    EXPECT_EQ(Contents(), c.After);

    // What was written reads back, trimmed as every value reads, from the file kept and from a new one.
    ProfileFile reread(file.Path());
    for (const TWrite& write : c.Writes) {
        const std::string expected = file.ReadString(write.Section, write.Key, "\x01missing");
        EXPECT_NE(expected, "\x01missing") << write.Section << "." << write.Key;
        EXPECT_EQ(reread.ReadString(write.Section, write.Key, "\x01missing"), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ProfileFileLayoutTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kw
