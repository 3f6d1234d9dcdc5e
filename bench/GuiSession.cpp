#include "GuiSession.h"

#include "app/ProgramFiles.h"
#include "app/uMain.h"
#include "app/uProgress.h"
#include "catalog/SyntheticGame.h"
#include "gamecfg/FileSys.h"
#include "views/StandardViewFields.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace kw::bench {

namespace stdfs = std::filesystem;

namespace {

// What the program reads from its own folder: the languages, the inventory pictures, the weather choices.
const char* const kProgramFiles[] = {"Lang", "images", "weather.ini"};

// A copy of the program's files beside this executable, so that the window reads what the installed program
// reads, and writes its settings into a folder of its own.
void LayProgramFolder(const stdfs::path& folder) {
    const stdfs::path bin = fs::ExecutableFolder();
    stdfs::create_directories(folder);
    for (const char* name : kProgramFiles) {
        if (!stdfs::exists(bin / name)) {
            throw std::runtime_error((bin / name).string() +
                                     " is missing: build the bench with its resources");
        }
        stdfs::copy(bin / name, folder / name, stdfs::copy_options::recursive);
    }
}

// A user who has run the editor before: the game folder chosen (so that nothing is asked at start-up), the
// weapons page in the standard view.
void WriteSettings(const std::string& program, const std::string& game) {
    std::ofstream(program + SettingsFileName(), std::ios::binary)
        << "[MainOptions]\r\nGamePath=" << game
        << "\r\nLanguage=English\r\nViewType=1\r\nActiveTabIndex=0\r\n";
}

} // namespace

TTemporaryFolder::~TTemporaryFolder() {
    std::error_code ec;
    stdfs::remove_all(Path, ec);
}

TGuiSession::TGuiSession(int scale)
    : FRoot{stdfs::temp_directory_path() /
            ("kw-gui-bench-" + std::to_string(::getpid()) + "-" + std::to_string(scale))},
      FProgram((FRoot.Path / "program").string() + "/"), FGame((FRoot.Path / "game").string() + "/") {
    test::WriteSyntheticGame(FGame, scale);
    LayProgramFolder(FProgram);
    WriteSettings(FProgram, FGame);
}

TGuiSession::~TGuiSession() {
    DropWindow();
}

void TGuiSession::StartWindow() {
    FWindow.reset();
    FSession = std::make_unique<TSession>(FProgram);
    FWindow = std::make_unique<TfrmMain>(*FSession, &FPlatform);
    FWindow->FormCreate();
}

void TGuiSession::DropWindow() {
    FWindow.reset();
    FSession.reset();
    ProcessPendingEvents();
}

TfrmMain& TGuiSession::Window() {
    if (!FWindow) {
        StartWindow();
        WaitUntil("a populated window", [this] { return IsPopulated(); });
    }
    return *FWindow;
}

bool TGuiSession::IsPopulated() const {
    if (!FWindow || !FWindow->isVisible()) {
        return false;
    }
    for (int page = 0; page < kPageCount; ++page) {
        const QListWidget* list = FWindow->Views().ListBox(page);
        if (list == nullptr || list->count() == 0 || FWindow->Views().ShownPosition(page) != 0) {
            return false;
        }
    }
    return true;
}

void TGuiSession::Activate() {
    TfrmMain& window = Window();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window)) {
        throw std::runtime_error("the main window did not become active");
    }
}

void TGuiSession::PressCtrl(Qt::Key letter) {
    QWidget* target = QApplication::focusWidget();
    QTest::sendKeyEvent(QTest::Click, target != nullptr ? target : &Window(), letter,
                        QString(QChar(letter - Qt::Key_A + 1)), Qt::ControlModifier);
}

void TGuiSession::CheckNothingAsked(bool loopReported) {
    std::vector<QString> asked = FPlatform.TakeInterruptions();
    if (loopReported) {
        std::erase_if(asked,
                      [](const QString& text) { return text.contains(QStringLiteral("lead in a loop")); });
    }
    if (!asked.empty()) {
        throw std::runtime_error("the window interrupted the step with a " + asked.front().toStdString());
    }
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WaitUntil(const char* what, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        ProcessPendingEvents();
        if (done()) {
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error(std::string(what) + " did not come within a minute");
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

bool ProgressWindowShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return qobject_cast<const TfrmProgress*>(window) && window->isVisible();
    });
}

// A replace through a temporary file gives the name a new inode; a write in place changes the time.
std::map<std::string, std::string> FolderStamps(const std::string& folder) {
    std::map<std::string, std::string> stamps;
    for (const auto& item : stdfs::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (item.is_regular_file() && ::stat(item.path().c_str(), &info) == 0) {
            stamps[item.path().string()] =
                std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_size);
        }
    }
    return stamps;
}

} // namespace kw::bench
