#include "catalog/ProtectedFiles.h"

#include "catalog/GameFolder.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/FileSys.h"

#include <string_view>

namespace kw {
namespace {

constexpr std::string_view kGameDataFolder = "gamedata";

std::string FolderPrefix(const std::string& folder) {
    return folder.ends_with(fs::Separator()) ? folder : folder + fs::Separator();
}

bool IsWithin(const std::string& path, const std::string& folder) {
    return path == folder || path.starts_with(FolderPrefix(folder));
}

// Whether path is or lies in a folder of gameFolder named "gamedata" in any letter case: the game finds its
// data folder regardless of case, and so does every path the editor resolves. Both paths of one form.
bool InGameDataOf(const std::string& path, const std::string& gameFolder) {
    const std::string prefix = FolderPrefix(gameFolder);
    if (!path.starts_with(prefix)) {
        return false;
    }
    const std::string_view below = std::string_view(path).substr(prefix.size());
    return EqualIgnoringAsciiCase(below.substr(0, below.find(fs::Separator())), kGameDataFolder);
}

// Whether path is one of the files the load read. An existing file is compared by identity, which sees
// through links, letter case and hard links; a missing one by where a write would create it.
bool IsFileReadByLoad(const TLoadSource& source, const std::string& path, const std::string& canonical) {
    const bool exists = fs::FileExists(path) || fs::DirExists(path);
    for (const std::string& file : FilesReadByLoad(source)) {
        if (exists ? fs::SameFile(path, file) : canonical == fs::CanonicalPath(file)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::string> FilesReadByLoad(const TLoadSource& source) {
    std::vector<std::string> files = BuildRequiredFiles(source.GamePath);
    files.insert(files.end(), source.WeaponFiles.begin(), source.WeaponFiles.end());
    files.insert(files.end(), source.StringTableFiles.begin(), source.StringTableFiles.end());
    files.push_back(source.GamePath + kLocalizationFile);
    return files;
}

bool IsProtectedGameFile(const TLoadSource& source, const std::string& path) {
    // As written, a path may reach gamedata through a link that leads out of it, which the game follows too;
    // as the system resolves it, a path from elsewhere may lead in.
    const std::string canonical = fs::CanonicalPath(path);
    if (InGameDataOf(fs::AbsolutePath(path), fs::AbsolutePath(source.GamePath)) ||
        InGameDataOf(canonical, fs::CanonicalPath(source.GamePath)) ||
        IsWithin(canonical, fs::CanonicalPath(source.GamePath + std::string(kGameDataFolder)))) {
        return true;
    }
    return IsFileReadByLoad(source, path, canonical);
}

} // namespace kw
