#pragma once

#include <QFont>
#include <QStringList>

#include <vector>

QT_BEGIN_NAMESPACE
class QValueAxis;
QT_END_NAMESPACE

namespace kw {

// The axis under the bars, from -0.5 to the last bar's position plus 0.5: the name of every step-th bar at
// the bar, across the axis; step 0 for no names at all.
QValueAxis* MakeNameAxis(const std::vector<int>& rows, const QStringList& names, int step);

// How many bars each name shown stands for, so that the names of count bars, written across an axis width
// pixels wide in font, do not overlap.
int NameStep(double width, int count, const QFont& font);

} // namespace kw
