#include "catalog/Classes.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/StringTable.h"

#include "catalog/GameDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::HasSubstr;

class ParamTest : public ::testing::Test {
protected:
    ParamTest() {
        FDir.Write("f.ltx", "[s]\n"
                            "number = 5   ; five\n"
                            "empty =\n"
                            "comment_only = ; just a note\n"
                            "words = a\tb\n"
                            "two = 1 ; one ; two\n"
                            "plain = 7\n"
                            "cyrillic = \xC0\xEA ;\xEA\n");
    }

    TParam Read(const std::string& key, const std::string& def = "") {
        TParam p;
        ReadParam(p, FFile, "s", key, def);
        return p;
    }

    // The line of key in the file on disk after writing p there.
    std::string WrittenLine(const TParam& p, const std::string& key) {
        ProfileFile out(FDir.Path() + "f.ltx");
        WriteParam(p, out, "s", key);
        out.Flush();
        for (const auto& line : test::Lines(FDir.Read("f.ltx"))) {
            if (line.starts_with(key + " ") || line.starts_with(key + "=")) {
                return line;
            }
        }
        return "";
    }

    test::TGameDir FDir;
    ProfileFile FFile{FDir.Path() + "f.ltx"};
};

TEST_F(ParamTest, SplitsValueFromComment) {
    auto number = Read("number");
    EXPECT_EQ(number.Value, "5");
    EXPECT_EQ(number.Comment, "; five");
    auto two = Read("two");
    EXPECT_EQ(two.Value, "1");
    EXPECT_EQ(two.Comment, "; one ; two");
    auto note = Read("comment_only");
    EXPECT_EQ(note.Value, "");
    EXPECT_EQ(note.Comment, "; just a note");
    EXPECT_EQ(Read("words").Value, "a b");
    auto cyrillic = Read("cyrillic");
    EXPECT_EQ(cyrillic.Value, "\xC0\xEA");
    EXPECT_EQ(cyrillic.Comment, ";\xEA");
}

TEST_F(ParamTest, DefaultAppliesOnlyToMissingKeys) {
    auto missing = Read("nothing");
    EXPECT_EQ(missing.Value, "");
    EXPECT_EQ(missing.Comment, "");
    EXPECT_EQ(Read("nothing", "0").Value, "0");
    EXPECT_EQ(Read("empty", "0").Value, "");
}

TEST_F(ParamTest, NeedsAWriteOnlyWhenItDiffersFromTheFileOrTheUserSetAMissingKey) {
    auto present = Read("number");
    EXPECT_TRUE(present.WasPresent());
    EXPECT_FALSE(present.NeedsWrite());
    present.Edit("5"); // what the file holds already
    EXPECT_FALSE(present.NeedsWrite());
    present.Value = "6";
    EXPECT_TRUE(present.NeedsWrite());
    present.Value = "5";
    present.Comment = "; five!";
    EXPECT_TRUE(present.NeedsWrite());
    present.MarkStored();
    EXPECT_FALSE(present.NeedsWrite());
    EXPECT_EQ(present.StoredComment(), "; five!");
    present.Edit("");
    EXPECT_TRUE(present.NeedsWrite()); // the section holds the key, so clearing it is a change

    auto missing = Read("zoom_enabled", "true");
    EXPECT_FALSE(missing.WasPresent());
    EXPECT_FALSE(missing.NeedsWrite());
    missing.Value = "false";
    EXPECT_TRUE(missing.NeedsWrite());
    missing.Value = "true";
    EXPECT_FALSE(missing.NeedsWrite());
    missing.Edit("false");
    missing.Edit("true"); // typed back: the section goes on inheriting
    EXPECT_FALSE(missing.NeedsWrite());
    missing.Edit("true"); // chosen over what the section inherits, though it equals the default
    EXPECT_TRUE(missing.NeedsWrite());
    missing.MarkStored();
    EXPECT_TRUE(missing.WasPresent());
    EXPECT_FALSE(missing.NeedsWrite());

    auto inherited = Read("hit_power");
    inherited.Edit("");
    EXPECT_FALSE(inherited.NeedsWrite()); // never written empty over what a parent supplies
    EXPECT_FALSE(Read("empty").NeedsWrite());
}

TEST_F(ParamTest, LinkedParametersShowOneValueAndOneBaseline) {
    TParam first = Read("number");
    TParam second = Read("number");
    TParam third = Read("number");
    first.LinkWith(second);
    third.LinkWith(second);
    first.LinkWith(third); // already one: must not split the ring
    EXPECT_TRUE(first.IsLinkedWith(third));

    second.Edit("8");
    for (const TParam* param : {&first, &second, &third}) {
        EXPECT_EQ(param->Value, "8");
        EXPECT_TRUE(param->NeedsWrite());
    }
    third.MarkStored();
    EXPECT_FALSE(first.NeedsWrite());
    EXPECT_EQ(first.StoredValue(), "8");

    TParam copy = first; // a copy stands apart
    EXPECT_FALSE(copy.IsLinkedWith(first));
    copy.Edit("9");
    EXPECT_EQ(first.Value, "8");
    {
        TParam leaving = Read("number");
        leaving.LinkWith(first);
    }
    first.Edit("10");
    EXPECT_EQ(third.Value, "10");
    EXPECT_EQ(copy.Value, "9");
}

TEST_F(ParamTest, WritesValueTabAndComment) {
    EXPECT_THAT(WrittenLine(Read("number"), "number"), HasSubstr("5\t; five"));
    const std::string note = WrittenLine(Read("comment_only"), "comment_only");
    EXPECT_EQ(note.substr(note.find_first_not_of(' ', note.find('=') + 1)), "\t; just a note");
    const std::string plain = WrittenLine(Read("plain"), "plain");
    EXPECT_EQ(plain.back(), '7');
    EXPECT_EQ(plain.find('\t'), std::string::npos);
}

TEST(ResolveTest, NamesComeFromTheStringTableOrTheId) {
    TStringTable table;
    table.Append("wpn_ak74", "AK-74");
    table.Append("wpn_ak74_descr", "Assault rifle");
    TWeapon weapon;
    weapon.inv_name.Value = "wpn_ak74";
    weapon.description.Value = "wpn_ak74_descr";
    ResolveName(weapon, table);
    ResolveDescr(weapon, table);
    EXPECT_EQ(weapon.Name, "AK-74");
    EXPECT_EQ(weapon.Descr, "Assault rifle");

    TAmmo ammo;
    ammo.inv_name.Value = "\xEF\xE0\xF2\xF0\xEE\xED"; // not in the table, shown as the id itself
    ammo.description.Value = "WPN_AK74_DESCR";
    ResolveName(ammo, table);
    ResolveDescr(ammo, table);
    EXPECT_EQ(ammo.Name, "патрон");
    EXPECT_EQ(ammo.Descr, "");
}

TEST(ResolveTest, PictureMatchesSectionRegardlessOfCase) {
    TPicList pics;
    for (const char* name : {"wpn_ak74u", "WPN_AK74", "wpn_ak74"}) {
        pics.push_back(std::make_unique<TPic>());
        pics.back()->Name = name;
    }
    TWeapon weapon;
    weapon.Section = "wpn_Ak74";
    ResolvePic(weapon, pics);
    EXPECT_EQ(weapon.Pic, pics[1].get());
    weapon.Section = "wpn_abakan";
    ResolvePic(weapon, pics);
    EXPECT_EQ(weapon.Pic, nullptr);
    ResolvePic(weapon, TPicList{});
    EXPECT_EQ(weapon.Pic, nullptr);
}

TEST(ForEachParamTest, VisitsEveryParameterUnderItsGameKey) {
    auto keysOf = [](auto& entry) {
        std::vector<std::string> keys;
        entry.ForEachParam([&](const std::string& key, TParam&) { keys.push_back(key); });
        return keys;
    };
    TWeapon weapon;
    TOutfit outfit;
    TArt art;
    TWeather weather;
    TMainItem silencer;
    const auto weaponKeys = keysOf(weapon);
    const auto outfitKeys = keysOf(outfit);
    const auto artKeys = keysOf(art);
    EXPECT_EQ(weaponKeys.size(), 36u);
    EXPECT_EQ(weaponKeys[5], "fire_dispersion_base");
    EXPECT_EQ(weaponKeys.back(), "grenade_launcher_y");
    EXPECT_EQ(outfitKeys.size(), 24u);
    EXPECT_EQ(outfitKeys[5], "burn_protection");
    EXPECT_EQ(outfitKeys[19], "telepatic_immunity");
    EXPECT_EQ(outfitKeys.back(), "immunities_sect");
    EXPECT_EQ(artKeys[10], "hit_absorbation_sect");
    EXPECT_EQ(artKeys.back(), "fire_wound_immunity");
    EXPECT_EQ(keysOf(weather).size(), 18u);
    EXPECT_EQ(keysOf(silencer).size(), 5u);

    // The visitor reaches the entry's own fields.
    outfit.ForEachParam([](const std::string& key, TParam& p) { p.Value = key; });
    EXPECT_EQ(outfit.Immunity.chemical_burn.Value, "chemical_burn_immunity");
    EXPECT_EQ(outfit.Protection.fire_wound.Value, "fire_wound_protection");
}

} // namespace
} // namespace kw
