#include "catalog/WeatherChoices.h"

#include "catalog/Catalog.h"
#include "gamecfg/CodePage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace kw {
namespace {

std::string Cp1251(const std::string& utf8) {
    return Utf8ToCp1251(utf8).value();
}

struct TChoiceCase {
    const char* Name;
    std::vector<std::string> Slots; // the values of the slots, in slot order
    std::vector<std::string> Presets;
    std::vector<std::string> Offered;
};

void PrintTo(const TChoiceCase& choice, std::ostream* out) {
    *out << choice.Name;
}

const TChoiceCase kChoiceCases[] = {
    {"NothingLoadedOffersTheEmptyValue", {}, {}, {""}},
    {"EmptySlotValuesAndEmptyPresetsAreTheOneEmptyItem",
     {"", "thunderbolt_mire", ""},
     {"", "thunderbolt_heavy"},
     {"", "thunderbolt_mire", "thunderbolt_heavy"}},
    {"GameValuesComeFirstInTheOrderFirstMet",
     {"thunderbolt_storm", "bolt_far", "thunderbolt_storm", "bolt_near"},
     {"thunderbolt_default"},
     {"", "thunderbolt_storm", "bolt_far", "bolt_near", "thunderbolt_default"}},
    {"PresetsTheGameUsesAreNotRepeated",
     {"amb_marsh_day", "amb_reedbed_storm"},
     {"amb_marsh_night", "amb_marsh_day", "amb_marsh_rain"},
     {"", "amb_marsh_day", "amb_reedbed_storm", "amb_marsh_night", "amb_marsh_rain"}},
    {"LetterCaseKeepsTheFirstSpelling",
     {"Thunder_A", "thunder_a", "THUNDER_B"},
     {"thunder_b", "Thunder_C", "THUNDER_c", "thunder_a"},
     {"", "Thunder_A", "THUNDER_B", "Thunder_C"}},
    {"DuplicatePresetsAreOneItem",
     {},
     {"amb_fog", "amb_fog", "AMB_FOG", "amb_rain"},
     {"", "amb_fog", "amb_rain"}},
    // The game folds only A to Z in the names it looks up.
    {"CyrillicLettersOfAnotherCaseStayApart",
     {Cp1251("гроза_A"), Cp1251("Гроза_a"), Cp1251("гроза_a")},
     {Cp1251("ГРОЗА_A"), Cp1251("Гроза_A")},
     {"", Cp1251("гроза_A"), Cp1251("Гроза_a"), Cp1251("ГРОЗА_A")}},
};

class WeatherChoices : public testing::TestWithParam<TChoiceCase> {};

// The two list fields of a slot read their own key: the other key holds values that must not be offered.
TEST_P(WeatherChoices, OfferTheEmptyValueTheGamesValuesThenThePresets) {
    for (TParam TWeather::*field : {&TWeather::thunderbolt, &TWeather::env_ambient}) {
        TParam TWeather::*other =
            field == &TWeather::thunderbolt ? &TWeather::env_ambient : &TWeather::thunderbolt;
        TCatalog catalog;
        for (const std::string& value : GetParam().Slots) {
            auto& slot = *catalog.Weather.emplace_back(std::make_unique<TWeather>());
            (slot.*field).Value = value;
            (slot.*other).Value = "other_" + value;
        }
        EXPECT_THAT(WeatherValueChoices(catalog, field, GetParam().Presets),
                    testing::ElementsAreArray(GetParam().Offered));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WeatherChoices, testing::ValuesIn(kChoiceCases),
                         [](const testing::TestParamInfo<TChoiceCase>& info) { return info.param.Name; });

} // namespace
} // namespace kw
