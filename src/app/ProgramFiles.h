#pragma once

#include <string>

namespace kw {

// Where a file that the program writes for itself (settings, backup log) lives:
// beside the executable when that folder takes writes, otherwise in the user's
// configuration folder, as for a copy installed into a system folder. Both
// folders end with a separator; the fall-back folder is created on demand.
std::string ProgramFilePath(const std::string& exeFolder, const std::string& fileName);

// The executable's file name with its extension replaced by ".ini".
std::string SettingsFileName();

} // namespace kw
