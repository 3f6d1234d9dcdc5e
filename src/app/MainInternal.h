#pragma once

// Helpers shared by the files that define the main window's methods.

#include "views/GameText.h"

#include <QString>

#include <string>

namespace kw {

// Paths are held as UTF-8.
inline QString PathText(const std::string& path) {
    return Utf8ToQt(path);
}

} // namespace kw
