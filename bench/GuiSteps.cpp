// The interactions kitwright-gui-bench times, one row each: a set-up, an action and a check on TGuiSession.
// Start-up and the saves are here; moving about and editing in GuiViewSteps.cpp.

#include "GuiSteps.h"

#include "GuiChartSteps.h"
#include "GuiSession.h"
#include "GuiViewSteps.h"
#include "app/uMain.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"
#include "views/CoolCtrls.h"
#include "views/StandardViewFields.h"

#include <QTest>

#include <stdexcept>

namespace kw::bench {

namespace {

// A numeric field of the weapon the standard view shows first, and its key in the weapon's own file.
const char* const kEditedField = "txtWeapons_rpm";
const char* const kEditedKey = "rpm";

void Nothing(TGuiSession&) {}

void StartUp(TGuiSession& session) {
    session.StartWindow();
    WaitUntil("a populated window", [&] { return session.IsPopulated() && !ProgressWindowShown(); });
}

void CheckStarted(TGuiSession& session) {
    session.CheckNothingAsked(true);
}

const TWeapon& ShownWeapon(TfrmMain& window) {
    if (window.PageControl1->currentIndex() != WeaponsPage || !window.IsStandardView()) {
        throw std::runtime_error("the window does not show the weapons page's standard view");
    }
    const int shown = window.Views().ShownPosition(WeaponsPage);
    if (shown < 0) {
        throw std::runtime_error("the weapons page shows no weapon");
    }
    return *window.Catalog().Weapons.at(static_cast<size_t>(shown));
}

// A click into the field, Ctrl+A and a number that the file does not hold yet, typed key by key.
void TypeOneValue(TGuiSession& session) {
    TfrmMain& window = session.Window();
    session.Activate();
    const TWeapon& weapon = ShownWeapon(window);
    auto* field = window.findChild<TCoolEdit*>(QString::fromLatin1(kEditedField));
    if (field == nullptr) {
        throw std::runtime_error(std::string("no field ") + kEditedField);
    }
    const std::string file = fs::Resolve(window.Catalog().GamePath() + weapon.FileName);
    session.Edit = {file,
                    weapon.Section,
                    kEditedKey,
                    std::to_string(1000 + session.NextNumber()),
                    fs::ReadFile(file).value_or(""),
                    {}};
    QTest::mouseClick(field, Qt::LeftButton);
    session.PressCtrl(Qt::Key_A);
    QTest::keyClicks(field, QString::fromStdString(session.Edit.Value));
    if (field->text().toStdString() != session.Edit.Value) {
        throw std::runtime_error("the field holds \"" + field->text().toStdString() + "\" after typing " +
                                 session.Edit.Value);
    }
}

void SaveOneEdit(TGuiSession& session) {
    session.PressCtrl(Qt::Key_S);
    WaitUntil("the save of one edit", [&] {
        return fs::ReadFile(session.Edit.File).value_or("") != session.Edit.Before && !ProgressWindowShown();
    });
}

void CheckEditSaved(TGuiSession& session) {
    session.CheckNothingAsked();
    const TEdit& edit = session.Edit;
    std::string onDisk = ProfileFile(edit.File).ReadString(edit.Section, edit.Key, "<absent>");
    onDisk = onDisk.substr(0, onDisk.find_first_of("\t ;"));
    if (onDisk != edit.Value) {
        throw std::runtime_error(edit.File + " holds " + edit.Key + " = " + onDisk + " after saving " +
                                 edit.Value);
    }
    if (session.Window().isWindowModified()) {
        throw std::runtime_error("the window still shows unsaved work after the save");
    }
}

void TakeSavedBytes(TGuiSession& session) {
    session.Edit.Saved = fs::ReadFile(session.Edit.File).value_or("");
}

void WriteSavedBytes(TGuiSession& session) {
    fs::AtomicReplace(session.Edit.File, session.Edit.Saved);
}

void StampUnchangedGame(TGuiSession& session) {
    session.Activate();
    if (session.Window().isWindowModified()) {
        throw std::runtime_error("the window shows unsaved work before a save without edits");
    }
    session.Stamps = FolderStamps(session.GamePath());
}

void SaveNoEdit(TGuiSession& session) {
    session.PressCtrl(Qt::Key_S);
    WaitUntil("the end of the save without edits", [] { return !ProgressWindowShown(); });
}

void CheckNothingWritten(TGuiSession& session) {
    session.CheckNothingAsked();
    for (const auto& [file, stamp] : FolderStamps(session.GamePath())) {
        if (session.Stamps[file] != stamp) {
            throw std::runtime_error("a save without edits wrote " + file);
        }
    }
}

// The rows of GuiViewSteps.cpp are constant-initialised, so they are whole before this copy is made.
const TGuiStep kSteps[] = {
    {"start-up",
     "constructing the main window and its start-up (settings, language, views, the first load) until every "
     "page's list holds its entries and shows the first, pending events processed",
     [](TGuiSession& session) { session.DropWindow(); },
     StartUp,
     CheckStarted,
     {.UnderMs = 1000}},
    kPageStep,
    kEntryStep,
    kCommitStep,
    {"Ctrl+S one edit",
     "Ctrl+S after typing one number into a field of the standard view, until the weapon's file holds it "
     "and no progress window is left on screen",
     TypeOneValue,
     SaveOneEdit,
     CheckEditSaved,
     {.Floor = "write one file", .TimesFloor = 3}},
    {"write one file",
     "the bytes that save wrote, written again through the same atomic replace (temporary file, fsync, "
     "rename, folder fsync)",
     TakeSavedBytes,
     WriteSavedBytes,
     Nothing,
     {}},
    {"Ctrl+S no edit",
     "Ctrl+S with nothing changed, until no progress window is left on screen",
     StampUnchangedGame,
     SaveNoEdit,
     CheckNothingWritten,
     {.UnderMs = 50}},
    kTableStep,
    kPasteStep,
    kUndoPasteStep,
    kChartStep,
};

} // namespace

std::span<const TGuiStep> GuiSteps() {
    return kSteps;
}

} // namespace kw::bench
