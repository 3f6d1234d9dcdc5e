#include "app/uProgress.h"

#include "app/Platform.h"
#include "gamecfg/Error.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using kw::TfrmProgress;

constexpr int kWaitMs = 5000;

bool OnUiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Drives the window on a clock the test sets, so nothing here sleeps for the
// two seconds the window lingers.
class ProgressTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteAndLetTheWorkerEnd(); }

    // The worker frees itself through the event loop once it has ended; it
    // must be gone before the test ends or it would count as a leak.
    void DeleteAndLetTheWorkerEnd() {
        if (FForm.isNull()) {
            return;
        }
        const std::shared_ptr<const kw::TRunState> state = FForm->RunState();
        delete FForm;
        if (!state->Run) {
            return; // no run was started, so there is no worker
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return state->Finished.load(); }, kWaitMs));
        QTest::qWait(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TfrmProgress* Create(const kw::LanguageList& languages = {}, int languageIndex = -1) {
        FForm = new TfrmProgress(nullptr, languages, languageIndex, [this] { return FNow; });
        return FForm;
    }
    void StartAndFinish(int mode, std::function<void()> run) {
        FForm->StartRun(mode, std::move(run));
        FForm->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return FForm->Finished(); }, kWaitMs));
    }
    bool StepCloses() {
        FForm->Timer1Timer();
        return !FForm->isVisible();
    }

    qint64 FNow = 1000;
    QPointer<TfrmProgress> FForm;
};

TEST_F(ProgressTest, ShortRunLingersUntilTwoSecondsFromCreationThenFreesItself) {
    Create();
    bool ran = false, ranOnUi = false, shownBeforeRun = false;
    FForm->StartRun(0, [&] {
        ran = true;
        ranOnUi = OnUiThread();
        shownBeforeRun = FForm->isVisible();
        FNow += 100;
    });
    QTest::qWait(100); // events pumped before the window is up must not start the run
    EXPECT_FALSE(ran);
    FForm->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return FForm->Finished(); }, kWaitMs));
    EXPECT_TRUE(ranOnUi);
    EXPECT_TRUE(shownBeforeRun);
    EXPECT_TRUE(FForm->RunError().isEmpty());

    FNow = 1000 + 1999;
    EXPECT_FALSE(StepCloses());
    FNow = 1000 + 2000;
    EXPECT_TRUE(StepCloses());
    EXPECT_FALSE(FForm->Timer1->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(FForm.isNull());
}

TEST_F(ProgressTest, LongRunClosesAtTheFirstStepAfterItEnds) {
    Create();
    StartAndFinish(0, [this] { FNow += 10000; });
    EXPECT_EQ(FForm->Timer1->interval(), 500);
    EXPECT_TRUE(StepCloses());
}

TEST_F(ProgressTest, FailingRunStillEndsAndKeepsItsErrorText) {
    Create();
    StartAndFinish(1, [] { throw kw::Error("weapons.ltx: не записан"); });
    EXPECT_EQ(FForm->RunError(), QString::fromUtf8("weapons.ltx: не записан"));
    EXPECT_FALSE(StepCloses());
    FNow += 2000;
    EXPECT_TRUE(StepCloses());
}

TEST_F(ProgressTest, UserCannotCloseWhileTheTimerRuns) {
    Create();
    FForm->StartRun(0, [] {});
    FForm->show();
    EXPECT_FALSE(FForm->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(FForm->close());
    QTest::keyClick(FForm, Qt::Key_Escape);
    FForm->reject();
    EXPECT_TRUE(FForm->isVisible());
}

TEST_F(ProgressTest, BarCyclesThroughOneToSevenAndBackToZero) {
    Create();
    std::vector<int> positions;
    for (int i = 0; i < 9; ++i) {
        FForm->Timer1Timer();
        positions.push_back(FForm->ProgressBar1->value());
    }
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
}

TEST_F(ProgressTest, CaptionComesFromTheLanguageOrTheBuiltInText) {
    const auto file =
        std::filesystem::temp_directory_path() / ("kw_progress_" + std::to_string(::getpid()) + ".xml");
    std::ofstream(file) << R"(<?xml version="1.0" encoding="UTF-8"?>
<translation><language><name>English</name></language><forms><form name="frmProgress"><variables>
<var id="rs_ReadSettings">Reading settings...</var></variables></form></forms></translation>)";
    const kw::LanguageList english{{QStringLiteral("English"), QString::fromStdString(file.string())}};
    const struct {
        kw::LanguageList Languages;
        int Index;
        int Mode;
        const char* Caption;
    } cases[] = {
        {{}, -1, 0, "Чтение параметров..."},
        {{}, -1, 1, "Запись параметров..."},
        {english, 0, 0, "Reading settings..."},
        {english, 0, 1, "Запись параметров..."},
    };
    for (const auto& c : cases) {
        Create(c.Languages, c.Index)->StartRun(c.Mode, [] {});
        EXPECT_EQ(FForm->windowTitle(), QString::fromUtf8(c.Caption));
        DeleteAndLetTheWorkerEnd(); // never shown: the waiting worker is let go without running
    }
    std::filesystem::remove(file);
}

TEST(ProgressRun, ModalRunReturnsTheErrorAfterTheWindowClosedItself) {
    bool ranOnUi = false;
    const QString error = TfrmProgress::Run(nullptr, {}, -1, 0, [&] {
        ranOnUi = OnUiThread();
        throw kw::Error("broken");
    });
    EXPECT_TRUE(ranOnUi);
    EXPECT_EQ(error, QStringLiteral("broken"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<TfrmProgress*>(widget), nullptr);
    }
}

} // namespace

// A wall clock set back while a run goes on would keep the window up for as long; the platform's clock for
// durations is the steady one, which no clock setting moves.
TEST(ProgressRun, PlatformClockForDurationsIsTheSteadyClock) {
    using namespace std::chrono;
    const auto steadyNow = [] {
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    };
    const qint64 before = steadyNow();
    const qint64 platform = kw::TQtPlatform().SteadyMilliseconds();
    const qint64 after = steadyNow();
    EXPECT_GE(platform, before);
    EXPECT_LE(platform, after);
}
