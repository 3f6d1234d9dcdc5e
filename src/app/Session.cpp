#include "app/Session.h"

#include "catalog/GameFolder.h"
#include "gamecfg/FileSys.h"

namespace kw {

std::vector<std::string> TSession::RequiredFiles() const {
    return BuildRequiredFiles(FGamePath);
}

void TSession::OpenSettings(const std::string& path) {
    if (!fs::FileExists(path)) {
        fs::AtomicReplace(path, std::string());
    }
    FSettings = std::make_unique<ProfileFile>(path);
    FSettings->SetCreateIfMissing(true);
}

} // namespace kw
