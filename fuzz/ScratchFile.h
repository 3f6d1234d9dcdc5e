#pragma once

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

// The code under test reads files by path, so each input goes to a file of this process first. A memory file
// system keeps the writes (and the saves' syncs) cheap.
namespace kw::fuzz {

constexpr const char* kScratchPrefix = "kw-fuzz-";

// libFuzzer ends a timed run without running exit handlers, so each run clears the folders of runs that are
// gone instead.
inline void RemoveFoldersOfEndedRuns(const std::filesystem::path& base) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kScratchPrefix)) {
            continue;
        }
        const pid_t pid = static_cast<pid_t>(std::atol(name.c_str() + std::strlen(kScratchPrefix)));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), ec);
        }
    }
}

inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        RemoveFoldersOfEndedRuns(base);
        std::filesystem::path own = base / (kScratchPrefix + std::to_string(::getpid()));
        std::filesystem::create_directories(own);
        return own;
    }();
    return folder;
}

// Writes bytes to name in the scratch folder and returns its path.
inline std::string WriteScratch(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path.string();
}

inline std::string ReadScratch(const std::string& name) {
    std::ifstream in(ScratchFolder() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A broken promise of the code under test: libFuzzer reports the trap with the input.
inline void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

inline std::string AsString(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace kw::fuzz
