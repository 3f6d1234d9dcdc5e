// The chart window's drawing: the chart of the kind chosen, kept up with the document.

#include "views/ChartWindow.h"

#include "interchange/ChartColumn.h"
#include "interchange/NumberText.h"
#include "views/BarChart.h"
#include "views/GameText.h"
#include "views/ScatterChart.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace kw {
namespace {

QString NumberShown(double value) {
    return QString::fromStdString(NumberText(value).value_or(std::to_string(value)));
}

int LeftOut(const std::vector<TChartCell>& cells, const std::vector<TChartCell>* up) {
    int count = 0;
    for (std::size_t row = 0; row < cells.size(); ++row) {
        count += !cells[row].Shown || (up && row < up->size() && !(*up)[row].Shown) ? 1 : 0;
    }
    return count;
}

} // namespace

// Changes come one by one, a dialog's several in a row: one redraw after them shows them all.
void TChartWindow::OnDocumentChange(const TDocumentChange& change) {
    const bool fresh =
        change.Kind == TDocumentChange::TKind::Loaded || change.Kind == TDocumentChange::TKind::RevertedAll;
    ScheduleRedraw(fresh);
}

void TChartWindow::ScheduleRedraw(bool rebuild) {
    FRebuild = FRebuild || rebuild;
    FRedraw->start();
}

// A hidden window draws when it is shown again.
void TChartWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ScheduleRedraw(false);
}

void TChartWindow::Redraw() {
    if (!isVisible()) {
        return;
    }
    const bool rebuild = FRebuild;
    FRebuild = false;
    if (rebuild) {
        // A reload may bring lists where there were none.
        ShowChoice();
    }
    if (FChoice.Scatter) {
        DrawScatter();
    } else {
        DrawBars(rebuild);
    }
}

void TChartWindow::MakeChart() {
    FBars.reset();
    FScatter.reset();
    if (FChoice.Scatter) {
        FScatter = std::make_unique<TScatterChart>(*FChart);
    } else {
        FBars = std::make_unique<TBarChart>(*FChart);
    }
    FCells.clear();
    FCellsUp.clear();
    ShowTitles();
}

void TChartWindow::DrawBars(bool rebuild) {
    FCells = ReadChartColumn(FModel.Def(), FDocument, cboColumn->currentData().toInt(),
                             cboElement->currentData().toInt());
    if (rebuild) {
        FBars->Show(FCells, Names());
    } else {
        FBars->Update(FCells, Names());
    }
    ShowLeftOut(LeftOut(FCells, nullptr));
}

void TChartWindow::DrawScatter() {
    FCells = ReadChartColumn(FModel.Def(), FDocument, cboColumn->currentData().toInt(),
                             cboElement->currentData().toInt());
    FCellsUp = ReadChartColumn(FModel.Def(), FDocument, cboColumnUp->currentData().toInt(),
                               cboElementUp->currentData().toInt());
    FScatter->Show(FCells, FCellsUp);
    ShowLeftOut(LeftOut(FCells, &FCellsUp));
}

// The boxes name what is drawn; the chart repeats it so that a saved image says it too.
void TChartWindow::ShowTitles() {
    if (!FChart || !cboColumn) {
        return;
    }
    const auto named = [](const QComboBox* column, const QComboBox* element) {
        return element->count() > 1
                   ? column->currentText() + QStringLiteral(" (") + element->currentText() + ')'
                   : column->currentText();
    };
    const QString across = named(cboColumn, cboElement);
    if (FScatter) {
        FScatter->SetAxisTitles(across, named(cboColumnUp, cboElementUp));
        FChart->setTitle(QString());
    } else {
        FChart->setTitle(across);
    }
}

QStringList TChartWindow::Names() const {
    QStringList names;
    const int count = FModel.EntryCount();
    names.reserve(count);
    for (int row = 0; row < count; ++row) {
        names << Utf8ToQt(FModel.Text(row, 0));
    }
    return names;
}

void TChartWindow::ShowLeftOut(int count) {
    lblLeftOut->setProperty("count", count);
    lblLeftOut->setText(count > 0 ? Text(kChartLeftOutText).arg(count) : QString());
    lblLeftOut->setVisible(count > 0);
}

void TChartWindow::ShowBarHover(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= FCells.size() ||
        !FCells[static_cast<std::size_t>(row)].Shown) {
        ShowHover(QString());
        return;
    }
    const TChartCell& cell = FCells[static_cast<std::size_t>(row)];
    const QString name = Utf8ToQt(FModel.Text(row, 0));
    ShowHover(
        cell.OnDisk
            ? Text(kChartChangedHoverText).arg(name, NumberShown(*cell.Shown), NumberShown(*cell.OnDisk))
            : Text(kChartBarHoverText).arg(name, NumberShown(*cell.Shown)));
}

void TChartWindow::ShowPointHover(int row) {
    const std::optional<QPointF> values = FScatter->PositionOf(row);
    ShowHover(!values ? QString()
                      : Text(kChartPointHoverText)
                            .arg(Utf8ToQt(FModel.Text(row, 0)), NumberShown(values->x()),
                                 NumberShown(values->y())));
}

// The chart's own items take the pointer only while their window is active, and the chart stands beside the
// window the user edits in: the viewport's own events name and pick the entry under the pointer.
bool TChartWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FView->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseMove) {
        const int row = RowAt(static_cast<QMouseEvent*>(event)->position());
        FScatter ? ShowPointHover(row) : ShowBarHover(row);
    } else if (event->type() == QEvent::Leave) {
        ShowHover(QString());
    } else if (event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (const int row = RowAt(static_cast<QMouseEvent*>(event)->position()); row >= 0) {
            emit entryClicked(row);
        }
    }
    return QWidget::eventFilter(watched, event);
}

int TChartWindow::RowAt(const QPointF& viewportPosition) const {
    const QPointF position = FView->mapToScene(viewportPosition.toPoint());
    return FScatter ? FScatter->RowAt(position) : FBars->RowAt(position);
}

void TChartWindow::ShowHover(const QString& text) {
    lblHover->setText(text);
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(QCursor::pos(), text, FView);
    }
}

} // namespace kw
