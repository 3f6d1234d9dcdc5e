#pragma once

#include "interchange/ChartColumn.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
class QScatterSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace kw {

// Two columns against each other: one point per entry whose cells both hold a number, at its value across
// and its value up. Entries whose grid differs from the file are drawn in the highlight colour, entries with
// a value a parent section supplies (and no change) in a lighter shade.
class TScatterChart : public QObject {
    Q_OBJECT
public:
    // Draws into chart, which it leaves to its owner.
    explicit TScatterChart(QChart& chart, QObject* parent = nullptr);
    ~TScatterChart() override;

    // across and up hold one cell per entry each.
    void Show(const std::vector<TChartCell>& across, const std::vector<TChartCell>& up);
    void SetAxisTitles(const QString& across, const QString& up);
    int PointCount() const { return static_cast<int>(FRows.size()); }
    // The entry of a point, -1 for none; and where an entry's point lies in the chart's coordinates.
    int RowOf(int point) const;
    std::optional<QPointF> PositionOf(int row) const;

    // The entry whose point lies nearest to position of the chart's scene, within reach of the pointer; -1
    // for none.
    int RowAt(const QPointF& position) const;

private:
    QChart& FChart;
    QScatterSeries* FPlain;
    QScatterSeries* FChanged;
    QScatterSeries* FInherited;
    QValueAxis* FAcross;
    QValueAxis* FUp;
    std::vector<int> FRows;    // per point, its entry
    std::vector<QPointF> FAt;  // per point, its values
    std::vector<int> FPointOf; // per entry, its point or -1
};

} // namespace kw
