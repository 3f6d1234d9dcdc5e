#include "MainWindowFixture.h"

#include "interchange/TableColumns.h"
#include "views/BarChart.h"
#include "views/ChartLook.h"
#include "views/ChartWindow.h"
#include "views/GridCells.h"
#include "views/ScatterChart.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScatterSeries>
#include <QSet>
#include <QTabWidget>

namespace kwtest {
namespace {

constexpr int kAmmo = 1;

// The sample game in the table view of a window that is shown and active, its chart windows opened by their
// buttons and the View menu as a user opens them.
class ChartWindowTest : public SampleGameWindowTest {
protected:
    std::string MoreOptions() const override { return "ViewType=0\nActiveTabIndex=1\n"; }

    kw::TGridView& Grid(int page) const { return *FWindow->Page(page).sg; }
    int Price(int page) const { return Grid(page).Def().ColumnCount() - 1; }
    int ColumnOf(int page, const char* gameKey) const {
        const kw::TGridDef& def = Grid(page).Def();
        for (int column = 1; column < def.ColumnCount(); ++column) {
            if (std::string(def.Columns[static_cast<std::size_t>(column)].GameKey) == gameKey) {
                return column;
            }
        }
        ADD_FAILURE() << "no column " << gameKey;
        return -1;
    }
    // The page's chart window after a click of its Chart button, once it has drawn.
    kw::TChartWindow& OpenChart(int page) {
        FWindow->PageControl1->setCurrentIndex(page);
        QTest::mouseClick(FWindow->Page(page).btnChart, Qt::LeftButton);
        kw::TChartWindow* chart = FWindow->Chart(page);
        EXPECT_NE(chart, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(chart));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Drawn(*chart); }));
        return *chart;
    }
    static bool Drawn(const kw::TChartWindow& chart) {
        return (chart.Bars() && chart.Bars()->BarCount() > 0) ||
               (chart.Scatter() && chart.Scatter()->PointCount() > 0);
    }
    // Picks the item of box whose text is text with the keyboard, as a user does.
    static void Choose(QComboBox& box, const QString& text) {
        const int target = box.findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        box.setFocus();
        while (box.currentIndex() != target) {
            QTest::keyClick(&box, box.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    QString Header(int page, int column) const {
        return QString::fromStdString(Grid(page).Model().Headers()[static_cast<std::size_t>(column)]);
    }
    double CatalogNumber(int page, int row, int column) const {
        return std::stod(Grid(page).Model().CatalogText(row, column));
    }
};

// A typed price not yet stored, stored, saved, and taken back: the bar shows what the grid shows, in place,
// and the highlight with its mark at the file's value whenever the two differ.
TEST_F(ChartWindowTest, BarsFollowATypedPriceUntilItIsSaved) {
    kw::TfrmMain& window = StartShown();
    kw::TChartWindow& chart = OpenChart(kAmmo);
    const kw::TBarChart& bars = *chart.Bars();
    const int price = Price(kAmmo);
    EXPECT_EQ(chart.cboColumn->currentText(), Header(kAmmo, price));
    const int row = 1;
    const int bar = bars.BarOf(row);
    ASSERT_GE(bar, 0);
    const double onDisk = CatalogNumber(kAmmo, row, price);
    EXPECT_EQ(bars.Set().at(bar), onDisk);
    EXPECT_FALSE(bars.Set().isBarSelected(bar));
    EXPECT_TRUE(bars.Marks().points().isEmpty());
    // Highest first.
    for (int next = 1; next < bars.BarCount(); ++next) {
        EXPECT_GE(bars.Set().at(next - 1), bars.Set().at(next));
    }

    const auto shows = [&](double value, bool highlighted) {
        return QTest::qWaitFor([&] {
            const QList<QPointF> marks = bars.Marks().points();
            return bars.BarOf(row) == bar && bars.Set().at(bar) == value &&
                   bars.Set().isBarSelected(bar) == highlighted &&
                   marks == (highlighted ? QList<QPointF>{QPointF(bar, onDisk)} : QList<QPointF>{});
        });
    };
    TypeIntoCell(Grid(kAmmo), row, price, "99999");
    EXPECT_TRUE(shows(99999, true)) << bars.Set().at(bar);
    // Hovering the bar's column names its entry, with the file's value beside a changed one.
    const QPointF low = chart.View()->chart()->mapToPosition(QPointF(bar, 0));
    // Through the window, as the pointer reaches it, whether or not the window is active.
    const QPoint above =
        chart.View()->viewport()->mapTo(&chart, chart.View()->mapFromScene(low - QPointF(0, 3)));
    QTest::mouseMove(chart.windowHandle(), above);
    const QString hover = chart.lblHover->text();
    EXPECT_TRUE(hover.contains(QString::fromStdString(Grid(kAmmo).Model().Text(row, 0))))
        << hover.toStdString();
    EXPECT_TRUE(hover.contains("99999") && hover.contains(QString::number(onDisk))) << hover.toStdString();
    QTest::mouseClick(window.Page(kAmmo).btnTableSave, Qt::LeftButton);
    ASSERT_FALSE(Grid(kAmmo).Model().IsMarked(row, price));
    EXPECT_TRUE(shows(99999, true));
    window.mnuFileSave->trigger();
    EXPECT_TRUE(shows(99999, false));
    // Taken back after the save, the page's Save and then the typing: the grid shows the old price again,
    // which now differs from the file.
    window.mnuEditUndo->trigger();
    window.mnuEditUndo->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return bars.Set().at(bar) == onDisk && bars.Set().isBarSelected(bar); }));
    EXPECT_EQ(bars.Marks().points(), QList<QPointF>{QPointF(bar, 99999)});

    // A text that is no number leaves its bar out and says so.
    EXPECT_FALSE(chart.lblLeftOut->isVisible());
    const int count = bars.BarCount();
    window.Document().Edit("", {}, {}, {{{kAmmo, 0, price}, std::string("dear")}});
    EXPECT_TRUE(QTest::qWaitFor([&] { return bars.BarCount() == count - 1; }));
    EXPECT_TRUE(chart.lblLeftOut->isVisible());
    EXPECT_TRUE(chart.lblLeftOut->text().contains("1")) << chart.lblLeftOut->text().toStdString();
    EXPECT_EQ(bars.BarOf(0), -1);

    // An edit leaves the bar where it stands; Sort puts it in its place.
    const int third = bars.BarOf(2);
    ASSERT_GT(third, 0);
    TypeIntoCell(Grid(kAmmo), 2, price, "123456");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bars.Set().at(third) == 123456; }));
    EXPECT_EQ(bars.BarOf(2), third);
    QTest::mouseClick(chart.btnSort, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bars.BarOf(2) == 0; }));
    EXPECT_EQ(bars.Set().at(0), 123456);

    // The button opens the one window of the page again.
    QTest::mouseClick(window.Page(kAmmo).btnChart, Qt::LeftButton);
    EXPECT_EQ(window.findChildren<kw::TChartWindow*>().size(), 1);
}

// Revert reloads the game from disk, dropping the typed cell: the bars show the new data, sorted afresh.
TEST_F(ChartWindowTest, BarsShowWhatARevertReloads) {
    kw::TfrmMain& window = StartShown();
    kw::TChartWindow& chart = OpenChart(kAmmo);
    const kw::TBarChart& bars = *chart.Bars();
    const int price = Price(kAmmo);
    ASSERT_EQ(Grid(kAmmo).Model().Text(0, 0), "9x18 FMJ");
    TypeIntoCell(Grid(kAmmo), 1, price, "5");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bars.Set().isBarSelected(bars.BarOf(1)); }));
    ReplaceInGameFile("gamedata/config/weapons/weapons.ltx", "cost                    = 80", "cost = 4321");

    window.mnuFileReset->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bars.BarOf(0) == 0 && bars.Set().at(0) == 4321; }));
    EXPECT_EQ(bars.Set().at(bars.BarOf(1)), CatalogNumber(kAmmo, 1, price));
    EXPECT_TRUE(bars.Set().selectedBars().isEmpty());
    EXPECT_TRUE(bars.Marks().points().isEmpty());
}

// Where an entry's point lies in the chart view's viewport.
QPoint PointOnScreen(const kw::TChartWindow& chart, int row) {
    const std::optional<QPointF> values = chart.Scatter()->PositionOf(row);
    EXPECT_TRUE(values);
    const QPointF scene = chart.View()->chart()->mapToPosition(values.value_or(QPointF()));
    return chart.View()->mapFromScene(scene);
}

// An entry whose point no other entry shares, other than the current one.
int LonePointRow(const kw::TChartWindow& chart, int besides) {
    QMap<QPair<qreal, qreal>, int> count;
    const kw::TScatterChart& scatter = *chart.Scatter();
    for (int point = 0; point < scatter.PointCount(); ++point) {
        const QPointF at = *scatter.PositionOf(scatter.RowOf(point));
        ++count[{at.x(), at.y()}];
    }
    for (int point = scatter.PointCount() - 1; point >= 0; --point) {
        const QPointF at = *scatter.PositionOf(scatter.RowOf(point));
        if (count[{at.x(), at.y()}] == 1 && scatter.RowOf(point) != besides) {
            return scatter.RowOf(point);
        }
    }
    return -1;
}

// The View menu's shortcut opens the current page's chart; a click on a point selects its entry in the grid,
// and in the standard view its entry in the list. The choice outlives the window.
TEST_F(ChartWindowTest, AScatterClickSelectsThePointsEntry) {
    kw::TfrmMain& window = StartShown();
    QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
    kw::TChartWindow* opened = window.Chart(kAmmo);
    ASSERT_NE(opened, nullptr);
    kw::TChartWindow& chart = *opened;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    Choose(*chart.cboKind, QString::fromUtf8(kw::kChartScatterText.Default));
    const int damage = ColumnOf(kAmmo, "k_hit");
    Choose(*chart.cboColumnUp, Header(kAmmo, damage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Drawn(chart); }));
    EXPECT_TRUE(chart.cboColumnUp->isVisible());

    const int current = Grid(kAmmo).currentIndex().row();
    const int row = LonePointRow(chart, current);
    ASSERT_GE(row, 0);
    QTest::mouseClick(chart.View()->viewport(), Qt::LeftButton, {}, PointOnScreen(chart, row));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Grid(kAmmo).currentIndex().row() == row; }));
    EXPECT_TRUE(Grid(kAmmo).selectionModel()->isRowSelected(row));

    QTest::mouseClick(window.btnView, Qt::LeftButton);
    ASSERT_TRUE(window.IsStandardView());
    const int other = LonePointRow(chart, row);
    ASSERT_GE(other, 0);
    QTest::mouseClick(chart.View()->viewport(), Qt::LeftButton, {}, PointOnScreen(chart, other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.Views().ListBox(kAmmo)->currentRow() == other; }));

    window.close();
    EXPECT_EQ(Setting("Charts", "sgAmmoChartScatter"), "1");
    EXPECT_EQ(Setting("Charts", "sgAmmoChartColumnUp"), std::to_string(damage));
    EXPECT_FALSE(chart.isVisible());
    kw::TfrmMain& again = Start();
    again.ChartClick(kAmmo);
    ASSERT_NE(again.Chart(kAmmo), nullptr);
    EXPECT_EQ(again.Chart(kAmmo)->Choice().ColumnUp, damage);
    EXPECT_NE(again.Chart(kAmmo)->Scatter(), nullptr);
}

// A value a parent section supplies is a value on the chart, not one left out, drawn lighter than the bars of
// the entries' own values; the grid's cell behind it stays empty.
TEST_F(ChartWindowTest, InheritedValuesAreDrawnInALighterShade) {
    StartShown();
    constexpr int kWeapons = 0;
    kw::TChartWindow& chart = OpenChart(kWeapons);
    const int rpm = ColumnOf(kWeapons, "rpm");
    Choose(*chart.cboColumn, Header(kWeapons, rpm));
    const auto& weapons = FWindow->Catalog().Weapons;
    const int wader = static_cast<int>(std::find_if(weapons.begin(), weapons.end(),
                                                    [](const auto& w) { return w->Section == "wpn_wader"; }) -
                                       weapons.begin());
    const int heron = static_cast<int>(std::find_if(weapons.begin(), weapons.end(),
                                                    [](const auto& w) { return w->Section == "wpn_heron"; }) -
                                       weapons.begin());
    ASSERT_EQ(Grid(kWeapons).Model().Text(wader, rpm), "");
    // The bars of the chosen column, once drawn.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return chart.Choice().Column == rpm && chart.Bars() && chart.Bars()->BarOf(wader) >= 0 &&
               chart.Bars()->BarOf(heron) >= 0 && chart.Bars()->Set().at(chart.Bars()->BarOf(heron)) == 640;
    }));
    const kw::TBarChart& bars = *chart.Bars();
    const int waderBar = bars.BarOf(wader);
    const int heronBar = bars.BarOf(heron);
    EXPECT_EQ(bars.InheritedSet().at(waderBar), 640);
    EXPECT_EQ(bars.Set().at(waderBar), 0);
    EXPECT_EQ(bars.Set().at(heronBar), 640);
    EXPECT_EQ(bars.InheritedSet().at(heronBar), 0);
    EXPECT_EQ(chart.lblLeftOut->property("count").toInt() + bars.BarCount(),
              static_cast<int>(weapons.size()));

    // The middle of each bar, as the view paints it.
    const QImage image = chart.View()->viewport()->grab().toImage();
    const auto colourOf = [&](int bar) {
        const QPointF scene = chart.View()->chart()->mapToPosition(QPointF(bar, 320));
        return image.pixelColor(chart.View()->mapFromScene(scene));
    };
    const QColor own = colourOf(heronBar);
    const QColor inherited = colourOf(waderBar);
    EXPECT_EQ(own, kw::kChartBarColour);
    EXPECT_EQ(inherited, kw::kChartInheritedColour);
    EXPECT_GT(inherited.lightness(), own.lightness() + 40);
    EXPECT_NEAR(inherited.hue(), own.hue(), 2);
}

// The shipped languages beside the program.
class ChartLanguageTest : public ChartWindowTest {
protected:
    void SetUp() override {
        ChartWindowTest::SetUp();
        std::filesystem::copy(KW_SOURCE_DIR "/resources/Lang", FFolder / "Lang");
    }
};

// The boxes name the columns by the grid's headers, and the window speaks the interface language, before and
// after a switch; the column chosen stays chosen.
TEST_F(ChartLanguageTest, TheBoxesNameColumnsByTheGridsHeaders) {
    kw::TfrmMain& window = StartShown();
    kw::TChartWindow& chart = OpenChart(kAmmo);
    const int damage = ColumnOf(kAmmo, "k_hit");
    Choose(*chart.cboColumn, Header(kAmmo, damage));
    struct TCase {
        QString Language;
        QString Damage;
        QString Bars;
        QString Tab;
    };
    for (const TCase& c : {TCase{"English", "dmg.", "Bars", "Ammunition"},
                           TCase{QStringLiteral("Русский"), QStringLiteral("урон"), QStringLiteral("Столбцы"),
                                 QStringLiteral("Боеприпасы")}}) {
        SCOPED_TRACE(c.Language.toStdString());
        LanguageItem(c.Language)->trigger();
        ASSERT_EQ(chart.cboColumn->count(), Grid(kAmmo).Def().ColumnCount() - 1);
        for (int item = 0; item < chart.cboColumn->count(); ++item) {
            EXPECT_EQ(chart.cboColumn->itemText(item),
                      Header(kAmmo, chart.cboColumn->itemData(item).toInt()));
        }
        EXPECT_EQ(chart.cboColumn->currentText(), c.Damage);
        EXPECT_EQ(chart.cboKind->itemText(0), c.Bars);
        EXPECT_TRUE(chart.windowTitle().contains(c.Tab)) << chart.windowTitle().toStdString();
        EXPECT_EQ(chart.View()->chart()->title(), c.Damage);
    }
    EXPECT_EQ(window.Chart(kAmmo)->Choice().Column, damage);
}

bool PixelsVary(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours.size() > 2;
}

TEST_F(ChartWindowTest, SaveImageWritesAPngAtTheWindowsSizeOrFullHd) {
    StartShown();
    kw::TChartWindow& chart = OpenChart(kAmmo);
    const QString path = QString::fromStdString(FFolder.string() + "/ammo prices.png");
    FPlatform.File = path;
    QTest::mouseClick(chart.btnSaveImage, Qt::LeftButton);
    ASSERT_EQ(FPlatform.FileDialogRuns.size(), 1u);
    EXPECT_EQ(FPlatform.FileDialogRuns[0].Name, "dlgSaveChartImage");
    QImage image(path, "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), chart.View()->viewport()->size());
    EXPECT_TRUE(PixelsVary(image));

    Choose(*chart.cboImageSize, QString::fromUtf8(kw::kChartFullHdText.Default));
    QTest::mouseClick(chart.btnSaveImage, Qt::LeftButton);
    image = QImage(path, "PNG");
    EXPECT_EQ(image.size(), QSize(1920, 1080));
    EXPECT_TRUE(PixelsVary(image));
    // The chart on screen keeps its own size.
    EXPECT_EQ(chart.View()->chart()->size().toSize(), chart.View()->viewport()->size());
}

// An image never goes over a game file, and a target that cannot be written is named in a message.
TEST_F(ChartWindowTest, SaveImageRefusesGameFilesAndNamesATargetItCannotWrite) {
    StartShown();
    kw::TChartWindow& chart = OpenChart(kAmmo);
    const std::string items = "gamedata/config/misc/items.ltx";
    const std::string before = GameFile(items);
    FPlatform.File = QString::fromStdString(FGame + items);
    QTest::mouseClick(chart.btnSaveImage, Qt::LeftButton);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(FPlatform.File));
    EXPECT_EQ(GameFile(items), before);

    FPlatform.Messages.clear();
    FPlatform.File = QString::fromStdString(FFolder.string() + "/no such folder/ammo.png");
    QTest::mouseClick(chart.btnSaveImage, Qt::LeftButton);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Text,
              QStringLiteral("Не удалось записать изображение в файл \"%1\".").arg(FPlatform.File));
    EXPECT_FALSE(QFileInfo::exists(FPlatform.File));
}

} // namespace
} // namespace kwtest
