// The profile file on any bytes: parse, read every key, write keys in place, flush and parse again, then add
// keys and sections. Every line no write touched must come back byte for byte, and every write must read
// back.

#include "ScratchFile.h"
#include "gamecfg/Error.h"
#include "gamecfg/ProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using kw::fuzz::Require;

namespace {

using kw::ProfileFile;

// Texts that probe the write rules; most are refused, some only look odd.
const char* const kOddTexts[] = {"",    " ",    "x",  "1.5 ; c", "\t;", "=",   "[a]",    ";",
                                 "a=b", "\xC0", "#c", " lead",   "k\r", "a]b", "trail ", "\xFF\xFE"};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerText(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The file's lines, split at LF, behind its byte order mark (which stays where it is whatever is added).
std::vector<std::string> Pieces(const std::string& bytes) {
    std::vector<std::string> pieces;
    size_t start = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        pieces.push_back(bytes.substr(start, end - start));
    }
    if (start < bytes.size()) {
        pieces.push_back(bytes.substr(start));
    }
    return pieces;
}

// A key line's text up to where its value begins.
std::string_view KeyPart(std::string_view line) {
    size_t pos = line.find('=');
    if (pos == std::string_view::npos) {
        return line;
    }
    ++pos;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
        ++pos;
    }
    return line.substr(0, pos);
}

// Only the file's last line may gain the CR of a CRLF ending it lacked.
bool SameLine(const std::string& before, const std::string& after, bool lastWithoutEnding) {
    return after == before || (lastWithoutEnding && after == before + "\r");
}

void ReadEverything(const std::string& path) {
    ProfileFile file(path);
    for (const std::string& section : file.ReadSections()) {
        const std::vector<std::string> keys = file.ReadSection(section);
        Require(file.SectionExists(section) == !keys.empty());
        Require(file.ReadSectionValues(section).size() == keys.size());
        for (const std::string& key : keys) {
            Require(file.KeyExists(section, key));
            Require(file.ReadValue(section, key) == file.ReadString(section, key, "\x01missing"));
            file.ReadInteger(section, key, 0);
        }
    }
}

using TWrites = std::map<std::pair<std::string, std::string>, std::string>; // lower section, lower key

void ExpectWritesReadBack(const std::string& path, const TWrites& writes) {
    ProfileFile file(path);
    for (const auto& [where, value] : writes) {
        Require(file.ReadString(where.first, where.second, "\x01missing") == Trim(value));
    }
}

std::string OddText(FuzzedDataProvider& in) {
    return std::string(kOddTexts[in.ConsumeIntegralInRange<size_t>(0, std::size(kOddTexts) - 1)]) +
           std::to_string(in.ConsumeIntegralInRange(0, 3));
}

// Writes to keys the file holds: the file keeps its lines, and only written key lines change, behind their
// key.
void WriteInPlace(FuzzedDataProvider& in, const std::string& path, int count) {
    const std::string before = kw::fuzz::ReadScratch("in.ltx");
    TWrites writes;
    {
        ProfileFile file(path);
        const std::vector<std::string> sections = file.ReadSections();
        for (int i = 0; i < count && !sections.empty(); ++i) {
            const std::string& section = sections[in.ConsumeIntegralInRange<size_t>(0, sections.size() - 1)];
            const std::vector<std::string> keys = file.ReadSection(section);
            if (keys.empty()) {
                continue;
            }
            const std::string& key = keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)];
            const std::string value = OddText(in);
            try {
                file.WriteString(section, key, value);
                writes[{LowerText(section), LowerText(key)}] = value;
            } catch (const kw::Error&) {
            }
        }
        file.Flush();
    }
    const std::string after = kw::fuzz::ReadScratch("in.ltx");
    Require(before.starts_with("\xEF\xBB\xBF") == after.starts_with("\xEF\xBB\xBF"));
    const std::vector<std::string> old = Pieces(before), now = Pieces(after);
    Require(old.size() == now.size());
    size_t changed = 0;
    for (size_t i = 0; i < old.size(); ++i) {
        const bool last = i + 1 == old.size() && !before.ends_with('\n');
        if (!SameLine(old[i], now[i], last)) {
            Require(now[i].starts_with(KeyPart(old[i])));
            ++changed;
        }
    }
    Require(changed <= writes.size());
    ExpectWritesReadBack(path, writes);
}

// Adds keys and sections; taking away the added lines gives the file as it was.
void AddKeysAndSections(FuzzedDataProvider& in, const std::string& path, int count) {
    const std::string before = kw::fuzz::ReadScratch("in.ltx");
    const std::string marker = "\x02"
                               "added"
                               "\x02";
    if (before.find(marker) != std::string::npos) {
        return; // the added lines would not be told apart
    }
    TWrites writes;
    std::set<std::string> newSections;
    {
        ProfileFile file(path);
        std::vector<std::string> sections = file.ReadSections();
        std::set<std::string> known;
        for (const std::string& s : sections) {
            known.insert(LowerText(s));
        }
        for (int i = 0; i < count; ++i) {
            const bool intoNewSection = sections.empty() || in.ConsumeBool();
            const std::string section =
                intoNewSection ? OddText(in)
                               : sections[in.ConsumeIntegralInRange<size_t>(0, sections.size() - 1)];
            const std::string key = OddText(in);
            if (file.KeyExists(section, key)) {
                continue;
            }
            try {
                file.WriteString(section, key, marker + std::to_string(i));
                writes[{LowerText(section), LowerText(key)}] = marker + std::to_string(i);
                if (!known.contains(LowerText(section))) {
                    newSections.insert(section);
                    known.insert(LowerText(section));
                }
            } catch (const kw::Error&) {
            }
        }
        file.Flush();
    }
    const std::string after = kw::fuzz::ReadScratch("in.ltx");
    Require(before.starts_with("\xEF\xBB\xBF") == after.starts_with("\xEF\xBB\xBF"));
    std::vector<std::string> kept;
    for (std::string& piece : Pieces(after)) {
        std::string_view bare = piece;
        if (bare.ends_with('\r')) {
            bare.remove_suffix(1);
        }
        const bool added = bare.find(marker) != std::string_view::npos ||
                           (bare.starts_with('[') && bare.ends_with(']') &&
                            newSections.contains(std::string(bare.substr(1, bare.size() - 2))));
        if (!added) {
            kept.push_back(std::move(piece));
        }
    }
    const std::vector<std::string> old = Pieces(before);
    Require(kept.size() == old.size());
    for (size_t i = 0; i < old.size(); ++i) {
        Require(SameLine(old[i], kept[i], i + 1 == old.size() && !before.ends_with('\n')));
    }
    ExpectWritesReadBack(path, writes);
}

} // namespace

// The input's last bytes choose the writes, the rest is the file, so that a game file is a seed as it
// stands.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<uint8_t> choices(64);
    for (uint8_t& choice : choices) {
        choice = in.ConsumeIntegral<uint8_t>();
    }
    const std::string path = kw::fuzz::WriteScratch("in.ltx", in.ConsumeRemainingBytesAsString());
    FuzzedDataProvider ops(choices.data(), choices.size());
    ReadEverything(path);
    WriteInPlace(ops, path, ops.ConsumeIntegralInRange(0, 6));
    AddKeysAndSections(ops, path, ops.ConsumeIntegralInRange(0, 6));
    ReadEverything(path);
    return 0;
}
