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

// Drives the window on a clock the test sets, and a run whose length the test
// sets by moving that clock between the run's breaths.
class QuickRunProgress : public ::testing::Test {
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
    // Runs a run that lasts as long as the given steps move the clock, the window breathing after each step,
    // and waits until the run has ended and the window has looked at the clock once more. Returns whether the
    // window was on screen after each breath.
    std::vector<bool> RunSteps(std::vector<qint64> steps, int mode = 0) {
        std::vector<bool> shown;
        FForm->StartRun(mode, [this, steps, &shown] {
            for (const qint64 step : steps) {
                FNow += step;
                FForm->Breathe();
                shown.push_back(FForm->isVisible());
            }
        });
        EXPECT_TRUE(QTest::qWaitFor([this] { return FForm->Finished(); }, kWaitMs));
        QCoreApplication::sendPostedEvents();
        return shown;
    }

    qint64 FNow = 1000;
    QPointer<TfrmProgress> FForm;
};

TEST_F(QuickRunProgress, ATenMillisecondRunShowsNoWindow) {
    Create();
    bool ranOnUi = false;
    FForm->StartRun(0, [&] {
        ranOnUi = OnUiThread();
        FNow += 10;
        FForm->Breathe();
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return FForm->Done(); }, kWaitMs));
    EXPECT_TRUE(ranOnUi);
    EXPECT_FALSE(FForm->isVisible());
    EXPECT_TRUE(FForm->RunError().isEmpty());
}

TEST_F(QuickRunProgress, ASecondLongRunShowsTheWindowFromThreeHundredMillisecondsToItsEnd) {
    Create();
    EXPECT_EQ(RunSteps({299, 1, 700}), (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(FForm->Done());
    EXPECT_FALSE(FForm->isVisible());
}

TEST_F(QuickRunProgress, ARunOfThreeHundredFiftyMillisecondsKeepsTheWindowUntilEightHundred) {
    Create();
    EXPECT_EQ(RunSteps({300, 50}), (std::vector<bool>{true, true}));
    FNow = 1000 + 799;
    FForm->CheckDeadlines();
    EXPECT_TRUE(FForm->isVisible());
    EXPECT_FALSE(FForm->Done());
    FNow = 1000 + 800;
    FForm->CheckDeadlines();
    EXPECT_FALSE(FForm->isVisible());
    EXPECT_TRUE(FForm->Done());
}

// The deadlines are armed on the real timer as well, so that the wait ends without anybody calling.
TEST_F(QuickRunProgress, TheWindowClosesByItselfOnceItsTimeIsOver) {
    Create();
    RunSteps({300, 50});
    ASSERT_TRUE(FForm->isVisible());
    FNow += 450;
    EXPECT_TRUE(QTest::qWaitFor([this] { return FForm->Done(); }, kWaitMs));
    EXPECT_FALSE(FForm->isVisible());
}

TEST_F(QuickRunProgress, FailingRunStillEndsAndKeepsItsErrorText) {
    Create();
    FForm->StartRun(1, [] { throw kw::Error("weapons.ltx: не записан"); });
    ASSERT_TRUE(QTest::qWaitFor([this] { return FForm->Done(); }, kWaitMs));
    EXPECT_EQ(FForm->RunError(), QString::fromUtf8("weapons.ltx: не записан"));
}

TEST_F(QuickRunProgress, UserCannotCloseTheWindowWhileTheRunGoesOn) {
    Create();
    FForm->StartRun(0, [this] {
        FNow += 400;
        FForm->Breathe();
        EXPECT_FALSE(FForm->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(FForm->close());
        FForm->reject();
        EXPECT_TRUE(FForm->isVisible());
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return FForm->Finished(); }, kWaitMs));
}

TEST_F(QuickRunProgress, BarCyclesThroughOneToSevenAndBackToZero) {
    Create();
    std::vector<int> positions;
    for (int i = 0; i < 9; ++i) {
        FForm->Timer1Timer();
        positions.push_back(FForm->ProgressBar1->value());
    }
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
    EXPECT_EQ(FForm->Timer1->interval(), 500);
}

TEST_F(QuickRunProgress, CaptionComesFromTheLanguageOrTheBuiltInText) {
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
        DeleteAndLetTheWorkerEnd(); // deleted before the hand-over: the run never starts
    }
    std::filesystem::remove(file);
}

TEST(QuickRunBlocking, RunReturnsTheErrorAndLeavesNoWindow) {
    bool ranOnUi = false;
    QWidget owner;
    owner.show();
    const QString error = TfrmProgress::Run(&owner, {}, -1, 0, [&](const TfrmProgress::Breath& breath) {
        ranOnUi = OnUiThread();
        breath();
        throw kw::Error("broken");
    });
    EXPECT_TRUE(ranOnUi);
    EXPECT_EQ(error, QStringLiteral("broken"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(owner.findChild<TfrmProgress*>(), nullptr);
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
