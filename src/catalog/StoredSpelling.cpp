#include "catalog/StoredSpelling.h"

#include "gamecfg/AsciiText.h"

#include <algorithm>

namespace kw {

const ProfileFile* HeldCategoryFile(const TCatalog& catalog, TCatalog::TCategoryFile file);

std::optional<std::string> StoredSpelling(const TCatalog& catalog, const TWeather& slot, std::string_view key,
                                          std::string_view value) {
    const ProfileFile* held = HeldCategoryFile(catalog, TCatalog::WeatherLtx);
    const std::optional<std::string_view> stored =
        held ? held->ReadValueView(slot.Section, key) : std::nullopt;
    if (!stored) {
        return std::nullopt;
    }
    // Cut and stripped as the loader reads a value.
    std::string spelled(StripControls(stored->substr(0, stored->find(';'))));
    std::string blanks = spelled;
    std::replace(blanks.begin(), blanks.end(), '\t', ' ');
    return blanks == value ? std::optional<std::string>(std::move(spelled)) : std::nullopt;
}

} // namespace kw
