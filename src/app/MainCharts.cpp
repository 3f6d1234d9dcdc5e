// The main window's side of the chart windows: the View menu and the pages' Chart buttons open one window
// per page, whose clicked entries the window selects and whose images it saves; the settings file keeps each
// page's choice.

#include "app/uMain.h"

#include "app/MainInternal.h"
#include "gamecfg/ProfileFile.h"
#include "interchange/TableColumns.h"
#include "views/ChartWindow.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

namespace kw {
namespace {

constexpr const char* kChartSection = "Charts";

// One walk for reading and writing, so that both use the same keys: visit gets the page's grid name and the
// field of the choice with its key's ending.
template <typename Choice, typename Visit> void ForEachChoiceField(Choice& choice, Visit visit) {
    visit("ChartScatter", choice.Scatter);
    visit("ChartColumn", choice.Column);
    visit("ChartElement", choice.Element);
    visit("ChartColumnUp", choice.ColumnUp);
    visit("ChartElementUp", choice.ElementUp);
    visit("ChartFullHdImage", choice.FullHdImage);
}

} // namespace

void TfrmMain::CreateViewMenu(QMenuBar* bar) {
    mnuView = bar->addMenu(QStringLiteral("&Вид"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewChart = mnuView->addAction(QStringLiteral("&Диаграмма"));
    mnuViewChart->setObjectName(QStringLiteral("mnuViewChart"));
    mnuViewChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(mnuViewChart, &QAction::triggered, this, [this] { ChartClick(PageControl1->currentIndex()); });
}

void TfrmMain::CreateChartDialog() {
    dlgSaveChartImage = new QFileDialog(this, QStringLiteral("Сохранить диаграмму как изображение"));
    dlgSaveChartImage->setObjectName(QStringLiteral("dlgSaveChartImage"));
    dlgSaveChartImage->setProperty("vclClass", QStringLiteral("TSaveDialog"));
    dlgSaveChartImage->setAcceptMode(QFileDialog::AcceptSave);
    dlgSaveChartImage->setFileMode(QFileDialog::AnyFile);
    dlgSaveChartImage->setDefaultSuffix(QStringLiteral("png"));
}

TChartWindow* TfrmMain::Chart(int page) const {
    return page >= 0 && page < kPageCount ? FCharts[static_cast<std::size_t>(page)] : nullptr;
}

// A page has one chart window at most; opening it again brings it to the front.
void TfrmMain::ChartClick(int page) {
    if (page < 0 || page >= kPageCount || Pages[page].sg->Model().EntryCount() == 0) {
        return;
    }
    CommitPendingEdits();
    TChartWindow*& chart = FCharts[static_cast<std::size_t>(page)];
    if (!chart) {
        chart = new TChartWindow(Pages[page].sg->Model(), this);
        chart->SetTextOf([this](const TextDef& text) { return Variable(text); });
        chart->SetChoice(FChartChoices[static_cast<std::size_t>(page)]);
        connect(chart, &TChartWindow::choiceChanged, this,
                [this, page] { FChartChoices[static_cast<std::size_t>(page)] = FCharts[page]->Choice(); });
        connect(chart, &TChartWindow::entryClicked, this,
                [this, page](int row) { ShowChartEntry(page, row); });
        connect(chart, &TChartWindow::saveImageRequested, this, [this, page] { SaveChartImage(page); });
    }
    chart->setWindowTitle(Variable(kChartCaption).arg(PageControl1->tabText(page)));
    chart->show();
    chart->raise();
    chart->activateWindow();
}

// The entry of a clicked bar or point, in whichever view the page shows.
void TfrmMain::ShowChartEntry(int page, int row) {
    CommitPendingEdits();
    PageControl1->setCurrentIndex(page);
    if (FStandardView) {
        QListWidget* list = FViews->ListBox(page);
        if (list && row >= 0 && row < list->count()) {
            list->setCurrentRow(row);
        }
        ShowSelectedEntries();
        return;
    }
    // The row becomes current too, and the grid scrolls to it.
    Pages[page].sg->selectRow(row);
}

void TfrmMain::SaveChartImage(int page) {
    TChartWindow* chart = Chart(page);
    if (!chart) {
        return;
    }
    dlgSaveChartImage->setNameFilters({Variable(kChartImageFilter)});
    const QString path = FPlatform.RunFileDialog(*dlgSaveChartImage);
    if (path.isEmpty() || IsGameFile(path) || !MayReplace(path)) {
        return;
    }
    if (!chart->SaveImage(path)) {
        ShowError(Variable(kChartSaveFailedText).arg(path));
    }
}

void TfrmMain::ApplyChartTexts() {
    for (int page = 0; page < kPageCount; ++page) {
        if (TChartWindow* chart = Chart(page)) {
            chart->Retranslate();
            chart->setWindowTitle(Variable(kChartCaption).arg(PageControl1->tabText(page)));
        }
    }
}

// The chart windows stand beside the main window and go with it.
void TfrmMain::CloseCharts() {
    for (TChartWindow* chart : FCharts) {
        if (chart) {
            chart->close();
        }
    }
}

void TfrmMain::RestoreChartChoices() {
    const ProfileFile& settings = *FSession.Settings();
    for (int page = 0; page < kPageCount; ++page) {
        const std::string grid = kGridDefs[page].Name;
        ForEachChoiceField(FChartChoices[static_cast<std::size_t>(page)], [&](const char* key, auto& field) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(
                settings.ReadInteger(kChartSection, grid + key, static_cast<int>(field)));
        });
    }
}

void TfrmMain::WriteChartChoices(ProfileFile& settings) const {
    for (int page = 0; page < kPageCount; ++page) {
        const std::string grid = kGridDefs[page].Name;
        ForEachChoiceField(FChartChoices[static_cast<std::size_t>(page)],
                           [&](const char* key, const auto& field) {
                               settings.WriteInteger(kChartSection, grid + key, static_cast<int>(field));
                           });
    }
}

} // namespace kw
