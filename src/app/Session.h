#pragma once

#include "catalog/Document.h"
#include "gamecfg/ProfileFile.h"

#include <memory>
#include <string>
#include <vector>

namespace kw {

// An editing session apart from the window that shows it: the document with its catalogs and edit history,
// the game folder the user chose, the settings file and the chosen language. The window points at a session
// and owns no game data; a test or another front end can build one on its own.
class TSession {
public:
    // exeFolder ends with a separator: the program's own folder ("weather.ini", "Lang", the settings file).
    explicit TSession(std::string exeFolder) : FExeFolder(std::move(exeFolder)) {}
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    const std::string& ExeFolder() const { return FExeFolder; }
    TDocument& Document() { return FDocument; }
    const TDocument& Document() const { return FDocument; }

    // The game folder the user chose, ending with a separator; empty before one is chosen. The document was
    // loaded from it, unless its check failed.
    const std::string& GamePath() const { return FGamePath; }
    void SetGamePath(std::string path) { FGamePath = std::move(path); }
    // The five category files of GamePath, full paths.
    std::vector<std::string> RequiredFiles() const;

    // The settings file; null until OpenSettings and after CloseSettings.
    ProfileFile* Settings() const { return FSettings.get(); }
    // Opens the settings file at path, creating it empty when it is missing.
    void OpenSettings(const std::string& path);
    void CloseSettings() { FSettings.reset(); }

    // Index of the applied language in the window's list, -1 for the built-in texts.
    int LanguageIndex() const { return FLanguageIndex; }
    void SetLanguageIndex(int index) { FLanguageIndex = index; }

private:
    std::string FExeFolder;
    std::string FGamePath;
    std::unique_ptr<ProfileFile> FSettings;
    int FLanguageIndex = -1;
    // Last, so that it goes first.
    TDocument FDocument;
};

} // namespace kw
