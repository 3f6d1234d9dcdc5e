#include "catalog/StoredSpelling.h"

#include "catalog/Classes.h"
#include "gamecfg/ProfileFile.h"

namespace kw {

std::optional<std::string> StoredSpelling(const TCatalog& catalog, const TWeather& slot, std::string_view key,
                                          std::string_view value) {
    const ProfileFile* held = HeldCategoryFile(catalog, TCatalog::WeatherLtx);
    const std::optional<std::string_view> stored =
        held ? held->ReadValueView(slot.Section, key) : std::nullopt;
    if (!stored) {
        return std::nullopt;
    }
    return LoadedValue(*stored) == value ? std::optional<std::string>(SpelledValue(*stored)) : std::nullopt;
}

} // namespace kw
