#include "catalog/Inheritance.h"

#include "catalog/Catalog.h"
#include "catalog/KeyLists.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"

#include <map>
#include <optional>

namespace kw {
namespace {

constexpr std::string_view kConfigFolder = "gamedata\\config\\";

TInheritedValue ReadInherited(std::string_view stored, TKeyUse use) {
    if (use == TKeyUse::ShowWhole) {
        return {std::string(stored), {}, nullptr};
    }
    const size_t semicolon = stored.find(';');
    return {LoadedValue(stored),
            semicolon == std::string_view::npos ? "" : std::string(stored.substr(semicolon)), nullptr};
}

// Finds each lacking key's section in the index, remembering the last one, since an entry's keys come
// together.
class TSectionFinder {
public:
    TSectionFinder(const TConfigSections& index, const std::string& gamePath,
                   const TParentProblemSink& problem)
        : FIndex(index), FGamePath(gamePath), FProblem(problem) {}

    const std::vector<uint32_t>& AncestorsOf(const std::string& file, const std::string& section) {
        if (&file != FFile) {
            FFile = &file;
            FSectionName.clear();
            const std::string_view relative = std::string_view(file).substr(
                file.compare(0, FGamePath.size(), FGamePath) == 0 ? FGamePath.size() : 0);
            FFileIndex = FIndex.FindFile(relative);
        }
        if (section != FSectionName || FSectionName.empty()) {
            FSectionName = section;
            FAncestors.clear();
            const size_t found =
                FFileIndex == TConfigSections::npos ? FFileIndex : FIndex.FindSection(FFileIndex, section);
            if (found != TConfigSections::npos) {
                FAncestors = FIndex.Ancestors(found, FProblem);
            }
        }
        return FAncestors;
    }

private:
    const TConfigSections& FIndex;
    const std::string& FGamePath;
    const TParentProblemSink& FProblem;
    const std::string* FFile = nullptr;
    size_t FFileIndex = TConfigSections::npos;
    std::string FSectionName;
    std::vector<uint32_t> FAncestors;
};

} // namespace

// The keys of a linked section come in too: an entry whose link itself is inherited reads them from the
// section the parent's link names.
class TKeyNames {
public:
    size_t Add(const std::string& key) {
        const auto [at, added] = FByName.try_emplace(AsciiLower(key), FNames.size());
        if (added) {
            FNames.push_back(at->first);
        }
        return at->second;
    }
    template <class T> void AddLinked(const TKeyList<T>& keys) {
        for (const auto& rule : keys.Rules) {
            if (rule.Place == TKeyPlace::Linked) {
                Add(rule.Key);
            }
        }
    }
    size_t Of(const std::string& key) const { return FByName.at(AsciiLower(key)); }
    const std::vector<std::string>& Names() const { return FNames; }

private:
    std::map<std::string, size_t> FByName;
    std::vector<std::string> FNames;
};

std::string_view TInheritedSource::ConfigFile() const {
    const std::string_view file = File;
    return file.size() > kConfigFolder.size() &&
                   EqualIgnoringAsciiCase(file.substr(0, kConfigFolder.size()), kConfigFolder)
               ? file.substr(kConfigFolder.size())
               : file;
}

const TInheritedValue* TInheritance::Of(const TParam& param) const {
    const auto found = FValues.find(&param);
    return found == FValues.end() ? nullptr : &found->second;
}

void TInheritance::Clear() {
    FValues.clear();
    FSourceOf.clear();
    FSources.clear();
    FProblems.clear();
}

void TInheritance::Note(TParam& param, TKeyUse use, const TConfigSections& index, size_t section,
                        std::string_view stored) {
    auto [source, added] = FSourceOf.try_emplace(static_cast<uint32_t>(section), nullptr);
    if (added) {
        FSources.push_back({std::string(index.Name(section)), index.FileName(section)});
        source->second = &FSources.back();
    }
    TInheritedValue value = ReadInherited(stored, use);
    value.Source = source->second;
    FValues.insert_or_assign(&param, std::move(value));
}

// The first of sections that holds keys[key] gives param its value.
void TInheritance::NoteFirst(TParam& param, TKeyUse use, const TConfigSections& index,
                             const std::vector<uint32_t>& sections, size_t key) {
    for (const uint32_t section : sections) {
        if (const std::optional<std::string_view> stored = index.Value(section, key)) {
            Note(param, use, index, section, *stored);
            return;
        }
    }
}

// An outfit or artefact that inherits its link reads its linked keys from the section the inherited link
// names in the same file, and from that section's parents.
template <class T>
void TInheritance::NoteInheritedLinks(std::vector<std::unique_ptr<T>>& entries, const TKeyList<T>& keys,
                                      const std::string& file, const TConfigSections& index,
                                      const TKeyNames& names, const TParentProblemSink& problem) {
    const size_t fileIndex = index.FindFile(file);
    for (auto& entry : entries) {
        const TInheritedValue* link = Of(entry.get()->*keys.Link);
        const size_t linked = link && fileIndex != TConfigSections::npos
                                  ? index.FindSection(fileIndex, link->Value)
                                  : TConfigSections::npos;
        if (linked == TConfigSections::npos || (entry.get()->*keys.Link).WasPresent()) {
            continue;
        }
        std::vector<uint32_t> sections{static_cast<uint32_t>(linked)};
        const std::vector<uint32_t> ancestors = index.Ancestors(linked, problem);
        sections.insert(sections.end(), ancestors.begin(), ancestors.end());
        for (const auto& rule : keys.Rules) {
            if (rule.Place == TKeyPlace::Linked) {
                NoteFirst(rule.Param.In(*entry), rule.Use, index, sections, names.Of(rule.Key));
            }
        }
    }
}

void FindInheritedValues(TCatalog& catalog, const TLackingKeys& lacking, TInheritance& into) {
    into.Clear();
    // The files the index reads are files the load read: another program's change to one of them changes
    // what the entries inherit.
    for (const auto& [path, bytes] : lacking.ReadFiles()) {
        catalog.DiskMarks().Note(path, bytes ? std::string_view(*bytes) : std::string_view());
    }
    if (lacking.Keys().empty()) {
        return;
    }
    TKeyNames names;
    std::vector<size_t> keyPositions;
    for (const TLackingKeys::TKey& key : lacking.Keys()) {
        keyPositions.push_back(names.Add(*key.Key));
    }
    names.AddLinked(OutfitKeys());
    names.AddLinked(ArtKeys());
    const std::string& gamePath = catalog.GamePath();
    TConfigSections::TReadFiles read;
    for (const auto& [path, bytes] : lacking.ReadFiles()) {
        if (path.compare(0, gamePath.size(), gamePath) == 0) {
            read.emplace_back(path.substr(gamePath.size()), bytes);
        }
    }
    const TConfigSections index(gamePath, names.Names(), read);
    index.ForEachFileItRead([&](const std::string& relative, std::string_view bytes) {
        catalog.DiskMarks().Note(gamePath + relative, bytes);
    });
    const TParentProblemSink problem = [&](TParentProblem found) {
        into.FProblems.push_back(std::move(found));
    };
    TSectionFinder finder(index, catalog.GamePath(), problem);
    for (size_t i = 0; i < lacking.Keys().size(); ++i) {
        const TLackingKeys::TKey& key = lacking.Keys()[i];
        into.NoteFirst(*key.Param, key.Use, index, finder.AncestorsOf(*key.File, *key.Section),
                       keyPositions[i]);
    }
    const auto relative = [&](TCatalog::TCategoryFile file) {
        return catalog.RequiredFiles()[file].substr(gamePath.size());
    };
    into.NoteInheritedLinks(catalog.Outfits, OutfitKeys(), relative(TCatalog::OutfitLtx), index, names,
                            problem);
    into.NoteInheritedLinks(catalog.Arts, ArtKeys(), relative(TCatalog::ArtefactsLtx), index, names, problem);
    into.FSourceOf.clear();
}

const TInheritedValue* ShownInheritedValue(const TCatalog& catalog, const TParam& param) {
    if (param.WasPresent() || param.NeedsWrite()) {
        return nullptr;
    }
    return catalog.Inheritance().Of(param);
}

std::string ParentProblemText(const TParentProblem& problem) {
    std::string names;
    const char* const separator = problem.Kind == TParentProblem::TKind::Loop ? " -> " : ", ";
    for (const std::string& section : problem.Sections) {
        names += (names.empty() ? "[" : std::string(separator) + "[") + section + "]";
    }
    const std::string file = Cp1251ToUtf8(problem.File);
    if (problem.Kind == TParentProblem::TKind::Loop) {
        return file + ": the parent sections lead in a loop, " + Cp1251ToUtf8(names) +
               "; each section is read once";
    }
    return file + ": [" + Cp1251ToUtf8(problem.Sections.front()) + "] names the parent [" +
           Cp1251ToUtf8(problem.Sections.back()) + "], which no file defines";
}

} // namespace kw
