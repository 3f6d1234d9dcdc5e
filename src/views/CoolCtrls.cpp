#include "views/CoolCtrls.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/NumberForm.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QValidator>

#include <algorithm>
#include <utility>

namespace kw {

// A validator sees every change that reaches the text (typing, pasting, dropping, input methods) and a
// refused change leaves the previous text in place; that is exactly the guard the code page needs. It only
// takes note: the toolkit validates again whenever the focus moves, so a message shown from here would
// bring the next one. A paste into a numeric field is held to the number form here too, but only while the
// paste runs: a text that is already there always counts as acceptable, since the line edit withholds
// editingFinished for one that is not, and backspace, cut and undo must go on working on any text.
class TCodePageGuard : public QValidator {
public:
    explicit TCodePageGuard(TCoolEdit* edit) : QValidator(edit), FEdit(edit) {}

    State validate(QString& input, int&) const override {
        const std::string bad = FirstUnencodable(input.toStdString());
        if (!bad.empty()) {
            FEdit->NoteRefused(QString::fromStdString(bad));
            return Invalid;
        }
        if (FEdit->FPasting && FEdit->JudgesPastes() && !IsGameNumber(input.toStdString())) {
            FEdit->NoteNumberRefused();
            return Invalid;
        }
        return Acceptable;
    }

private:
    TCoolEdit* FEdit;
};

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsSign(QChar c) {
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

bool IsNumberCharacter(QChar c) {
    return IsDigit(c) || IsSign(c) || c == QLatin1Char('.');
}

// The menu's Paste. Newer toolkits name it "edit-paste"; older ones give it only its text, which the line
// edit builds from its own translation of "&Paste" and the shortcut after a TAB.
QAction* PasteAction(const QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste") ||
            action->text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste")) {
            return action;
        }
    }
    return nullptr;
}

// The text a key would put into the field; empty for an editing key or a shortcut. The line edit types no
// control character (Backspace, Return, what Ctrl+A gives) and nothing pressed with Ctrl or Ctrl+Shift
// (Ctrl+Alt is AltGr on some keyboards and types). Delete brings a character on some platforms, yet it
// deletes.
QString TypedText(const QKeyEvent* event) {
    const QString text = event->text();
    const Qt::KeyboardModifiers chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (text.isEmpty() || text.front().category() == QChar::Other_Control || event->key() == Qt::Key_Delete ||
        chord == Qt::ControlModifier) {
        return {};
    }
    return text;
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

// A line edit asks for the room of 17 characters; a number of the game files needs about half of that, and a
// layout gives the rest to the fields that show lists.
QSize TCoolEdit::sizeHint() const {
    constexpr int kLineEditChars = 17;
    constexpr int kNumberChars = 8;
    QSize hint = QLineEdit::sizeHint();
    if (!FEnableLet) {
        hint.rwidth() -= fontMetrics().horizontalAdvance(QLatin1Char('x')) * (kLineEditChars - kNumberChars);
    }
    return hint;
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

// Only the typed "." or sign is counted against the result, so a digit still goes into a stored text that
// holds two points. A sign may stand anywhere: "12.5" then "-" gives "12.5-", as the field always allowed.
bool TCoolEdit::AcceptsTyped(const QString& typed) const {
    if (!FEnableNum && std::any_of(typed.begin(), typed.end(), IsDigit)) {
        return false;
    }
    if (FEnableLet) {
        return true;
    }
    if (!std::all_of(typed.begin(), typed.end(), IsNumberCharacter)) {
        return false;
    }
    const QString result = TextWithTyped(typed);
    const bool typesPoint = typed.contains(QLatin1Char('.'));
    const bool typesSign = std::any_of(typed.begin(), typed.end(), IsSign);
    return !(typesPoint && result.count(QLatin1Char('.')) > 1) &&
           !(typesSign && std::count_if(result.begin(), result.end(), IsSign) > 1);
}

QString TCoolEdit::TextWithTyped(const QString& typed) const {
    QString result = text();
    if (hasSelectedText()) {
        return result.replace(selectionStart(), selectionLength(), typed);
    }
    return result.insert(cursorPosition(), typed);
}

void TCoolEdit::ClearUndoHistory() {
    const QSignalBlocker quiet(this);
    const int start = selectionStart();
    const int length = selectionLength();
    const int caret = cursorPosition();
    setText(text());
    if (start >= 0 && length > 0) {
        setSelection(caret == start ? start + length : start, caret == start ? -length : length);
    } else {
        setCursorPosition(caret);
    }
}

bool LeavesUndoKeyToWindow(const QLineEdit& editor, const QKeyEvent& key) {
    const bool undo = key.matches(QKeySequence::Undo);
    const bool redo = key.matches(QKeySequence::Redo) ||
                      key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
                      key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
    return (undo && !editor.isUndoAvailable()) || (redo && !editor.isRedoAvailable());
}

// The window's Edit menu takes back the document's last step.
bool TCoolEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        LeavesUndoKeyToWindow(*this, *static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return false;
    }
    return QLineEdit::event(event);
}

void TCoolEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        const QScopedValueRollback<bool> pasting(FPasting, true);
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = TypedText(event);
    if (typed.isEmpty() || AcceptsTyped(typed)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    RefuseTyped();
}

// An input method hands over what was typed as a finished text; one still being composed is judged when it is
// committed.
void TCoolEdit::inputMethodEvent(QInputMethodEvent* event) {
    const bool commitOnly = event->preeditString().isEmpty() && event->replacementLength() == 0;
    if (commitOnly && !event->commitString().isEmpty() && !AcceptsTyped(event->commitString())) {
        event->accept();
        RefuseTyped();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

// A field for letters only has no note of its own; the beep still says that the key was not taken.
void TCoolEdit::RefuseTyped() {
    if (FEnableLet) {
        QApplication::beep();
    } else {
        NoteNumberRefused();
    }
}

// The menu's Paste goes through the same judgement as Ctrl+V.
void TCoolEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (QAction* paste = PasteAction(menu)) {
        paste->disconnect(this);
        connect(paste, &QAction::triggered, this, &TCoolEdit::PasteJudged);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// A middle click pastes the selection of the window system.
void TCoolEdit::mouseReleaseEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> pasting(FPasting, event->button() == Qt::MiddleButton);
    QLineEdit::mouseReleaseEvent(event);
}

void TCoolEdit::dropEvent(QDropEvent* event) {
    const QScopedValueRollback<bool> pasting(FPasting, true);
    QLineEdit::dropEvent(event);
}

void TCoolEdit::PasteJudged() {
    const QScopedValueRollback<bool> pasting(FPasting, true);
    paste();
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

void TCoolEdit::NoteNumberRefused() {
    if (std::exchange(FNumberRefusalPending, true)) {
        return;
    }
    QMetaObject::invokeMethod(this, &TCoolEdit::ReportNumberRefused, Qt::QueuedConnection);
}

void TCoolEdit::ReportNumberRefused() {
    FNumberRefusalPending = false;
    QApplication::beep();
    emit numberRefused();
}

} // namespace kw
