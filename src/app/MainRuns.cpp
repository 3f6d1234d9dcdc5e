// The main window's load, reload and save runs behind the progress window, and their failure messages.

#include "app/uMain.h"

#include "app/DiskWatch.h"
#include "app/MainInternal.h"
#include "app/uProgress.h"
#include "catalog/GameFolder.h"
#include "catalog/PictureLoader.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "translate/Translator.h"
#include "views/uConflicts.h"

#include <QLabel>

#include <QScopeGuard>
#include <algorithm>
#include <map>

#include <utility>

namespace kw {

namespace {

constexpr int kReadRun = 0;
constexpr int kWriteRun = 1;

// Run failures reported to the user; not among the window's fixed texts, so
// they are looked up directly and fall back to these.
const TextDef kSaveFailedText = {"rs_MsgSaveFailedText", "Не удалось записать следующие файлы:"};
const TextDef kSaveStoppedText = {"rs_MsgSaveStoppedText",
                                  "Запись остановлена: файлы после последнего из них не записаны."};

// A folder with none of the string tables would show every entry by its id.
bool HoldsAStringTable(const std::string& gamePath, const std::string& localization) {
    std::vector<std::string> tables;
    for (const char* name : kStringTableFiles) {
        tables.push_back(gamePath + localization + name);
    }
    return MissingFiles(tables).size() < tables.size();
}

// The stored folder serves while it holds a string table; an empty one stands
// for the default folder. When it holds none (GamePath set by hand, or the
// game's language changed since), the game's own choice is taken, as for a
// newly chosen folder.
bool TakeLocalizationFromGame(const std::string& gamePath, const std::string& stored) {
    return !HoldsAStringTable(gamePath, stored.empty() ? std::string(kDefaultLocalization) : stored);
}

QString GameText(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

} // namespace

QString TfrmMain::ParentProblemLine(const TParentProblem& problem) const {
    if (problem.Kind == TParentProblem::TKind::Missing) {
        return Variable(kParentMissingText)
            .arg(GameText(problem.File), GameText(problem.Sections.front()),
                 GameText(problem.Sections.back()));
    }
    QStringList sections;
    for (const std::string& section : problem.Sections) {
        sections.append("[" + GameText(section) + "]");
    }
    return Variable(kParentLoopText).arg(GameText(problem.File), sections.join(QStringLiteral(" -> ")));
}

// A mod whose many variants name one parent that no file defines gets one line for that parent and a count of
// the others, not a line per variant: the message stays readable.
QStringList TfrmMain::ParentProblemLines(const std::vector<TParentProblem>& problems) const {
    const auto missingParent = [](const TParentProblem& problem) {
        std::string parent = problem.Kind == TParentProblem::TKind::Missing ? problem.Sections.back() : "";
        std::transform(parent.begin(), parent.end(), parent.begin(), LowerAscii);
        return parent;
    };
    std::map<std::string, int> namers;
    for (const TParentProblem& problem : problems) {
        ++namers[missingParent(problem)];
    }
    QStringList lines;
    for (const TParentProblem& problem : problems) {
        const std::string parent = missingParent(problem);
        if (parent.empty()) {
            lines.append(ParentProblemLine(problem));
            continue;
        }
        const int count = std::exchange(namers[parent], 0);
        if (count > 0) {
            lines.append(ParentProblemLine(problem));
        }
        if (count > 1) {
            lines.append(
                Variable(kParentMissingMoreText).arg(count - 1).arg(GameText(problem.Sections.back())));
        }
    }
    return lines;
}

namespace {

// The saver names the file in most reasons already.
QString SaveFailureLine(const TSaveFailure& failure) {
    return PathText(failure.Message());
}

} // namespace

// An error before the progress window (a malformed string table) ends the
// load like an error inside it: one message, and the catalogs are not read.
void TfrmMain::LoadGameData(bool newFolder) {
    pnlGamePath->setText(PathText(FSession.GamePath()));
    try {
        const std::string stored = StoredLocalization();
        FDocument.Prepare(FSession.GamePath(),
                          newFolder || TakeLocalizationFromGame(FSession.GamePath(), stored), stored);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    TPictureLists pictures;
    LoadAllPictures(pictures, FSession.ExeFolder());
    RunLoad(&pictures);
}

std::string TfrmMain::LocalizationPath() const {
    return FDocument.Source() ? FDocument.Source()->LocalizationPath : std::string();
}

void TfrmMain::RunLoad(TPictureLists* freshPictures, TReloadPlan* keep) {
    const QString error = RunBehindProgress(kReadRun, [&] { FDocument.ReadCatalogs(freshPictures, keep); });
    if (!error.isEmpty()) {
        // The loader stopped before its end notification; the lists must not
        // keep showing entries it has dropped.
        PopulateLists();
    }
    ReportLoadProblems(error);
}

// One message for the run: what stopped it, then the values that could not be shown, then the parent
// sections the game cannot follow.
void TfrmMain::ReportLoadProblems(const QString& runError) {
    QStringList lines = std::exchange(FConversionErrors, {});
    if (!runError.isEmpty()) {
        lines.prepend(runError);
    }
    lines += ParentProblemLines(FDocument.Catalog().Inheritance().Problems());
    if (!lines.isEmpty()) {
        ShowError(lines.join(QStringLiteral("\r\n")));
    }
}

void TfrmMain::btnResetSettingsClick() {
    if (FDocument.Source() && MayDropEdits()) {
        RunLoad(nullptr);
    }
}

void TfrmMain::mnuFileResetClick() {
    btnResetSettingsClick();
}

void TfrmMain::btnSaveSettingsClick() {
    SaveDocument();
}

bool TfrmMain::SaveDocument() {
    CommitPendingEdits();
    if (!StoreTablesBeforeSave()) {
        return false;
    }
    // A file held back for a conflict is saved once the user has chosen; another program may change it again
    // meanwhile, so the choice is offered until nothing stands in the way.
    for (;;) {
        TSaveReport report;
        const QString error = RunBehindProgress(kWriteRun, [&] { report = FDocument.Save(); });
        if (!error.isEmpty()) {
            ShowError(error);
            return false;
        }
        if (!report.Failures.empty()) {
            ReportSaveFailures(report);
        }
        if (report.Conflicts.empty()) {
            if (report.Ok()) {
                ShowStatusNote(Variable(kSavedText));
            }
            return report.Ok();
        }
        if (!SettleSaveConflicts(report)) {
            ShowStatusNote(Variable(kConflictsNotSavedNote));
            return false;
        }
        if (!report.Failures.empty()) {
            // The failed files would fail again; the settled values wait for the next save.
            return false;
        }
    }
}

bool TfrmMain::SettleSaveConflicts(const TSaveReport& report) {
    TfrmConflicts dialog(
        FDocument.Conflicts(report), FDocument.Source(),
        [this](const TextDef& text) { return Variable(text); }, this, Variable(kConflictsSaveNote), this);
    if (FPlatform.RunDialog(dialog) != QDialog::Accepted) {
        return false;
    }
    FDocument.Settle(dialog.Rows());
    RefreshViews(false);
    return true;
}

// A shortcut may come while the focus is still in an edited field; the save commits it.
void TfrmMain::mnuFileSaveClick() {
    btnSaveSettingsClick();
}

// The loader and the saver breathe between files, so that a long run can bring the progress window up.
// Files that changed on disk during the run are looked at once it is over, against what it read or wrote.
QString TfrmMain::RunBehindProgress(int mode, const std::function<void()>& run) {
    QString error;
    {
        FRunning = true;
        const auto over = qScopeGuard([this] {
            FRunning = false;
            FDocument.Catalog().OnStep = nullptr;
        });
        const auto breathing = [this, &run](const TfrmProgress::Breath& breath) {
            FDocument.Catalog().OnStep = breath;
            run();
        };
        error = TfrmProgress::Run(this, Translator1->Languages(), FSession.LanguageIndex(), mode, breathing,
                                  [this] { return FPlatform.SteadyMilliseconds(); });
    }
    FDiskWatch->LookAtRemembered();
    return error;
}

void TfrmMain::ReportSaveFailures(const TSaveReport& report) {
    QStringList lines{Variable(kSaveFailedText)};
    for (const TSaveFailure& failure : report.Failures) {
        lines << SaveFailureLine(failure);
    }
    if (report.Stopped) {
        lines << Variable(kSaveStoppedText);
    }
    ShowError(lines.join(QStringLiteral("\r\n")));
}

// Parts of the window made before the translator (the views, the Edit menu) ask for their texts too; until a
// language is applied they show the built-in ones.
QString TfrmMain::Variable(const TextDef& text) const {
    if (Translator1 == nullptr) {
        return QString::fromUtf8(text.Default);
    }
    return Translator1->GetVariable(FSession.LanguageIndex(), QString::fromUtf8(text.Key),
                                    QString::fromUtf8(text.Default));
}

} // namespace kw
