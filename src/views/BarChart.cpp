#include "views/BarChart.h"

#include "views/ChartLook.h"
#include "views/ChartNameAxis.h"

#include <QBarSet>
#include <QChart>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kw {
namespace {

QList<int> Sorted(QList<int> list) {
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

TBarChart::TBarChart(QChart& chart, QObject* parent)
    : QObject(parent), FChart(chart), FSeries(new QStackedBarSeries), FSet(new QBarSet(QString())),
      FInheritedSet(new QBarSet(QString())), FMarks(new QScatterSeries), FValueAxis(new QValueAxis) {
    FSet->setColor(kChartBarColour);
    FSet->setSelectedColor(kChartHighlightColour);
    FInheritedSet->setColor(kChartInheritedColour);
    for (QBarSet* set : {FSet, FInheritedSet}) {
        set->setPen(Qt::NoPen);
        FSeries->append(set);
    }
    FSeries->setBarWidth(0.8);
    FChart.addSeries(FSeries);
    SetUpMarks(*FMarks);
    FChart.addSeries(FMarks);
    SetUpValueAxis(*FValueAxis);
    FChart.addAxis(FValueAxis, Qt::AlignLeft);
    FSeries->attachAxis(FValueAxis);
    FMarks->attachAxis(FValueAxis);
    // After the layout that changed the plot: a new axis lays the chart out again.
    connect(&FChart, &QChart::plotAreaChanged, this, &TBarChart::FitToPlotArea, Qt::QueuedConnection);
}

TBarChart::~TBarChart() {
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(FSeries), static_cast<QAbstractSeries*>(FMarks)}) {
        FChart.removeSeries(series);
        delete series;
    }
    for (QAbstractAxis* axis : FChart.axes()) {
        FChart.removeAxis(axis);
        delete axis;
    }
}

int TBarChart::RowOf(int bar) const {
    return bar >= 0 && bar < BarCount() ? FRows[static_cast<std::size_t>(bar)] : -1;
}

int TBarChart::BarOf(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < FBarOf.size() ? FBarOf[static_cast<std::size_t>(row)]
                                                                     : -1;
}

int TBarChart::RowAt(const QPointF& position) const {
    if (!FChart.plotArea().contains(position)) {
        return -1;
    }
    return RowOf(static_cast<int>(std::lround(FChart.mapToValue(position, FSeries).x())));
}

void TBarChart::Show(const std::vector<TChartCell>& cells, const QStringList& names) {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(cells.size()); ++row) {
        if (cells[static_cast<std::size_t>(row)].Shown) {
            rows.push_back(row);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [&cells](int a, int b) {
        return *cells[static_cast<std::size_t>(a)].Shown > *cells[static_cast<std::size_t>(b)].Shown;
    });
    Build(rows, cells, names);
}

void TBarChart::Update(const std::vector<TChartCell>& cells, const QStringList& names) {
    std::vector<int> rows;
    for (const int row : FRows) {
        if (static_cast<std::size_t>(row) < cells.size() && cells[static_cast<std::size_t>(row)].Shown) {
            rows.push_back(row);
        }
    }
    const bool sameEntries = cells.size() == FBarOf.size() && names == FNames;
    for (int row = 0; row < static_cast<int>(cells.size()); ++row) {
        if (cells[static_cast<std::size_t>(row)].Shown && (!sameEntries || BarOf(row) < 0)) {
            rows.push_back(row);
        }
    }
    if (!sameEntries || rows != FRows) {
        Build(rows, cells, names);
        return;
    }
    for (int bar = 0; bar < BarCount(); ++bar) {
        SetValue(bar, cells[static_cast<std::size_t>(RowOf(bar))]);
    }
    ShowHighlights(cells);
    FitValueAxis(cells);
}

void TBarChart::Build(const std::vector<int>& rows, const std::vector<TChartCell>& cells,
                      const QStringList& names) {
    FRows = rows;
    FNames = names;
    FBarOf.assign(cells.size(), -1);
    QList<qreal> own;
    QList<qreal> inherited;
    own.reserve(static_cast<qsizetype>(rows.size()));
    inherited.reserve(static_cast<qsizetype>(rows.size()));
    for (int bar = 0; bar < BarCount(); ++bar) {
        const TChartCell& cell = cells[static_cast<std::size_t>(RowOf(bar))];
        FBarOf[static_cast<std::size_t>(RowOf(bar))] = bar;
        own << (cell.Inherited ? 0 : *cell.Shown);
        inherited << (cell.Inherited ? *cell.Shown : 0);
    }
    FSet->deselectAllBars();
    FSet->remove(0, FSet->count());
    FSet->append(own);
    FInheritedSet->remove(0, FInheritedSet->count());
    FInheritedSet->append(inherited);
    SetCategoryAxis(rows, names);
    ShowHighlights(cells);
    FitValueAxis(cells);
    FitMarks(*FMarks, FChart.plotArea(), BarCount());
}

// Names that would overlap are no help: the axis names every so many bars, as many as fit across, and
// above kMostNamedBars none.
void TBarChart::SetCategoryAxis(const std::vector<int>& rows, const QStringList& names) {
    if (FCategoryAxis) {
        FChart.removeAxis(FCategoryAxis);
        delete FCategoryAxis;
    }
    const int count = static_cast<int>(rows.size());
    FNameStep =
        count > kMostNamedBars ? 0 : NameStep(FChart.plotArea().width(), count, FValueAxis->labelsFont());
    FCategoryAxis = MakeNameAxis(rows, names, FNameStep);
    FChart.addAxis(FCategoryAxis, Qt::AlignBottom);
    FSeries->attachAxis(FCategoryAxis);
    FMarks->attachAxis(FCategoryAxis);
}

// A wider or narrower plot has room for more or fewer names. Laying out the new names changes the plot's
// height, never its width, so this comes back once at most.
void TBarChart::FitToPlotArea(const QRectF& area) {
    FitMarks(*FMarks, area, BarCount());
    if (FNameStep > 0 && NameStep(area.width(), BarCount(), FValueAxis->labelsFont()) != FNameStep) {
        SetCategoryAxis(FRows, FNames);
    }
}

void TBarChart::ShowHighlights(const std::vector<TChartCell>& cells) {
    QList<int> changed;
    QList<QPointF> marks;
    for (int bar = 0; bar < BarCount(); ++bar) {
        const TChartCell& cell = cells[static_cast<std::size_t>(RowOf(bar))];
        if (cell.Changed) {
            changed << bar;
        }
        if (cell.Changed && cell.OnDisk) {
            marks << QPointF(bar, *cell.OnDisk);
        }
    }
    if (Sorted(FSet->selectedBars()) != changed) {
        FSet->deselectAllBars();
        FSet->selectBars(changed);
    }
    if (FMarks->points() != marks) {
        FMarks->replace(marks);
    }
}

void TBarChart::SetValue(int bar, const TChartCell& cell) {
    const double own = cell.Inherited ? 0 : *cell.Shown;
    const double inherited = cell.Inherited ? *cell.Shown : 0;
    if (FSet->at(bar) != own) {
        FSet->replace(bar, own);
    }
    if (FInheritedSet->at(bar) != inherited) {
        FInheritedSet->replace(bar, inherited);
    }
}

void TBarChart::FitValueAxis(const std::vector<TChartCell>& cells) {
    FitValueRange(*FValueAxis, ValueRange(cells, true));
}

} // namespace kw
