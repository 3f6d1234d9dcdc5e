#include "gamecfg/NumberForm.h"

#include <gtest/gtest.h>

#include <string>

namespace kw {
namespace {

struct TNumberCase {
    std::string Text;
    bool IsNumber;
};

class NumberFormTest : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(NumberFormTest, TellsTheGameFormFromEverythingElse) {
    EXPECT_EQ(IsGameNumber(GetParam().Text), GetParam().IsNumber) << '"' << GetParam().Text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberFormTest,
                         ::testing::Values(
                             // As the game files write numbers.
                             TNumberCase{"0", true}, TNumberCase{"1200", true}, TNumberCase{".2", true},
                             TNumberCase{"-0.3", true}, TNumberCase{"+.97", true}, TNumberCase{"4.", true},
                             TNumberCase{"4.5f", true}, TNumberCase{"-1f", true}, TNumberCase{"007", true},
                             // Not a number, or not one the game reads as meant.
                             TNumberCase{"", false}, TNumberCase{"-", false}, TNumberCase{".", false},
                             TNumberCase{"-.", false}, TNumberCase{"f", false}, TNumberCase{".f", false},
                             TNumberCase{"1.2.3", false}, TNumberCase{"1,5", false},
                             TNumberCase{"1e5", false}, TNumberCase{"1E5", false}, TNumberCase{" 5", false},
                             TNumberCase{"5 ", false}, TNumberCase{"1 000", false}, TNumberCase{"--1", false},
                             TNumberCase{"+-1", false}, TNumberCase{"1-", false}, TNumberCase{"4.5F", false},
                             TNumberCase{"4.5ff", false}, TNumberCase{"abc", false},
                             TNumberCase{"50%", false}, TNumberCase{"0x1A", false}, TNumberCase{"inf", false},
                             TNumberCase{"nan", false}, TNumberCase{std::string("1\0", 2), false}));

} // namespace
} // namespace kw
