#pragma once

#include "app/Platform.h"
#include "app/ProgramFiles.h"
#include "app/uMain.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"
#include "views/CoolCtrls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace kwtest {

// Watches nothing: keeps what the window asked it to watch, and tells the window of a change when a test says
// another program made one.
class FakeFileWatcher : public kw::TFileWatcher {
public:
    using TFileWatcher::TFileWatcher;
    void SetPaths(const QStringList& paths) override { Paths = paths; }
    void Fire(const QString& path) { emit Changed(path); }
    QStringList Paths;
};

// Answers every dialog at once and keeps what it was asked to show.
class FakePlatform : public kw::TPlatform {
public:
    struct Message {
        QMessageBox::Icon Icon;
        QString Caption;
        QString Text;
    };

    QMessageBox::StandardButton MessageBox(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons) override {
        Messages.push_back({icon, caption, text});
        return buttons.testFlag(QMessageBox::Yes) ? Answer : QMessageBox::Ok;
    }
    QString ChooseFolder(QWidget*, const QString& title, const QString& startFolder) override {
        FolderTitles.push_back(title);
        FolderStarts.push_back(startFolder);
        return Folder;
    }
    // Picks the answer whose caption is Choice; a yes-or-no question takes Answer; any other answer not
    // offered cancels, as Escape does.
    int Ask(QWidget*, QMessageBox::Icon icon, const QString& caption, const QString& text,
            const QStringList& answers, int defaultAnswer) override {
        Questions.push_back({icon, caption, text, answers, defaultAnswer});
        const qsizetype chosen = answers.indexOf(Choice);
        if (chosen >= 0) {
            return static_cast<int>(chosen);
        }
        if (IsYesNo(answers)) {
            return Answer == QMessageBox::Yes ? 0 : 1;
        }
        return static_cast<int>(answers.size() - 1);
    }
    // The built-in answers and those of the bundled English file.
    static bool IsYesNo(const QStringList& answers) {
        return answers == QStringList{QString::fromUtf8(kw::kYesAnswer.Default),
                                      QString::fromUtf8(kw::kNoAnswer.Default)} ||
               answers == QStringList{QStringLiteral("Yes"), QStringLiteral("No")};
    }
    QDateTime Now() override { return QDateTime(QDate(2024, 5, 1), QTime(12, 0)); }
    // The clock stands still unless a test moves it: a load or a save takes no time, so no progress window
    // appears. StepPerLook makes every look at it find that much more time gone.
    qint64 SteadyMilliseconds() override { return Steady += StepPerLook; }
    kw::TFileWatcher* MakeFileWatcher(QObject* parent) override {
        Watcher = new FakeFileWatcher(parent);
        return Watcher;
    }
    // The watcher of the window shown last.
    QPointer<FakeFileWatcher> Watcher;
    // Picks FileFilter, when given, as the user would, and answers File.
    QString RunFileDialog(QFileDialog& dialog) override {
        FileDialogRuns.push_back({dialog.objectName(), dialog.windowTitle(), dialog.nameFilters(),
                                  dialog.directory().absolutePath(), dialog.defaultSuffix(),
                                  dialog.fileMode()});
        if (!FileFilter.isEmpty()) {
            dialog.selectNameFilter(FileFilter);
        }
        return File;
    }

    // Drives one of the window's own dialogs while it is shown, as the user would.
    // A dialog the driver closed with a button answers as that button does; one left open is accepted.
    int RunDialog(QDialog& dialog) override {
        std::optional<int> finished;
        const QMetaObject::Connection watching = QObject::connect(
            &dialog, &QDialog::finished, &dialog, [&finished](int result) { finished = result; });
        dialog.show();
        if (OnDialog) {
            OnDialog(dialog);
        }
        QObject::disconnect(watching);
        dialog.close();
        return finished.value_or(QDialog::Accepted);
    }
    std::function<void(QDialog&)> OnDialog;
    // Answers the colour dialog with Color; an invalid one cancels.
    std::optional<QColor> ChooseColour(QWidget*, const QColor& initial, const QString& title) override {
        ColourDialogs.push_back({initial, title});
        return Color.isValid() ? std::optional<QColor>(Color) : std::nullopt;
    }
    struct ColorDialog {
        QColor Initial;
        QString Title;
    };
    std::vector<ColorDialog> ColourDialogs;
    QColor Color;

    std::vector<Message> Messages;
    struct Question {
        QMessageBox::Icon Icon;
        QString Caption;
        QString Text;
        QStringList Answers;
        int DefaultAnswer;
    };
    std::vector<Question> Questions;
    // The answer to a question about unsaved work; discarding, as the window did before it asked.
    QString Choice = QString::fromUtf8(kw::kDiscardAnswer.Default);
    QString Folder; // the folder chooser's answer; empty cancels
    std::vector<QString> FolderTitles;
    std::vector<QString> FolderStarts;                    // where each folder choice opened
    QMessageBox::StandardButton Answer = QMessageBox::No; // to a Yes/No question
    // The window's own file dialogs, as RunFileDialog found them.
    struct FileDialogRun {
        QString Name;
        QString Title;
        QStringList Filters;
        QString Dir;
        QString DefaultSuffix;
        QFileDialog::FileMode Mode;
    };
    std::vector<FileDialogRun> FileDialogRuns;
    QString File; // RunFileDialog's answer; empty cancels
    QString FileFilter;

    qint64 Steady = 0;
    qint64 StepPerLook = 0;
};

// A language file in the program's format with the given component captions
// and variables of "frmMain".
inline std::string LanguageXml(const std::string& name,
                               const std::vector<std::pair<std::string, std::string>>& captions,
                               const std::vector<std::pair<std::string, std::string>>& variables) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<translation><language><name>" + name +
                      "</name></language><forms><form name=\"frmMain\"><components>";
    for (const auto& [component, caption] : captions) {
        xml +=
            "<component name=\"" + component + "\"><prop id=\"Caption\">" + caption + "</prop></component>";
    }
    xml += "</components><variables>";
    for (const auto& [key, text] : variables) {
        xml += "<var id=\"" + key + "\">" + text + "</var>";
    }
    return xml + "</variables></form></forms></translation>\n";
}

// The loaded entry of the section, spelled as the file spells it.
template <class Entry>
Entry& Find(const std::vector<std::unique_ptr<Entry>>& entries, const std::string& section) {
    for (const auto& entry : entries) {
        if (entry->Section == section) {
            return *entry;
        }
    }
    throw std::runtime_error("no entry " + section);
}

// Each test runs the window on a program folder of its own.
class MainWindowTest : public ::testing::Test {
protected:
    // A fresh name each time: a test process that was killed leaves its folder, and its process number comes
    // round again.
    void SetUp() override {
        std::string name = (std::filesystem::temp_directory_path() / "kw_app_XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr) << name;
        FFolder = name;
    }
    void TearDown() override {
        FWindow.reset();
        FSession.reset();
        std::filesystem::permissions(FFolder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove_all(FFolder);
    }

    std::string ExeFolder() const { return FFolder.string() + "/"; }
    std::string SettingsPath() const { return ExeFolder() + kw::SettingsFileName(); }

    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path path = FFolder / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    void WriteSettings(const std::string& mainOptions, const std::string& tableColumns = {}) const {
        Write(kw::SettingsFileName(), "[MainOptions]\n" + mainOptions + "[TableColumns]\n" + tableColumns);
    }
    // A copy of the bundled sample game below the test's folder; a save writes into it.
    std::string CopySampleGame(const std::string& name) const {
        const std::filesystem::path target = FFolder / name;
        std::filesystem::create_directories(target);
        std::filesystem::copy(std::filesystem::path(KW_SOURCE_DIR) / "examples" / "sample-game", target,
                              std::filesystem::copy_options::recursive);
        return target.string() + "/";
    }
    // The inventory pictures beside the executable.
    void CopyPictures() const {
        std::filesystem::copy(std::filesystem::path(KW_SOURCE_DIR) / "resources" / "images",
                              FFolder / "images", std::filesystem::copy_options::recursive);
    }
    std::string Setting(const std::string& section, const std::string& key) const {
        return kw::ProfileFile(SettingsPath()).ReadString(section, key, "<absent>");
    }

    kw::TfrmMain& Start() {
        FWindow = std::make_unique<kw::TfrmMain>(NewSession(), &FPlatform);
        FWindow->FormCreate();
        return *FWindow;
    }
    QList<QAction*> LanguageItems() const { return FWindow->mnuSettingsLanguage->actions(); }
    // The language menu's item of the language named name; its text carries an access key besides the name.
    QAction* LanguageItem(const QString& name) const {
        for (QAction* item : LanguageItems()) {
            if (QString(item->text()).remove(QLatin1Char('&')) == name) {
                return item;
            }
        }
        ADD_FAILURE() << "no language item " << name.toStdString();
        return nullptr;
    }
    // A value set as an edit of the user, through the window's document.
    void SetValue(kw::TParam& param, const std::string& value) const {
        FWindow->Document().Edit("", {}, {{&param, value}});
    }

    // A fresh session on the test's program folder, for a window to show; the window before it goes first.
    kw::TSession& NewSession() {
        FWindow.reset();
        FSession = std::make_unique<kw::TSession>(ExeFolder());
        return *FSession;
    }

    std::filesystem::path FFolder;
    FakePlatform FPlatform;
    // Before the window, which points at it, so that it goes last.
    std::unique_ptr<kw::TSession> FSession;
    std::unique_ptr<kw::TfrmMain> FWindow;
};

// Every file of a folder by its path relative to the folder, with its exact bytes.
inline std::map<std::string, std::string> FileBytes(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            files[std::filesystem::relative(item.path(), folder).string()] =
                kw::fs::ReadFile(item.path().string()).value_or("<unreadable>");
        }
    }
    return files;
}

// The lines that differ between two states of a folder, as "file: new line"; the files must keep their
// number of lines.
inline std::vector<std::string> ChangedLines(const std::map<std::string, std::string>& before,
                                             const std::map<std::string, std::string>& after) {
    std::vector<std::string> changed;
    EXPECT_EQ(after.size(), before.size());
    for (const auto& [file, text] : after) {
        const QStringList lines = QString::fromLatin1(text).split('\n');
        const QStringList old = QString::fromLatin1(before.at(file)).split('\n');
        EXPECT_EQ(lines.size(), old.size()) << file;
        for (qsizetype i = 0; i < std::min(lines.size(), old.size()); ++i) {
            if (lines[i] != old[i]) {
                changed.push_back(file + ": " + lines[i].toStdString());
            }
        }
    }
    return changed;
}

// Clicks the button and runs act on the modal dialog it opens; false when no such dialog opened.
template <class Dialog> bool DriveDialog(QAbstractButton* button, const std::function<void(Dialog&)>& act) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            opened = true;
            act(*dialog);
            if (dialog->isVisible()) {
                dialog->close();
            }
        }
    });
    button->click();
    return opened;
}

// A copy of the sample game named in the settings, for a window that is shown and active, so that focus
// moves as under a user. A subclass adds main options (a view, a language) through MoreOptions.
class SampleGameWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
        WriteSettings("GamePath=" + FGame + "\n" + MoreOptions());
    }
    virtual std::string MoreOptions() const { return {}; }

    kw::TfrmMain& StartShown() {
        kw::TfrmMain& window = Start();
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }
    // Another program's window takes the activation, and with it the focus, from the editor.
    std::unique_ptr<QWidget> ActivateAnotherWindow() const {
        auto other = std::make_unique<QWidget>();
        other->resize(200, 100);
        other->show();
        QApplication::setActiveWindow(other.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(other.get()));
        EXPECT_FALSE(FWindow->isActiveWindow());
        return other;
    }
    template <class T> T* Control(const char* name) const {
        T* control = FWindow->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Types into the field as a user does, replacing its text.
    kw::TCoolEdit* TypeInto(const char* name, const QString& text) const {
        auto* field = Control<kw::TCoolEdit>(name);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        return field;
    }
    // relative in the platform's form, below the game folder.
    std::string GameFile(const std::string& relative) const {
        return kw::fs::ReadFile(FGame + relative).value_or("<unreadable>");
    }
    void ReplaceInGameFile(const std::string& relative, const std::string& from,
                           const std::string& to) const {
        std::string text = GameFile(relative);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(FGame + relative, std::ios::binary) << text;
    }

    std::string FGame;
};

} // namespace kwtest
