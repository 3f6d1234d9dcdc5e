#include "gamecfg/ConfigSections.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/FileSys.h"

#include <algorithm>
#include <array>

namespace kw {
namespace {

constexpr const char* kConfigFolder = "gamedata\\config\\";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Deeper parent chains than this are no game's; the walk stops there rather than exhaust the stack.
constexpr size_t kDeepestChain = 256;

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

TConfigSections::TConfigSections(const std::string& gamePath, const std::vector<std::string>& keys,
                                 const TReadFiles& read)
    : FKeyNames(keys) {
    for (size_t i = 0; i < FKeyNames.size(); ++i) {
        FKeyIds.emplace(FKeyNames[i], static_cast<uint32_t>(i));
    }
    std::unordered_map<std::string, std::shared_ptr<const std::string>> readBefore;
    for (const auto& [path, bytes] : read) {
        if (bytes) {
            readBefore.emplace(PathKey(path), bytes);
        }
    }
    for (const std::string& below : fs::ListFilesBelow(gamePath + kConfigFolder, "*.ltx")) {
        const std::string relative = kConfigFolder + below;
        const auto file = static_cast<uint32_t>(FFiles.size());
        const std::string key = PathKey(relative);
        std::shared_ptr<const std::string> bytes;
        std::string readPath;
        if (const auto known = readBefore.find(key); known != readBefore.end()) {
            bytes = known->second;
        } else if (std::optional<std::string> fresh = fs::ReadFile(gamePath + relative)) {
            bytes = std::make_shared<const std::string>(std::move(*fresh));
            readPath = relative;
        }
        FFiles.push_back({fs::NameAsGameText(relative), key.substr(0, key.rfind('\\') + 1), std::move(bytes),
                          std::move(readPath)});
        FFileByPath.emplace(key, file);
        IndexFile(file);
    }
}

void TConfigSections::ForEachFileItRead(
    const std::function<void(const std::string&, std::string_view)>& visit) const {
    for (const TFile& file : FFiles) {
        if (!file.ReadPath.empty()) {
            visit(file.ReadPath, *file.Bytes);
        }
    }
}

// Headers are found by their "[": a load reads thousands of files, and a line-by-line walk of all their
// bytes would cost more than the rest of the index together. A "[" counts where only blanks stand before it
// on its line.
void TConfigSections::IndexFile(uint32_t file) {
    if (!FFiles[file].Bytes) {
        return;
    }
    std::string_view text = *FFiles[file].Bytes;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::string_view header;
    size_t bodyStart = 0;
    for (size_t at = text.find('['); at != std::string_view::npos; at = text.find('[', at + 1)) {
        size_t lineStart = at;
        while (lineStart > 0 && text[lineStart - 1] != '\n' &&
               static_cast<unsigned char>(text[lineStart - 1]) <= 32) {
            --lineStart;
        }
        if (lineStart > 0 && text[lineStart - 1] != '\n') {
            continue;
        }
        if (!header.empty()) {
            AddSection(file, header, text.substr(bodyStart, lineStart - bodyStart));
        }
        const size_t lineEnd = std::min(text.find('\n', at), text.size());
        header = StripControls(text.substr(at, lineEnd - at));
        bodyStart = std::min(lineEnd + 1, text.size());
        at = lineEnd;
    }
    if (!header.empty()) {
        AddSection(file, header, text.substr(bodyStart));
    }
}

void TConfigSections::AddSection(uint32_t file, std::string_view header, std::string_view body) {
    const size_t close = header.find(']');
    const std::string_view name =
        TrimBlanks(header.substr(1, close == std::string_view::npos ? close : close - 1));
    TSection section;
    section.File = file;
    section.Name = name;
    section.Body = body;
    section.FirstParent = static_cast<uint32_t>(FParents.size());
    if (close != std::string_view::npos) {
        std::string_view rest = header.substr(close + 1);
        rest = rest.substr(0, rest.find(';'));
        const size_t colon = rest.find(':');
        if (colon != std::string_view::npos && TrimBlanks(rest.substr(0, colon)).empty()) {
            rest.remove_prefix(colon + 1);
            while (!rest.empty()) {
                const size_t comma = rest.find(',');
                const std::string_view parent = StripControls(rest.substr(0, comma));
                if (!parent.empty()) {
                    FParents.push_back(parent);
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
}

// The keys asked for, each from its first line, as the profile file reads them.
const TConfigSections::TKeys& TConfigSections::KeysOf(size_t section) const {
    TKeys& keys = FKeys[static_cast<uint32_t>(section)];
    if (keys.Read) {
        return keys;
    }
    keys.Read = true;
    std::string_view text = FSections[section].Body;
    std::string lower;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = StripControls(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const size_t equals = line.find('=');
        if (line.empty() || line.front() == ';' || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        lower = TrimBlanks(line.substr(0, equals));
        std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
        const auto found = FKeyIds.find(lower);
        if (found == FKeyIds.end()) {
            continue;
        }
        const uint32_t key = found->second;
        if (std::none_of(keys.Values.begin(), keys.Values.end(),
                         [key](const TKeyValue& kv) { return kv.Key == key; })) {
            keys.Values.push_back({key, TrimBlanks(line.substr(equals + 1))});
        }
    }
    return keys;
}

size_t TConfigSections::FirstOfName(std::string_view name) const {
    return FByName.Find(FoldedHash(name),
                        [&](size_t i) { return EqualIgnoringAsciiCase(FSections[i].Name, name); });
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
        const std::string_view parentName = FParents[p];
        const size_t parent = Resolve(parentName, own.File);
        if (parent == npos) {
            if (!FReportedMissing.insert(p).second) {
                continue;
            }
            problem({TParentProblem::TKind::Missing,
                     {std::string(own.Name), std::string(parentName)},
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
    if (!FReportedLoops.insert(loop).second) {
        return;
    }
    TParentProblem found{TParentProblem::TKind::Loop, {}, FFiles[FSections[loop.front()].File].Shown};
    for (const uint32_t s : loop) {
        found.Sections.emplace_back(FSections[s].Name);
    }
    found.Sections.emplace_back(FSections[loop.front()].Name);
    problem(std::move(found));
}

std::optional<std::string_view> TConfigSections::Value(size_t section, size_t key) const {
    for (const TKeyValue& kv : KeysOf(section).Values) {
        if (kv.Key == key) {
            return kv.Value;
        }
    }
    return std::nullopt;
}

std::string_view TConfigSections::Name(size_t section) const {
    return FSections[section].Name;
}

const std::string& TConfigSections::FileName(size_t section) const {
    return FFiles[FSections[section].File].Shown;
}

} // namespace kw
