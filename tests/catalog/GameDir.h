#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kw::test {

// A game folder of its own for one test, built from strings and removed afterwards.
class TGameDir {
public:
    TGameDir() {
        FRoot =
            std::filesystem::temp_directory_path() /
            ("kw-game-" + std::to_string(std::random_device{}()) + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(FRoot);
    }
    ~TGameDir() {
        std::error_code ec;
        std::filesystem::remove_all(FRoot, ec);
    }
    TGameDir(const TGameDir&) = delete;
    TGameDir& operator=(const TGameDir&) = delete;

    // The folder in the program's notation: ending with the separator.
    std::string Path() const { return FRoot.string() + "/"; }

    // rel in the game's backslash form. Like a folder copied from a disk that ignores letter case, a
    // component that exists in another case is taken as it is on disk, so each name exists once.
    std::filesystem::path Full(const std::string& rel) const {
        std::filesystem::path path = FRoot;
        std::string native = rel;
        std::replace(native.begin(), native.end(), '\\', '/');
        for (const auto& part : std::filesystem::path(native)) {
            path /= ExistingCase(path, part.string());
        }
        return path;
    }

    void Write(const std::string& rel, const std::string& bytes) const {
        const auto path = Full(rel);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string Read(const std::string& rel) const {
        std::ifstream in(Full(rel), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void MakeReadOnly(const std::string& rel) const {
        std::filesystem::permissions(Full(rel), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
    }

    // Every file under the folder by its path relative to it, with its bytes: what a refused edit must leave
    // as it was.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(FRoot)) {
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                files[std::filesystem::relative(entry.path(), FRoot).string()] = {
                    std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            }
        }
        return files;
    }

private:
    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        return text;
    }

    static std::string ExistingCase(const std::filesystem::path& folder, const std::string& name) {
        std::error_code ec;
        if (std::filesystem::exists(folder / name, ec) || !std::filesystem::is_directory(folder, ec)) {
            return name;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            if (Lower(entry.path().filename().string()) == Lower(name)) {
                return entry.path().filename().string();
            }
        }
        return name;
    }

    std::filesystem::path FRoot;
};

// Lines without their endings.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace kw::test
