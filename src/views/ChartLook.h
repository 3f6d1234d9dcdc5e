#pragma once

#include "interchange/ChartColumn.h"

#include <QColor>
#include <QRectF>

#include <vector>

QT_BEGIN_NAMESPACE
class QScatterSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace kw {

// What the two charts share: their colours, the value scale and the marks of the files' values.
inline const QColor kChartBarColour{32, 97, 160};
// Entries whose grid differs from the file; strong enough to tell apart from a narrow bar's colour.
inline const QColor kChartHighlightColour{236, 120, 0};
inline const QColor kChartMarkColour{20, 20, 20};
// Entries whose value a parent section supplies: the bar colour halfway to white.
inline const QColor kChartInheritedColour{144, 176, 208};

void SetUpValueAxis(QValueAxis& axis);

struct TValueRange {
    double Low = 0;
    double High = 1;
    bool operator==(const TValueRange&) const = default;
};
// From the lowest to the highest number drawn, the files' values included; with zero when withZero, since a
// bar starts there.
TValueRange ValueRange(const std::vector<TChartCell>& cells, bool withZero);
// The axis shows range with round numbers; left alone while range stays what it was, so that an edit inside
// it does not move the scale.
void FitValueRange(QValueAxis& axis, const TValueRange& range);

// The marks of the files' values: a thin line across a bar.
void SetUpMarks(QScatterSeries& marks);
// The marks as wide as the bars that count bars leave in the plot area.
void FitMarks(QScatterSeries& marks, const QRectF& plotArea, int count);

} // namespace kw
