#include "views/ChartNameAxis.h"

#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QHash>

#include <cmath>

namespace kw {
namespace {

// The longest name the axis shows whole: a longer one would push the plot up or run off the chart's edge.
// Hovering names the bar in full.
constexpr qsizetype kLongestAxisName = 24;
// Room between two names, in lines of their font.
constexpr double kNameSpacing = 1.4;

QString AxisName(const QString& name) {
    return name.size() <= kLongestAxisName ? name : name.left(kLongestAxisName - 1) + QChar(0x2026);
}

} // namespace

// The axis takes each label once; two entries of one name keep a label each, told apart by characters that
// show nothing.
QValueAxis* MakeNameAxis(const std::vector<int>& rows, const QStringList& names, int step) {
    auto* axis = new QCategoryAxis;
    axis->setRange(-0.5, static_cast<double>(rows.size()) - 0.5);
    axis->setStartValue(-0.5);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsAngle(-90);
    // The names are what the bars are for: they are kept short rather than cut at the chart's edge.
    axis->setTruncateLabels(false);
    axis->setGridLineVisible(false);
    axis->setLabelsVisible(step > 0);
    QHash<QString, int> seen;
    for (std::size_t bar = 0; step > 0 && bar < rows.size(); bar += static_cast<std::size_t>(step)) {
        const QString name = AxisName(names[rows[bar]]);
        const int before = seen[name]++;
        axis->append(name + QString(before, QChar(0x200B)), static_cast<double>(bar));
    }
    return axis;
}

int NameStep(double width, int count, const QFont& font) {
    if (width <= 0 || count <= 0) {
        return 1;
    }
    const double room = QFontMetricsF(font).height() * kNameSpacing;
    return std::max(1, static_cast<int>(std::ceil(room / (width / count))));
}

} // namespace kw
