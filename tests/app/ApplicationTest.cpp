#include "MainWindowFixture.h"

#include "app/Application.h"
#include "gamecfg/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace kwtest {
namespace {

// Fails in its event handler the way any later handler of the program may.
class TThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw kw::Error("Unable to read /games/weapons.ltx");
        }
        if (event->type() == QEvent::Type(QEvent::User + 1)) {
            throw 42;
        }
        return QObject::event(event);
    }
};

class ErrorDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { kw::TApplication::Instance()->SetPlatform(&FPlatform); }
    void TearDown() override { kw::TApplication::Instance()->SetPlatform(nullptr); }

    FakePlatform FPlatform;
};

TEST_F(ErrorDisplayTest, ExceptionLeavingHandlerIsShownAndTheProgramGoesOn) {
    TThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::Type(QEvent::User + 1)));
    bool laterEventRan = false;
    QTimer::singleShot(0, &object, [&] { laterEventRan = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(FPlatform.Messages[0].Text, "Unable to read /games/weapons.ltx");
    EXPECT_FALSE(FPlatform.Messages[1].Text.isEmpty());
    EXPECT_TRUE(laterEventRan);
}

} // namespace
} // namespace kwtest
