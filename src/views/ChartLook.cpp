#include "views/ChartLook.h"

#include <QImage>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kw {
namespace {

constexpr double kMarkWidthShare = 0.8; // of a bar's room, as the bars take it
constexpr int kNarrowestMark = 6;
constexpr int kWidestMark = 48;
constexpr int kMarkThickness = 2;

// The toolkit draws a marker image square, at the marker's size: the line runs across its middle.
QImage MarkImage(int width) {
    QImage image(width, width, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, (width - kMarkThickness) / 2, width, kMarkThickness, kChartMarkColour);
    return image;
}

} // namespace

void SetUpValueAxis(QValueAxis& axis) {
    // Prices run to six digits, which the default "%.2f" would pad and "%g" turn into exponents.
    axis.setLabelFormat(QStringLiteral("%.10g"));
}

TValueRange ValueRange(const std::vector<TChartCell>& cells, bool withZero) {
    double low = withZero ? 0 : INFINITY;
    double high = withZero ? 0 : -INFINITY;
    for (const TChartCell& cell : cells) {
        for (const std::optional<double>& value : {cell.Shown, cell.OnDisk}) {
            if (value) {
                low = std::min(low, *value);
                high = std::max(high, *value);
            }
        }
    }
    if (!(low <= high)) {
        return {};
    }
    if (low == high) {
        return {low - 1, high + 1};
    }
    const double margin = (high - low) * 0.04;
    return {low == 0 ? 0 : low - margin, high == 0 ? 0 : high + margin};
}

void FitValueRange(QValueAxis& axis, const TValueRange& range) {
    const QVariant shown = axis.property("kwRange");
    if (shown.isValid() && shown.toPointF() == QPointF(range.Low, range.High)) {
        return;
    }
    axis.setProperty("kwRange", QPointF(range.Low, range.High));
    axis.setRange(range.Low, range.High);
    axis.applyNiceNumbers();
}

void SetUpMarks(QScatterSeries& marks) {
    marks.setColor(kChartMarkColour);
    marks.setBorderColor(Qt::transparent);
    FitMarks(marks, {}, 0);
}

void FitMarks(QScatterSeries& marks, const QRectF& plotArea, int count) {
    const double room = count > 0 ? plotArea.width() / count * kMarkWidthShare : kWidestMark;
    const int width = std::clamp(static_cast<int>(std::lround(room)), kNarrowestMark, kWidestMark);
    if (static_cast<int>(marks.markerSize()) == width && !marks.lightMarker().isNull()) {
        return;
    }
    marks.setMarkerSize(width);
    marks.setLightMarker(MarkImage(width));
}

} // namespace kw
