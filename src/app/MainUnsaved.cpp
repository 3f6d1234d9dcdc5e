// The main window's questions before unsaved work would be lost.

#include "app/uMain.h"

#include "translate/Texts.h"
#include "views/StepNames.h"

namespace kw {

// Enter saves or stores where that is offered, and otherwise keeps the work.
TfrmMain::TUnsavedAnswer TfrmMain::AskUnsaved(const TextDef& text, const TextDef* firstAnswer) {
    const bool offerSave = firstAnswer != nullptr;
    QStringList answers;
    if (offerSave) {
        answers << Variable(*firstAnswer);
    }
    answers << Variable(kDiscardAnswer) << Variable(kCancelAnswer);
    const int chosen = FPlatform.Ask(this, QMessageBox::Question, Variable(kUnsavedCaption), Variable(text),
                                     answers, offerSave ? 0 : 1) +
                       (offerSave ? 0 : 1);
    switch (chosen) {
    case 0:
        return TUnsavedAnswer::Save;
    case 1:
        return TUnsavedAnswer::Discard;
    default:
        return TUnsavedAnswer::Cancel;
    }
}

bool TfrmMain::MayClose() {
    CommitPendingEdits();
    if (!FDocument.IsModified()) {
        return true;
    }
    switch (AskUnsaved(kUnsavedCloseText, &kSaveAnswer)) {
    case TUnsavedAnswer::Save:
        return SaveDocument();
    case TUnsavedAnswer::Discard:
        return true;
    default:
        return false;
    }
}

bool TfrmMain::MayDropEdits() {
    CommitPendingEdits();
    if (!FDocument.IsModified()) {
        return true;
    }
    if (AskUnsaved(kUnsavedDropText, nullptr) != TUnsavedAnswer::Discard) {
        return false;
    }
    FDocument.RevertAll();
    // The grids and fields still show the dropped values.
    RefreshViews(false);
    return true;
}

bool TfrmMain::HasMarkedCells(int page) const {
    return Pages.at(page).sg->Model().HasMarks();
}

// One step for every grid, so that the dropped cells come back with one Undo.
void TfrmMain::DropMarkedCells() {
    std::vector<TCellEdit> clears;
    for (const auto& [cell, text] : FDocument.Cells()) {
        clears.push_back({cell, std::nullopt});
    }
    FDocument.Edit(TextStepLabel(kRefreshStepText, Variable(kRefreshStepText)), {{}, -1, {}, true}, {},
                   std::move(clears));
}

// The standard view shows the catalog; cells left marked in the hidden grids would be filled over by the
// next switch back.
bool TfrmMain::MayLeaveTables() {
    CommitPendingEdits();
    bool marked = false;
    for (int page = 0; page < kPageCount; ++page) {
        marked = marked || HasMarkedCells(page);
    }
    if (!marked) {
        return true;
    }
    switch (AskUnsaved(kUnsavedGridText, &kStoreAnswer)) {
    case TUnsavedAnswer::Save:
        return StoreTablesBeforeSave();
    case TUnsavedAnswer::Discard:
        DropMarkedCells();
        return true;
    default:
        return false;
    }
}

} // namespace kw
