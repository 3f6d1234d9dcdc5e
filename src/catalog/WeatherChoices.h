#pragma once

#include "catalog/Classes.h"

#include <string>
#include <vector>

namespace kw {

class TCatalog;

// What a weather slot's list field offers for the key that field holds, in this order: the empty value (many
// slots lack the key), every value the loaded slots already hold, in the order first met, and the presets
// not listed yet. Values that differ only in the letter case of A to Z are one item, spelt as first met; the
// game folds no other letters in the names it looks up, so Cyrillic letters of another case stay apart.
std::vector<std::string> WeatherValueChoices(const TCatalog& catalog, TParam TWeather::*field,
                                             const std::vector<std::string>& presets);

} // namespace kw
