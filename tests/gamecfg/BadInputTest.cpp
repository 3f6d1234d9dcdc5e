#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::ElementsAre;

class BadInputTest : public ::testing::Test {
protected:
    BadInputTest()
        : FRoot(stdfs::temp_directory_path() / ("kw-bad-" + std::to_string(std::random_device{}()))) {
        stdfs::create_directories(FRoot);
    }
    ~BadInputTest() override {
        std::error_code ec;
        stdfs::remove_all(FRoot, ec);
    }

    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(FRoot / name, std::ios::binary) << bytes;
        return (FRoot / name).string();
    }

    std::string Contents(const std::string& name) const {
        std::ifstream in(FRoot / name, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    stdfs::path FRoot;
};

// Bytes of every value, zero bytes and lone CRs among them, in lines of any length: read as they stand and
// left byte for byte as they were by a write elsewhere in the file.
TEST_F(BadInputTest, BinaryBytesAndHugeLinesSurviveAWriteElsewhere) {
    std::mt19937 random(7);
    std::string binary(64 * 1024, '\0');
    for (char& c : binary) {
        c = static_cast<char>(random() % 256);
    }
    const std::string huge(3 * 1024 * 1024, 'v');
    const std::string head = "; junk follows\n" + binary + "\n[s]\nk = a" + std::string("\0\r\xFF", 3) +
                             "b\nlong = " + huge + "\n";
    const std::string tail = "; " + huge + "\n[t]\n" + binary;
    const std::string path = Put("binary.ltx", head + tail);

    ProfileFile file(path);
    EXPECT_EQ(file.ReadString("s", "k", ""), "a" + std::string("\0\r\xFF", 3) + "b");
    EXPECT_EQ(file.ReadString("s", "long", ""), huge);
    file.WriteString("s", "added", "1");
    file.Flush();
    EXPECT_EQ(Contents("binary.ltx"), head + "added=1\n" + tail);
}

// Without its closing bracket a header names the rest of its line; the keys below still belong to it.
TEST_F(BadInputTest, HeaderWithoutClosingBracketNamesTheRestOfItsLine) {
    ProfileFile file(Put("open.ltx", "[wpn_a\nk = 1\n[wpn_b : base\nk = 2\n[wpn_c]:base\nk = 3\n"));
    EXPECT_THAT(file.ReadSections(), ElementsAre("wpn_a", "wpn_b : base", "wpn_c"));
    EXPECT_EQ(file.ReadString("wpn_a", "k", ""), "1");
    EXPECT_EQ(file.ReadString("wpn_b : base", "k", ""), "2");
}

// A replace of the same file running in another process holds the file's temporary; this replace waits for
// it instead of writing into the same temporary, then goes ahead.
TEST_F(BadInputTest, ReplaceWaitsWhileAnotherReplaceHoldsTheTemporary) {
    const std::string path = Put("a.ltx", "old");
    const int held = ::open((FRoot / ".a.ltx.kwtmp").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::thread other([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(held); // the other replace dies without renaming
    });
    const auto start = std::chrono::steady_clock::now();
    fs::AtomicReplace(path, "new");
    const auto waited = std::chrono::steady_clock::now() - start;
    other.join();
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_EQ(Contents("a.ltx"), "new");
    EXPECT_FALSE(stdfs::exists(FRoot / ".a.ltx.kwtmp"));
}

} // namespace
} // namespace kw
