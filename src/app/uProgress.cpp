#include "app/uProgress.h"

#include "app/Platform.h"
#include "translate/Texts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <exception>

namespace kw {
namespace {

constexpr int kClientWidth = 266;
constexpr int kClientHeight = 49;
constexpr int kTimerIntervalMs = 500;
constexpr int kBarMaximum = 8;

// Caption of each run mode, indexed by mode.
const std::array<const TextDef*, 2> kCaptionTexts{&kReadSettingsText, &kWriteSettingsText};

bool HasRun(int mode) {
    return mode >= 0 && mode < static_cast<int>(kCaptionTexts.size());
}

// Runs on the user-interface thread; whatever the run throws ends the run and
// is kept for the caller, never shown here.
void ExecuteRun(TRunState& state) {
    if (state.Closed) {
        return;
    }
    try {
        state.Run();
    } catch (const std::exception& e) {
        state.Error = QString::fromUtf8(e.what());
    } catch (...) {
        state.Error = QStringLiteral("Unknown error");
    }
}

} // namespace

TReadWrite::TReadWrite(int mode, std::shared_ptr<TRunState> state) : FMode(mode), FState(std::move(state)) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

// Calls are posted to the application object, not the window: the window may be destroyed at any time on its
// own thread, the application outlives it.
void TReadWrite::run() {
    const std::shared_ptr<TRunState> state = FState;
    if (HasRun(FMode) && !state->Closed) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [state] { ExecuteRun(*state); }, Qt::BlockingQueuedConnection);
    }
    state->Finished = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [state] {
            if (state->Wake) {
                state->Wake();
            }
        },
        Qt::QueuedConnection);
}

TfrmProgress::TfrmProgress(QWidget* owner, const LanguageList& languages, int languageIndex, Clock clock)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      GroupBox1(new QGroupBox(this)), ProgressBar1(new QProgressBar(GroupBox1)), Timer1(new QTimer(this)),
      Translator1(new TTranslator(this)),
      FClock(clock ? std::move(clock) : Clock([] { return DefaultPlatform().SteadyMilliseconds(); })),
      FStartTime(FClock()), FLanguageIndex(languageIndex), FDeadline(new QTimer(this)),
      FState(std::make_shared<TRunState>()) {
    setObjectName(QStringLiteral("frmProgress"));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowModality(Qt::ApplicationModal);

    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(GroupBox1);

    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kBarMaximum);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    auto* inner = new QVBoxLayout(GroupBox1);
    inner->setContentsMargins(8, 4, 8, 4);
    inner->addWidget(ProgressBar1);

    Translator1->AssignLanguages(languages);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TfrmProgress::Timer1Timer);

    FDeadline->setObjectName(QStringLiteral("tmrDeadline"));
    FDeadline->setSingleShot(true);
    connect(FDeadline, &QTimer::timeout, this, &TfrmProgress::CheckDeadlines);
}

TfrmProgress::~TfrmProgress() {
    AbandonRun();
}

void TfrmProgress::StartRun(int mode, std::function<void()> run) {
    if (HasRun(mode)) {
        const TextDef& text = *kCaptionTexts[mode];
        setWindowTitle(Translator1->GetVariable(FLanguageIndex, QString::fromUtf8(text.Key),
                                                QString::fromUtf8(text.Default)));
    }
    AbandonRun();
    FState = std::make_shared<TRunState>();
    FState->Run = std::move(run);
    FState->Wake = [this] { CheckDeadlines(); };
    auto* worker = new TReadWrite(mode, FState);
    worker->start(QThread::IdlePriority);
    CheckDeadlines();
}

bool TfrmProgress::Finished() const {
    return FState->Finished;
}

QString TfrmProgress::RunError() const {
    return FState->Error;
}

void TfrmProgress::Breathe() {
    CheckDeadlines();
    if (isVisible()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TfrmProgress::WaitUntilDone() {
    if (FDone) {
        return;
    }
    QEventLoop loop;
    FWaiting = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    FWaiting = nullptr;
}

QString TfrmProgress::Run(QWidget* owner, const LanguageList& languages, int languageIndex, int mode,
                          const std::function<void(const Breath&)>& run, Clock clock) {
    const auto form = std::make_unique<TfrmProgress>(owner, languages, languageIndex, std::move(clock));
    TfrmProgress* const window = form.get();
    window->StartRun(mode, [window, &run] { run([window] { window->Breathe(); }); });
    window->WaitUntilDone();
    return window->RunError();
}

void TfrmProgress::Timer1Timer() {
    const int next = ProgressBar1->value() + 1;
    ProgressBar1->setValue(next == ProgressBar1->maximum() ? ProgressBar1->minimum() : next);
}

// Deadlines are read off the clock, not counted in timer steps: the window
// closes the moment both the run and its minimum time are over.
void TfrmProgress::CheckDeadlines() {
    if (FDone) {
        return;
    }
    const qint64 now = FClock();
    if (!Finished()) {
        if (FShownAt >= 0) {
            return;
        }
        if (now - FStartTime >= kShowAfterMs) {
            Appear(now);
        } else {
            ArmDeadline(kShowAfterMs - (now - FStartTime));
        }
        return;
    }
    if (FShownAt >= 0 && now - FShownAt < kMinShownMs) {
        ArmDeadline(kMinShownMs - (now - FShownAt));
        return;
    }
    End();
}

void TfrmProgress::Appear(qint64 now) {
    FShownAt = now;
    FDeadline->stop();
    show();
    Timer1->start();
}

void TfrmProgress::ArmDeadline(qint64 inMs) {
    FDeadline->start(static_cast<int>(std::clamp<qint64>(inMs, 1, kShowAfterMs + kMinShownMs)));
}

void TfrmProgress::End() {
    FDone = true;
    Timer1->stop();
    FDeadline->stop();
    hide();
    if (FWaiting) {
        FWaiting->quit();
    }
}

// Escape and the platform's close request both end up here or in closeEvent;
// neither may end the window while the run is pending.
void TfrmProgress::reject() {
    if (FDone) {
        QDialog::reject();
    }
}

void TfrmProgress::closeEvent(QCloseEvent* event) {
    if (FDone) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

// A run not yet taken by the user-interface thread never starts once its
// window is gone (the run works on what the window's owner holds); its worker
// is let go and ends.
void TfrmProgress::AbandonRun() {
    FState->Closed = true;
    FState->Wake = nullptr;
}

} // namespace kw
