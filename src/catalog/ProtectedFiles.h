#pragma once

#include "catalog/Document.h"

#include <string>
#include <vector>

namespace kw {

// The files the load of source read: the category files, the weapon files, the string tables and the
// game's localization.ltx.
std::vector<std::string> FilesReadByLoad(const TLoadSource& source);

// Whether a write to path would reach the loaded game: one of the files its load read (named in another
// letter case, through a symbolic link or by a hard link too), or anything inside its gamedata folder,
// existing or not. A file the editor writes for the user, such as an export, goes only where this is false;
// the game's own files are written by the save alone.
bool IsProtectedGameFile(const TLoadSource& source, const std::string& path);

} // namespace kw
