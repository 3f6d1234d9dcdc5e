#pragma once

#include "translate/Translator.h"

#include <QDialog>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class QEventLoop;
class QGroupBox;
class QProgressBar;
class QTimer;

namespace kw {

// What the window and its worker share. It outlives both: the worker frees
// itself after its last write, the window may be gone before the worker ends.
struct TRunState {
    std::function<void()> Run;       // executed on the user-interface thread
    QString Error;                   // text of what the run threw; UI thread only
    std::atomic<bool> Closed{false}; // the window is gone: the run must not start
    std::atomic<bool> Finished{false};
    std::function<void()> Wake; // UI thread only: called there once Finished is set
};

// Hands the run to the user-interface thread, blocks until it has run there,
// then reports the end. Frees itself.
class TReadWrite : public QThread {
public:
    TReadWrite(int mode, std::shared_ptr<TRunState> state);

protected:
    void run() override;

private:
    int FMode;
    std::shared_ptr<TRunState> FState;
};

// The window behind a read or write run of the catalogs. Most runs take a few
// milliseconds, and a window for them would only flash and hold the user up:
// it appears only once a run has gone on for kShowAfterMs, and then stays at
// least kMinShownMs so that it never flashes. The user cannot close it; while
// the run goes on, with or without it, the keyboard and mouse wait.
class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>; // milliseconds, any fixed origin
    // What a run calls between its steps, on the user-interface thread.
    using Breath = std::function<void()>;

    static constexpr qint64 kShowAfterMs = 300;
    static constexpr qint64 kMinShownMs = 500;

    TfrmProgress(QWidget* owner, const LanguageList& languages, int languageIndex, Clock clock = {});
    ~TfrmProgress() override;

    // Mode 0 reads, 1 writes (sets the caption and hands run over); any other
    // mode runs nothing, and the window is done at once.
    void StartRun(int mode, std::function<void()> run);
    // Shows the window once the run has gone on long enough, and lets it paint
    // and animate: the run holds the user-interface thread until it returns.
    void Breathe();
    bool Finished() const;
    // The run has ended and the window, if it appeared, has been up long enough.
    bool Done() const { return FDone; }
    // The state the worker shares; lets a caller see the worker end after the window is gone.
    std::shared_ptr<const TRunState> RunState() const { return FState; }
    QString RunError() const; // empty when the run succeeded (or has not run)
    // Blocks, the keyboard and mouse waiting, until Done.
    void WaitUntilDone();

    // Starts the run, waits until it is done and returns its error text. The
    // run gets the breath to call between its steps.
    static QString Run(QWidget* owner, const LanguageList& languages, int languageIndex, int mode,
                       const std::function<void(const Breath&)>& run, Clock clock = {});

    QGroupBox* GroupBox1;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;
    TTranslator* Translator1;

public slots:
    // One animation step.
    void Timer1Timer();
    // Shows the window when its time has come, and ends the wait once the run
    // has finished and the window has been up long enough.
    void CheckDeadlines();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Appear(qint64 now);
    void ArmDeadline(qint64 inMs);
    void End();
    void AbandonRun();

    Clock FClock;
    qint64 FStartTime;
    qint64 FShownAt = -1; // when the window appeared; -1 while it has not
    bool FDone = false;
    int FLanguageIndex;
    QTimer* FDeadline;
    QEventLoop* FWaiting = nullptr;
    std::shared_ptr<TRunState> FState;
};

} // namespace kw
