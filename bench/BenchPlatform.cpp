#include "BenchPlatform.h"

#include <QDialog>
#include <QFileDialog>
#include <QTimer>

#include <utility>

namespace kw::bench {

QMessageBox::StandardButton TBenchPlatform::MessageBox(QWidget*, QMessageBox::Icon, const QString& caption,
                                                       const QString& text,
                                                       QMessageBox::StandardButtons buttons) {
    Note(QStringLiteral("message"), caption + QStringLiteral(": ") + text);
    for (const QMessageBox::StandardButton safe : {QMessageBox::Cancel, QMessageBox::No}) {
        if (buttons.testFlag(safe)) {
            return safe;
        }
    }
    return QMessageBox::Ok;
}

QString TBenchPlatform::ChooseFolder(QWidget*, const QString& title, const QString&) {
    Note(QStringLiteral("folder chooser"), title);
    return {};
}

QString TBenchPlatform::RunFileDialog(QFileDialog& dialog) {
    Note(QStringLiteral("file dialog"), dialog.windowTitle());
    return {};
}

int TBenchPlatform::RunDialog(QDialog& dialog) {
    if (!FDialogDriver) {
        Note(QStringLiteral("dialog"), dialog.objectName());
        return QDialog::Rejected;
    }
    QTimer::singleShot(0, &dialog, [this, &dialog] { FDialogDriver(dialog); });
    return TQtPlatform::RunDialog(dialog);
}

std::optional<QColor> TBenchPlatform::ChooseColour(QWidget*, const QColor&, const QString& title) {
    Note(QStringLiteral("colour dialog"), title);
    return std::nullopt;
}

// The last answer is the one Escape gives.
int TBenchPlatform::Ask(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text,
                        const QStringList& answers, int) {
    Note(QStringLiteral("question"), caption + QStringLiteral(": ") + text);
    return static_cast<int>(answers.size()) - 1;
}

void TBenchPlatform::SetDialogDriver(std::function<void(QDialog&)> driver) {
    FDialogDriver = std::move(driver);
}

std::vector<QString> TBenchPlatform::TakeInterruptions() {
    return std::exchange(FInterruptions, {});
}

void TBenchPlatform::Note(const QString& what, const QString& text) {
    FInterruptions.push_back(what + QStringLiteral(" \"") + text + QStringLiteral("\""));
}

} // namespace kw::bench
