#include "interchange/Backup.h"

#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"

#include "Version.h"

namespace kw {

namespace {

constexpr char kLineEnd[] = "\r\n";

// Empty when the copy was made, otherwise why not.
std::string CopyToBackup(const std::string& source) {
    const std::optional<std::string> bytes = fs::ReadFile(source);
    if (!bytes) {
        return fs::FileExists(source) ? "the file cannot be read" : "the file does not exist";
    }
    const std::string target = BackupPathOf(source);
    // The replace would take over a read-only copy and keep its mode.
    if (std::string obstacle = fs::WriteObstacle(target, true); !obstacle.empty()) {
        return fs::Resolve(target) + ": " + obstacle;
    }
    try {
        fs::AtomicReplace(target, *bytes);
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

} // namespace

std::string BackupPathOf(const std::string& file) {
    return fs::Resolve(file) + ".bak";
}

TBackupResult BackupFiles(const std::vector<std::string>& files) {
    TBackupResult result;
    for (const std::string& file : files) {
        std::string reason = CopyToBackup(file);
        if (reason.empty()) {
            result.Copied.push_back(fs::Resolve(file));
        } else {
            result.Failures.push_back({fs::Resolve(file), std::move(reason)});
        }
    }
    return result;
}

std::string BackupLogText(const TBackupResult& result, const TBackupLogTexts& texts,
                          const std::string& dateTime) {
    std::string text = std::string(kVersionLine) + kLineEnd;
    text += texts.LogFileCreated + " [" + dateTime + "]" + kLineEnd;
    text += (result.Ok() ? texts.SuccessText : texts.ErrorText) + ":" + kLineEnd;
    text += kLineEnd;
    if (result.Ok()) {
        for (const std::string& file : result.Copied) {
            text += file + kLineEnd;
        }
    } else {
        for (const TBackupFailure& failure : result.Failures) {
            text += failure.File + kLineEnd;
        }
    }
    return text;
}

void WriteBackupLog(const std::string& path, const std::string& text) {
    if (std::string obstacle = fs::WriteObstacle(path, true); !obstacle.empty()) {
        throw Error(fs::Resolve(path) + ": " + obstacle);
    }
    fs::AtomicReplace(path, text);
}

} // namespace kw
