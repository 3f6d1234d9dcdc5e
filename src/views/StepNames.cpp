#include "views/StepNames.h"

#include "views/GameText.h"

#include <QAbstractButton>
#include <QLabel>

namespace kw {

QString StepLabel(const QString& what, const QString& entry) {
    QString plain = what;
    plain.remove(QLatin1Char('&'));
    while (plain.endsWith(QLatin1Char(':')) || plain.endsWith(QLatin1Char(' '))) {
        plain.chop(1);
    }
    return plain + QStringLiteral(" (") + entry + QLatin1Char(')');
}

QString ControlCaption(const QWidget& control) {
    for (const QLabel* label : control.window()->findChildren<QLabel*>()) {
        if (label->buddy() == &control) {
            return label->text();
        }
    }
    const auto* button = qobject_cast<const QAbstractButton*>(&control);
    return button ? button->text().remove(QStringLiteral("...")) : control.objectName();
}

TStepLabel ControlStepLabel(const QWidget& control, const QString& entry) {
    TStepName name;
    name.Control = control.objectName().toStdString();
    name.Argument = QtToUtf8(entry);
    return {QtToUtf8(StepLabel(ControlCaption(control), entry)), name};
}

TStepLabel TextStepLabel(const TextDef& text, const QString& shown, const QString& argument) {
    TStepName name;
    name.TextKey = text.Key;
    name.TextDefault = text.Default;
    name.Argument = QtToUtf8(argument);
    return {QtToUtf8(argument.isEmpty() ? shown : shown.arg(argument)), name};
}

} // namespace kw
