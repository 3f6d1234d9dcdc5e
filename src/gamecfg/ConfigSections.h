#pragma once

#include "gamecfg/FlatIndex.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
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
// a ":". The game follows these parent lists, so a key a section lacks is read from its parents. The files'
// bytes are held while the index lives; a section's keys are read only when a look-up first reaches it, and
// only the keys asked for.
//
// Section names compare regardless of ASCII letter case. A name defined in several files resolves from the
// file whose header names it: its first definition in that file, else in the first file of the same folder,
// else in the first file of all; files in the order of their paths regardless of case.
class TConfigSections {
public:
    static constexpr size_t npos = FlatIndex::npos;
    // Files the caller has read already, each by its path relative to the game folder (letter case and
    // separators as they come): their bytes are taken instead of reading the files again.
    using TReadFiles = std::vector<std::pair<std::string, std::shared_ptr<const std::string>>>;

    // keys: the key names Value answers for, in lower case.
    TConfigSections(const std::string& gamePath, const std::vector<std::string>& keys,
                    const TReadFiles& read = {});

    // The file at a path relative to the game folder, compared regardless of letter case and separator.
    size_t FindFile(std::string_view relative) const;
    // The first definition of name in that file.
    size_t FindSection(size_t file, std::string_view name) const;
    // The sections whose keys a key the section lacks is read from, in the order the game tries them: the
    // parents as listed, each one's parents right after it, each section once. Parents that cannot be found
    // and loops go to problem, each the first time any walk meets it.
    std::vector<uint32_t> Ancestors(size_t section, const TParentProblemSink& problem) const;
    // The value of keys[key] in the section as the file stores it (after "=", blanks at both ends removed,
    // a ";" comment included); none when the section lacks the key.
    std::optional<std::string_view> Value(size_t section, size_t key) const;

    std::string_view Name(size_t section) const;
    // Relative to the game folder, in the game's backslash form and code page.
    const std::string& FileName(size_t section) const;
    // Every file the index read itself rather than took from its caller: its path relative to the game
    // folder as the file system lists it, and its bytes.
    void ForEachFileItRead(const std::function<void(const std::string&, std::string_view)>& visit) const;

private:
    struct TFile {
        std::string Shown;  // relative to the game folder, windows-1251
        std::string Folder; // the folder part, lower case, for comparing folders
        std::shared_ptr<const std::string> Bytes;
        std::string ReadPath; // as listed, when the index read the file itself; empty otherwise
    };
    struct TSection {
        uint32_t File = 0;
        std::string_view Name;
        std::string_view Body; // the lines after the header, up to the next header
        uint32_t FirstParent = 0, ParentEnd = 0;
        uint32_t NextSameName = 0; // the next definition of the name in path order, plus one; 0: none
    };
    struct TKeyValue {
        uint32_t Key = 0;
        std::string_view Value;
    };
    // The keys asked for of one section, read at its first look-up.
    struct TKeys {
        bool Read = false;
        std::vector<TKeyValue> Values; // by key, the first line of each
    };

    void IndexFile(uint32_t file);
    void AddSection(uint32_t file, std::string_view header, std::string_view body);
    const TKeys& KeysOf(size_t section) const;
    size_t FirstOfName(std::string_view name) const;
    size_t NextOfName(size_t section) const;
    size_t Resolve(std::string_view parent, uint32_t fromFile) const;
    void Walk(size_t section, std::vector<uint32_t>& path, std::vector<uint32_t>& order,
              const TParentProblemSink& problem) const;
    void ReportLoop(const std::vector<uint32_t>& path, size_t from, const TParentProblemSink& problem) const;

    std::vector<TFile> FFiles;
    std::unordered_map<std::string, uint32_t> FFileByPath; // lower case, backslashes
    std::vector<TSection> FSections;
    std::vector<std::string_view> FParents;
    FlatIndex FByName; // the first definition of each name
    std::vector<std::string> FKeyNames;
    std::unordered_map<std::string_view, uint32_t> FKeyIds; // views into FKeyNames
    mutable std::unordered_map<uint32_t, TKeys> FKeys;      // by section, once looked up
    mutable std::set<std::vector<uint32_t>>
        FReportedLoops; // the sections of each, from the first in path order
    mutable std::unordered_set<uint32_t> FReportedMissing; // positions in FParents
};

} // namespace kw
