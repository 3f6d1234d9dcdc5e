#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// An INI-style file bound to one path: every .ltx file of the game, the
// program's settings file and weather.ini are read and written through it.
//
// Texts are bytes, passed through unchanged. Opening touches nothing; the file
// is read once, at the first operation that needs it, and every read is
// answered from memory. A missing file reads as empty. Section and key names
// match regardless of ASCII letter case; the first section of a name and the
// first line of a key in it win. A section header's text behind its closing
// bracket (parent lists) and "#include" lines contribute nothing.
//
// Writes are kept in memory (later reads see them) and committed by Flush()
// or on destruction. A flush re-reads the file as it is on disk at that moment
// and applies the pending writes to it, so lines another program changed
// meanwhile survive, and replaces it atomically; every line it does not write
// stays byte-identical.
class ProfileFile {
public:
    explicit ProfileFile(std::string path);
    ~ProfileFile(); // flushes; a failure here is swallowed (call Flush() to see it)
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const std::string& Path() const;

    // Value of the first line of key in section: the text after the first "=",
    // blanks at both ends removed, a ";" comment included. def when missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Whether the key has a line in the section (to tell a missing key from an
    // empty value).
    bool KeyExists(const std::string& section, const std::string& key) const;
    // The value as ReadString gives it, or nothing when the section or the key
    // is missing: both answers from one look-up.
    std::optional<std::string> ReadValue(const std::string& section, const std::string& key) const;
    // The same without a copy, for readers of many keys; the text lasts until the next write or flush.
    std::optional<std::string_view> ReadValueView(std::string_view section, std::string_view key) const;
    // Every section header's name in file order; a name that occurs twice is
    // listed twice (reads through either reach the first).
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;
    // "key=value" per key of ReadSection, the value as ReadString gives it.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;
    // A section without keys counts as missing.
    bool SectionExists(const std::string& section) const;
    // The bytes the file held when it was read or last flushed (read now if they were not yet), shared:
    // for a reader that looks at the same file otherwise and must not read it twice.
    std::shared_ptr<const std::string> ReadBytes() const;

    // Decimal text; a value that is not an integer yields def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // "1"/"0" as written by WriteBool; any non-zero integer is true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Afterwards the first line of the key in the section holds value. A new
    // key goes after the section's last key line, a new section at the end of
    // the file. Throws kw::Error "Unable to write to <path>" when the file
    // cannot be written (checked at the first write: read-only, missing folder;
    // a file that does not exist is an error too unless CreateIfMissing was
    // set) and when the line would not read back as written: CR, LF or NUL
    // anywhere, "]" in the section, "=" in the key, blanks around a name, an
    // empty key or one beginning with ";", "#" or "[".
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Reads the file again when it no longer holds the bytes last read or written, so that later reads see it
    // as it is now. A file that cannot be read now stays as it was read (a write to it fails and says so).
    // Pending writes would be lost: throws std::logic_error when there are any.
    void Refresh();

    // Commits pending writes; nothing changed means nothing is touched. Throws
    // kw::Error naming the file on failure, leaving the file as it was.
    void Flush();
    // Drops pending writes (a file that failed must never be committed later).
    void DiscardPending();
    bool HasPendingWrites() const;

    // The settings file may be created by its first flush; a game file that
    // vanished since it was read must not be recreated. Off by default.
    void SetCreateIfMissing(bool create);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kw
