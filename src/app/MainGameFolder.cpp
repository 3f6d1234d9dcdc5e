// The main window's game folder: its choice, the check of its files and the state the check leaves.

#include "app/uMain.h"

#include "app/MainInternal.h"
#include "catalog/GameFolder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace kw {

namespace {

const QColor kWarningColour(128, 0, 0);

// Each menu item that copies the enabled state of its button.
const std::pair<QAction * TfrmMain::*, QPushButton * TfrmMain::*> kMirroredMenuItems[] = {
    {&TfrmMain::mnuFileSave, &TfrmMain::btnSaveSettings},
    {&TfrmMain::mnuFileReset, &TfrmMain::btnResetSettings},
    {&TfrmMain::mnuFileBackup, &TfrmMain::btnBackup},
    // The list of what a save would write goes with the save.
    {&TfrmMain::mnuFileChanges, &TfrmMain::btnSaveSettings},
};

// A path that holds a blank, a control character, a comma or a double quote
// is quoted, inner quotes doubled, so that where it starts and ends stays clear.
QString QuotedWhereNeeded(const std::string& path) {
    const bool needsQuotes = std::any_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || byte == 0x7f || c == ',' || c == '"';
    });
    if (!needsQuotes) {
        return PathText(path);
    }
    QString quoted = PathText(path);
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool IsAlwaysUsable(const QWidget* widget) {
    return widget->property("tag").toInt() == -1;
}

// A disabled container disables what it holds, so the pages and boxes that
// hold an always-usable control stay enabled; their other controls are
// switched one by one.
QSet<const QWidget*> HoldersOfAlwaysUsable(const QWidget* window) {
    QSet<const QWidget*> holders;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!IsAlwaysUsable(widget)) {
            continue;
        }
        for (const QWidget* parent = widget->parentWidget(); parent != nullptr && parent != window;
             parent = parent->parentWidget()) {
            holders.insert(parent);
        }
    }
    return holders;
}

// Widgets of the window's own that the game-folder check switches as a block:
// named ones (the toolkit names its inner parts "qt_..."), not marked with tag
// -1, and neither the menu nor part of another window such as a dialog.
bool IsSwitchedWithGameFiles(const QWidget* widget, const QWidget* window) {
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && widget->window() == window &&
           !IsAlwaysUsable(widget) && !qobject_cast<const QMenuBar*>(widget);
}

} // namespace

// True on a first start, whether or not a folder was then chosen.
bool TfrmMain::AskGamePathOnFirstStart() {
    if (!PathText(FSession.GamePath()).trimmed().isEmpty()) {
        return false;
    }
    FPlatform.MessageBox(this, QMessageBox::Warning, FTexts.Get("rs_MsgExclamationCaption"),
                         FTexts.Get("rs_MsgExtractFilesText"), QMessageBox::Ok);
    ChooseGamePath();
    return true;
}

void TfrmMain::btnSelectGamePathClick() {
    CommitPendingEdits();
    if (ChooseGamePath()) {
        CheckAndLoadGameFolder(true);
    }
}

void TfrmMain::mnuSettingsGamePathClick() {
    btnSelectGamePathClick();
}

// The user most often picks the current folder again after fixing it, or a neighbour of it; a folder that is
// gone opens its nearest parent that is still there. Nothing stored: the chooser's own start.
QString TfrmMain::ChooserStartFolder() const {
    if (FSession.GamePath().empty()) {
        return {};
    }
    return PathText(fs::NearestExistingFolder(FSession.GamePath()));
}

// A cancelled choice changes nothing; an accepted one becomes GamePath before
// it is checked, so a rejected folder is still what the settings keep.
bool TfrmMain::ChooseGamePath() {
    const QString chosen =
        FPlatform.ChooseFolder(this, FTexts.Get("rs_SelectGamePath"), ChooserStartFolder()).trimmed();
    if (chosen.isEmpty() || !MayDropEdits()) {
        return false;
    }
    FSession.SetGamePath(fs::WithTrailingSeparator(chosen.toStdString()));
    FKeepStoredGamePath = false;
    return true;
}

bool TfrmMain::CheckAndLoadGameFolder(bool newFolder, bool firstStart) {
    if (!CheckGameFiles(FSession.RequiredFiles())) {
        return false;
    }
    // Before anything is edited, the first start offers a copy of the files as they came.
    if (firstStart) {
        btnBackupClick();
    }
    LoadGameData(newFolder);
    return true;
}

bool TfrmMain::CheckGameFiles(const std::vector<std::string>& files) {
    const std::vector<std::string> missing = MissingFiles(files);
    const bool ready = missing.empty();
    if (!ready) {
        pnlGamePath->clear();
        try {
            ReportMissingFiles(missing);
        } catch (...) {
            ApplyGameFilesState(false);
            throw;
        }
    }
    ApplyGameFilesState(ready);
    return ready;
}

void TfrmMain::ReportMissingFiles(const std::vector<std::string>& missing) {
    QStringList lines;
    for (const std::string& file : missing) {
        lines << QuotedWhereNeeded(fs::Resolve(file));
    }
    FPlatform.MessageBox(this, QMessageBox::Critical, FTexts.Get("rs_MsgCannotFindFilesCaption"),
                         FTexts.Get("rs_MsgCannotFindFilesText") + QStringLiteral("\r\n") +
                             lines.join(QStringLiteral("\r\n")),
                         QMessageBox::Ok);
}

void TfrmMain::ApplyGameFilesState(bool ready) {
    QPalette palette = pnlGamePath->palette();
    palette.setColor(QPalette::WindowText,
                     ready ? QApplication::palette(pnlGamePath).color(QPalette::WindowText) : kWarningColour);
    pnlGamePath->setPalette(palette);
    if (ready) {
        Timer1->stop();
    } else {
        Timer1->start();
    }
    const QSet<const QWidget*> holders = HoldersOfAlwaysUsable(this);
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (IsSwitchedWithGameFiles(widget, this) && !holders.contains(widget)) {
            widget->setEnabled(ready);
        }
    }
    if (ready) {
        FViews->SyncDependentControls();
    }
    for (const auto& [item, button] : kMirroredMenuItems) {
        (this->*item)->setEnabled((this->*button)->isEnabled());
    }
}

// One second the warning, one second nothing; a note shown meanwhile holds the line until it ends.
void TfrmMain::Timer1Timer() {
    if (IsStatusNoteShown()) {
        return;
    }
    if (pnlGamePath->text().isEmpty()) {
        pnlGamePath->setText(FTexts.Get("rs_CannotFindGameFiles"));
    } else {
        pnlGamePath->clear();
    }
}

} // namespace kw
