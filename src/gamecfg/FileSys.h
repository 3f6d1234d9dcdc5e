#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The one place where the program meets the file system. Callers pass paths in
// the program's notation: a folder text ending with a separator joined to a
// game-relative path in the game's backslash form
// ("/games/dh/" + "gamedata\config\weapons\weapons.ltx"). Every function here
// converts such a path to the platform's form and, where a component is not
// found with its exact letter case, takes the folder entry that matches it
// regardless of case (game folders copied from Windows often differ in case).
namespace kw::fs {

// The platform's separator ('/' on POSIX, '\\' on Windows).
char Separator();

// Folder text with exactly one trailing separator (empty stays empty).
std::string WithTrailingSeparator(const std::string& folder);

// The platform path for a path in the program's notation, with case-insensitive
// matching of components that do not exist as written. Components that match
// nothing are kept as written, so the result names where the file would be.
std::string Resolve(const std::string& path);

// A regular file (or a link to one).
// The absolute path that path names as written: components matched as Resolve matches them, "." and ".."
// taken by their text, symbolic links not followed; no trailing separator but the root's.
std::string AbsolutePath(const std::string& path);

// The absolute path of what a write to path reaches: components matched as Resolve matches them, then
// symbolic links (a dangling one too, which a write goes through) and ".." followed as the system follows
// them. Components after the first one that does not exist are kept as written; no trailing separator but
// the root's.
std::string CanonicalPath(const std::string& path);

// Whether both paths name one existing file or folder, reached through links or a different letter case,
// or one file under two names (hard links).
bool SameFile(const std::string& a, const std::string& b);

bool FileExists(const std::string& path);
// Anything by that name: a file, a folder, a pipe, a device.
bool PathExists(const std::string& path);
bool DirExists(const std::string& path);
// The absolute path of the folder path names if it exists, else of its nearest parent that does; empty when
// none does.
std::string NearestExistingFolder(const std::string& path);
std::optional<std::uintmax_t> FileSize(const std::string& path);

// What tells one version of a file from another without reading it: its size and modification time.
struct TFileStamp {
    std::uintmax_t Size = 0;
    std::int64_t Modified = 0; // in the file system's clock ticks
    bool operator==(const TFileStamp&) const = default;
};
// None when no regular file is at the path.
std::optional<TFileStamp> FileStamp(const std::string& path);

// Whole file as bytes; empty optional when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// A file without any write permission bit counts as read-only even for a
// privileged user, as the read-only attribute did on the platform the game
// comes from.
bool IsReadOnly(const std::string& path);

// Why the file cannot be written now, as a short reason for a message: a
// read-only file, something other than a file at the path, a missing or
// unwritable folder, or (unless mayCreate) a missing file. Empty when nothing
// stands in the way.
std::string WriteObstacle(const std::string& path, bool mayCreate);

// Replaces the file's content atomically: the bytes go to a temporary file in
// the same folder, are flushed to disk and renamed over the target, keeping its
// permissions and owner; through a symbolic link the link's target is replaced.
// Throws kw::Error naming the file on failure; the old file then stays intact
// and no temporary file is left behind. Each file has one temporary name,
// "." + name + ".kwtmp": a process killed during a replace leaves the old file
// and at most that one temporary, which the file's next replace takes over. A
// replace of the same file by another process running at the same moment is
// waited for.
void AtomicReplace(const std::string& path, const std::string& bytes);

// Removes the temporary that a killed replace of the file left behind, unless
// a running replace is using it.
void RemoveStaleTemporary(const std::string& path);
// The same for many files at once, as quick as listing their folders.
void RemoveStaleTemporaries(const std::vector<std::string>& paths);

// Where a writer that opens its output itself (a library given a file name)
// writes before the result is put in place with AtomicReplace: "." + name +
// "." + tag beside the file, in the platform's form. One fixed name per file
// and tag, so a killed writer leaves at most one such file, which the next
// write takes over.
std::string ScratchPathBeside(const std::string& path, const std::string& tag);

// Removes the file; a missing file is no failure. False when it stays.
bool RemoveFile(const std::string& path);

// Names (not paths) of the regular files in folder matching a mask with '*'
// and '?' wildcards, compared regardless of ASCII letter case, sorted by name
// regardless of case. A missing folder gives an empty list.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& mask);
// The same through every subfolder, linked folders not followed: paths relative to folder in the game's
// backslash form ("weapons\\w_ak74.ltx"), sorted by the whole path regardless of case.
std::vector<std::string> ListFilesBelow(const std::string& folder, const std::string& mask);

// A name the file system gave (a file name from a listing) as the game's own texts spell it, in
// windows-1251: a weapon file's name, which also names its section, or a picture's, which names the section
// it belongs to. The game's platform names files in that code page already; elsewhere they are UTF-8. A name
// that is no valid UTF-8 or holds a character the code page lacks stays as it is.
std::string NameAsGameText(const std::string& name);

// The folder of the running executable, ending with a separator.
std::string ExecutableFolder();

} // namespace kw::fs
