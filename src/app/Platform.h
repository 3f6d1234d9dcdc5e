#pragma once

#include <QColor>
#include <QDateTime>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QFileDialog;
class QWidget;

namespace kw {

// Tells of changes to files and folders on disk, whichever program made them.
class TFileWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Watches exactly these files and folders (platform paths) from now on.
    virtual void SetPaths(const QStringList& paths) = 0;

signals:
    // A watched file was written, replaced or removed, or an entry of a watched folder came or went; path is
    // as SetPaths gave it.
    void Changed(const QString& path);
};

// The modal dialogs and the clock that the windows reach. Kept behind one
// interface so that a window can be driven with nobody at the keyboard.
class TPlatform {
public:
    virtual ~TPlatform() = default;

    virtual QMessageBox::StandardButton MessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                   const QString& caption, const QString& text,
                                                   QMessageBox::StandardButtons buttons) = 0;
    // The chosen folder's full path, empty when the user cancels. startFolder: where the chooser opens
    // (empty: the home folder).
    virtual QString ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder) = 0;
    // Shows one of the window's file dialogs as it is set up (title, filters, open or save, the overwrite
    // question) and returns the chosen file's full path, empty when the user cancels. The chosen filter is
    // the dialog's selectedNameFilter() afterwards.
    virtual QString RunFileDialog(QFileDialog& dialog) = 0;
    // Shows one of the window's own modal dialogs as it is set up; returns its result code.
    virtual int RunDialog(QDialog& dialog) = 0;
    // The colour chosen in the colour dialog, which starts at initial; nothing when the user cancels.
    virtual std::optional<QColor> ChooseColour(QWidget* owner, const QColor& initial,
                                               const QString& title) = 0;
    // A question answered by one of answers (captions in the interface language); returns its index. The
    // last answer is the one that Escape or closing the box gives; Enter gives the one at defaultAnswer.
    // icon: a plain question, or a warning when going on may do harm.
    virtual int Ask(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
                    const QStringList& answers, int defaultAnswer) = 0;
    // The wall clock, for times the user reads; never for durations, since it can be set back or forth.
    virtual QDateTime Now() = 0;
    // A clock that only moves forward, in milliseconds from any fixed origin: for durations.
    virtual qint64 SteadyMilliseconds() = 0;
    // A watcher of files on disk, owned by parent.
    virtual TFileWatcher* MakeFileWatcher(QObject* parent) = 0;
};

// The real dialogs of the toolkit.
class TQtPlatform : public TPlatform {
public:
    QMessageBox::StandardButton MessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons) override;
    QString ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    QString RunFileDialog(QFileDialog& dialog) override;
    int RunDialog(QDialog& dialog) override;
    std::optional<QColor> ChooseColour(QWidget* owner, const QColor& initial, const QString& title) override;
    int Ask(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
            const QStringList& answers, int defaultAnswer) override;
    QDateTime Now() override;
    qint64 SteadyMilliseconds() override;
    TFileWatcher* MakeFileWatcher(QObject* parent) override;
};

TPlatform& DefaultPlatform();

} // namespace kw
