#include "MainWindowFixture.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>

#include <map>

namespace kwtest {
namespace {

struct TGeometryCase {
    const char* Name;
    std::string Stored; // lines of "MainOptions"
    QSize Opened;       // an empty size stands for the minimum
    bool Maximized;
};

class WindowGeometry : public MainWindowTest, public ::testing::WithParamInterface<TGeometryCase> {};

// The normal size goes back to the settings as it came, maximized or not; a size the layout does not fit
// into is not taken, and the window is centred at the size it opens with.
TEST_P(WindowGeometry, RoundTripsThroughTheSettings) {
    const TGeometryCase& c = GetParam();
    WriteSettings(c.Stored);
    kw::TfrmMain& window = Start();
    const QSize minimum = window.minimumSize();
    EXPECT_EQ(minimum.width(), 736);
    EXPECT_GT(minimum.height(), 571);
    const QSize opened = c.Opened.isEmpty() ? minimum : c.Opened;
    EXPECT_EQ(window.isMaximized(), c.Maximized);
    if (!c.Maximized) {
        EXPECT_EQ(window.size(), opened);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(window.pos(),
                  QPoint(screen.width() / 2 - opened.width() / 2, screen.height() / 2 - opened.height() / 2));
    }

    ASSERT_TRUE(window.close());
    EXPECT_EQ(Setting("MainOptions", "FormWidth"), std::to_string(opened.width()));
    EXPECT_EQ(Setting("MainOptions", "FormHeight"), std::to_string(opened.height()));
    EXPECT_EQ(Setting("MainOptions", "FormMaximized"), c.Maximized ? "1" : "0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowGeometry,
    ::testing::Values(TGeometryCase{"NoneStored", "", {}, false},
                      TGeometryCase{"Larger", "FormWidth=790\nFormHeight=620\n", {790, 620}, false},
                      TGeometryCase{"TooNarrow", "FormWidth=735\nFormHeight=620\n", {}, false},
                      TGeometryCase{"TooLow", "FormWidth=790\nFormHeight=300\n", {}, false},
                      // Each key falls back to its default on its own.
                      TGeometryCase{"NotANumber", "FormWidth=wide\nFormHeight=620\n", {736, 620}, false},
                      TGeometryCase{
                          "Maximized", "FormWidth=790\nFormHeight=620\nFormMaximized=1\n", {790, 620}, true}),
    [](const ::testing::TestParamInfo<TGeometryCase>& info) { return std::string(info.param.Name); });

// The title bar that must stay within reach is that of the window as it opens: a wide window stored far to
// the left still shows enough of it, where one of the minimum width would not.
TEST_F(MainWindowTest, StoredPositionIsCheckedAtTheRestoredSize) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int x = screen.left() - 1000 + 150;
    WriteSettings("FormX=" + std::to_string(x) + "\nFormY=30\nFormWidth=1000\nFormHeight=700\n");
    EXPECT_EQ(Start().pos(), QPoint(x, 30));
}

// Every control of a widget with its geometry.
std::map<QString, QRect> GeometriesIn(const QWidget& box, const QWidget* except) {
    std::map<QString, QRect> geometries;
    for (const QWidget* control : box.findChildren<QWidget*>()) {
        if (control != except && !except->isAncestorOf(control) && !control->objectName().isEmpty()) {
            geometries[control->objectName()] = control->geometry();
        }
    }
    return geometries;
}

// The grids, list boxes and game folder line take the room, and the status line and buttons stay at the
// bottom. The standard view's fields stay in their rows and grow wider (StandardViewLayoutTest).
TEST_F(MainWindowTest, AnEnlargedWindowGivesTheRoomToGridsAndLists) {
    WriteSettings("GamePath=" + CopySampleGame("game") + "\n");
    kw::TfrmMain& window = Start();
    QListWidget* list = window.Views().ListBox(0);
    const QRect grid = window.Page(0).sg->geometry();
    const QRect listBefore = list->geometry();
    const QRect path = window.pnlGamePath->geometry();
    const QRect close = window.btnClose->geometry();
    const QRect save = window.btnSaveSettings->geometry();
    const QRect exportButton = window.Page(0).btnExport->geometry();
    const std::map<QString, QRect> fields = GeometriesIn(*window.Page(0).gbNormal, list);
    ASSERT_GT(fields.size(), 40u);

    window.resize(1600, 1000);
    const QSize growth = window.size() - window.minimumSize();
    ASSERT_EQ(growth, QSize(1600 - 736, 1000 - window.minimumSize().height()));
    EXPECT_EQ(window.Page(0).sg->geometry(), grid.adjusted(0, 0, growth.width(), growth.height()));
    EXPECT_EQ(list->geometry(), listBefore.adjusted(0, 0, 0, growth.height()));
    EXPECT_EQ(window.pnlGamePath->geometry(),
              path.adjusted(0, growth.height(), growth.width(), growth.height()));
    EXPECT_EQ(window.btnClose->geometry(), close.translated(growth.width(), growth.height()));
    EXPECT_EQ(window.btnSaveSettings->geometry(), save.translated(0, growth.height()));
    EXPECT_EQ(window.Page(0).btnExport->geometry(), exportButton.translated(growth.width(), growth.height()));
    for (const auto& [name, geometry] : GeometriesIn(*window.Page(0).gbNormal, list)) {
        EXPECT_EQ(geometry.top(), fields.at(name).top()) << name.toStdString();
        EXPECT_GE(geometry.width(), fields.at(name).width()) << name.toStdString();
    }
    // Every page, not only the one shown.
    EXPECT_EQ(window.Page(5).sg->height(), grid.height() + growth.height());

    window.resize(300, 300);
    EXPECT_EQ(window.size(), window.minimumSize());
    EXPECT_EQ(window.Page(0).sg->geometry(), grid);
    EXPECT_EQ(list->geometry(), listBefore);
}

// The run works on what the window holds; closing in the middle of it would free that under the run.
TEST_F(MainWindowTest, CloseDuringARunIsIgnored) {
    WriteSettings("GamePath=" + CopySampleGame("game") + "\n");
    kw::TfrmMain& window = Start();
    bool closed = true;
    QTimer::singleShot(0, &window, [&] { closed = window.close(); });
    window.btnSaveSettings->click();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Setting("MainOptions", "FormWidth"), "<absent>");
    EXPECT_TRUE(FPlatform.Questions.empty());
    EXPECT_TRUE(window.close());
}

} // namespace
} // namespace kwtest
