#include "views/ColumnFit.h"
#include "views/GridView.h"

#include "views/AmmoGridFixture.h"
#include "views/GridCells.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace kwtest {
namespace {

TEST(FittedWidth, TakesTheWiderNeedWithinTheBounds) {
    struct Case {
        kw::TColumnNeed Need;
        int Maximum;
        int Width;
    };
    const Case cases[] = {
        {{12, 20}, kw::kFitMaximumWidth, kw::kFitMinimumWidth}, // a short word over short numbers
        {{64, 20}, kw::kFitMaximumWidth, 64},                   // the header word decides
        {{30, 71}, kw::kFitMaximumWidth, 71},                   // the value decides
        {{30, 450}, kw::kFitMaximumWidth, kw::kFitMaximumWidth},
        {{30, 450}, 600, 450}, // a double-click's wider bound
        {{0, 0}, kw::kFitMaximumWidth, kw::kFitMinimumWidth},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kw::FittedWidth(c.Need, c.Maximum), c.Width) << c.Need.HeaderWord << "/" << c.Need.Value;
    }
}

TEST(FittedWidth, MeasuresTheWidestWordAndTheWidestText) {
    const QFontMetricsF metrics(QApplication::font());
    const auto advance = [&](const char* text) {
        return static_cast<int>(std::ceil(metrics.horizontalAdvance(QString::fromUtf8(text))));
    };
    EXPECT_EQ(kw::WidestWord(metrics, QStringLiteral("плот.  дождя")), advance("дождя"));
    EXPECT_EQ(kw::WidestWord(metrics, QStringLiteral("Бронебойность")), advance("Бронебойность"));
    EXPECT_EQ(kw::WidestWord(metrics, QString()), 0);
    const QString values[] = {QStringLiteral("1"), QStringLiteral("1000"), QStringLiteral("0.36, 0.40")};
    EXPECT_EQ(kw::WidestText(metrics, values), advance("0.36, 0.40"));
}

bool Cut(const kw::TGridView& grid, int row, int column) {
    return QFontMetricsF(grid.font()).horizontalAdvance(CellText(grid, row, column)) >
           TextRoom(grid, row, column);
}

using ColumnWidthTest = AmmoGridTest;

// A long list typed into a cell, wider than a fitted column may grow.
const QString kLongValue = QStringLiteral("0.25, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25");

// Double-clicks the divider right of the column's header, as a user does.
void DoubleClickDivider(kw::TGridView& grid, int column) {
    QHeaderView& header = *grid.horizontalHeader();
    const QPoint divider(header.sectionViewportPosition(column) + header.sectionSize(column) - 1,
                         header.height() / 2);
    QTest::mouseDClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, divider);
}

TEST_F(ColumnWidthTest, DoubleClickOnADividerFitsItsColumnAsTheUsersWidth) {
    FWindow.resize(900, 200);
    FGrid->resize(900, 200);
    Type(1, 3, kLongValue);
    struct Case {
        int Column;
        int Before;
        bool PastTheBound;
    };
    const Case cases[] = {{2, 12, false}, {1, 150, false}, {3, 60, true}};
    for (const Case& c : cases) {
        FGrid->setColumnWidth(c.Column, c.Before);
        DoubleClickDivider(*FGrid, c.Column);
        const int width = FGrid->columnWidth(c.Column);
        for (int row = 0; row < FGrid->model()->rowCount(); ++row) {
            EXPECT_FALSE(Cut(*FGrid, row, c.Column)) << c.Column << ":" << row;
        }
        EXPECT_GE(width, kw::kFitMinimumWidth) << c.Column;
        EXPECT_EQ(width > kw::kFitMaximumWidth, c.PastTheBound) << c.Column;
        EXPECT_FALSE(FGrid->IsFitted(c.Column));
        EXPECT_EQ(FGrid->StoredColumnWidth(c.Column), width);
    }
    // A column still fitted becomes the user's too, even where the double-click keeps its width.
    ASSERT_TRUE(FGrid->IsFitted(5));
    DoubleClickDivider(*FGrid, 5);
    EXPECT_FALSE(FGrid->IsFitted(5));
    // The values alone decide: a narrow column ends as wide as after a double-click from wide.
    const int fitted = FGrid->columnWidth(2);
    FGrid->setColumnWidth(2, 180);
    DoubleClickDivider(*FGrid, 2);
    EXPECT_EQ(FGrid->columnWidth(2), fitted);
}

// A fitted column follows new values and headers; one the user gave a width keeps it.
TEST_F(ColumnWidthTest, FittedColumnsFollowLoadsAndHeadersUntilTheUserResizesThem) {
    EXPECT_TRUE(FGrid->IsFitted(2));
    EXPECT_FALSE(FGrid->IsFitted(0));
    FGrid->horizontalHeader()->resizeSection(4, 90);
    FCatalog.Ammo[0]->k_dist.Value = "0.30000000001";
    FCatalog.Ammo[0]->k_hit.Value = "0.30000000001";
    FCatalog.Ammo.pop_back(); // a new number of entries shows the grid anew, as a load does
    FGrid->ShowCatalog();
    EXPECT_FALSE(Cut(*FGrid, 0, 2));
    EXPECT_EQ(FGrid->columnWidth(4), 90);
    EXPECT_FALSE(FGrid->IsFitted(4));

    std::vector<std::string> headers(static_cast<size_t>(FGrid->model()->columnCount()), "x");
    headers[5] = "Бронебойность патрона";
    FGrid->SetHeaders(headers);
    const QFontMetricsF headerFont(FGrid->horizontalHeader()->font());
    EXPECT_GT(FGrid->columnWidth(5), headerFont.horizontalAdvance(QStringLiteral("Бронебойность")));
    EXPECT_EQ(FGrid->columnWidth(4), 90);
}

// The tooltip of a cell shows its text only where the column cuts it off, the name column's included, which
// another view draws over the grid.
TEST_F(ColumnWidthTest, ACutValueShowsWholeInItsTooltip) {
    struct Case {
        int Column;
        int Width;
        bool Tip;
    };
    const Case cases[] = {{2, 14, true}, {2, 120, false}, {2, 30, true}, {0, 18, true}, {0, 130, false}};
    for (const Case& c : cases) {
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        FGrid->setColumnWidth(c.Column, c.Width);
        const QPoint centre = FGrid->viewport()->mapTo(&FWindow, FGrid->visualRect(At(1, c.Column)).center());
        ASSERT_EQ(Cut(*FGrid, 1, c.Column), c.Tip) << c.Column << ":" << c.Width;
        // The event goes where the mouse rests: the widget on top at that point.
        QWidget* under = FWindow.childAt(centre);
        ASSERT_NE(under, nullptr);
        const QPoint local = under->mapFrom(&FWindow, centre);
        QHelpEvent tip(QEvent::ToolTip, local, under->mapToGlobal(local));
        QApplication::sendEvent(under, &tip);
        EXPECT_EQ(QToolTip::isVisible(), c.Tip) << c.Column << ":" << c.Width;
        if (c.Tip) {
            EXPECT_EQ(QToolTip::text(), Text(1, c.Column));
        }
    }
}

} // namespace
} // namespace kwtest
