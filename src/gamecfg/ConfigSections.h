#pragma once

#include "gamecfg/FlatIndex.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kw {

// A parent that the game cannot follow: one that no indexed file defines, or one that leads back to a
// section already on the way (a loop). Texts are windows-1251.
struct TParentProblem {
    enum class TKind { Missing, Loop };
    TKind Kind = TKind::Missing;
    // Missing: the section whose header names the parent, then the parent. Loop: the sections of the loop in
    // the order the headers name them, the first one again at the end.
    std::vector<std::string> Sections;
    std::string File; // of the first section, relative to the game folder, in the game's backslash form

    bool operator==(const TParentProblem&) const = default;
};
using TParentProblemSink = std::function<void(TParentProblem)>;

// Every section of every ".ltx" file below a game's config folder, with the parents its header names after
// a ":" and the values of the keys a catalog shows; the files' other bytes are dropped once read. The game
// follows these parent lists, so a key a section lacks is read from its parents.
//
// Section names compare regardless of ASCII letter case. A name defined in several files resolves from the
// file whose header names it: its first definition in that file, else in the first file of the same folder,
// else in the first file of all; files in the order of their paths regardless of case.
class TConfigSections {
public:
    static constexpr size_t npos = FlatIndex::npos;

    // keys: the key names whose values are kept, in lower case; every other key line is passed over.
    TConfigSections(const std::string& gamePath, const std::vector<std::string>& keys);

    // The file at a path relative to the game folder, compared regardless of letter case and separator.
    size_t FindFile(std::string_view relative) const;
    // The first definition of name in that file.
    size_t FindSection(size_t file, std::string_view name) const;
    // The sections whose keys a key the section lacks is read from, in the order the game tries them: the
    // parents as listed, each one's parents right after it, each section once. Parents that cannot be found
    // and loops go to problem.
    std::vector<uint32_t> Ancestors(size_t section, const TParentProblemSink& problem) const;
    // The value of keys[key] in the section as the file stores it (after "=", blanks at both ends removed,
    // a ";" comment included); none when the section lacks the key.
    std::optional<std::string_view> Value(size_t section, size_t key) const;

    std::string_view Name(size_t section) const;
    // Relative to the game folder, in the game's backslash form and code page.
    const std::string& FileName(size_t section) const;

private:
    struct TText {
        uint32_t Offset = 0;
        uint32_t Size = 0;
    };
    struct TFile {
        std::string Shown;  // relative to the game folder, windows-1251
        std::string Folder; // the folder part, lower case, for comparing folders
    };
    struct TSection {
        uint32_t File = 0;
        TText Name;
        uint32_t FirstParent = 0, ParentEnd = 0;
        uint32_t FirstKey = 0, KeyEnd = 0;
        uint32_t NextSameName = 0; // the next definition of the name in path order, plus one; 0: none
    };
    struct TKeyValue {
        uint32_t Key = 0;
        TText Value;
    };

    void ReadFile(const std::string& path, uint32_t file);
    void AddSection(uint32_t file, std::string_view header);
    void AddKey(std::string_view line);
    void EndSection();
    TText Keep(std::string_view text);
    std::string_view Text(TText text) const { return std::string_view(FText).substr(text.Offset, text.Size); }
    size_t FirstOfName(std::string_view name) const;
    size_t NextOfName(size_t section) const;
    size_t Resolve(std::string_view parent, uint32_t fromFile) const;
    void Walk(size_t section, std::vector<uint32_t>& path, std::vector<uint32_t>& order,
              const TParentProblemSink& problem) const;
    void ReportLoop(const std::vector<uint32_t>& path, size_t from, const TParentProblemSink& problem) const;

    std::vector<TFile> FFiles;
    std::unordered_map<std::string, uint32_t> FFileByPath; // lower case, backslashes
    std::vector<TSection> FSections;
    std::vector<TText> FParents;
    std::vector<TKeyValue> FKeys;
    std::string FText; // every name and value kept
    FlatIndex FByName; // the first definition of each name
    std::vector<std::string> FKeyNames;
    std::unordered_map<std::string_view, uint32_t> FKeyIds; // views into FKeyNames
    bool FInSection = false;
};

} // namespace kw
