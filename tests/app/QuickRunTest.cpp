#include "MainWindowFixture.h"

#include "app/uProgress.h"
#include "views/CoolCtrls.h"

#include <QLabel>
#include <QTest>

#include <QSet>

namespace kwtest {
namespace {

// Every window that appeared while the test ran, by object name.
class TShownWindows : public QObject {
public:
    TShownWindows() { qApp->installEventFilter(this); }
    ~TShownWindows() override { qApp->removeEventFilter(this); }
    TShownWindows(const TShownWindows&) = delete;
    TShownWindows& operator=(const TShownWindows&) = delete;

    bool Saw(const QString& name) const { return FNames.contains(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            FNames.insert(watched->objectName());
        }
        return false;
    }

private:
    QSet<QString> FNames;
};

class QuickRunSave : public SampleGameWindowTest {
protected:
    kw::TCoolEdit* TypeInto(const char* name, const QString& text) const {
        auto* field = FWindow->findChild<kw::TCoolEdit*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        return field;
    }
};

class QuickRunSaveWindows : public QuickRunSave, public testing::WithParamInterface<bool> {};

// A save of one edit writes the line before the key (or the menu, from another window) returns; no progress
// window comes up, the window that was active stays so with its focus, and the status line says that the file
// was saved.
TEST_P(QuickRunSaveWindows, OneEditIsWrittenWithoutAWindow) {
    const bool active = GetParam();
    kw::TfrmMain& window = StartShown();
    const std::string file = "gamedata/config/weapons/w_bittern.ltx";
    const std::string before = GameFile(file);
    const TShownWindows shown;
    kw::TCoolEdit* rpm = TypeInto("txtWeapons_rpm", "612");
    QWidget other;
    if (active) {
        QTest::keyClick(rpm, Qt::Key_S, Qt::ControlModifier);
    } else {
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        window.mnuFileSave->trigger();
    }

    std::string expected = before;
    expected.replace(expected.find("rpm                     = 80"), 28, "rpm                     = 612");
    EXPECT_EQ(GameFile(file), expected);
    EXPECT_FALSE(shown.Saw(QStringLiteral("frmProgress")));
    EXPECT_EQ(window.findChild<kw::TfrmProgress*>(), nullptr);
    if (active) {
        EXPECT_EQ(QApplication::focusWidget(), rpm);
    } else {
        EXPECT_EQ(QApplication::activeWindow(), &other);
    }
    EXPECT_EQ(window.pnlGamePath->text(), QString::fromUtf8("Сохранено"));
    EXPECT_TRUE(FPlatform.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Window, QuickRunSaveWindows, testing::Bool(),
                         [](const auto& info) { return info.param ? "Active" : "Inactive"; });

// A save that takes long enough brings the progress window up, and the window is gone when the key returns.
TEST_F(QuickRunSave, ASlowSaveShowsTheWindowAndTakesItAwayAtTheEnd) {
    kw::TfrmMain& window = StartShown();
    const TShownWindows shown;
    kw::TCoolEdit* rpm = TypeInto("txtWeapons_rpm", "613");
    // Each file the save writes takes a second by the window's clock.
    FPlatform.StepPerLook = 1000;
    QTest::keyClick(rpm, Qt::Key_S, Qt::ControlModifier);
    FPlatform.StepPerLook = 0;
    EXPECT_TRUE(shown.Saw(QStringLiteral("frmProgress")));
    EXPECT_EQ(window.findChild<kw::TfrmProgress*>(), nullptr);
    EXPECT_NE(GameFile("gamedata/config/weapons/w_bittern.ltx").find("= 613"), std::string::npos);
}

} // namespace
} // namespace kwtest
