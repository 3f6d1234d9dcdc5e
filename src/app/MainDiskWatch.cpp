// The main window's watch over the game files: the bar that names the files another program changed, and the
// reload that keeps unsaved work over what the files hold now.

#include "app/uMain.h"

#include "app/AnchorLayout.h"
#include "app/DiskWatch.h"
#include "app/MainInternal.h"
#include "translate/Texts.h"
#include "views/ChangedFilesBar.h"
#include "views/GameText.h"
#include "views/uChanges.h"
#include "views/uConflicts.h"

#include <QMenuBar>
#include <QPushButton>

namespace kw {

namespace {

// The bar's distance to the client's edges, as the pages keep it below.
constexpr QMargins kBarMargins(6, 4, 6, 0);

} // namespace

void TfrmMain::CreateDiskWatch(QWidget* client) {
    pnlChangedFiles = new TChangedFilesBar(client);
    FAnchors->SetTopBand(pnlChangedFiles, kBarMargins);
    TFileWatcher* watcher = FPlatform.MakeFileWatcher(this);
    FDiskWatch = new TDiskWatch(
        FDocument.DiskMarks(), *watcher, [this] { return FRunning; }, this);
    connect(FDiskWatch, &TDiskWatch::FoundChanged, this, &TfrmMain::ShowChangedFiles);
    connect(pnlChangedFiles->btnChangedFilesReload, &QPushButton::clicked, this,
            &TfrmMain::ChangedFilesReloadClick);
    connect(pnlChangedFiles->btnChangedFilesIgnore, &QPushButton::clicked, this,
            &TfrmMain::ChangedFilesIgnoreClick);
    ApplyChangedFilesTexts();
}

void TfrmMain::ApplyChangedFilesTexts() {
    pnlChangedFiles->SetTexts({Variable(kChangedFilesText), Variable(kChangedFileGoneText),
                               Variable(kChangedFilesMoreText), Variable(kChangedFilesReloadText),
                               Variable(kChangedFilesIgnoreText)});
    FitChangedFilesBar();
}

void TfrmMain::ShowChangedFiles() {
    std::vector<TChangedFilesBar::TFile> files;
    for (const TDiskWatch::TFound& found : FDiskWatch->Found()) {
        files.push_back(
            {GameRelativeFile(FDocument.DiskMarks().Files().at(found.File).Path, FDocument.Source()),
             found.State == TDiskState::Gone});
    }
    pnlChangedFiles->SetFiles(std::move(files));
    FitChangedFilesBar();
}

void TfrmMain::FitChangedFilesBar() {
    const int extra = FAnchors->TopBandRoom(centralWidget()->width());
    const QSize client = centralWidget()->minimumSize();
    const int menu = menuBar()->sizeHint().height();
    const int before = height();
    // The client's own minimum stays the layout's; the window's grows by the bar.
    setMinimumSize(client.width(), client.height() + extra + menu);
    // A window the bar made taller gives the room back when the bar goes, so that the size it keeps on
    // closing stays the one the user chose.
    if (extra > 0) {
        FBarGrowth += height() - before;
    } else if (FBarGrowth > 0) {
        if (!isMaximized() && !isFullScreen()) {
            resize(width(), height() - FBarGrowth);
        }
        FBarGrowth = 0;
    }
    FAnchors->Update();
}

// The typed field counts as an edit: a reload without one would drop it.
void TfrmMain::ChangedFilesReloadClick() {
    CommitPendingEdits();
    if (!FDocument.IsModified()) {
        ReloadKeeping(nullptr);
        return;
    }
    TReloadPlan plan = FDocument.PlanReload();
    if (!plan.Lost.empty() && !MayLoseOnReload(plan.Lost)) {
        return;
    }
    if (!plan.Conflicts.empty() && !ChooseOnReload(plan.Conflicts)) {
        return;
    }
    ReloadKeeping(&plan);
    if (!plan.Unplaced.empty()) {
        ShowWarning(Variable(kReloadUnplacedText).arg(ChangeLines(plan.Unplaced)));
    }
}

void TfrmMain::ChangedFilesIgnoreClick() {
    FDiskWatch->AcceptFound();
}

// Enter and Escape keep the work.
bool TfrmMain::MayLoseOnReload(const std::vector<TChangeOnDisk>& lost) {
    return FPlatform.Ask(this, QMessageBox::Warning, Variable(kReloadCaption),
                         Variable(kReloadLostText).arg(ChangeLines(lost)),
                         {Variable(kChangedFilesReloadText), Variable(kCancelAnswer)}, 1) == 0;
}

bool TfrmMain::ChooseOnReload(std::vector<TChangeOnDisk>& conflicts) {
    TfrmConflicts dialog(
        conflicts, FDocument.Source(), [this](const TextDef& text) { return Variable(text); }, this,
        Variable(kConflictsReloadNote), this);
    if (FPlatform.RunDialog(dialog) != QDialog::Accepted) {
        return false;
    }
    conflicts = dialog.Rows();
    return true;
}

// The string tables and the weapon files may have changed too: the preparation is read again, in the
// localization the last load used.
void TfrmMain::ReloadKeeping(TReloadPlan* plan) {
    try {
        FDocument.Prepare(FSession.GamePath(), false, LocalizationPath());
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    RunLoad(nullptr, plan);
}

QString TfrmMain::ChangeLines(const std::vector<TChangeOnDisk>& changes) const {
    QStringList lines;
    for (const TChangeOnDisk& row : changes) {
        QStringList entries;
        for (const TChangeEntry& entry : row.Change.Entries) {
            entries << GameTextToQt(entry.Name);
        }
        if (entries.isEmpty()) {
            entries << "[" + GameTextToQt(row.Change.Section) + "]";
        }
        const std::string_view catalog = row.Change.Entries.empty() ? "" : row.Change.Entries.front().Catalog;
        lines << entries.join(QStringLiteral(", ")) + QStringLiteral(" — ") +
                     ChangeFieldLabel(this, catalog, row.Change.Key);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace kw
