#include "views/GameText.h"

#include <gtest/gtest.h>

#include <string>

namespace kw {
namespace {

// A widget shows the character each byte stands for and hands back the very bytes, a NUL included.
TEST(GameText, EveryByteIsShownAsItsCharacterAndComesBack) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    const QString shown = GameTextToQt(bytes);
    EXPECT_EQ(shown.mid(0xC0, 2), QStringLiteral("АБ"));
    EXPECT_EQ(shown.at(0x88), QChar(0x20AC)); // €
    EXPECT_EQ(shown.at(0x98), QChar(0x0098)); // the unassigned byte
    EXPECT_EQ(QtToGameText(shown), bytes);
}

// One character too many refuses the whole text: nothing is replaced or dropped.
TEST(GameText, RefusesATextWithACharacterTheCodePageCannotHold) {
    for (const QString& text :
         {QStringLiteral("Обрез über"), QStringLiteral("ствол 中"), QStringLiteral("x 😀")}) {
        EXPECT_FALSE(QtToGameText(text).has_value()) << text.toStdString();
    }
    EXPECT_EQ(QtToGameText(QStringLiteral("Обрез «№1»")), "\xCE\xE1\xF0\xE5\xE7 \xAB\xB9\x31\xBB");
}

// Grid cells and names hold UTF-8, which takes any character.
TEST(GameText, Utf8CrossesUnchanged) {
    const std::string utf8 = std::string("Обокан 😀 über\0end", 27);
    const QString shown = Utf8ToQt(utf8);
    EXPECT_EQ(shown.left(14), QStringLiteral("Обокан 😀 über"));
    EXPECT_EQ(QtToUtf8(shown), utf8);
}

} // namespace
} // namespace kw
