#include "app/uProgress.h"

#include "app/Platform.h"
#include "translate/Texts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

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

void TReadWrite::run() {
    if (HasRun(FMode)) {
        FState->Shown.acquire();
        // Posted to the application object, not the window: the window may be
        // destroyed at any time on its own thread, the application outlives it.
        const std::shared_ptr<TRunState> state = FState;
        if (!state->Closed) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [state] { ExecuteRun(*state); }, Qt::BlockingQueuedConnection);
        }
    }
    FState->Finished = true; // the window's timer may close it from here on
}

TfrmProgress::TfrmProgress(QWidget* owner, const LanguageList& languages, int languageIndex, Clock clock)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      GroupBox1(new QGroupBox(this)), ProgressBar1(new QProgressBar(GroupBox1)), Timer1(new QTimer(this)),
      Translator1(new TTranslator(this)),
      FClock(clock ? std::move(clock) : Clock([] { return DefaultPlatform().SteadyMilliseconds(); })),
      FStartTime(FClock()), FLanguageIndex(languageIndex), FState(std::make_shared<TRunState>()) {
    setObjectName(QStringLiteral("frmProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);

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
    Timer1->start();
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
    auto* worker = new TReadWrite(mode, FState);
    worker->start(QThread::IdlePriority);
    if (isVisible()) {
        ReleaseWorker();
    }
}

bool TfrmProgress::Finished() const {
    return FState->Finished;
}

QString TfrmProgress::RunError() const {
    return FState->Error;
}

QString TfrmProgress::Run(QWidget* owner, const LanguageList& languages, int languageIndex, int mode,
                          std::function<void()> run, Clock clock) {
    QPointer<TfrmProgress> form = new TfrmProgress(owner, languages, languageIndex, std::move(clock));
    try {
        form->StartRun(mode, std::move(run));
    } catch (...) {
        delete form;
        throw;
    }
    // The window frees itself on closing, possibly before exec() returns.
    const std::shared_ptr<TRunState> state = form->FState;
    form->exec();
    return state->Error;
}

void TfrmProgress::Timer1Timer() {
    const int next = ProgressBar1->value() + 1;
    ProgressBar1->setValue(next == ProgressBar1->maximum() ? ProgressBar1->minimum() : next);
    if (!Finished()) {
        return;
    }
    if (FClock() - FStartTime >= kMinDurationMs) {
        Timer1->stop();
        close();
    }
}

// Escape and the platform's close request both end up here or in closeEvent;
// neither may end the window while the run is pending.
void TfrmProgress::reject() {
    if (CanClose()) {
        QDialog::reject();
    }
}

void TfrmProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ReleaseWorker();
}

void TfrmProgress::closeEvent(QCloseEvent* event) {
    if (CanClose()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

bool TfrmProgress::CanClose() const {
    return !Timer1->isActive();
}

// A run not yet taken by the user-interface thread never starts once its
// window is gone (the run works on what the window's owner holds); its worker
// is let go and ends.
void TfrmProgress::AbandonRun() {
    FState->Closed = true;
    ReleaseWorker();
}

// The hand-over may start only once the window is on screen.
void TfrmProgress::ReleaseWorker() {
    if (FState->Released) {
        return;
    }
    FState->Released = true;
    FState->Shown.release();
}

} // namespace kw
