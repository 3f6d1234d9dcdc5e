#pragma once

#include "BenchPlatform.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace kw {
class TSession;
class TfrmMain;
} // namespace kw

namespace kw::bench {

// The value a step typed, and the file whose save must carry it.
struct TEdit {
    std::string File; // as the file system spells it
    std::string Section;
    std::string Key;
    std::string Value;
    std::string Before; // the file's bytes before the save
    std::string Saved;  // the file's bytes after it
};

// Removes its folder with everything in it when it goes.
struct TTemporaryFolder {
    std::filesystem::path Path;
    ~TTemporaryFolder();
};

// A generated game at one scale, a program folder whose settings name it, and the editor's main window on
// them, driven as a user drives it. Everything lives below one temporary folder, removed at the end. Needs
// the application object.
class TGuiSession {
public:
    explicit TGuiSession(int scale);
    ~TGuiSession();
    TGuiSession(const TGuiSession&) = delete;
    TGuiSession& operator=(const TGuiSession&) = delete;

    const std::string& GamePath() const { return FGame; }
    TBenchPlatform& Platform() { return FPlatform; }

    // Constructs the window and runs its start-up, as the program does; returns when start-up returns.
    void StartWindow();
    void DropWindow();
    // The window after start-up; started and waited for when there is none.
    TfrmMain& Window();
    // Every page's list holds entries and shows its first.
    bool IsPopulated() const;
    // Makes the window the active one, as a click on its frame would: the offscreen platform leaves no window
    // active after a modal one, and the window's shortcuts work only in the active window.
    void Activate();
    // Ctrl with a letter where the keyboard focus is, with the control character that X11 sends along.
    void PressCtrl(Qt::Key letter);
    // Throws naming every message, question or dialog the window raised since the last call.
    // loopReported: a load's message naming the generated game's parent loop, which is there on purpose,
    // does not count.
    void CheckNothingAsked(bool loopReported = false);
    // A number that no earlier call gave.
    int NextNumber() { return ++FNumbers; }

    // What the steps leave for each other.
    TEdit Edit;
    std::map<std::string, std::string> Stamps;

private:
    TTemporaryFolder FRoot;
    std::string FProgram;
    std::string FGame;
    TBenchPlatform FPlatform;
    std::unique_ptr<TSession> FSession;
    std::unique_ptr<TfrmMain> FWindow;
    int FNumbers = 0;
};

// Posted events, due timers and deferred deletions.
void ProcessPendingEvents();
// Processes pending events until done holds; throws, naming what, after a minute.
void WaitUntil(const char* what, const std::function<bool()>& done);
// A progress window is on screen.
bool ProgressWindowShown();
// Each file below folder with what changes whenever it is written, even with the same bytes.
std::map<std::string, std::string> FolderStamps(const std::string& folder);

} // namespace kw::bench
