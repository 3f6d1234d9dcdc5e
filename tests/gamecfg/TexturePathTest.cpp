#include "gamecfg/TexturePath.h"

#include "catalog/GameDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kw {
namespace {

struct TRelativeCase {
    const char* Name;
    std::string Path;
    std::string Expected;
};

const std::string kBase = "\\g\\gamedata\\textures\\";

class RelativeTexturePathTest : public ::testing::TestWithParam<TRelativeCase> {};

TEST_P(RelativeTexturePathTest, FollowsTheFolderLevels) {
    EXPECT_EQ(RelativeTexturePath(kBase, GetParam().Path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelativeTexturePathTest,
    ::testing::Values(TRelativeCase{"SubFolder", "\\g\\gamedata\\textures\\sky\\sky_1", "sky\\sky_1"},
                      TRelativeCase{"DeepSubFolder", "\\g\\gamedata\\textures\\sky\\night\\s",
                                    "sky\\night\\s"},
                      TRelativeCase{"InTexturesFolder", "\\g\\gamedata\\textures\\sky_1", "sky_1"},
                      TRelativeCase{"SiblingFolder", "\\g\\gamedata\\other\\x", "..\\other\\x"},
                      TRelativeCase{"ParentOfTextures", "\\g\\gamedata\\x", "x"},
                      TRelativeCase{"OutsideGameFolder", "\\home\\u\\x", "..\\..\\..\\home\\u\\x"},
                      TRelativeCase{"OtherLetterCaseClimbs", "\\g\\GameData\\Textures\\sky\\a",
                                    "..\\..\\GameData\\Textures\\sky\\a"},
                      TRelativeCase{"OtherDrive", "D:\\x\\y", "D:\\x\\y"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TChosenCase {
    const char* Name;
    std::string OnDisk;   // below the game folder, as a copy from another disk spelled it
    std::string Expected; // the reference written into the game file
};

class ChosenTextureTest : public ::testing::TestWithParam<TChosenCase> {
protected:
    test::TGameDir FGame;
};

// What the file dialog hands over is a platform path of a file that exists.
TEST_P(ChosenTextureTest, GivesTheReferenceBelowTheTexturesFolder) {
    FGame.Write(GetParam().OnDisk, "DDS ");
    const std::string chosen = FGame.Full(GetParam().OnDisk).string();
    const std::string base = TexturesFolderOf(FGame.Path());
    EXPECT_EQ(RelativeTexturePath(base, TextureReferenceBase(chosen)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChosenTextureTest,
    ::testing::Values(TChosenCase{"LowerCase", "gamedata\\textures\\sky\\sky_1.dds", "sky\\sky_1"},
                      TChosenCase{"SpelledAsOnWindows", "GameData\\Textures\\sky\\sky_1.dds", "sky\\sky_1"},
                      TChosenCase{"CapitalExtension", "gamedata\\TEXTURES\\sky_2.DDS", "sky_2"},
                      TChosenCase{"DotInFolderName", "gamedata\\textures\\sky.v2\\clouds.dds",
                                  "sky.v2\\clouds"},
                      TChosenCase{"TwoDots", "gamedata\\textures\\sky\\a.b.dds", "sky\\a.b"},
                      TChosenCase{"OtherGameFolder", "gamedata\\meshes\\m.dds", "..\\meshes\\m"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TexturesFolderOf, KeepsTheSpellingWhenTheFolderIsMissing) {
    test::TGameDir game;
    std::string expected = game.Path() + "gamedata\\textures\\";
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(TexturesFolderOf(game.Path()), expected);
}

} // namespace
} // namespace kw
