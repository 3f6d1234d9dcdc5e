#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kw {

// How a file stands against what the program last read from it or wrote into it.
enum class TDiskState { Same, Changed, Gone };

// Every file a load read, as it was read or as a save last wrote it, so that another program's change can be
// told from the program's own: a save notes what it wrote, and content equal to that is no change.
class TDiskMarks {
public:
    struct TFile {
        std::string Path;         // as the load had it
        std::string PlatformPath; // as the file system names it, and a watcher reports it
        std::optional<std::uintmax_t> Size;
        std::int64_t Modified = 0;
        std::uint64_t Hash = 0;
    };

    void Clear();
    // The file holds bytes now: read by a load, or written by a save. Noting a path again replaces its mark.
    void Note(const std::string& path, std::string_view bytes);
    const std::vector<TFile>& Files() const { return FFiles; }
    // The file whose platform path is the one given; none when no load read it.
    std::optional<std::size_t> Find(std::string_view platformPath) const;
    // Size and time first, the bytes only when those differ. Bytes equal to the mark's are the same file
    // touched or replaced by a copy of itself: the mark takes the new time, so that the next look is cheap.
    TDiskState Look(std::size_t file);
    // The file as it is now is what the program knows: a change the user chose to ignore is not reported
    // again.
    void Accept(std::size_t file);

private:
    std::vector<TFile> FFiles;
    std::unordered_map<std::string, std::size_t> FByPlatformPath;
};

// The hash the marks compare bytes by.
std::uint64_t DiskHash(std::string_view bytes);

} // namespace kw
