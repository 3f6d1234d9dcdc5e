#include "catalog/DiskMarks.h"

#include "gamecfg/FileSys.h"

#include <functional>

namespace kw {

std::uint64_t DiskHash(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

void TDiskMarks::Clear() {
    FFiles.clear();
    FByPlatformPath.clear();
}

void TDiskMarks::Note(const std::string& path, std::string_view bytes) {
    TFile file;
    file.Path = path;
    file.PlatformPath = fs::Resolve(path);
    if (const std::optional<fs::TFileStamp> stamp = fs::FileStamp(file.PlatformPath)) {
        file.Size = stamp->Size;
        file.Modified = stamp->Modified;
    }
    file.Hash = DiskHash(bytes);
    const auto [known, added] = FByPlatformPath.try_emplace(file.PlatformPath, FFiles.size());
    if (added) {
        FFiles.push_back(std::move(file));
    } else {
        FFiles[known->second] = std::move(file);
    }
}

std::optional<std::size_t> TDiskMarks::Find(std::string_view platformPath) const {
    const auto found = FByPlatformPath.find(std::string(platformPath));
    if (found == FByPlatformPath.end()) {
        return std::nullopt;
    }
    return found->second;
}

TDiskState TDiskMarks::Look(std::size_t index) {
    TFile& file = FFiles.at(index);
    const std::optional<fs::TFileStamp> stamp = fs::FileStamp(file.PlatformPath);
    if (!stamp) {
        return file.Size ? TDiskState::Gone : TDiskState::Same;
    }
    if (file.Size && *file.Size == stamp->Size && file.Modified == stamp->Modified) {
        return TDiskState::Same;
    }
    if (!file.Size || *file.Size != stamp->Size) {
        return TDiskState::Changed;
    }
    const std::optional<std::string> bytes = fs::ReadFile(file.Path);
    if (!bytes || DiskHash(*bytes) != file.Hash) {
        return TDiskState::Changed;
    }
    file.Modified = stamp->Modified;
    return TDiskState::Same;
}

void TDiskMarks::Accept(std::size_t index) {
    TFile& file = FFiles.at(index);
    // A file that is gone has no stamp, so its mark says so.
    const std::optional<std::string> bytes = fs::ReadFile(file.Path);
    Note(std::string(file.Path), bytes ? std::string_view(*bytes) : std::string_view());
}

} // namespace kw
