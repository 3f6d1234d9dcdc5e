#include "views/ScatterChart.h"

#include "views/ChartLook.h"

#include <QChart>
#include <QScatterSeries>
#include <QValueAxis>

#include <limits>

namespace kw {
namespace {

constexpr double kPointSize = 9;

} // namespace

TScatterChart::TScatterChart(QChart& chart, QObject* parent)
    : QObject(parent), FChart(chart), FPlain(new QScatterSeries), FChanged(new QScatterSeries),
      FAcross(new QValueAxis), FUp(new QValueAxis) {
    SetUpValueAxis(*FAcross);
    SetUpValueAxis(*FUp);
    FChart.addAxis(FAcross, Qt::AlignBottom);
    FChart.addAxis(FUp, Qt::AlignLeft);
    for (const auto& [series, colour] :
         {std::pair{FPlain, kChartBarColour}, {FChanged, kChartHighlightColour}}) {
        series->setColor(colour);
        series->setBorderColor(colour.darker(130));
        series->setMarkerSize(kPointSize);
        FChart.addSeries(series);
        series->attachAxis(FAcross);
        series->attachAxis(FUp);
        Connect(*series);
    }
}

TScatterChart::~TScatterChart() {
    for (QScatterSeries* series : {FPlain, FChanged}) {
        FChart.removeSeries(series);
        delete series;
    }
    for (QValueAxis* axis : {FAcross, FUp}) {
        FChart.removeAxis(axis);
        delete axis;
    }
}

void TScatterChart::Connect(QScatterSeries& series) {
    connect(&series, &QScatterSeries::hovered, this, [this](const QPointF& value, bool state) {
        const int row = state ? NearestRow(value) : -1;
        const std::optional<QPointF> at = PositionOf(row);
        emit hovered(row, at.value_or(QPointF()));
    });
    connect(&series, &QScatterSeries::clicked, this, [this](const QPointF& value) {
        if (const int row = NearestRow(value); row >= 0) {
            emit clicked(row);
        }
    });
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
    std::vector<TChartCell> drawnAcross;
    std::vector<TChartCell> drawnUp;
    for (std::size_t row = 0; row < across.size() && row < up.size(); ++row) {
        if (!across[row].Shown || !up[row].Shown) {
            continue;
        }
        FPointOf[row] = PointCount();
        FRows.push_back(static_cast<int>(row));
        FAt.emplace_back(*across[row].Shown, *up[row].Shown);
        (across[row].Changed || up[row].Changed ? changed : plain) << FAt.back();
        drawnAcross.push_back({across[row].Shown, false, std::nullopt});
        drawnUp.push_back({up[row].Shown, false, std::nullopt});
    }
    FPlain->replace(plain);
    FChanged->replace(changed);
    FitValueRange(*FAcross, ValueRange(drawnAcross, false));
    FitValueRange(*FUp, ValueRange(drawnUp, false));
}

// The toolkit reports the value under the pointer, which need not be a point's own value exactly.
int TScatterChart::NearestRow(const QPointF& value) const {
    const QPointF target = FChart.mapToPosition(value);
    double best = std::numeric_limits<double>::max();
    int row = -1;
    for (int point = 0; point < PointCount(); ++point) {
        const QPointF offset = FChart.mapToPosition(FAt[static_cast<std::size_t>(point)]) - target;
        const double distance = QPointF::dotProduct(offset, offset);
        if (distance < best) {
            best = distance;
            row = RowOf(point);
        }
    }
    return row;
}

} // namespace kw
