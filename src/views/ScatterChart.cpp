#include "views/ScatterChart.h"

#include "views/ChartLook.h"

#include <QChart>
#include <QScatterSeries>
#include <QValueAxis>

namespace kw {
namespace {

constexpr double kPointSize = 9;
// How far from a point, in pixels, the pointer still names and picks it.
constexpr double kReach = 8;

} // namespace

TScatterChart::TScatterChart(QChart& chart, QObject* parent)
    : QObject(parent), FChart(chart), FPlain(new QScatterSeries), FChanged(new QScatterSeries),
      FInherited(new QScatterSeries), FAcross(new QValueAxis), FUp(new QValueAxis) {
    SetUpValueAxis(*FAcross);
    SetUpValueAxis(*FUp);
    FChart.addAxis(FAcross, Qt::AlignBottom);
    FChart.addAxis(FUp, Qt::AlignLeft);
    for (const auto& [series, colour] : {std::pair{FPlain, kChartBarColour},
                                         {FInherited, kChartInheritedColour},
                                         {FChanged, kChartHighlightColour}}) {
        series->setColor(colour);
        series->setBorderColor(colour.darker(130));
        series->setMarkerSize(kPointSize);
        FChart.addSeries(series);
        series->attachAxis(FAcross);
        series->attachAxis(FUp);
    }
}

TScatterChart::~TScatterChart() {
    for (QScatterSeries* series : {FPlain, FInherited, FChanged}) {
        FChart.removeSeries(series);
        delete series;
    }
    for (QValueAxis* axis : {FAcross, FUp}) {
        FChart.removeAxis(axis);
        delete axis;
    }
}

void TScatterChart::SetAxisTitles(const QString& across, const QString& up) {
    FAcross->setTitleText(across);
    FUp->setTitleText(up);
}

int TScatterChart::RowOf(int point) const {
    return point >= 0 && point < PointCount() ? FRows[static_cast<std::size_t>(point)] : -1;
}

std::optional<QPointF> TScatterChart::PositionOf(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= FPointOf.size() ||
        FPointOf[static_cast<std::size_t>(row)] < 0) {
        return std::nullopt;
    }
    return FAt[static_cast<std::size_t>(FPointOf[static_cast<std::size_t>(row)])];
}

void TScatterChart::Show(const std::vector<TChartCell>& across, const std::vector<TChartCell>& up) {
    FRows.clear();
    FAt.clear();
    FPointOf.assign(across.size(), -1);
    QList<QPointF> plain;
    QList<QPointF> changed;
    QList<QPointF> inherited;
    std::vector<TChartCell> drawnAcross;
    std::vector<TChartCell> drawnUp;
    for (std::size_t row = 0; row < across.size() && row < up.size(); ++row) {
        if (!across[row].Shown || !up[row].Shown) {
            continue;
        }
        FPointOf[row] = PointCount();
        FRows.push_back(static_cast<int>(row));
        FAt.emplace_back(*across[row].Shown, *up[row].Shown);
        // A change matters more than where an unchanged value comes from.
        if (across[row].Changed || up[row].Changed) {
            changed << FAt.back();
        } else {
            (across[row].Inherited || up[row].Inherited ? inherited : plain) << FAt.back();
        }
        drawnAcross.push_back({across[row].Shown, false, std::nullopt});
        drawnUp.push_back({up[row].Shown, false, std::nullopt});
    }
    FPlain->replace(plain);
    FChanged->replace(changed);
    FInherited->replace(inherited);
    FitValueRange(*FAcross, ValueRange(drawnAcross, false));
    FitValueRange(*FUp, ValueRange(drawnUp, false));
}

int TScatterChart::RowAt(const QPointF& position) const {
    double best = kReach * kReach;
    int row = -1;
    for (int point = 0; point < PointCount(); ++point) {
        const QPointF offset = FChart.mapToPosition(FAt[static_cast<std::size_t>(point)], FPlain) - position;
        const double distance = QPointF::dotProduct(offset, offset);
        if (distance <= best) {
            best = distance;
            row = RowOf(point);
        }
    }
    return row;
}

} // namespace kw
