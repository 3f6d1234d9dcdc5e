#pragma once

#include <string>
#include <vector>

namespace kw {

// One file whose copy failed, both texts UTF-8 for the user.
struct TBackupFailure {
    std::string File;   // the platform path of the source
    std::string Reason; // why, without the file name
};

struct TBackupResult {
    std::vector<std::string> Copied; // platform paths of the sources copied, in the order given
    std::vector<TBackupFailure> Failures;

    bool Ok() const { return Failures.empty(); }
    bool Empty() const { return Copied.empty() && Failures.empty(); }
};

// The copy of a file: its full name with ".bak" appended, in the same folder.
std::string BackupPathOf(const std::string& file);

// Copies every file, in order, to its backup name, replacing an earlier copy through the same atomic
// replace a save uses, so an interrupted backup leaves the old copy or the new one and never half of one.
// A target that may not be written (no write bit, even for a privileged user, or not a file) fails as
// a read-only file did on the game's platform. A failure is recorded and the next file is copied.
TBackupResult BackupFiles(const std::vector<std::string>& files);

// The texts of the log that belong to the interface language, UTF-8.
struct TBackupLogTexts {
    std::string LogFileCreated;
    std::string SuccessText;
    std::string ErrorText;
};

// The name of the log that every backup writes anew.
inline constexpr char kBackupLogName[] = "backup.log";

// The log of a backup: the program's version line; the creation line with the date and time of the backup
// (dateTime, already formatted as the user's locale writes it); the success or failure line; an empty
// line; then every file copied on success, or only the failed ones otherwise. Lines end in CR LF.
std::string BackupLogText(const TBackupResult& result, const TBackupLogTexts& texts,
                          const std::string& dateTime);

// Writes the log text to path, replacing an earlier log. Throws kw::Error naming the file on failure.
void WriteBackupLog(const std::string& path, const std::string& text);

} // namespace kw
