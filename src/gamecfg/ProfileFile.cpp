#include "gamecfg/ProfileFile.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"

#include <charconv>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
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

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
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

struct Line {
    std::string content;
    std::string ending; // "\n", "\r\n" or empty for a last line without one
};

// The file as lines grouped by section, with an index so that each lookup is
// a hash probe. Section 0 holds the lines before the first header.
class Document {
public:
    static Document Parse(std::string_view bytes) {
        Document doc;
        if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            doc.bom_ = kUtf8Bom;
            bytes.remove_prefix(kUtf8Bom.size());
        }
        size_t firstBreak = bytes.find('\n');
        doc.eol_ = (firstBreak != std::string_view::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r')
                       ? "\r\n"
                       : "\n";
        while (!bytes.empty()) {
            size_t end = bytes.find('\n');
            size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
            size_t contentEnd = end == std::string_view::npos ? bytes.size() : end;
            if (contentEnd > 0 && bytes[contentEnd - 1] == '\r') {
                --contentEnd;
            }
            doc.AddParsedLine(Line{std::string(bytes.substr(0, contentEnd)),
                                   std::string(bytes.substr(contentEnd, next - contentEnd))});
            bytes.remove_prefix(next);
        }
        return doc;
    }

    std::string Serialize() const {
        std::string out = bom_;
        for (const Section& section : sections_) {
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
        for (size_t i = 1; i < sections_.size(); ++i) {
            names.push_back(sections_[i].name);
        }
        return names;
    }

    std::vector<std::string> KeyNames(const std::string& section) const {
        std::vector<std::string> names;
        if (const Section* s = FirstSection(section)) {
            for (const Key& key : s->keys) {
                names.push_back(key.name);
            }
        }
        return names;
    }

    bool HasKeys(const std::string& section) const {
        const Section* s = FirstSection(section);
        return s && !s->keys.empty();
    }

    // Empty optional when the section or the key is missing.
    std::optional<std::string> Value(const std::string& section, const std::string& key) const {
        const Section* s = FirstSection(section);
        const Key* k = s ? s->FirstKey(key) : nullptr;
        if (!k) {
            return std::nullopt;
        }
        std::string_view content = s->lines[k->line].content;
        return std::string(Trim(content.substr(content.find('=') + 1)));
    }

    void Set(const std::string& section, const std::string& key, const std::string& value) {
        auto found = sectionIndex_.find(Lower(section));
        if (found == sectionIndex_.end()) {
            AppendSection(section, key + "=" + value);
            return;
        }
        Section& s = sections_[found->second];
        if (const Key* k = s.FirstKey(key)) {
            std::string& content = s.lines[k->line].content;
            content.replace(ValueStart(content), std::string::npos, value);
            return;
        }
        size_t after = s.keys.empty() ? 0 : s.keys.back().line;
        InsertLine(s, after + 1, key + "=" + value);
        s.AddKey(key, after + 1);
    }

private:
    struct Key {
        std::string name;
        size_t line; // index into the section's lines
    };

    struct Section {
        std::string name;
        std::vector<Line> lines;                          // the header first, except in section 0
        std::vector<Key> keys;                            // every key line in file order
        std::unordered_map<std::string, size_t> keyIndex; // lower-case name -> first of keys

        const Key* FirstKey(const std::string& key) const {
            auto found = keyIndex.find(Lower(key));
            return found == keyIndex.end() ? nullptr : &keys[found->second];
        }
        void AddKey(std::string_view name, size_t line) {
            keyIndex.try_emplace(Lower(name), keys.size());
            keys.push_back(Key{std::string(name), line});
        }
    };

    const Section* FirstSection(const std::string& name) const {
        auto found = sectionIndex_.find(Lower(name));
        return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
    }

    void AddParsedLine(Line line) {
        LineMeaning meaning = Interpret(line.content);
        if (meaning.kind == LineKind::Header) {
            StartSection(std::string(meaning.name));
        } else if (meaning.kind == LineKind::Key && sections_.size() > 1) {
            sections_.back().AddKey(meaning.name, sections_.back().lines.size());
        }
        sections_.back().lines.push_back(std::move(line));
    }

    void StartSection(std::string name) {
        sectionIndex_.try_emplace(Lower(name), sections_.size());
        sections_.emplace_back();
        sections_.back().name = std::move(name);
    }

    // Only the file's last line can lack a line ending (or end in a lone CR);
    // a line put behind it needs one there first.
    void EnsureLineEnd(Line& line) const {
        if (line.ending.find('\n') == std::string::npos) {
            line.ending += line.ending.empty() ? eol_ : std::string("\n");
        }
    }

    void InsertLine(Section& section, size_t pos, std::string content) {
        if (pos > 0) {
            EnsureLineEnd(section.lines[pos - 1]);
        }
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(pos),
                             Line{std::move(content), eol_});
    }

    void AppendSection(const std::string& name, std::string keyLine) {
        for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
            if (!it->lines.empty()) {
                EnsureLineEnd(it->lines.back());
                break;
            }
        }
        StartSection(name);
        Section& s = sections_.back();
        s.lines.push_back(Line{"[" + name + "]", eol_});
        s.lines.push_back(Line{std::move(keyLine), eol_});
        s.AddKey(Interpret(s.lines.back().content).name, 1);
    }

    std::string bom_;
    std::string eol_ = "\n";
    std::vector<Section> sections_ = std::vector<Section>(1);
    std::unordered_map<std::string, size_t> sectionIndex_; // lower-case name -> first section
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

struct PendingWrite {
    std::string section;
    std::string key;
    std::string value;
};

} // namespace

struct ProfileFile::Impl {
    std::string path;
    bool createIfMissing = false;
    bool loaded = false;
    bool writeChecked = false;
    Document doc;
    std::vector<PendingWrite> pending;
    std::unordered_map<std::string, size_t> pendingIndex; // section NUL key, lower case -> pending

    const Document& Loaded() {
        if (!loaded) {
            doc = Document::Parse(fs::ReadFile(path).value_or(std::string()));
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

    void Remember(const std::string& section, const std::string& key, const std::string& value) {
        auto [it, added] = pendingIndex.try_emplace(Lower(section) + '\0' + Lower(key), pending.size());
        if (added) {
            pending.push_back(PendingWrite{section, key, value});
        } else {
            pending[it->second].value = value;
        }
    }

    void ClearPending() {
        pending.clear();
        pendingIndex.clear();
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
    return d->Loaded().Value(section, key).value_or(def);
}

bool ProfileFile::KeyExists(const std::string& section, const std::string& key) const {
    return d->Loaded().Value(section, key).has_value();
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
        line += "=" + doc.Value(section, line).value_or(std::string());
    }
    return lines;
}

bool ProfileFile::SectionExists(const std::string& section) const {
    return d->Loaded().HasKeys(section);
}

int ProfileFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    std::optional<std::string> text = d->Loaded().Value(section, key);
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
    d->doc.Set(section, key, value);
    d->Remember(section, key, value);
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
    d->CheckWritable();
    // Applied to the file as it is now, so that another program's edits since
    // our read survive unless they touch a key we write.
    std::optional<std::string> onDisk = fs::ReadFile(d->path);
    if (!onDisk && fs::FileExists(d->path)) {
        d->Fail("the file cannot be read");
    }
    Document fresh = Document::Parse(onDisk.value_or(std::string()));
    for (const PendingWrite& write : d->pending) {
        fresh.Set(write.section, write.key, write.value);
    }
    std::string bytes = fresh.Serialize();
    if (!onDisk || bytes != *onDisk) {
        fs::AtomicReplace(d->path, bytes);
    }
    d->doc = std::move(fresh);
    d->loaded = true;
    d->ClearPending();
}

void ProfileFile::DiscardPending() {
    d->ClearPending();
    // The in-memory copy holds the dropped writes; the next read starts over.
    d->loaded = false;
    d->doc = Document();
}

bool ProfileFile::HasPendingWrites() const {
    return !d->pending.empty();
}

void ProfileFile::SetCreateIfMissing(bool create) {
    d->createIfMissing = create;
}

} // namespace kw
