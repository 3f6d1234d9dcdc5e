#pragma once

#include "translate/Translator.h"

#include <QDialog>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class QGroupBox;
class QProgressBar;
class QTimer;

namespace kw {

// What the window and its worker share. It outlives both: the worker frees
// itself after its last write, the window may be gone before the worker ends.
struct TRunState {
    std::function<void()> Run;       // executed on the user-interface thread
    QString Error;                   // text of what the run threw; UI thread only
    QSemaphore Shown;                // released once the window is on screen
    bool Released = false;           // Shown released; UI thread only
    std::atomic<bool> Closed{false}; // the window is gone: the run must not start
    std::atomic<bool> Finished{false};
};

// Waits until the window is shown, hands the run to the user-interface thread,
// blocks until it has run there, then reports the end. Frees itself.
class TReadWrite : public QThread {
public:
    TReadWrite(int mode, std::shared_ptr<TRunState> state);

protected:
    void run() override;

private:
    int FMode;
    std::shared_ptr<TRunState> FState;
};

// The modal window behind a read or write run of the catalogs: it cannot be
// closed by the user, animates a bar that measures nothing, and closes and
// frees itself once the run has ended and it has been up for two seconds.
class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>; // milliseconds, any fixed origin

    static constexpr qint64 kMinDurationMs = 2000;

    TfrmProgress(QWidget* owner, const LanguageList& languages, int languageIndex, Clock clock = {});
    ~TfrmProgress() override;

    // Mode 0 reads, 1 writes (sets the caption and hands run over); any other
    // mode runs nothing and only lets the window close after its time.
    void StartRun(int mode, std::function<void()> run);
    bool Finished() const;
    // The state the worker shares; lets a caller see the worker end after the window is gone.
    std::shared_ptr<const TRunState> RunState() const { return FState; }
    QString RunError() const; // empty when the run succeeded (or has not run)

    // Creates the window, starts the run, shows it modally and returns the
    // run's error text once the window has closed itself.
    static QString Run(QWidget* owner, const LanguageList& languages, int languageIndex, int mode,
                       std::function<void()> run, Clock clock = {});

    QGroupBox* GroupBox1;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;
    TTranslator* Translator1;

public slots:
    void Timer1Timer();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool CanClose() const;
    void AbandonRun();
    void ReleaseWorker();

    Clock FClock;
    qint64 FStartTime;
    int FLanguageIndex;
    std::shared_ptr<TRunState> FState;
};

} // namespace kw
