#pragma once

#include "interchange/ChartColumn.h"

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

QT_BEGIN_NAMESPACE
class QAbstractAxis;
class QStackedBarSeries;
class QBarSet;
class QChart;
class QScatterSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace kw {

// The bars of one column on a chart: one bar per entry whose cell holds a number, named by the entry on the
// axis, in the order of Show. An entry whose grid differs from its file is drawn in the highlight colour,
// with a thin mark at the file's value; one whose value a parent section supplies in a lighter shade. Each
// bar stands in one of two stacked sets, the other holding zero there.
class TBarChart : public QObject {
    Q_OBJECT
public:
    // Above this many bars the axis names none; up to it, as many as fit across. Hovering names any bar.
    static constexpr int kMostNamedBars = 300;

    // Draws into chart, which it leaves to its owner.
    explicit TBarChart(QChart& chart, QObject* parent = nullptr);
    ~TBarChart() override;

    // The bars of cells (one per entry, names alike), highest first.
    void Show(const std::vector<TChartCell>& cells, const QStringList& names);
    // The same entries in the same places: the values and highlights of cells change their bars in place.
    // An entry that gains or loses its number, or another set of entries, keeps the order of those still
    // drawn, a new bar at the end.
    void Update(const std::vector<TChartCell>& cells, const QStringList& names);

    // The entry of a bar, and the bar of an entry (-1 for one left out).
    int RowOf(int bar) const;
    int BarOf(int row) const;
    // The entry whose bar stands at position of the chart's scene, in its column from the axis to the top of
    // the plot, so that a bar too low or too narrow to aim at is still found; -1 for none.
    int RowAt(const QPointF& position) const;
    int BarCount() const { return static_cast<int>(FRows.size()); }
    // The entries' own values, and what parent sections supply.
    const QBarSet& Set() const { return *FSet; }
    const QBarSet& InheritedSet() const { return *FInheritedSet; }
    const QScatterSeries& Marks() const { return *FMarks; }

private:
    void Build(const std::vector<int>& rows, const std::vector<TChartCell>& cells, const QStringList& names);
    void SetCategoryAxis(const std::vector<int>& rows, const QStringList& names);
    void FitToPlotArea(const QRectF& area);
    void ShowHighlights(const std::vector<TChartCell>& cells);
    void FitValueAxis(const std::vector<TChartCell>& cells);
    void SetValue(int bar, const TChartCell& cell);

    QChart& FChart;
    QStackedBarSeries* FSeries;
    QBarSet* FSet;
    QBarSet* FInheritedSet;
    QScatterSeries* FMarks;
    QValueAxis* FValueAxis;
    QAbstractAxis* FCategoryAxis = nullptr;
    int FNameStep = 0;       // the axis names every so many bars; 0: none
    std::vector<int> FRows;  // per bar, its entry
    std::vector<int> FBarOf; // per entry, its bar or -1
    QStringList FNames;      // of the entries as drawn
};

} // namespace kw
