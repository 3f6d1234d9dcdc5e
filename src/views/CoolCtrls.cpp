#include "views/CoolCtrls.h"

#include "gamecfg/CodePage.h"

#include <QKeyEvent>
#include <QValidator>

#include <utility>

namespace kw {

// A validator sees every change that reaches the text (typing, pasting, dropping, input methods) and a
// refused change leaves the previous text in place; that is exactly the guard the code page needs. It only
// takes note: the toolkit validates again whenever the focus moves, so a message shown from here would
// bring the next one.
class TCodePageGuard : public QValidator {
public:
    explicit TCodePageGuard(TCoolEdit* edit) : QValidator(edit), FEdit(edit) {}

    State validate(QString& input, int&) const override {
        const std::string bad = FirstUnencodable(input.toStdString());
        if (bad.empty()) {
            return Acceptable;
        }
        FEdit->NoteRefused(QString::fromStdString(bad));
        return Invalid;
    }

private:
    TCoolEdit* FEdit;
};

namespace {

constexpr QChar kBackspace(8);
constexpr QChar kCarriageReturn(13);

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsSign(QChar c) {
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

bool IsNumberCharacter(QChar c) {
    return IsDigit(c) || IsSign(c) || c == QLatin1Char('.') || c == kBackspace || c == kCarriageReturn;
}

// Delete produces a character on some platforms, yet it is an editing key like the arrows.
bool ProducesCharacter(const QKeyEvent* event) {
    return !event->text().isEmpty() && event->key() != Qt::Key_Delete;
}

} // namespace

TCoolEdit::TCoolEdit(QWidget* parent) : QLineEdit(parent) {
    setProperty("vclClass", QStringLiteral("TCoolEdit"));
    setValidator(new TCodePageGuard(this));
}

void TCoolEdit::SetEnableLet(bool on) {
    FEnableLet = on;
    clear();
    if (!FEnableLet && !FEnableNum) {
        FEnableNum = true;
    }
}

void TCoolEdit::SetEnableNum(bool on) {
    FEnableNum = on;
    clear();
    if (!FEnableLet && !FEnableNum) {
        FEnableLet = true;
    }
}

void TCoolEdit::Clear() {
    bool canClear = true;
    if (OnClear) {
        OnClear(this, canClear);
    }
    if (canClear) {
        clear();
    }
}

// The whole current text decides, not the caret or the selection: a sign may follow digits, and a "." typed
// over a selection holding the only "." is still refused.
bool TCoolEdit::AcceptsTyped(QChar c) const {
    if (!FEnableNum && IsDigit(c)) {
        return false;
    }
    if (FEnableLet) {
        return true;
    }
    if (!IsNumberCharacter(c)) {
        return false;
    }
    if (c == QLatin1Char('.') && text().contains(QLatin1Char('.'))) {
        return false;
    }
    if (IsSign(c) && (text().contains(QLatin1Char('+')) || text().contains(QLatin1Char('-')))) {
        return false;
    }
    return true;
}

void TCoolEdit::keyPressEvent(QKeyEvent* event) {
    if (!ProducesCharacter(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    for (const QChar c : event->text()) {
        if (!AcceptsTyped(c)) {
            // Left to the parents, as a discarded character leaves the key itself to the window (Escape
            // still closes a dialog).
            event->ignore();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TCoolEdit::NoteRefused(const QString& character) {
    if (!FPendingRefusal.isEmpty()) {
        return;
    }
    FPendingRefusal = character;
    QMetaObject::invokeMethod(this, &TCoolEdit::ReportRefused, Qt::QueuedConnection);
}

void TCoolEdit::ReportRefused() {
    emit refused(std::exchange(FPendingRefusal, QString()));
}

} // namespace kw
