#pragma once

#include "catalog/EditHistory.h"
#include "translate/Texts.h"

#include <QString>

class QWidget;

// What the Edit menu calls a step: written in the language shown when the step is made, with what it takes
// to say it again in another (TStepName).
namespace kw {

// "Fire range (Obokan)": a field's or a column's caption, its mnemonic and colon dropped, and the entry.
QString StepLabel(const QString& what, const QString& entry);
// What the user reads beside a control: the label it is the buddy of, or its own text.
QString ControlCaption(const QWidget& control);

// A step named after the control it changed, for the entry.
TStepLabel ControlStepLabel(const QWidget& control, const QString& entry);
// A step named by an interface text as shown now, with argument for its %1 when there is one.
TStepLabel TextStepLabel(const TextDef& text, const QString& shown, const QString& argument = {});

} // namespace kw
