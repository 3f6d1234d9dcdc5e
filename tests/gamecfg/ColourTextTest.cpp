#include "gamecfg/ColourText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kw {
namespace {

// A colour that every case below picks: 51, 102 and 153 of 255.
constexpr TColourRgb kPicked{0.2, 0.4, 0.6};

struct TRoundTripCase {
    std::string Text;
    // What the text reads as; nothing for text that is not a colour.
    std::optional<TColourRgb> Read;
    // The text after kPicked was written into it.
    std::optional<std::string> Written;
};

void PrintTo(const TRoundTripCase& c, std::ostream* out) {
    *out << '"' << c.Text << '"';
}

class ColourRoundTripTest : public ::testing::TestWithParam<TRoundTripCase> {};

TEST_P(ColourRoundTripTest, ReadsTheFirstThreeAndWritesThemInTheFieldsNotation) {
    const TRoundTripCase& c = GetParam();
    const std::optional<TColourRgb> read = ReadColourText(c.Text);
    ASSERT_EQ(read.has_value(), c.Read.has_value());
    if (read) {
        EXPECT_DOUBLE_EQ(read->Red, c.Read->Red);
        EXPECT_DOUBLE_EQ(read->Green, c.Read->Green);
        EXPECT_DOUBLE_EQ(read->Blue, c.Read->Blue);
    }
    const std::optional<std::string> written = WriteColourText(c.Text, kPicked);
    EXPECT_EQ(written, c.Written);
    if (written) {
        // What was written reads back as the colour picked.
        const std::optional<TColourRgb> back = ReadColourText(*written);
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(back->Red, kPicked.Red, 1e-9);
        EXPECT_NEAR(back->Green, kPicked.Green, 1e-9);
        EXPECT_NEAR(back->Blue, kPicked.Blue, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourRoundTripTest,
    ::testing::Values(
        // Alpha and intensity stay as they were, values above 1 included; the picked three get three
        // decimals.
        TRoundTripCase{"0.333, 0.341, 0.431, 0.8, 2.0", TColourRgb{0.333, 0.341, 0.431},
                       "0.200, 0.400, 0.600, 0.8, 2.0"},
        TRoundTripCase{"1.0, 1.0, 1.0", TColourRgb{1, 1, 1}, "0.200, 0.400, 0.600"},
        TRoundTripCase{"1, 0, 1", TColourRgb{1, 0, 1}, "0.200, 0.400, 0.600"},
        // The bytes between the components stay, TABs and odd spacing included.
        TRoundTripCase{"0.04,\t0.04,\t0.06", TColourRgb{0.04, 0.04, 0.06}, "0.200,\t0.400,\t0.600"},
        TRoundTripCase{"0.1 ,  0.2\t,\t 0.3,\t0.5", TColourRgb{0.1, 0.2, 0.3},
                       "0.200 ,  0.400\t,\t 0.600,\t0.5"},
        TRoundTripCase{"0.1,0.2,0.3", TColourRgb{0.1, 0.2, 0.3}, "0.200,0.400,0.600"},
        TRoundTripCase{" 0.1, 0.2, 0.3 ", TColourRgb{0.1, 0.2, 0.3}, " 0.200, 0.400, 0.600 "},
        // A field written more precisely keeps its precision in all three.
        TRoundTripCase{"0.12345, 0.5, 0.5", TColourRgb{0.12345, 0.5, 0.5}, "0.20000, 0.40000, 0.60000"},
        TRoundTripCase{"0.5, 0.5, 0.1234", TColourRgb{0.5, 0.5, 0.1234}, "0.2000, 0.4000, 0.6000"},
        // Each component keeps its own manner of writing.
        TRoundTripCase{".2, 0.3, .4", TColourRgb{0.2, 0.3, 0.4}, ".200, 0.400, .600"},
        TRoundTripCase{"4.5f, 1f, 0.5", TColourRgb{4.5, 1, 0.5}, "0.200f, 0.400f, 0.600"},
        TRoundTripCase{"+0.5, -0.25, 4.", TColourRgb{0.5, -0.25, 4}, "0.200, 0.400, 0.600"},
        TRoundTripCase{"2.5, 3, 1.2, 1", TColourRgb{2.5, 3, 1.2}, "0.200, 0.400, 0.600, 1"},
        // Not colours: too few numbers, empty or odd components, other separators, other number forms.
        TRoundTripCase{"", std::nullopt, std::nullopt}, TRoundTripCase{"0.5", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1, 0.2", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1, 0.2, ", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1, 0.2, 0.3,", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1,, 0.2, 0.3", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1 0.2 0.3", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1; 0.2; 0.3", std::nullopt, std::nullopt},
        TRoundTripCase{"1e-3, 0, 0", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1, 0.2, 0.3, x", std::nullopt, std::nullopt},
        TRoundTripCase{"\"0.1\", 0.2, 0.3", std::nullopt, std::nullopt},
        TRoundTripCase{"sky\\sky_5_cube", std::nullopt, std::nullopt},
        TRoundTripCase{"0.1,\n0.2, 0.3", std::nullopt, std::nullopt}));

TEST(ColourTextTest, WritesPickedComponentsRoundedToTheDecimalsKept) {
    // 85 of 255 is a third: three decimals unless the field had more.
    const TColourRgb third{85 / 255.0, 170 / 255.0, 1.0};
    EXPECT_EQ(WriteColourText("0.5, 0.5, 0.5, 0.8, 1", third), "0.333, 0.667, 1.000, 0.8, 1");
    EXPECT_EQ(WriteColourText("0.50000, 0.5, 0.5", third), "0.33333, 0.66667, 1.00000");
    EXPECT_EQ(WriteColourText("0, 0, 0", {0.0, -0.0, 0.0004}), "0.000, 0.000, 0.000");
}

} // namespace
} // namespace kw
