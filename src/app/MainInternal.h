#pragma once

// Helpers shared by the files that define the main window's methods.

#include <QString>

#include <string>

namespace kw {

// Paths are held as UTF-8.
inline QString PathText(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

} // namespace kw
