#pragma once

#include "catalog/Document.h"
#include "catalog/GameDir.h"
#include "catalog/SampleCopy.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace kw::test {

// A copy of the sample game in a temporary folder of its own, since stores and saves write into it, with
// room beside it for exported files.
class InterchangeTest : public ::testing::Test {
protected:
    InterchangeTest() {
        CopySampleGame(game);
        std::filesystem::create_directories(game.Full("out"));
    }

    // The game as the headless tool loads it, loaded on first use.
    TDocument& Loaded() {
        if (!FLoaded) {
            FLoaded = std::make_unique<TDocument>();
            FLoaded->Load(game.Path());
        }
        return *FLoaded;
    }
    TCatalog& Catalog() { return Loaded().Catalog(); }

    void Append(const std::string& rel, const std::string& text) { game.Write(rel, game.Read(rel) + text); }

    // A path in the folder beside the game, in the platform's form.
    std::string OutFile(const std::string& name) const { return game.Full("out").string() + "/" + name; }

    TGameDir game;

private:
    std::unique_ptr<TDocument> FLoaded;
};

// Standard output of a command; the exit status must be 0.
inline std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    std::array<char, 4096> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
        output.append(buffer.data(), got);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

inline std::string Python(const std::string& script, const std::string& arguments) {
    return RunCommand("/usr/bin/python3 '" + std::string(KW_SOURCE_DIR) + "/tests/interchange/" + script +
                      "' " + arguments);
}

} // namespace kw::test
