#pragma once

#include "catalog/Catalog.h"

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// The value of a weather slot's key as its file spells it now, TABs inside included, where the catalog holds
// them as blanks. Nothing when the file holds no such key, or a value that differs from value other than in
// those TABs (an edit not yet saved). An edit that starts from this spelling keeps the file's TABs.
std::optional<std::string> StoredSpelling(const TCatalog& catalog, const TWeather& slot, std::string_view key,
                                          std::string_view value);

} // namespace kw
