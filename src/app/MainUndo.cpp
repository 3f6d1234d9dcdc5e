// The main window's Edit menu: Undo and Redo of the document's steps, and bringing what a step changed into
// view so that the user sees what came back.

#include "app/uMain.h"

#include "catalog/CatalogEntries.h"
#include "translate/Texts.h"
#include "views/GridView.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include <algorithm>

namespace kw {

void TfrmMain::CreateEditMenu(QMenuBar* bar) {
    mnuEdit = bar->addMenu(QStringLiteral("Правка"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditUndo = mnuEdit->addAction(Variable(kUndoText));
    mnuEditUndo->setObjectName(QStringLiteral("mnuEditUndo"));
    mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEditRedo = mnuEdit->addAction(Variable(kRedoText));
    mnuEditRedo->setObjectName(QStringLiteral("mnuEditRedo"));
    mnuEditRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(mnuEditUndo, &QAction::triggered, this, &TfrmMain::mnuEditUndoClick);
    connect(mnuEditRedo, &QAction::triggered, this, &TfrmMain::mnuEditRedoClick);
    UpdateUndoItems();
}

// Typing not yet stored is a step of its own first, so Undo takes back what the user sees last.
void TfrmMain::mnuEditUndoClick() {
    CommitPendingEdits();
    FDocument.Undo();
}

void TfrmMain::mnuEditRedoClick() {
    CommitPendingEdits();
    FDocument.Redo();
}

void TfrmMain::OnDocumentChanged(const TDocumentChange& change) {
    UpdateUndoItems();
    UpdateModifiedMarker();
    const bool tookBackOrRedid =
        change.Kind == TDocumentChange::TKind::Undone || change.Kind == TDocumentChange::TKind::Redone;
    if (tookBackOrRedid && change.Step) {
        ShowStep(*change.Step);
    }
}

void TfrmMain::UpdateUndoItems() {
    if (!mnuEditUndo) {
        return;
    }
    const TEditStep* undo = FDocument.NextUndo();
    const TEditStep* redo = FDocument.NextRedo();
    const auto caption = [this](const TEditStep* step, const TextDef& plain, const TextDef& named) {
        return step && !step->Label.empty() ? Variable(named).arg(QString::fromStdString(step->Label))
                                            : Variable(plain);
    };
    mnuEditUndo->setText(caption(undo, kUndoText, kUndoStepText));
    mnuEditUndo->setEnabled(undo != nullptr);
    mnuEditRedo->setText(caption(redo, kRedoText, kRedoStepText));
    mnuEditRedo->setEnabled(redo != nullptr);
}

// The page, the view and the entry the step changed, its field focused; every shown entry shows its values
// again, since a value may be shared by entries of other rows.
void TfrmMain::ShowStep(const TEditStep& step) {
    const auto catalog = std::find(kCatalogNames.begin(), kCatalogNames.end(), step.Place.Catalog);
    const int page = catalog != kCatalogNames.end() ? static_cast<int>(catalog - kCatalogNames.begin()) : -1;
    if (page >= 0 && page < kPageCount) {
        if (step.Place.InTable == FStandardView) {
            RefreshViews(true);
        }
        PageControl1->setCurrentIndex(page);
    }
    if (!FStandardView) {
        ShowStepCells(step, page);
        return;
    }
    QListWidget* list = page >= 0 && page < kPageCount ? FViews->ListBox(page) : nullptr;
    if (list && step.Place.Entry >= 0 && step.Place.Entry < list->count()) {
        list->setCurrentRow(step.Place.Entry);
    }
    ShowSelectedEntries();
    if (QWidget* field = step.Place.Field.empty()
                             ? nullptr
                             : findChild<QWidget*>(QString::fromStdString(step.Place.Field))) {
        field->setFocus();
    }
}

// The cells the step changed are selected in the page's grid, which takes the focus.
void TfrmMain::ShowStepCells(const TEditStep& step, int page) {
    if (page < 0 || page >= kPageCount) {
        return;
    }
    std::vector<TCellRef> cells;
    for (const auto& change : step.Cells) {
        cells.push_back(change.Cell);
    }
    if (!cells.empty()) {
        Pages[page].sg->SelectCells(cells);
        Pages[page].sg->setFocus();
    }
}

} // namespace kw
