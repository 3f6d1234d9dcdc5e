#pragma once

#include <string>

namespace kw {

// Texture references in the game files name a file below "gamedata\textures\" in the game's backslash
// notation, without the extension.

// The game's textures folder as it is spelled on disk (any letter case of "gamedata\textures"), in
// backslash notation and ending with a backslash. gamePath ends with a separator.
std::string TexturesFolderOf(const std::string& gamePath);

// A chosen file's path in backslash notation, without the extension of its file name.
std::string TextureReferenceBase(const std::string& filePath);

// path relative to base, both in backslash notation, compared letter case included, one folder level at a
// time. Where the first level already differs the path comes back unchanged; where a deeper level differs
// the result climbs with "..\" from base up to the last common level.
std::string RelativeTexturePath(std::string base, std::string path);

} // namespace kw
