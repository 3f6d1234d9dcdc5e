#include "gamecfg/FileSys.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kw::fs {
namespace {

namespace stdfs = std::filesystem;

// Case-insensitive order; names equal but for case fall back to byte order so
// that the result never depends on the folder's enumeration order.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
    auto lowerLess = [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) {
        return false;
    }
    return a < b;
}

bool MatchesMask(const char* name, const char* mask) {
    // Iterative wildcard match: remember the last '*' and retry from there.
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = mask++;
            starName = name;
        } else if (*mask == '?' || (*mask && LowerAscii(*mask) == LowerAscii(*name))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*') {
        ++mask;
    }
    return *mask == '\0';
}

bool EntryExists(const stdfs::path& p) {
    std::error_code ec;
    return stdfs::exists(stdfs::symlink_status(p, ec));
}

// The entry of folder whose name equals component regardless of case, the
// first in byte order when several do; empty when there is none.
std::string FindIgnoringCase(const stdfs::path& folder, const std::string& component) {
    std::error_code ec;
    stdfs::directory_iterator it(folder.empty() ? stdfs::path(".") : folder, ec);
    std::string best;
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (EqualIgnoringAsciiCase(name, component) && (best.empty() || name < best)) {
            best = name;
        }
    }
    return best;
}

// The game's backslashes become the platform's separator. Doubled separators
// mean nothing on POSIX; on Windows a leading pair names a network share.
std::string ToPlatformSeparators(const std::string& path) {
#ifdef _WIN32
    constexpr size_t kLeadingPairKept = 1;
#else
    constexpr size_t kLeadingPairKept = 0;
#endif
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        bool separator = c == '\\' || c == '/';
        if (separator && !out.empty() && out.back() == Separator() && out.size() != kLeadingPairKept) {
            continue;
        }
        out += separator ? Separator() : c;
    }
    return out;
}

// Follows symbolic links so that a replace writes the file a link points to
// and leaves the link itself in place.
stdfs::path FinalTarget(stdfs::path p) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!stdfs::is_symlink(stdfs::symlink_status(p, ec))) {
            return p;
        }
        stdfs::path target = stdfs::read_symlink(p, ec);
        if (ec) {
            return p;
        }
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

// The one temporary a replace of the file uses, beside it. A fixed name means
// a replace killed half-way leaves at most one stale temporary per file, which
// the next replace of that file takes over; no mask of game files ("w_*.ltx",
// "*.xml", "*.jpg") matches it.
constexpr std::string_view kTemporarySuffix = ".kwtmp";

std::string TemporaryName(const stdfs::path& target) {
    return (target.parent_path() / ("." + target.filename().string() + std::string(kTemporarySuffix)))
        .string();
}

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw Error("Unable to write to " + path + ": " + std::strerror(error));
}

#ifdef _WIN32

void ReplaceWithTemporary(const std::string& shownPath, const stdfs::path& target, const std::string& bytes) {
    std::string temporary = TemporaryName(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            stdfs::remove(temporary, ignored);
            ThrowWriteError(shownPath, EIO);
        }
    }
    std::error_code ec;
    stdfs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        stdfs::remove(temporary, ignored);
        throw Error("Unable to write to " + shownPath + ": " + ec.message());
    }
}

#else

// A replace holds a lock on its temporary from creating it until after the
// rename; the kernel drops the lock when the process dies, so a temporary
// nobody holds is stale.
constexpr int kTemporaryAttempts = 200;
constexpr useconds_t kBusyPauseMicroseconds = 20000; // another replace of the same file is running

bool StillNamed(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// Removes the temporary at path unless a running replace holds it; false when
// one does.
bool RemoveIfStale(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        // Something that cannot be opened (a link put there, a file of another
        // user) is in the way all the same.
        if (errno != ENOENT) {
            ::unlink(path.c_str());
        }
        return true;
    }
    bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (unheld && StillNamed(fd, path)) {
        ::unlink(path.c_str());
    }
    ::close(fd);
    return unheld;
}

// Owns the temporary file until it has been renamed over the target; on any
// earlier exit it removes and closes it.
class TemporaryFile {
public:
    TemporaryFile(const stdfs::path& target, mode_t mode) : FPath(TemporaryName(target)) {
        for (int attempt = 0; FFd < 0 && FError == 0; ++attempt) {
            if (attempt == kTemporaryAttempts) {
                FError = EBUSY;
                break;
            }
            int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
            if (fd >= 0) {
                // Another replace may have taken it for stale before the lock.
                if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, FPath)) {
                    FFd = fd;
                } else {
                    ::close(fd);
                }
            } else if (errno != EEXIST) {
                FError = errno;
            } else if (!RemoveIfStale(FPath)) {
                ::usleep(kBusyPauseMicroseconds);
            }
        }
    }
    ~TemporaryFile() {
        if (FFd >= 0) {
            if (!FRenamed) {
                ::unlink(FPath.c_str());
            }
            ::close(FFd);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Each step returns 0 or the errno of its failure.
    int OpenError() const { return FError; }

    int TakeAttributesOf(const struct stat& original) {
        if (::fchmod(FFd, original.st_mode & 07777) != 0) {
            return errno;
        }
        if (::fchown(FFd, original.st_uid, original.st_gid) != 0 && errno != EPERM) {
            return errno;
        }
        return 0;
    }

    int Write(const std::string& bytes) {
        for (size_t done = 0; done < bytes.size();) {
            ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return n < 0 ? errno : EIO;
            }
            done += static_cast<size_t>(n);
        }
        return 0;
    }

    int Sync() { return ::fsync(FFd) == 0 ? 0 : errno; }

    // The lock stays until the destructor closes the file, after the rename.
    int RenameOver(const stdfs::path& target) {
        if (::rename(FPath.c_str(), target.c_str()) != 0) {
            return errno;
        }
        FRenamed = true;
        return 0;
    }

private:
    std::string FPath;
    int FFd = -1;
    int FError = 0;
    bool FRenamed = false;
};

// Makes the rename itself durable; a failure here cannot undo the replace, so
// it is not reported.
void SyncFolder(const stdfs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void ReplaceWithTemporary(const std::string& shownPath, const stdfs::path& target, const std::string& bytes) {
    struct stat original {};
    bool replacing = ::stat(target.c_str(), &original) == 0;
    // A new file gets what a plain create would give it (0666 less the umask).
    TemporaryFile temporary(target, replacing ? 0600 : 0666);
    int error = temporary.OpenError();
    if (error == 0 && replacing) {
        error = temporary.TakeAttributesOf(original);
    }
    if (error == 0) {
        error = temporary.Write(bytes);
    }
    if (error == 0) {
        error = temporary.Sync();
    }
    if (error == 0) {
        error = temporary.RenameOver(target);
    }
    if (error != 0) {
        ThrowWriteError(shownPath, error);
    }
    SyncFolder(target.parent_path());
}

#endif

constexpr int kMaxLinkHops = 40;

std::string WithoutTrailingSeparator(const stdfs::path& path) {
    std::string text = path.string();
    while (text.size() > 1 && text.back() == Separator() && path.root_path().string() != text) {
        text.pop_back();
    }
    return text;
}

// The first component of an absolute path that is a symbolic link, after weakly_canonical resolved every
// link of the part that exists: a dangling link, or none.
std::optional<stdfs::path> DanglingLinkIn(const stdfs::path& path, stdfs::path& rest) {
    stdfs::path walked;
    for (auto part = path.begin(); part != path.end(); ++part) {
        walked /= *part;
        std::error_code ec;
        if (stdfs::is_symlink(stdfs::symlink_status(walked, ec))) {
            rest.clear();
            for (++part; part != path.end(); ++part) {
                rest /= *part;
            }
            return walked;
        }
    }
    return std::nullopt;
}

bool HasNoWriteBit(const stdfs::file_status& status) {
    constexpr auto anyWrite =
        stdfs::perms::owner_write | stdfs::perms::group_write | stdfs::perms::others_write;
    return (status.permissions() & anyWrite) == stdfs::perms::none;
}

} // namespace

char Separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty()) {
        return folder;
    }
    size_t end = folder.find_last_not_of("/\\");
    if (end == std::string::npos) {
        return std::string(1, Separator());
    }
    return folder.substr(0, end + 1) + Separator();
}

std::string Resolve(const std::string& path) {
    std::string platform = ToPlatformSeparators(path);
    if (platform.empty() || EntryExists(platform)) {
        return platform;
    }
    // Walk from the root; once a component matches nothing, the rest cannot
    // exist either and is kept as written.
    stdfs::path resolved;
    bool searching = true;
    for (const stdfs::path& part : stdfs::path(platform)) {
        std::string component = part.string();
        if (searching && !component.empty() && component != "." && component != ".." &&
            !EntryExists(resolved / part)) {
            std::string match = FindIgnoringCase(resolved, component);
            if (match.empty()) {
                searching = false;
            } else {
                component = match;
            }
        }
        resolved = component.empty() ? resolved : resolved / component;
    }
    std::string result = resolved.string();
    // A trailing separator names a folder; keep it.
    if (platform.back() == Separator() && !result.empty() && result.back() != Separator()) {
        result += Separator();
    }
    return result;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    return WithoutTrailingSeparator(stdfs::absolute(Resolve(path), ec).lexically_normal());
}

std::string NearestExistingFolder(const std::string& path) {
    stdfs::path folder = AbsolutePath(path);
    while (!DirExists(folder.string())) {
        if (!folder.has_relative_path()) {
            return {};
        }
        folder = folder.parent_path();
    }
    return folder.string();
}

std::string CanonicalPath(const std::string& path) {
    std::error_code ec;
    stdfs::path current = stdfs::absolute(Resolve(path), ec).lexically_normal();
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        const stdfs::path existing = stdfs::weakly_canonical(current, ec);
        if (ec) {
            break; // a loop of links: no write gets through it either
        }
        stdfs::path rest;
        const std::optional<stdfs::path> link = DanglingLinkIn(existing, rest);
        const stdfs::path target = link ? stdfs::read_symlink(*link, ec) : stdfs::path();
        if (!link || ec) {
            return WithoutTrailingSeparator(existing);
        }
        current = target.is_absolute() ? target : link->parent_path() / target;
        // An empty rest would add a trailing separator, through which the system follows even a dangling
        // link.
        if (!rest.empty()) {
            current /= rest;
        }
    }
    return WithoutTrailingSeparator(current.lexically_normal());
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return stdfs::equivalent(Resolve(a), Resolve(b), ec) && !ec;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return stdfs::is_regular_file(Resolve(path), ec);
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return stdfs::exists(stdfs::symlink_status(Resolve(path), ec));
}

bool DirExists(const std::string& path) {
    std::error_code ec;
    return stdfs::is_directory(Resolve(path), ec);
}

std::optional<std::uintmax_t> FileSize(const std::string& path) {
    std::error_code ec;
    std::uintmax_t size = stdfs::file_size(Resolve(path), ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

// One system call for a path that exists as written: a load stamps thousands of files.
std::optional<TFileStamp> FileStamp(const std::string& path) {
#ifdef _WIN32
    const std::string resolved = Resolve(path);
    std::error_code ec;
    if (!stdfs::is_regular_file(resolved, ec)) {
        return std::nullopt;
    }
    const std::uintmax_t size = stdfs::file_size(resolved, ec);
    const stdfs::file_time_type modified = stdfs::last_write_time(resolved, ec);
    if (ec) {
        return std::nullopt;
    }
    return TFileStamp{size, static_cast<std::int64_t>(modified.time_since_epoch().count())};
#else
    struct stat info {};
    if (::stat(ToPlatformSeparators(path).c_str(), &info) != 0 && ::stat(Resolve(path).c_str(), &info) != 0) {
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return TFileStamp{static_cast<std::uintmax_t>(info.st_size),
                      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
#endif
}

std::optional<std::string> ReadFile(const std::string& path) {
#ifdef _WIN32
    std::string resolved = Resolve(path);
    std::error_code ec;
    if (!stdfs::is_regular_file(resolved, ec)) {
        return std::nullopt;
    }
    std::ifstream in(resolved, std::ios::binary);
    std::string content(static_cast<size_t>(stdfs::file_size(resolved, ec)), '\0');
    if (!in || ec || !in.read(content.data(), static_cast<std::streamsize>(content.size()))) {
        return std::nullopt;
    }
    return content;
#else
    // One open, one fstat and the reads: a load opens every game file, so the
    // path is tried as written first and resolved only when that fails. Not
    // blocking keeps a named pipe at the path from stalling the open.
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(ToPlatformSeparators(path).c_str(), kFlags);
    if (fd < 0) {
        fd = ::open(Resolve(path).c_str(), kFlags);
    }
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        content.emplace(static_cast<size_t>(info.st_size), '\0');
        size_t done = 0;
        while (content && done < content->size()) {
            ssize_t n = ::read(fd, content->data() + done, content->size() - done);
            if (n < 0 && errno != EINTR) {
                content.reset();
            } else if (n == 0) {
                content->resize(done); // the file shrank meanwhile
            } else if (n > 0) {
                done += static_cast<size_t>(n);
            }
        }
    }
    ::close(fd);
    return content;
#endif
}

bool IsReadOnly(const std::string& path) {
    std::error_code ec;
    stdfs::file_status status = stdfs::status(Resolve(path), ec);
    return !ec && stdfs::exists(status) && HasNoWriteBit(status);
}

std::string WriteObstacle(const std::string& path, bool mayCreate) {
    stdfs::path target = FinalTarget(Resolve(path));
    std::error_code ec;
    stdfs::file_status status = stdfs::status(target, ec);
    if (stdfs::exists(status)) {
        if (!stdfs::is_regular_file(status)) {
            return "it is not a file";
        }
        if (HasNoWriteBit(status)) {
            return "the file is read-only";
        }
    } else if (!mayCreate) {
        return "the file does not exist";
    }
    stdfs::path folder = target.parent_path().empty() ? stdfs::path(".") : target.parent_path();
    if (!stdfs::is_directory(folder, ec)) {
        return "the folder does not exist";
    }
#ifndef _WIN32
    // The replace creates a file beside the target, so the folder must take one.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return std::strerror(errno);
    }
#endif
    return {};
}

void AtomicReplace(const std::string& path, const std::string& bytes) {
    std::string resolved = Resolve(path);
    ReplaceWithTemporary(resolved, FinalTarget(resolved), bytes);
}

void RemoveStaleTemporary(const std::string& path) {
#ifndef _WIN32
    RemoveIfStale(TemporaryName(FinalTarget(Resolve(path))));
#else
    std::error_code ignored;
    stdfs::remove(TemporaryName(FinalTarget(Resolve(path))), ignored);
#endif
}

// One listing per folder instead of three look-ups per file: a save without changes passes over thousands of
// weapon files. A file is looked at alone only where the listing cannot vouch for it: its temporary is
// there, it is a link (whose temporary lies beside the target), or its name is not listed as written.
void RemoveStaleTemporaries(const std::vector<std::string>& paths) {
    std::map<stdfs::path, std::vector<const std::string*>> byFolder;
    for (const std::string& path : paths) {
        byFolder[stdfs::path(ToPlatformSeparators(path)).parent_path()].push_back(&path);
    }
    for (const auto& [written, files] : byFolder) {
        // Tidying is a courtesy after the files were saved; a name the platform cannot spell must not turn a
        // save that wrote everything into a failure.
        try {
            const stdfs::path folder = written.empty() ? stdfs::path(".") : written;
            std::unordered_set<std::string> plain;
            std::unordered_set<std::string> temporaries;
            std::error_code ec;
            stdfs::directory_iterator it(folder, ec);
            for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
                std::string name = it->path().filename().string();
                std::error_code kind;
                if (name.ends_with(kTemporarySuffix)) {
                    temporaries.insert(it->path().string());
                } else if (!it->is_symlink(kind) && !kind) {
                    plain.insert(std::move(name));
                }
            }
            for (const std::string* file : files) {
                const std::string name = stdfs::path(ToPlatformSeparators(*file)).filename().string();
                if (ec || !plain.contains(name) || temporaries.contains(TemporaryName(folder / name))) {
                    RemoveStaleTemporary(*file);
                }
            }
        } catch (const std::exception&) {
            // The next folder is tidied all the same.
        }
    }
}

std::string ScratchPathBeside(const std::string& path, const std::string& tag) {
    const stdfs::path target = FinalTarget(Resolve(path));
    return (target.parent_path() / ("." + target.filename().string() + "." + tag)).string();
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    stdfs::remove(Resolve(path), ec);
    return !ec;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& mask) {
    std::vector<std::string> names;
    std::error_code ec;
    stdfs::directory_iterator it(Resolve(folder), ec);
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        std::error_code statError;
        std::string name = it->path().filename().string();
        // The entry's own type comes with the listing; only a link is followed to its target.
        if (MatchesMask(name.c_str(), mask.c_str()) && it->is_regular_file(statError)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::vector<std::string> ListFilesBelow(const std::string& folder, const std::string& mask) {
    // Sorted by a lower-case copy, then by the path itself: the order of LessIgnoringCase, without folding
    // both paths at every comparison of a few thousand.
    std::vector<std::pair<std::string, std::string>> found;
    const std::string root = Resolve(folder);
    const size_t rootSize = WithTrailingSeparator(root).size();
    std::error_code ec;
    // A folder the user may not read is passed over rather than ending the walk.
    stdfs::recursive_directory_iterator it(root, stdfs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code statError;
        const std::string path = it->path().string();
        const size_t nameStart = path.find_last_of(Separator()) + 1;
        if (path.size() <= rootSize || !MatchesMask(path.c_str() + nameStart, mask.c_str()) ||
            !it->is_regular_file(statError)) {
            continue;
        }
        std::string relative = path.substr(rootSize);
        std::replace(relative.begin(), relative.end(), '/', '\\');
        std::string lower = relative;
        std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
        found.emplace_back(std::move(lower), std::move(relative));
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (auto& [lower, path] : found) {
        paths.push_back(std::move(path));
    }
    return paths;
}

std::string NameAsGameText(const std::string& name) {
#ifdef _WIN32
    return name;
#else
    return Utf8ToCp1251(name).value_or(name);
#endif
}

std::string ExecutableFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return WithTrailingSeparator(stdfs::path(std::string(buffer, length)).parent_path().string());
#else
    std::error_code ec;
    stdfs::path exe = stdfs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return WithTrailingSeparator(stdfs::current_path(ec).string());
    }
    return WithTrailingSeparator(exe.parent_path().string());
#endif
}

} // namespace kw::fs
