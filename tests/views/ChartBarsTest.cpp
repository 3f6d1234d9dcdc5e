#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "interchange/TableColumns.h"
#include "views/BarChart.h"
#include "views/ChartWindow.h"
#include "views/GridModel.h"

#include <QAbstractAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kwtest {
namespace {

// The bars of the ammunition's price over a catalog made in memory, as many cartridges as a test asks for,
// each priced by its position; the chart window shown.
class ChartBarsTest : public testing::TestWithParam<int> {
protected:
    void Fill(int count) {
        for (int index = 0; index < count; ++index) {
            auto& ammo = *FDocument.Catalog().Ammo.emplace_back(std::make_unique<kw::TAmmo>());
            ammo.Name = "round " + std::to_string(index);
            ammo.Section = "ammo_" + std::to_string(index);
            ammo.cost.Value = std::to_string(10 * (index + 1));
        }
        FModel = std::make_unique<kw::TGridModel>(kw::GridDef(kw::TGridId::Ammo), FDocument);
        FChart = std::make_unique<kw::TChartWindow>(*FModel);
        FChart->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FChart.get()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return FChart->Bars() && FChart->Bars()->BarCount() == count; }));
    }
    QAbstractAxis* AxisAcross() const { return FChart->View()->chart()->axes(Qt::Horizontal).value(0); }
    // Moves the pointer over the bar, low in its column, through the window as the pointer reaches it.
    QString HoverOver(int bar) const {
        const QPointF low = FChart->View()->chart()->mapToPosition(QPointF(bar, 0));
        const QPoint at = FChart->View()->viewport()->mapTo(
            FChart.get(), FChart->View()->mapFromScene(low - QPointF(0, 2)));
        QTest::mouseMove(FChart->windowHandle(), at);
        return FChart->lblHover->text();
    }

    kw::TDocument FDocument;
    std::unique_ptr<kw::TGridModel> FModel;
    std::unique_ptr<kw::TChartWindow> FChart;
};

// Up to kMostNamedBars the axis names as many bars as fit across without overlapping, every one when they all
// fit; above it the axis names none. Hovering names any bar.
TEST_P(ChartBarsTest, TheAxisNamesTheBarsOnlyWhileTheyFit) {
    const int count = GetParam();
    Fill(count);
    const kw::TBarChart& bars = *FChart->Bars();
    EXPECT_EQ(bars.Set().at(0), 10.0 * count);
    EXPECT_EQ(bars.RowOf(0), count - 1);
    auto* names = qobject_cast<QCategoryAxis*>(AxisAcross());
    ASSERT_NE(names, nullptr);
    if (count > kw::TBarChart::kMostNamedBars) {
        EXPECT_FALSE(names->labelsVisible());
    } else {
        ASSERT_TRUE(names->labelsVisible());
        // Each name stands at its bar, and the next one a line of text further across at least.
        const QStringList labels = names->categoriesLabels();
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_EQ(labels.size() == count, count == 3);
        const double barWidth = FChart->View()->chart()->plotArea().width() / count;
        const double line = QFontMetricsF(names->labelsFont()).height();
        for (qsizetype label = 0; label < labels.size(); ++label) {
            const int at = static_cast<int>(names->endValue(labels[label]));
            EXPECT_EQ(labels[label], QString::fromStdString("round " + std::to_string(bars.RowOf(at))));
            if (label > 0) {
                EXPECT_GE((at - names->endValue(labels[label - 1])) * barWidth, line) << label;
            }
        }
    }
    const int bar = count / 2;
    EXPECT_EQ(HoverOver(bar), QString::fromStdString("round " + std::to_string(bars.RowOf(bar)) + ": " +
                                                     std::to_string(10 * (bars.RowOf(bar) + 1))));
}

INSTANTIATE_TEST_SUITE_P(ChartSizes, ChartBarsTest,
                         testing::Values(3, kw::TBarChart::kMostNamedBars, kw::TBarChart::kMostNamedBars + 1,
                                         2000));

} // namespace
} // namespace kwtest
