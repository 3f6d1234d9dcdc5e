// The main window's questions before unsaved work would be lost.

#include "app/uMain.h"

#include "translate/Texts.h"

namespace kw {

TfrmMain::TUnsavedAnswer TfrmMain::AskUnsaved(const TextDef& text, bool offerSave) {
    QStringList answers;
    if (offerSave) {
        answers << Variable(kSaveAnswer);
    }
    answers << Variable(kDiscardAnswer) << Variable(kCancelAnswer);
    const int chosen =
        FPlatform.Ask(this, Variable(kUnsavedCaption), Variable(text), answers) + (offerSave ? 0 : 1);
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
    switch (AskUnsaved(kUnsavedCloseText, true)) {
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
    if (AskUnsaved(kUnsavedDropText, false) != TUnsavedAnswer::Discard) {
        return false;
    }
    FDocument.RevertAll();
    // The grids and fields still show the dropped values.
    RefreshViews(false);
    return true;
}

} // namespace kw
