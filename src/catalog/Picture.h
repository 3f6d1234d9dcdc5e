#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kw {

// An inventory picture, decoded once when the pictures are read; entries only point at it.
struct TPic {
    std::string Name; // file name without folder and last extension, in windows-1251 like section names
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Rgb; // Width * Height * 3 bytes, rows top to bottom
};

using TPicList = std::vector<std::unique_ptr<TPic>>;

struct TPictureLists {
    TPicList Weapon, Ammo, Outfit, Art, Item;
};

} // namespace kw
