#include "catalog/WeatherChoices.h"

#include "catalog/Catalog.h"
#include "gamecfg/AsciiText.h"

#include <unordered_set>

namespace kw {

std::vector<std::string> WeatherValueChoices(const TCatalog& catalog, TParam TWeather::*field,
                                             const std::vector<std::string>& presets) {
    std::vector<std::string> choices;
    // Lower-cased: a real game has a few dozen values, but thousands of slots may repeat them.
    std::unordered_set<std::string> listed;
    const auto add = [&](const std::string& value) {
        if (listed.insert(AsciiLower(value)).second) {
            choices.push_back(value);
        }
    };
    add(std::string());
    for (const auto& slot : catalog.Weather) {
        add(((*slot).*field).Value);
    }
    for (const std::string& preset : presets) {
        add(preset);
    }
    return choices;
}

} // namespace kw
