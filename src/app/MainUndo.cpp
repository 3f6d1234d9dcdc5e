// The main window's Edit menu: Undo and Redo of the document's steps, and bringing what a step changed into
// view so that the user sees what came back.

#include "app/uMain.h"

#include "app/DiskWatch.h"

#include "catalog/CatalogEntries.h"
#include "translate/Texts.h"
#include "views/GameText.h"
#include "views/GridView.h"
#include "views/StepNames.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include <algorithm>

namespace kw {

void TfrmMain::CreateEditMenu(QMenuBar* bar) {
    mnuEdit = bar->addMenu(QStringLiteral("&Правка"));
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
    if (change.Kind == TDocumentChange::TKind::Loaded) {
        FDiskWatch->Rewatch();
    }
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
        const QString name = step ? StepName(*step) : QString();
        // A name holding "&" (an entry "R&D") must not take the item's access key.
        return name.isEmpty()
                   ? Variable(plain)
                   : Variable(named).arg(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
    };
    mnuEditUndo->setText(caption(undo, kUndoText, kUndoStepText));
    mnuEditUndo->setEnabled(undo != nullptr);
    mnuEditRedo->setText(caption(redo, kRedoText, kRedoStepText));
    mnuEditRedo->setEnabled(redo != nullptr);
}

// In the language shown now, which need not be the one the step was made in.
QString TfrmMain::StepName(const TEditStep& step) const {
    const TStepName& name = step.Name;
    const QString argument = Utf8ToQt(name.Argument);
    if (name.TextKey) {
        const QString text = Variable({name.TextKey, name.TextDefault});
        return name.Argument.empty() ? text : text.arg(argument);
    }
    const int page = PageOf(step.Place.Catalog);
    if (name.Column >= 0 && page >= 0) {
        const std::vector<std::string>& headers = Pages[page].sg->Model().Headers();
        if (static_cast<std::size_t>(name.Column) < headers.size()) {
            return StepLabel(Utf8ToQt(headers[static_cast<std::size_t>(name.Column)]), argument);
        }
    }
    if (const QWidget* control =
            name.Control.empty() ? nullptr : findChild<QWidget*>(Utf8ToQt(name.Control))) {
        return StepLabel(ControlCaption(*control), argument);
    }
    return Utf8ToQt(step.Label);
}

int TfrmMain::PageOf(const std::string& catalog) {
    const auto found = std::find(kCatalogNames.begin(), kCatalogNames.end(), catalog);
    const int page = found != kCatalogNames.end() ? static_cast<int>(found - kCatalogNames.begin()) : -1;
    return page < kPageCount ? page : -1;
}

// The page, the view and the entry the step changed, its field focused; every shown entry shows its values
// again, since a value may be shared by entries of other rows.
void TfrmMain::ShowStep(const TEditStep& step) {
    const int page = PageOf(step.Place.Catalog);
    if (page >= 0) {
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
