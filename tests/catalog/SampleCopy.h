#pragma once

#include "catalog/GameDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kw::test {

// The sample game shipped with the sources; never written to.
inline std::string SampleGamePath() {
    return (std::filesystem::path(KW_SOURCE_DIR) / "examples" / "sample-game").string() + "/";
}

// Copies the sample game's files into dir, whose saves then never reach the sources.
inline void CopySampleGame(const TGameDir& dir) {
    std::filesystem::copy(std::filesystem::path(SampleGamePath()) / "gamedata", dir.Full("gamedata"),
                          std::filesystem::copy_options::recursive);
}

// A copy of the sample game in a temporary folder of its own, since saves write into it.
class SampleCopyTest : public ::testing::Test {
protected:
    SampleCopyTest() { CopySampleGame(FGame); }

    // Replaces the one place of from in the file rel (the game's notation) with to.
    void Replace(const std::string& rel, const std::string& from, const std::string& to) const {
        std::string bytes = FGame.Read(rel);
        const auto at = bytes.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in " << rel;
        ASSERT_EQ(bytes.find(from, at + 1), std::string::npos) << from << " twice in " << rel;
        bytes.replace(at, from.size(), to);
        FGame.Write(rel, bytes);
    }

    TGameDir FGame;
};

} // namespace kw::test
