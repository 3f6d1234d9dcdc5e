#include "app/Platform.h"

#include "app/BrowseFolderDlg.h"
#include "app/QtFileWatcher.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPushButton>

#include <chrono>

namespace kw {

QMessageBox::StandardButton TQtPlatform::MessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                    const QString& caption, const QString& text,
                                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int TQtPlatform::Ask(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
                     const QStringList& answers, int defaultAnswer) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, owner);
    QList<QAbstractButton*> buttons;
    for (const QString& answer : answers) {
        buttons << box.addButton(answer, buttons.size() + 1 == answers.size() ? QMessageBox::RejectRole
                                                                              : QMessageBox::AcceptRole);
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.value(defaultAnswer, buttons.last())));
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen < 0 ? static_cast<int>(answers.size()) - 1 : static_cast<int>(chosen);
}

QString TQtPlatform::ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    return TBrowseFolderDlg::Execute(owner, title, startFolder);
}

QString TQtPlatform::RunFileDialog(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

int TQtPlatform::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

std::optional<QColor> TQtPlatform::ChooseColour(QWidget* owner, const QColor& initial, const QString& title) {
    const QColor chosen = QColorDialog::getColor(initial, owner, title);
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

QDateTime TQtPlatform::Now() {
    return QDateTime::currentDateTime();
}

qint64 TQtPlatform::SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TFileWatcher* TQtPlatform::MakeFileWatcher(QObject* parent) {
    return new TQtFileWatcher(parent);
}

TPlatform& DefaultPlatform() {
    static TQtPlatform platform;
    return platform;
}

} // namespace kw
