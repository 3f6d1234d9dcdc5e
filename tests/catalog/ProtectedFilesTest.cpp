#include "catalog/ProtectedFiles.h"

#include "catalog/SampleCopy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace kw {
namespace {

namespace stdfs = std::filesystem;

// The sample game loaded from a copy whose string tables lie outside gamedata, in "texts" beside it (a
// localization folder edited by hand), with a folder "links" beside gamedata for links to point from.
class ProtectedFilesTest : public test::SampleCopyTest {
protected:
    ProtectedFilesTest() {
        stdfs::copy(FGame.Full("gamedata\\config\\text\\eng"), Root() / "texts");
        stdfs::create_directory(Root() / "links");
        FDocument->Prepare(FGame.Path(), false, "texts\\");
        TPictureLists none;
        FDocument->ReadCatalogs(&none);
    }

    stdfs::path Root() const { return FGame.Full(""); }
    bool Protected(const std::string& path) const { return IsProtectedGameFile(*FDocument->Source(), path); }

    std::unique_ptr<TDocument> FDocument = std::make_unique<TDocument>();
};

struct TTargetCase {
    const char* Name;
    // Lays out what the case needs below the game folder (given as root) and returns the target.
    std::function<std::string(const stdfs::path& root)> Target;
    bool Protected;
};

void PrintTo(const TTargetCase& c, std::ostream* out) {
    *out << c.Name;
}

std::string Below(const stdfs::path& root, const std::string& relative) {
    return (root / relative).string();
}

std::string Link(const stdfs::path& root, const std::string& name, const std::string& target) {
    stdfs::create_symlink(root / target, root / "links" / name);
    return (root / "links" / name).string();
}

class ExportTargetTest : public ProtectedFilesTest, public ::testing::WithParamInterface<TTargetCase> {};

TEST_P(ExportTargetTest, GameFilesAndGamedataAreProtected) {
    const TTargetCase& c = GetParam();
    const std::string target = c.Target(Root());
    EXPECT_EQ(Protected(target), c.Protected) << target;
}

const TTargetCase kTargetCases[] = {
    {"CategoryFile", [](auto& root) { return Below(root, "gamedata/config/misc/items.ltx"); }, true},
    {"GameNotation", [](auto& root) { return Below(root, "gamedata\\config\\misc\\items.ltx"); }, true},
    {"OtherLetterCase", [](auto& root) { return Below(root, "GameData/CONFIG/Misc/ITEMS.LTX"); }, true},
    {"WeaponFile", [](auto& root) { return Below(root, "gamedata/config/weapons/w_bittern.ltx"); }, true},
    {"LocalizationKeptOutside",
     [](auto& root) {
         stdfs::rename(root / "gamedata/config/localization.ltx", root / "localization.ltx");
         stdfs::create_symlink(root / "localization.ltx", root / "gamedata/config/localization.ltx");
         return Below(root, "localization.ltx");
     },
     true},
    {"NewFileInGamedata", [](auto& root) { return Below(root, "gamedata/config/new.xlsx"); }, true},
    {"NewFolderInGamedata", [](auto& root) { return Below(root, "gamedata/new/prices.csv"); }, true},
    {"NewFileInGamedataOtherCase", [](auto& root) { return Below(root, "GAMEDATA/prices.csv"); }, true},
    {"GamedataItself", [](auto& root) { return Below(root, "gamedata"); }, true},
    {"DotDotBackIn", [](auto& root) { return Below(root, "texts/../gamedata/config/misc/items.ltx"); }, true},
    {"DotDotOut", [](auto& root) { return Below(root, "gamedata/config/../../prices.xlsx"); }, false},
    {"Relative",
     [](auto& root) {
         return stdfs::relative(root / "gamedata/config/misc/items.ltx", stdfs::current_path()).string();
     },
     true},
    {"RelativeNewInGamedata",
     [](auto& root) {
         return stdfs::relative(root / "gamedata", stdfs::current_path()).string() + "/new.xlsx";
     },
     true},
    {"RelativeBeside",
     [](auto& root) { return stdfs::relative(root, stdfs::current_path()).string() + "/prices.xlsx"; },
     false},
    {"StringTableOutsideGamedata", [](auto& root) { return Below(root, "texts/string_table_outfit.xml"); },
     true},
    {"StringTableOtherCase", [](auto& root) { return Below(root, "Texts/STRING_TABLE_OUTFIT.xml"); }, true},
    {"StringTableGoneSinceTheLoad",
     [](auto& root) {
         stdfs::remove(root / "texts/string_table_outfit.xml");
         return Below(root, "texts/string_table_outfit.xml");
     },
     true},
    {"OtherFileBesideStringTables", [](auto& root) { return Below(root, "texts/prices.xlsx"); }, false},
    {"LinkToGameFile", [](auto& root) { return Link(root, "items.xlsx", "gamedata/config/misc/items.ltx"); },
     true},
    {"LinkToStringTable", [](auto& root) { return Link(root, "names.xml", "texts/string_table_outfit.xml"); },
     true},
    {"DanglingLinkIntoGamedata",
     [](auto& root) { return Link(root, "new.xlsx", "gamedata/config/new.xlsx"); }, true},
    {"LinkedFolderIntoGamedata",
     [](auto& root) { return Link(root, "config", "gamedata/config") + "/new.csv"; }, true},
    {"LinkedGameFolder", [](auto& root) { return Link(root, "game", ".") + "/gamedata/prices.csv"; }, true},
    {"HardLinkToGameFile",
     [](auto& root) {
         stdfs::create_hard_link(root / "gamedata/config/misc/items.ltx", root / "links/items.ltx");
         return Below(root, "links/items.ltx");
     },
     true},
    {"FolderInGamedataLinkedOut",
     [](auto& root) {
         stdfs::create_directory_symlink(root / "links", root / "gamedata/shared");
         return Below(root, "gamedata/shared/prices.csv");
     },
     true},
    {"DanglingLinkOutOfGamedata", [](auto& root) { return Link(root, "out.csv", "prices.csv"); }, false},
    {"LoopOfLinks",
     [](auto& root) {
         Link(root, "b.csv", "links/a.csv");
         return Link(root, "a.csv", "links/b.csv");
     },
     false},
    {"BesideGamedata", [](auto& root) { return Below(root, "prices.xlsx"); }, false},
    {"BesideGameFolder", [](auto& root) { return (root.parent_path() / "prices.xlsx").string(); }, false},
    {"NameBeginsLikeGamedata", [](auto& root) { return Below(root, "gamedata.xlsx"); }, false},
    {"FolderBeginsLikeGamedata", [](auto& root) { return Below(root, "gamedata_old/prices.xlsx"); }, false},
};

INSTANTIATE_TEST_SUITE_P(Targets, ExportTargetTest, ::testing::ValuesIn(kTargetCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kw
