// The main window's side of the standard and table views: storing edits, showing entries, switching view.

#include "app/uMain.h"

#include "translate/Texts.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QTabWidget>

namespace kw {

void TfrmMain::CreateStandardViews() {
    TStandardViews::TBoxes boxes{};
    for (int index = 0; index < kPageCount; ++index) {
        boxes[index] = Pages[index].gbNormal;
    }
    FViews = std::make_unique<TStandardViews>(boxes, FDocument);
    cboWeapons_silencer_status = FViews->cboWeapons_silencer_status;
    cboWeapons_scope_status = FViews->cboWeapons_scope_status;
    cboWeapons_grenade_launcher_status = FViews->cboWeapons_grenade_launcher_status;
    cboWeather_thunderbolt = FViews->cboWeather_thunderbolt;
    cboWeather_env_ambient = FViews->cboWeather_env_ambient;
    FViews->OnRefreshViews = [this] { RefreshViews(false); };
    FViews->OnCommitEdits = [this] { CommitPendingEdits(); };
    connect(FViews.get(), &TStandardViews::conversionError, this, &TfrmMain::ShowError);
    connect(FViews.get(), &TStandardViews::typing, this, &TfrmMain::UpdateModifiedMarker);
    connect(FViews.get(), &TStandardViews::inputRefused, this, [this](const QString& character) {
        ShowWarning(Variable(kCharacterRefusedText).arg(character));
    });
    connect(FViews.get(), &TStandardViews::numberRefused, this,
            [this] { ShowStatusNote(Variable(kNumberRefusedText)); });
    // Fires once the new page is active; the page left still shows its entry, and the commit covers it.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { CommitPendingEdits(); });
    BindExitHook();
    CreateWeatherColours();
}

// A page's edits are stored into the entry of the page that owns the control,
// not of the active page: a page switch (a tab click, Ctrl+Tab) makes the new
// page active before the hidden control loses the focus.
void TfrmMain::BindExitHook() {
    for (QWidget* control : FViews->ExitHookControls()) {
        for (int index = 0; index < kPageCount; ++index) {
            if (Pages[index].gbNormal->isAncestorOf(control)) {
                FExitHookPages.insert(control, index);
                control->installEventFilter(this);
            }
        }
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // Opening a drop-down list or a menu, or another window coming to the
    // front, does not leave the control.
    const auto leaves = [](const QFocusEvent* focus) {
        return focus->reason() != Qt::PopupFocusReason && focus->reason() != Qt::ActiveWindowFocusReason;
    };
    if (event->type() == QEvent::FocusOut && leaves(static_cast<QFocusEvent*>(event))) {
        if (const auto found = FExitHookPages.constFind(watched); found != FExitHookPages.constEnd()) {
            CollectPage(*found);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// A message box in the middle of a load run would stop it, so the values that
// could not be shown wait for its end.
void TfrmMain::PopulateLists() {
    ApplyInfoPrefixes();
    FConversionErrors += FViews->PopulateLists();
}

void TfrmMain::CommitPendingEdits() {
    FViews->CollectShownEntries();
    CommitGridEditors();
    UpdateModifiedMarker();
}

// Typing shows the mark at once: it is work a save would lose, though the field has not handed it over yet.
void TfrmMain::UpdateModifiedMarker() {
    setWindowModified(FDocument.IsModified() || (FViews && FViews->HasUncollectedEdits()));
}

void TfrmMain::CollectPage(int page) {
    if (QListWidget* list = FViews->ListBox(page)) {
        FViews->Collect(page, list->currentRow());
        UpdateModifiedMarker();
    }
}

void TfrmMain::RefreshViews(bool toggle) {
    if (toggle) {
        ToggleView();
    }
    if (FStandardView) {
        ShowSelectedEntries();
    } else {
        // The hidden controls keep what they showed; the grids may store newer values.
        FViews->ForgetShownEntries();
        FillTables();
    }
}

void TfrmMain::ShowSelectedEntries() {
    ApplyInfoPrefixes();
    for (int page = 0; page < kPageCount; ++page) {
        FViews->Show(page, FViews->ListBox(page)->currentRow());
    }
}

void TfrmMain::ApplyInfoPrefixes() {
    FViews->SetPlaceHints(Variable(kValueSectionMissing), Variable(kValueSectionUnnamed),
                          Variable(kInheritedFromText));
    FViews->SetInfoPrefixes(FTexts.Get("rs_FileName"), FTexts.Get("rs_SectionName"), FTexts.Get("rs_InvName"),
                            FTexts.Get("rs_Visual"));
}

void TfrmMain::ToggleView() {
    FStandardView = !FStandardView;
    ShowStandardBoxes(FStandardView);
    ShowTableBoxes(!FStandardView);
    UpdateViewButton(FStandardView);
}

void TfrmMain::ShowStandardBoxes(bool visible) {
    for (TCatalogPage& page : Pages) {
        page.gbNormal->setVisible(visible);
    }
}

void TfrmMain::ShowTableBoxes(bool visible) {
    for (TCatalogPage& page : Pages) {
        page.gbTable->setVisible(visible);
    }
}

void TfrmMain::btnViewClick() {
    CommitPendingEdits();
    if (!FStandardView && !MayLeaveTables()) {
        return;
    }
    RefreshViews(true);
}

} // namespace kw
