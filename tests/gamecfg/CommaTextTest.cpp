#include "gamecfg/CommaText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw {
namespace {

using Items = std::vector<std::string>;

struct TReadCase {
    const char* Name;
    std::string Text;
    Items Expected;
};

class ReadCommaTextTest : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ReadCommaTextTest, SplitsAsTheGameValueIsMeant) {
    EXPECT_EQ(ReadCommaText(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadCommaTextTest,
    ::testing::Values(
        TReadCase{"CommaAndBlank", "ammo_b, ammo_a", {"ammo_b", "ammo_a"}},
        TReadCase{"CommaAlone", "ammo_b,ammo_a", {"ammo_b", "ammo_a"}},
        TReadCase{"BlanksAlone", "ammo_b   ammo_a", {"ammo_b", "ammo_a"}},
        TReadCase{"BlanksAroundComma", "  ammo_b ,\tammo_a  ", {"ammo_b", "ammo_a"}},
        TReadCase{"ControlCodesAreBlanks",
                  std::string("a\x01\x1f"
                              "b\x7f",
                              5),
                  {"a", "b\x7f"}},
        TReadCase{"CapitalsKept", "AMMO_B,Ammo_A", {"AMMO_B", "Ammo_A"}},
        TReadCase{"CodePageBytesAreText", "\xef\xe0\xf2\xf0\xee\xed,x", {"\xef\xe0\xf2\xf0\xee\xed", "x"}},
        TReadCase{"QuotedHoldsBlankAndComma", "\"a, b\",c", {"a, b", "c"}},
        TReadCase{"DoubledQuote", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        TReadCase{"TextAfterClosingQuote", "\"ab\"cd", {"ab", "cd"}},
        TReadCase{"UnclosedQuote", "x,\"ab", {"x", "ab"}}, TReadCase{"TwoCommas", "a,,b", {"a", "", "b"}},
        TReadCase{"CommaBlankComma", "a, ,b", {"a", "", "b"}}, TReadCase{"LeadingComma", ",a", {"", "a"}},
        TReadCase{"TrailingComma", "a,", {"a", ""}}, TReadCase{"TrailingCommaThenBlank", "a, ", {"a"}},
        TReadCase{"Empty", "", {}}, TReadCase{"OnlyBlanks", " \t ", {}},
        TReadCase{"EmptyQuotes", "\"\"", {""}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TWriteCase {
    const char* Name;
    Items Items_;
    std::string Expected;
};

class WriteCommaTextTest : public ::testing::TestWithParam<TWriteCase> {};

TEST_P(WriteCommaTextTest, JoinsWithoutBlanksAndReadsBack) {
    EXPECT_EQ(WriteCommaText(GetParam().Items_), GetParam().Expected);
    EXPECT_EQ(ReadCommaText(GetParam().Expected), GetParam().Items_);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteCommaTextTest,
    ::testing::Values(TWriteCase{"Plain", {"ammo_a", "ammo_b"}, "ammo_a,ammo_b"},
                      TWriteCase{"Blank", {"a b", "c"}, "\"a b\",c"},
                      TWriteCase{"ControlCode", {std::string("a\x01", 2)}, std::string("\"a\x01\"", 4)},
                      TWriteCase{"Comma", {"a,b"}, "\"a,b\""}, TWriteCase{"Quote", {"q\""}, "\"q\"\"\""},
                      TWriteCase{"EmptyInside", {"a", "", "b"}, "a,,b"},
                      TWriteCase{"EmptyAtEnd", {"a", ""}, "a,"}, TWriteCase{"LoneEmpty", {""}, "\"\""},
                      TWriteCase{"Nothing", {}, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kw
