#include "gamecfg/ProfileFile.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/FlatIndex.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace kw {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Names match regardless of ASCII letter case, so the hash folds case too:
// setting bit 5 of every byte lowers each letter (and merges a few other
// pairs, which only the comparison after the hash tells apart). Eight bytes at
// a time, as every read of a key hashes its section and its name.
uint32_t NameHash(std::string_view name) {
    constexpr uint64_t kFold = 0x2020202020202020ull;
    constexpr uint64_t kMultiplier = 0xFF51AFD7ED558CCDull;
    uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
    size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, name.data() + i, 8);
        hash = (hash ^ (word | kFold)) * kMultiplier;
        hash ^= hash >> 32;
    }
    uint64_t tail = 0;
    if (i < name.size()) {
        std::memcpy(&tail, name.data() + i, name.size() - i);
    }
    hash = (hash ^ (tail | kFold)) * kMultiplier;
    hash ^= hash >> 29;
    return static_cast<uint32_t>(hash);
}

// Most names are looked up as the file spells them, which a plain comparison confirms fastest.
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a == b || EqualIgnoringAsciiCase(a, b));
}

uint32_t KeyHash(size_t section, std::string_view key) {
    const uint32_t hash = NameHash(key);
    return hash ^ (static_cast<uint32_t>(section) * 0x9E3779B1u + (hash << 6) + (hash >> 2));
}

enum class LineKind { Other, Header, Key };

struct LineMeaning {
    LineKind kind = LineKind::Other;
    std::string_view name;
};

LineMeaning Interpret(std::string_view content) {
    std::string_view text = Trim(content);
    if (text.empty() || text.front() == ';' || text.front() == '#') {
        return {};
    }
    if (text.front() == '[') {
        // Whatever follows the closing bracket (the game's parent lists) is no
        // part of the name.
        size_t close = text.find(']');
        return {LineKind::Header, Trim(text.substr(1, close == std::string_view::npos ? close : close - 1))};
    }
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    std::string_view key = Trim(text.substr(0, equals));
    return key.empty() ? LineMeaning{} : LineMeaning{LineKind::Key, key};
}

// Where a key line's value begins: the first non-blank after the first "=".
size_t ValueStart(std::string_view content) {
    size_t pos = content.find('=') + 1;
    while (pos < content.size() && IsBlank(content[pos])) {
        ++pos;
    }
    return pos;
}

constexpr std::string_view kLf = "\n";
constexpr std::string_view kCrLf = "\r\n";

// Game files hold a key per 35 to 40 bytes; room for one per 32 bytes is enough for most.
constexpr size_t kBytesPerKeyAtMost = 32;

// Texts a document adds to the file's bytes: replaced and added lines. Copied into large blocks, so that a
// save writing every value of a big file costs no allocation per line; blocks never move, so views into
// them stay valid.
class TextArena {
public:
    std::string_view Keep(std::string_view a, std::string_view b = {}, std::string_view c = {}) {
        const size_t size = a.size() + b.size() + c.size();
        if (size > FFree) {
            const size_t block = std::max(kBlock, size);
            FBlocks.push_back(std::make_unique_for_overwrite<char[]>(block));
            FNext = FBlocks.back().get();
            FFree = block;
        }
        char* const start = FNext;
        for (std::string_view part : {a, b, c}) {
            if (!part.empty()) { // an empty view may hold no address, which memcpy must not get
                std::memcpy(FNext, part.data(), part.size());
                FNext += part.size();
            }
        }
        FFree -= size;
        return {start, size};
    }

private:
    static constexpr size_t kBlock = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> FBlocks;
    char* FNext = nullptr;
    size_t FFree = 0;
};

struct Line {
    std::string_view content;
    std::string_view ending; // "\n" after any CRs, or for the last line CRs alone or nothing
};

// The file as lines grouped by section, with an index so that each lookup is
// a hash probe. Lines are views into the file's bytes, or into texts the
// document owns once a write has replaced or added them, so reading a file
// copies no line. Section 0 holds the lines before the first header.
class Document {
public:
    Document() : Document(std::make_shared<const std::string>()) {}
    Document(Document&&) = default;
    Document& operator=(Document&&) = default;
    // Lines point into buffers that a copy would not own.
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    static Document Parse(std::string bytes) {
        Document doc(std::make_shared<const std::string>(std::move(bytes)));
        std::string_view text = *doc.FSource;
        if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            doc.FBom = kUtf8Bom;
            text.remove_prefix(kUtf8Bom.size());
        }
        // Game files hold a key per 35 to 40 bytes; reserving for one per 32 spares the big files the copies
        // of a growing array without a pass of its own to count the lines.
        doc.FKeys.reserve(text.size() / kBytesPerKeyAtMost + 8);
        size_t firstBreak = text.find('\n');
        doc.FEol = (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
                       ? kCrLf
                       : kLf;
        while (!text.empty()) {
            size_t end = text.find('\n');
            size_t next = end == std::string_view::npos ? text.size() : end + 1;
            size_t contentEnd = end == std::string_view::npos ? text.size() : end;
            // Every CR before the break belongs to the line ending: editors that
            // add a CR to a CRLF line leave "\r\r\n", which is still one break.
            while (contentEnd > 0 && text[contentEnd - 1] == '\r') {
                --contentEnd;
            }
            doc.AddParsedLine(Line{text.substr(0, contentEnd), text.substr(contentEnd, next - contentEnd)},
                              text.size());
            text.remove_prefix(next);
        }
        return doc;
    }

    // The bytes the document was parsed from.
    const std::shared_ptr<const std::string>& Source() const { return FSource; }

    std::string Serialize() const {
        size_t size = FBom.size();
        for (const Section& section : FSections) {
            for (const Line& line : section.lines) {
                size += line.content.size() + line.ending.size();
            }
        }
        std::string out;
        out.reserve(size);
        out += FBom;
        for (const Section& section : FSections) {
            for (const Line& line : section.lines) {
                out += line.content;
                out += line.ending;
            }
        }
        return out;
    }

    // Every header in file order, a repeated one as often as it occurs; reads
    // through any of them reach the first.
    std::vector<std::string> SectionNames() const {
        std::vector<std::string> names;
        names.reserve(FSections.size());
        for (size_t i = 1; i < FSections.size(); ++i) {
            names.emplace_back(FSections[i].name);
        }
        return names;
    }

    std::vector<std::string> KeyNames(const std::string& section) const {
        std::vector<std::string> names;
        if (size_t s = FirstSection(section); s != FlatIndex::npos) {
            for (uint32_t key : FSections[s].keys) {
                names.emplace_back(FKeys[key].name);
            }
        }
        return names;
    }

    bool HasKeys(const std::string& section) const {
        size_t s = FirstSection(section);
        return s != FlatIndex::npos && !FSections[s].keys.empty();
    }

    // Empty optional when the section or the key is missing. The view lasts until the next write.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const {
        size_t s = FirstSection(section);
        size_t k = s == FlatIndex::npos ? FlatIndex::npos : FirstKey(s, key);
        if (k == FlatIndex::npos) {
            return std::nullopt;
        }
        std::string_view content = FKeys[k].content;
        return Trim(content.substr(content.find('=') + 1));
    }

    // Returns the key written: the first of its name in the first section of its name.
    size_t Set(std::string_view section, std::string_view key, std::string_view value) {
        size_t s = FirstSection(section);
        if (s == FlatIndex::npos) {
            return AppendSection(section, key, value);
        }
        if (size_t k = FirstKey(s, key); k != FlatIndex::npos) {
            Line& line = FSections[s].lines[FKeys[k].line];
            const size_t start = ValueStart(line.content);
            if (line.content.substr(start) != value) {
                line.content = FKeys[k].content = FArena.Keep(line.content.substr(0, start), value);
            }
            return k;
        }
        Section& sec = FSections[s];
        size_t after = sec.keys.empty() ? 0 : FKeys[sec.keys.back()].line;
        std::string_view content = InsertLine(sec, after + 1, FArena.Keep(key, "=", value));
        AddKey(s, Interpret(content).name, after + 1, content);
        return FKeys.size() - 1;
    }

    // Where a written key lives, for applying the same write to another document. A key line ends in the
    // value that was written, so its last valueSize bytes are that value.
    std::string_view SectionOfKey(size_t k) const { return FSections[FKeys[k].section].name; }
    std::string_view KeyName(size_t k) const { return FKeys[k].name; }
    std::string_view KeyContent(size_t k) const { return FKeys[k].content; }

private:
    // A key keeps its line's text beside its name, so that a read touches
    // neither the section nor its lines.
    struct Key {
        uint32_t section;
        uint32_t line; // index into the section's lines
        std::string_view name;
        std::string_view content;
    };

    struct Section {
        std::string_view name;
        std::vector<Line> lines;    // the header first, except in section 0
        std::vector<uint32_t> keys; // every key line in file order, as indices into FKeys
    };

    // Readers ask for the keys of one section after another, so the last
    // section found is tried first.
    size_t FirstSection(std::string_view name) const {
        if (FLastSection < FSections.size() && SameName(FSections[FLastSection].name, name)) {
            return FLastSection;
        }
        size_t found =
            FSectionIndex.Find(NameHash(name), [&](size_t s) { return SameName(FSections[s].name, name); });
        if (found != FlatIndex::npos) {
            FLastSection = found;
        }
        return found;
    }

    // A section of a few keys is searched in place: its keys lie side by side, which costs less than a
    // probe of the whole file's index. Only bigger sections have their keys in the index.
    static constexpr size_t kScannedKeys = 24;

    size_t FirstKey(size_t section, std::string_view name) const {
        const std::vector<uint32_t>& keys = FSections[section].keys;
        if (keys.size() <= kScannedKeys) {
            for (uint32_t k : keys) {
                if (SameName(FKeys[k].name, name)) {
                    return k;
                }
            }
            return FlatIndex::npos;
        }
        return FKeyIndex.Find(KeyHash(section, name), [&](size_t k) {
            return FKeys[k].section == section && SameName(FKeys[k].name, name);
        });
    }

    void AddKey(size_t section, std::string_view name, size_t line, std::string_view content) {
        std::vector<uint32_t>& keys = FSections[section].keys;
        keys.push_back(static_cast<uint32_t>(FKeys.size()));
        FKeys.push_back(Key{static_cast<uint32_t>(section), static_cast<uint32_t>(line), name, content});
        if (keys.size() == kScannedKeys + 1) {
            FKeyIndex.Reserve(keys.capacity());
            for (uint32_t k : keys) {
                IndexKey(section, k);
            }
        } else if (keys.size() > kScannedKeys + 1) {
            IndexKey(section, keys.back());
        }
    }

    // Enters the key unless an earlier one of its name is there: the first of a name wins.
    void IndexKey(size_t section, uint32_t k) {
        const std::string_view name = FKeys[k].name;
        const uint32_t hash = KeyHash(section, name);
        const size_t found = FKeyIndex.Find(hash, [&](size_t other) {
            return FKeys[other].section == section && SameName(FKeys[other].name, name);
        });
        if (found == FlatIndex::npos) {
            FKeyIndex.Insert(hash, k);
        }
    }

    // bytesLeft: the size of the text from this line on.
    void AddParsedLine(Line line, size_t bytesLeft) {
        LineMeaning meaning = Interpret(line.content);
        if (meaning.kind == LineKind::Header) {
            StartSection(meaning.name, bytesLeft);
        } else if (meaning.kind == LineKind::Key && FSections.size() > 1) {
            AddKey(FSections.size() - 1, meaning.name, FSections.back().lines.size(), line.content);
        }
        FSections.back().lines.push_back(line);
    }

    void StartSection(std::string_view name, size_t bytesLeft = 0) {
        const uint32_t hash = NameHash(name);
        if (FSectionIndex.Find(hash, [&](size_t s) { return SameName(FSections[s].name, name); }) ==
            FlatIndex::npos) {
            FSectionIndex.Insert(hash, FSections.size());
        }
        // The sections of a file tend to be alike, so the one before tells how much room the next needs:
        // one allocation each instead of a growing array's several. The first has only the comments above
        // it to go by; a weapon's file is mostly that section, so the rest of the file sizes it.
        size_t lines = FSections.back().lines.size();
        size_t keys = FSections.back().keys.size();
        if (FSections.size() == 1) {
            lines = std::max(lines, std::min(bytesLeft / kBytesPerKeyAtMost + 1, kFirstSectionLinesAtMost));
            keys = lines;
        }
        FSections.emplace_back();
        FSections.back().name = name;
        FSections.back().lines.reserve(lines);
        FSections.back().keys.reserve(keys);
    }

    // Only the file's last line can lack a line ending (or end in CRs alone);
    // a line put behind it needs one there first.
    void EnsureLineEnd(Line& line) {
        if (line.ending.empty()) {
            line.ending = FEol;
        } else if (line.ending.find('\n') == std::string_view::npos) {
            line.ending = FArena.Keep(line.ending, "\n");
        }
    }

    std::string_view InsertLine(Section& section, size_t pos, std::string_view owned) {
        if (pos > 0) {
            EnsureLineEnd(section.lines[pos - 1]);
        }
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(pos), Line{owned, FEol});
        return owned;
    }

    size_t AppendSection(std::string_view name, std::string_view key, std::string_view value) {
        for (auto it = FSections.rbegin(); it != FSections.rend(); ++it) {
            if (!it->lines.empty()) {
                EnsureLineEnd(it->lines.back());
                break;
            }
        }
        std::string_view header = FArena.Keep("[", name, "]");
        StartSection(header.substr(1, name.size()));
        Section& s = FSections.back();
        s.lines.push_back(Line{header, FEol});
        s.lines.push_back(Line{FArena.Keep(key, "=", value), FEol});
        AddKey(FSections.size() - 1, Interpret(s.lines.back().content).name, 1, s.lines.back().content);
        return FKeys.size() - 1;
    }

    explicit Document(std::shared_ptr<const std::string> source) : FSource(std::move(source)) {
        FSections.reserve(kSectionsAtLeast);
        FSections.emplace_back();
    }

    // Room for section 0 and a weapon's section, the whole of most files, at once.
    static constexpr size_t kSectionsAtLeast = 4;
    static constexpr size_t kFirstSectionLinesAtMost = 256;

    std::shared_ptr<const std::string> FSource;
    TextArena FArena;
    std::string_view FBom;
    std::string_view FEol = kLf;
    std::vector<Section> FSections;
    std::vector<Key> FKeys;
    FlatIndex FSectionIndex; // first section of each name
    FlatIndex FKeyIndex;     // first key of each name per section
    mutable size_t FLastSection = FlatIndex::npos;
};

bool HasBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos;
}

bool HasOuterBlank(std::string_view text) {
    return !text.empty() && Trim(text).size() != text.size();
}

// What would keep a written line from reading back as written; empty when
// nothing does. Names are quoted in the code page's own characters.
std::string WriteRefusal(const std::string& section, const std::string& key, const std::string& value) {
    struct Rule {
        bool broken;
        bool aboutSection;
        const char* problem;
    };
    const Rule rules[] = {
        {HasBreakOrNul(section), true, "holds a line break or a zero byte"},
        {section.find(']') != std::string::npos, true, "holds \"]\""},
        {HasOuterBlank(section), true, "begins or ends with a blank"},
        {HasBreakOrNul(key), false, "holds a line break or a zero byte"},
        {key.empty(), false, "is empty"},
        {key.find('=') != std::string::npos, false, "holds \"=\""},
        {HasOuterBlank(key), false, "begins or ends with a blank"},
        {!key.empty() && (key.front() == ';' || key.front() == '#' || key.front() == '['), false,
         "begins with \";\", \"#\" or \"[\""},
    };
    for (const Rule& rule : rules) {
        if (rule.broken) {
            return (rule.aboutSection ? "the section name \"" + Cp1251ToUtf8(section)
                                      : "the key name \"" + Cp1251ToUtf8(key)) +
                   "\" " + rule.problem;
        }
    }
    if (HasBreakOrNul(value)) {
        return "the value of key \"" + Cp1251ToUtf8(key) + "\" in section [" + Cp1251ToUtf8(section) +
               "] holds a line break or a zero byte";
    }
    return {};
}

std::optional<int> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-') {
            return std::nullopt;
        }
    }
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A write is kept as the key it wrote in the document; the document holds its section, name and value.
struct PendingWrite {
    uint32_t key;
    uint32_t valueSize;
};

uint32_t KeyIndexHash(size_t key) {
    return static_cast<uint32_t>(key * 0x9E3779B1u);
}

} // namespace

struct ProfileFile::Impl {
    std::string path;
    bool createIfMissing = false;
    bool loaded = false;
    bool writeChecked = false;
    Document doc;
    // The file's bytes as doc read them or the last flush wrote them: doc is
    // these bytes with the pending writes applied.
    std::shared_ptr<const std::string> base;
    std::vector<PendingWrite> pending; // in the order of each key's first write
    FlatIndex pendingIndex;            // key in doc -> pending

    const Document& Loaded() {
        if (!loaded) {
            doc = Document::Parse(fs::ReadFile(path).value_or(std::string()));
            base = doc.Source();
            loaded = true;
        }
        return doc;
    }

    [[noreturn]] void Fail(const std::string& reason) const {
        throw Error("Unable to write to " + fs::Resolve(path) + ": " + reason);
    }

    void CheckWritable() const {
        if (std::string obstacle = fs::WriteObstacle(path, createIfMissing); !obstacle.empty()) {
            Fail(obstacle);
        }
    }

    void Remember(size_t key, size_t valueSize) {
        const uint32_t hash = KeyIndexHash(key);
        const size_t found = pendingIndex.Find(hash, [&](size_t i) { return pending[i].key == key; });
        const PendingWrite write{static_cast<uint32_t>(key), static_cast<uint32_t>(valueSize)};
        if (found == FlatIndex::npos) {
            pendingIndex.Insert(hash, pending.size());
            pending.push_back(write);
        } else {
            pending[found] = write;
        }
    }

    void ClearPending() {
        pending = {};
        pendingIndex = FlatIndex();
        writeChecked = false;
    }
};

ProfileFile::ProfileFile(std::string path) : d(std::make_unique<Impl>()) {
    d->path = std::move(path);
}

ProfileFile::~ProfileFile() {
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; callers that care flush explicitly.
    }
}

const std::string& ProfileFile::Path() const {
    return d->path;
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
    const std::optional<std::string_view> value = d->Loaded().Value(section, key);
    return value ? std::string(*value) : def;
}

std::optional<std::string> ProfileFile::ReadValue(const std::string& section, const std::string& key) const {
    const std::optional<std::string_view> value = d->Loaded().Value(section, key);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

std::optional<std::string_view> ProfileFile::ReadValueView(std::string_view section,
                                                           std::string_view key) const {
    return d->Loaded().Value(section, key);
}

bool ProfileFile::KeyExists(const std::string& section, const std::string& key) const {
    return d->Loaded().Value(section, key).has_value();
}

std::shared_ptr<const std::string> ProfileFile::ReadBytes() const {
    d->Loaded();
    return d->base;
}

std::vector<std::string> ProfileFile::ReadSections() const {
    return d->Loaded().SectionNames();
}

std::vector<std::string> ProfileFile::ReadSection(const std::string& section) const {
    return d->Loaded().KeyNames(section);
}

std::vector<std::string> ProfileFile::ReadSectionValues(const std::string& section) const {
    const Document& doc = d->Loaded();
    std::vector<std::string> lines = doc.KeyNames(section);
    for (std::string& line : lines) {
        const std::string_view value = doc.Value(section, line).value_or(std::string_view());
        line.append("=").append(value);
    }
    return lines;
}

bool ProfileFile::SectionExists(const std::string& section) const {
    return d->Loaded().HasKeys(section);
}

int ProfileFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    const std::optional<std::string_view> text = d->Loaded().Value(section, key);
    return text ? ParseInteger(*text).value_or(def) : def;
}

bool ProfileFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (std::string refusal = WriteRefusal(section, key, value); !refusal.empty()) {
        d->Fail(refusal);
    }
    if (!d->writeChecked) {
        d->CheckWritable();
        d->writeChecked = true;
    }
    d->Loaded();
    d->Remember(d->doc.Set(section, key, value), value.size());
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::Flush() {
    if (d->pending.empty()) {
        return;
    }
    d->Loaded();
    std::optional<std::string> onDisk = fs::ReadFile(d->path);
    if (!onDisk && fs::FileExists(d->path)) {
        d->CheckWritable();
        d->Fail("the file cannot be read");
    }
    // Applied to the file as it is now, so that another program's edits since
    // our read survive unless they touch a key we write. A file nobody touched
    // meanwhile is what doc was built from, so doc already holds the result.
    static const std::string kNoFile;
    const std::string& current = onDisk ? *onDisk : kNoFile;
    std::optional<Document> fresh;
    if (current != *d->base) {
        fresh.emplace(Document::Parse(current));
        for (const PendingWrite& write : d->pending) {
            const std::string_view content = d->doc.KeyContent(write.key);
            fresh->Set(d->doc.SectionOfKey(write.key), d->doc.KeyName(write.key),
                       content.substr(content.size() - write.valueSize));
        }
    }
    std::string bytes = (fresh ? *fresh : d->doc).Serialize();
    if (!onDisk || bytes != current) {
        d->CheckWritable();
        fs::AtomicReplace(d->path, bytes);
        // Read anew from what was written, so that the texts of replaced
        // lines do not pile up over a session of saves; the old document
        // goes first, so that a big file is not held twice.
        d->doc = Document();
        d->doc = Document::Parse(std::move(bytes));
    } else {
        // A save killed before it reached this file may have left the
        // file's temporary; this save is the one that tidies it.
        fs::RemoveStaleTemporary(d->path);
        if (fresh) {
            d->doc = std::move(*fresh);
        }
    }
    d->base = d->doc.Source();
    d->ClearPending();
}

void ProfileFile::Refresh() {
    if (!d->pending.empty()) {
        throw std::logic_error("Refresh with pending writes: " + d->path);
    }
    if (!d->loaded) {
        d->Loaded();
        return;
    }
    std::optional<std::string> onDisk = fs::ReadFile(d->path);
    if (onDisk && *onDisk != *d->base) {
        d->doc = Document();
        d->doc = Document::Parse(std::move(*onDisk));
        d->base = d->doc.Source();
    }
}

void ProfileFile::DiscardPending() {
    d->ClearPending();
    // The in-memory copy holds the dropped writes; the next read starts over.
    d->loaded = false;
    d->doc = Document();
    d->base.reset();
}

bool ProfileFile::HasPendingWrites() const {
    return !d->pending.empty();
}

void ProfileFile::SetCreateIfMissing(bool create) {
    d->createIfMissing = create;
}

} // namespace kw
