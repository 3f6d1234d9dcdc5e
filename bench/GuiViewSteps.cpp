// The interactions of kitwright-gui-bench that move about the window and edit without saving: a page, an
// entry, one field committed, the table view of the largest grid, a paste and its undo.

#include "GuiViewSteps.h"

#include "GuiSession.h"
#include "app/uMain.h"
#include "views/CoolCtrls.h"
#include "views/GridModel.h"
#include "views/GridView.h"
#include "views/StandardViewFields.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <stdexcept>

namespace kw::bench {

namespace {

const char* const kCommittedField = "txtWeapons_fire_distance";
constexpr int kPastedCells = 5000;

void ShowPage(TfrmMain& window, int page) {
    window.PageControl1->setCurrentIndex(page);
    ProcessPendingEvents();
}

void ShowView(TfrmMain& window, bool standard) {
    if (window.IsStandardView() != standard) {
        window.btnView->click();
        ProcessPendingEvents();
    }
}

// The page whose grid holds the most cells.
int LargestGridPage(TfrmMain& window) {
    int largest = 0;
    long long most = -1;
    for (int page = 0; page < kPageCount; ++page) {
        const TGridModel& model = window.Page(page).sg->Model();
        const long long cells = static_cast<long long>(model.rowCount()) * model.columnCount();
        if (cells > most) {
            most = cells;
            largest = page;
        }
    }
    return largest;
}

TGridView& LargestGrid(TfrmMain& window) {
    return *window.Page(LargestGridPage(window)).sg;
}

TCoolEdit& CommittedField(TfrmMain& window) {
    auto* field = window.findChild<TCoolEdit*>(QString::fromLatin1(kCommittedField));
    if (field == nullptr) {
        throw std::runtime_error(std::string("no field ") + kCommittedField);
    }
    return *field;
}

void ShowAmmoPage(TGuiSession& session) {
    session.Activate();
    ShowView(session.Window(), true);
    ShowPage(session.Window(), AmmoPage);
}

void ClickWeaponsTab(TGuiSession& session) {
    QTabBar* tabs = session.Window().PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(WeaponsPage).center());
    ProcessPendingEvents();
}

void CheckWeaponsShown(TGuiSession& session) {
    TfrmMain& window = session.Window();
    if (window.PageControl1->currentIndex() != WeaponsPage || window.Views().ShownPosition(WeaponsPage) < 0) {
        throw std::runtime_error("the weapons page does not show a weapon after the click on its tab");
    }
}

void FocusFirstWeapon(TGuiSession& session) {
    TfrmMain& window = session.Window();
    QListWidget* list = window.Views().ListBox(WeaponsPage);
    list->setCurrentRow(0);
    ProcessPendingEvents();
    list->setFocus();
}

void PressDownInTheList(TGuiSession& session) {
    QTest::keyClick(session.Window().Views().ListBox(WeaponsPage), Qt::Key_Down);
    ProcessPendingEvents();
}

void CheckSecondWeaponShown(TGuiSession& session) {
    if (session.Window().Views().ShownPosition(WeaponsPage) != 1) {
        throw std::runtime_error("the weapons page does not show the second weapon after the Down key");
    }
}

// A number the field does not hold, typed into it; the commit is what the step times.
void TypeIntoField(TGuiSession& session) {
    TfrmMain& window = session.Window();
    TCoolEdit& field = CommittedField(window);
    session.Edit.Value = std::to_string(2000 + session.NextNumber());
    QTest::mouseClick(&field, Qt::LeftButton);
    session.PressCtrl(Qt::Key_A);
    QTest::keyClicks(&field, QString::fromStdString(session.Edit.Value));
}

void PressTab(TGuiSession&) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ProcessPendingEvents();
}

void CheckFieldCommitted(TGuiSession& session) {
    TfrmMain& window = session.Window();
    const int shown = window.Views().ShownPosition(WeaponsPage);
    const TWeapon& weapon = *window.Catalog().Weapons.at(static_cast<std::size_t>(shown));
    if (weapon.fire_distance.Value != session.Edit.Value || !window.isWindowModified()) {
        throw std::runtime_error("the committed field did not reach the catalog and the modified mark");
    }
}

void ShowLargestPageStandard(TGuiSession& session) {
    session.Activate();
    TfrmMain& window = session.Window();
    ShowView(window, true);
    ShowPage(window, LargestGridPage(window));
}

void ClickViewButton(TGuiSession& session) {
    QTest::mouseClick(session.Window().btnView, Qt::LeftButton);
    ProcessPendingEvents();
}

void CheckLargestGridShown(TGuiSession& session) {
    TfrmMain& window = session.Window();
    const TGridView& grid = LargestGrid(window);
    if (window.IsStandardView() || !grid.isVisible() || grid.Model().rowCount() < 2) {
        throw std::runtime_error("the table view of the largest grid is not shown");
    }
}

// A block of kPastedCells numbers no earlier paste put there, on the clipboard, and the grid's first
// editable cell current: the whole width of the grid, as many rows as the grid holds up to the count.
void PreparePaste(TGuiSession& session) {
    TfrmMain& window = session.Window();
    ShowView(window, false);
    TGridView& grid = LargestGrid(window);
    const int columns = grid.Model().columnCount() - 1;
    const int rows = std::min(grid.Model().EntryCount(), (kPastedCells + columns - 1) / columns);
    const int number = session.NextNumber();
    QString text;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            text += QString::number(number + row + column) + (column + 1 < columns ? u'\t' : u'\n');
        }
    }
    QApplication::clipboard()->setText(text);
    session.Edit.Value = std::to_string(number);
    grid.setCurrentIndex(grid.model()->index(0, 1));
    grid.setFocus();
}

void PressPaste(TGuiSession& session) {
    session.PressCtrl(Qt::Key_V);
    ProcessPendingEvents();
}

void CheckPasted(TGuiSession& session) {
    const TGridModel& model = LargestGrid(session.Window()).Model();
    if (model.Text(0, 1) != session.Edit.Value || !model.HasMarks()) {
        throw std::runtime_error("the paste did not reach the grid");
    }
}

void PasteUntimed(TGuiSession& session) {
    PreparePaste(session);
    session.Edit.Before = LargestGrid(session.Window()).Model().Text(0, 1);
    PressPaste(session);
    CheckPasted(session);
}

void PressUndo(TGuiSession& session) {
    session.PressCtrl(Qt::Key_Z);
    ProcessPendingEvents();
}

void CheckPasteTakenBack(TGuiSession& session) {
    if (LargestGrid(session.Window()).Model().Text(0, 1) != session.Edit.Before) {
        throw std::runtime_error("Ctrl+Z did not take the paste back");
    }
}

} // namespace

const TGuiStep kPageStep = {
    "switch page",     "a click on the weapons page's tab from the ammunition page, standard view",
    ShowAmmoPage,      ClickWeaponsTab,
    CheckWeaponsShown, {.UnderMs = 50}};

const TGuiStep kEntryStep = {
    "switch entry",         "the Down key in the weapons list, from the first weapon to the second shown",
    FocusFirstWeapon,       PressDownInTheList,
    CheckSecondWeaponShown, {.UnderMs = 50}};

const TGuiStep kCommitStep = {"commit one field",
                              "Tab out of a field of the standard view that holds a typed number, until the "
                              "catalog holds it and the window shows the modified mark",
                              TypeIntoField,
                              PressTab,
                              CheckFieldCommitted,
                              {.UnderMs = 50}};

const TGuiStep kTableStep = {
    "table view",
    "a click on the view button, from the standard view to the table view of the page "
    "whose grid holds the most cells",
    ShowLargestPageStandard,
    ClickViewButton,
    CheckLargestGridShown,
    {.UnderMs = 50}};

const TGuiStep kPasteStep = {"paste 5000",
                             "Ctrl+V of 5,000 numbers (fewer where the grid has fewer rows) into the largest "
                             "grid, until the grid shows and marks them",
                             PreparePaste,
                             PressPaste,
                             CheckPasted,
                             {.UnderMs = 50}};

const TGuiStep kUndoPasteStep = {
    "undo paste",        "Ctrl+Z after such a paste, until the grid shows what it showed before",
    PasteUntimed,        PressUndo,
    CheckPasteTakenBack, {.UnderMs = 50}};

} // namespace kw::bench
