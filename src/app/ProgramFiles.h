#pragma once

#include <string>

namespace kw {

// Laid into the program folder by an install only. That folder then belongs to
// whoever installed it (a package manager, another user), so whether it takes
// writes says nothing about whether the program should write there.
inline constexpr const char* kInstalledMarker = "kitwright-installed";

// Where a file that the program writes for itself (settings, backup log) lives:
// beside the executable when that folder takes writes and is no install,
// otherwise in the user's configuration folder. Both folders end with a
// separator; the fall-back folder is created on demand.
std::string ProgramFilePath(const std::string& exeFolder, const std::string& fileName);

// The executable's file name with its extension replaced by ".ini".
std::string SettingsFileName();

} // namespace kw
