#include "gamecfg/CodePage.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

TEST(CodePageTest, EveryByteSurvivesTheWayThereAndBack) {
    std::string utf8 = Cp1251ToUtf8(AllBytes());
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1251(utf8), AllBytes());
}

TEST(CodePageTest, MapsCyrillicAndPunctuationToTheirCharacters) {
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xEA\x2D\x37\x34"), "Ак-74");
    EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8"), "Ёё");
    EXPECT_EQ(Cp1251ToUtf8("\x88\xB9\x96"), "€№–");
    EXPECT_EQ(Utf8ToCp1251("Калашников"), "\xCA\xE0\xEB\xE0\xF8\xED\xE8\xEA\xEE\xE2");
}

TEST(CodePageTest, RefusesWhatTheCodePageCannotHold) {
    EXPECT_EQ(Utf8ToCp1251("цена 5€"), "\xF6\xE5\xED\xE0 5\x88");
    EXPECT_EQ(Utf8ToCp1251("цена 中"), std::nullopt);
    EXPECT_EQ(Utf8ToCp1251("é"), std::nullopt);
    EXPECT_EQ(FirstUnencodable("ok € 中 é"), "中");
    EXPECT_EQ(FirstUnencodable("все € на месте"), "");
}

TEST(CodePageTest, RefusesMalformedUtf8) {
    const char* malformed[] = {"\xD0", "a\xE2\x82", "\xC0\x80", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80",
                               "\x80"};
    for (const char* text : malformed) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
        EXPECT_EQ(Utf8ToCp1251(text), std::nullopt) << text;
        EXPECT_FALSE(FirstUnencodable(text).empty()) << text;
    }
    EXPECT_TRUE(IsValidUtf8("😀"));
}

} // namespace
} // namespace kw
