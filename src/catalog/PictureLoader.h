#pragma once

#include "catalog/Picture.h"

#include <cstdint>
#include <string>

// Inventory pictures: small JPEG files beside the executable, decoded once per
// full load and matched to entries by section name.
namespace kw {

// Files larger than this are passed over without being read.
inline constexpr std::uintmax_t kMaxPictureFileSize = 51200;

// Name := the file name without folder and without its last extension
// ("x.old.jpg" gives "x.old"), spelt as the game's texts are
// (fs::NameAsGameText); the picture is decoded to RGB888 rows without
// padding. Throws kw::Error naming the file when it cannot be read or is not a
// valid JPEG; pic is then left with its name set and no image.
void LoadFromFile(TPic& pic, const std::string& path);

// Refills list with the "*.jpg" files (any letter case) of exeFolder + folder
// in name order; folder is relative in the game's notation ("images\\weapons").
// Oversized, unreadable and invalid files are skipped silently; a missing
// folder gives an empty list.
void LoadPictures(TPicList& list, const std::string& exeFolder, const std::string& folder);

// All five category lists from their fixed folders below exeFolder.
void LoadAllPictures(TPictureLists& lists, const std::string& exeFolder);

} // namespace kw
