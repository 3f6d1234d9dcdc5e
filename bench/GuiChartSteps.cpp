// The chart window of kitwright-gui-bench: the bars of the ammunition's price, open beside the grid, follow
// one typed cell.

#include "GuiChartSteps.h"

#include "GuiSession.h"
#include "app/uMain.h"
#include "views/BarChart.h"
#include "views/ChartWindow.h"

#include <QBarSet>
#include <QChartView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <stdexcept>
#include <string>

namespace kw::bench {
namespace {

TGridView& AmmoGrid(TfrmMain& window) {
    return *window.Page(AmmoPage).sg;
}

int PriceColumn(TfrmMain& window) {
    return AmmoGrid(window).Def().ColumnCount() - 1;
}

TChartWindow& OpenAmmoChart(TfrmMain& window) {
    window.ChartClick(AmmoPage);
    TChartWindow* chart = window.Chart(AmmoPage);
    if (chart == nullptr) {
        throw std::runtime_error("the ammunition page opened no chart window");
    }
    WaitUntil("the bars of the ammunition's price",
              [chart] { return chart->Bars() && chart->Bars()->BarCount() > 0; });
    return *chart;
}

QLineEdit* PriceEditor(TfrmMain& window) {
    TGridView& grid = AmmoGrid(window);
    return qobject_cast<QLineEdit*>(grid.indexWidget(grid.model()->index(0, PriceColumn(window))));
}

// The price of the first entry typed into its cell's editor, not yet committed, with the chart of the
// prices open: the commit is what the step times.
void TypePrice(TGuiSession& session) {
    session.Activate();
    TfrmMain& window = session.Window();
    if (window.IsStandardView()) {
        window.btnView->click();
    }
    window.PageControl1->setCurrentIndex(AmmoPage);
    OpenAmmoChart(window);
    ProcessPendingEvents();
    TGridView& grid = AmmoGrid(window);
    const QModelIndex cell = grid.model()->index(0, PriceColumn(window));
    grid.setCurrentIndex(cell);
    grid.edit(cell);
    QLineEdit* editor = PriceEditor(window);
    if (editor == nullptr) {
        throw std::runtime_error("the price cell opened no editor");
    }
    session.Edit.Value = std::to_string(100000 + session.NextNumber());
    editor->setText(QString::fromStdString(session.Edit.Value));
}

bool BarShowsTypedPrice(TGuiSession& session) {
    const TBarChart* bars = session.Window().Chart(AmmoPage)->Bars();
    const int bar = bars->BarOf(0);
    return bar >= 0 && bars->Set().at(bar) == std::stod(session.Edit.Value) && bars->Set().isBarSelected(bar);
}

// Enter commits the cell; the chart's bar takes the value and is painted.
void CommitAndRedraw(TGuiSession& session) {
    TfrmMain& window = session.Window();
    // The chart window may hold the focus: the key goes to the editor itself.
    QTest::keyClick(PriceEditor(window), Qt::Key_Return);
    WaitUntil("the bar of the typed price", [&session] { return BarShowsTypedPrice(session); });
    window.Chart(AmmoPage)->View()->viewport()->repaint();
}

void CheckBarRedrawn(TGuiSession& session) {
    if (!BarShowsTypedPrice(session) || AmmoGrid(session.Window()).Model().EntryCount() < 2) {
        throw std::runtime_error("the chart does not show the typed price");
    }
}

} // namespace

const TGuiStep kChartStep = {
    "chart redraw",
    "Enter in a price cell of the ammunition grid, with the bars of every price open "
    "beside it, until the chart's bar shows the typed price highlighted and is painted",
    TypePrice,
    CommitAndRedraw,
    CheckBarRedrawn,
    {.UnderMs = 100}};

} // namespace kw::bench
