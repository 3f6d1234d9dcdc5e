#pragma once

#include "app/Platform.h"

#include <functional>
#include <vector>

namespace kw::bench {

// The toolkit's own clocks and dialogs, except that nothing waits for somebody at the keyboard: a message,
// question or chooser is answered at once with what loses nothing, and kept, so that a measurement it
// interrupted is never reported as a figure.
class TBenchPlatform : public TQtPlatform {
public:
    QMessageBox::StandardButton MessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons) override;
    QString ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    QString RunFileDialog(QFileDialog& dialog) override;
    // Runs the dialog modally, as the editor does, when a step has said how to drive it (SetDialogDriver);
    // any other dialog would wait for ever and is rejected unseen instead.
    int RunDialog(QDialog& dialog) override;
    std::optional<QColor> ChooseColour(QWidget* owner, const QColor& initial, const QString& title) override;
    int Ask(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
            const QStringList& answers, int defaultAnswer) override;

    // What the dialog of the next RunDialogs gets done to it once its event loop runs; empty: none expected.
    void SetDialogDriver(std::function<void(QDialog&)> driver);
    // Everything the window asked or told since the last call, one line each.
    std::vector<QString> TakeInterruptions();

private:
    void Note(const QString& what, const QString& text);

    std::function<void(QDialog&)> FDialogDriver;
    std::vector<QString> FInterruptions;
};

} // namespace kw::bench
