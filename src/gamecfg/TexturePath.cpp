#include "gamecfg/TexturePath.h"

#include "gamecfg/FileSys.h"

#include <algorithm>

namespace kw {

namespace {

std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

std::string TexturesFolderOf(const std::string& gamePath) {
    return Backslashed(fs::WithTrailingSeparator(fs::Resolve(gamePath + "gamedata\\textures\\")));
}

std::string TextureReferenceBase(const std::string& filePath) {
    std::string path = Backslashed(filePath);
    const std::size_t name = path.find_last_of('\\');
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (name == std::string::npos || dot > name)) {
        path.erase(dot);
    }
    return path;
}

std::string RelativeTexturePath(std::string base, std::string path) {
    int levels = 0;
    for (;;) {
        const std::size_t slash = path.find('\\');
        const std::size_t length = slash == std::string::npos ? 0 : slash + 1;
        if (base.compare(0, length, path, 0, length) != 0) {
            break;
        }
        base.erase(0, length);
        path.erase(0, length);
        ++levels;
        if (length == 0) {
            break;
        }
    }
    if (levels == 0 || path.find('\\') == std::string::npos) {
        return path;
    }
    std::string climb;
    for (std::size_t i = 0, n = std::count(base.begin(), base.end(), '\\'); i < n; ++i) {
        climb += "..\\";
    }
    return climb + path;
}

} // namespace kw
