#include "gamecfg/ConfigSections.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/FileSys.h"

#include <algorithm>
#include <array>

namespace kw {
namespace {

constexpr const char* kConfigFolder = "gamedata\\config\\";
// Deeper parent chains than this are no game's; the walk stops there rather than exhaust the stack.
constexpr size_t kDeepestChain = 256;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanksAndControls(std::string_view text) {
    return StripControls(text);
}

std::string_view TrimBlankEnds(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

uint32_t FoldedHash(std::string_view name) {
    uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 16777619u;
    }
    return hash;
}

std::string PathKey(std::string_view path) {
    std::string key(path);
    for (char& c : key) {
        c = c == '/' ? '\\' : LowerAscii(c);
    }
    return key;
}

} // namespace

TConfigSections::TConfigSections(const std::string& gamePath, const std::vector<std::string>& keys)
    : FKeyNames(keys) {
    for (size_t i = 0; i < FKeyNames.size(); ++i) {
        FKeyIds.emplace(FKeyNames[i], static_cast<uint32_t>(i));
    }
    for (const std::string& below : fs::ListFilesBelow(gamePath + kConfigFolder, "*.ltx")) {
        const std::string relative = kConfigFolder + below;
        const auto file = static_cast<uint32_t>(FFiles.size());
        const std::string key = PathKey(relative);
        FFiles.push_back({fs::NameAsGameText(relative), key.substr(0, key.rfind('\\') + 1)});
        FFileByPath.emplace(key, file);
        ReadFile(gamePath + relative, file);
    }
    FText.shrink_to_fit();
    FKeys.shrink_to_fit();
}

void TConfigSections::ReadFile(const std::string& path, uint32_t file) {
    const std::optional<std::string> bytes = fs::ReadFile(path);
    if (!bytes) {
        return;
    }
    std::string_view text = *bytes;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = TrimBlanksAndControls(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            AddSection(file, line);
        } else if (FInSection) {
            AddKey(line);
        }
    }
    EndSection();
}

void TConfigSections::AddSection(uint32_t file, std::string_view header) {
    EndSection();
    const size_t close = header.find(']');
    const std::string_view name =
        TrimBlankEnds(header.substr(1, close == std::string_view::npos ? close : close - 1));
    TSection section;
    section.File = file;
    section.Name = Keep(name);
    section.FirstParent = section.ParentEnd = static_cast<uint32_t>(FParents.size());
    section.FirstKey = section.KeyEnd = static_cast<uint32_t>(FKeys.size());
    if (close != std::string_view::npos) {
        std::string_view rest = header.substr(close + 1);
        rest = rest.substr(0, rest.find(';'));
        const size_t colon = rest.find(':');
        if (colon != std::string_view::npos && TrimBlankEnds(rest.substr(0, colon)).empty()) {
            rest.remove_prefix(colon + 1);
            while (!rest.empty()) {
                const size_t comma = rest.find(',');
                const std::string_view parent = TrimBlanksAndControls(rest.substr(0, comma));
                if (!parent.empty()) {
                    FParents.push_back(Keep(parent));
                }
                rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
            }
        }
    }
    section.ParentEnd = static_cast<uint32_t>(FParents.size());
    const auto index = static_cast<uint32_t>(FSections.size());
    const size_t first = FirstOfName(name);
    FSections.push_back(section);
    if (first == npos) {
        FByName.Insert(FoldedHash(name), index);
    } else {
        size_t last = first;
        while (FSections[last].NextSameName != 0) {
            last = FSections[last].NextSameName - 1;
        }
        FSections[last].NextSameName = index + 1;
    }
    FInSection = true;
}

void TConfigSections::AddKey(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string_view key = TrimBlankEnds(line.substr(0, equals));
    std::array<char, 64> lower{};
    if (key.empty() || key.size() > lower.size()) {
        return;
    }
    std::transform(key.begin(), key.end(), lower.begin(), LowerAscii);
    const auto found = FKeyIds.find(std::string_view(lower.data(), key.size()));
    if (found != FKeyIds.end()) {
        FKeys.push_back({found->second, Keep(TrimBlankEnds(line.substr(equals + 1)))});
    }
}

// A section's keys are sorted for look-ups; the first line of a key stays the one that counts.
void TConfigSections::EndSection() {
    if (!FInSection) {
        return;
    }
    FInSection = false;
    TSection& section = FSections.back();
    section.KeyEnd = static_cast<uint32_t>(FKeys.size());
    const auto begin = FKeys.begin() + section.FirstKey;
    const auto byKey = [](const TKeyValue& a, const TKeyValue& b) { return a.Key < b.Key; };
    std::stable_sort(begin, FKeys.end(), byKey);
    const auto end = std::unique(begin, FKeys.end(),
                                 [](const TKeyValue& a, const TKeyValue& b) { return a.Key == b.Key; });
    FKeys.erase(end, FKeys.end());
    section.KeyEnd = static_cast<uint32_t>(FKeys.size());
}

TConfigSections::TText TConfigSections::Keep(std::string_view text) {
    const TText kept{static_cast<uint32_t>(FText.size()), static_cast<uint32_t>(text.size())};
    FText.append(text);
    return kept;
}

size_t TConfigSections::FirstOfName(std::string_view name) const {
    return FByName.Find(FoldedHash(name),
                        [&](size_t i) { return EqualIgnoringAsciiCase(Text(FSections[i].Name), name); });
}

size_t TConfigSections::NextOfName(size_t section) const {
    const uint32_t next = FSections[section].NextSameName;
    return next == 0 ? npos : next - 1;
}

size_t TConfigSections::FindFile(std::string_view relative) const {
    const auto found = FFileByPath.find(PathKey(relative));
    return found == FFileByPath.end() ? npos : found->second;
}

size_t TConfigSections::FindSection(size_t file, std::string_view name) const {
    for (size_t s = FirstOfName(name); s != npos; s = NextOfName(s)) {
        if (FSections[s].File == file) {
            return s;
        }
    }
    return npos;
}

size_t TConfigSections::Resolve(std::string_view parent, uint32_t fromFile) const {
    const size_t first = FirstOfName(parent);
    size_t inFolder = npos;
    for (size_t s = first; s != npos; s = NextOfName(s)) {
        const uint32_t file = FSections[s].File;
        if (file == fromFile) {
            return s;
        }
        if (inFolder == npos && FFiles[file].Folder == FFiles[fromFile].Folder) {
            inFolder = s;
        }
    }
    return inFolder != npos ? inFolder : first;
}

std::vector<uint32_t> TConfigSections::Ancestors(size_t section, const TParentProblemSink& problem) const {
    std::vector<uint32_t> path{static_cast<uint32_t>(section)};
    std::vector<uint32_t> order;
    Walk(section, path, order, problem);
    return order;
}

// Depth first: a parent's own keys come before its parents'. A section met again off the current path (two
// parents sharing a grandparent) is passed over quietly; met again on it, it is a loop.
void TConfigSections::Walk(size_t section, std::vector<uint32_t>& path, std::vector<uint32_t>& order,
                           const TParentProblemSink& problem) const {
    const TSection& own = FSections[section];
    for (uint32_t p = own.FirstParent; p < own.ParentEnd; ++p) {
        const std::string_view parentName = Text(FParents[p]);
        const size_t parent = Resolve(parentName, own.File);
        if (parent == npos) {
            problem({TParentProblem::TKind::Missing,
                     {std::string(Text(own.Name)), std::string(parentName)},
                     FFiles[own.File].Shown});
            continue;
        }
        const auto onPath = std::find(path.begin(), path.end(), parent);
        if (onPath != path.end()) {
            ReportLoop(path, static_cast<size_t>(onPath - path.begin()), problem);
            continue;
        }
        if (std::find(order.begin(), order.end(), parent) != order.end() || path.size() >= kDeepestChain) {
            continue;
        }
        order.push_back(static_cast<uint32_t>(parent));
        path.push_back(static_cast<uint32_t>(parent));
        Walk(parent, path, order, problem);
        path.pop_back();
    }
}

// The loop is named from its section that comes first in path order, so that every walk into it names it
// alike.
void TConfigSections::ReportLoop(const std::vector<uint32_t>& path, size_t from,
                                 const TParentProblemSink& problem) const {
    std::vector<uint32_t> loop(path.begin() + static_cast<std::ptrdiff_t>(from), path.end());
    std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
    TParentProblem found{TParentProblem::TKind::Loop, {}, FFiles[FSections[loop.front()].File].Shown};
    for (const uint32_t s : loop) {
        found.Sections.emplace_back(Text(FSections[s].Name));
    }
    found.Sections.emplace_back(Text(FSections[loop.front()].Name));
    problem(std::move(found));
}

std::optional<std::string_view> TConfigSections::Value(size_t section, size_t key) const {
    const TSection& s = FSections[section];
    const auto begin = FKeys.begin() + s.FirstKey;
    const auto end = FKeys.begin() + s.KeyEnd;
    const auto found =
        std::lower_bound(begin, end, key, [](const TKeyValue& kv, size_t k) { return kv.Key < k; });
    if (found == end || found->Key != key) {
        return std::nullopt;
    }
    return Text(found->Value);
}

std::string_view TConfigSections::Name(size_t section) const {
    return Text(FSections[section].Name);
}

const std::string& TConfigSections::FileName(size_t section) const {
    return FFiles[FSections[section].File].Shown;
}

} // namespace kw
