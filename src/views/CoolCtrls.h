#pragma once

#include <QLineEdit>

#include <functional>

class QContextMenuEvent;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;

namespace kw {

// The single-line edit field of every editable value. A numeric field (EnableLet false) lets only what a
// decimal number of the game files needs be typed: digits, "." and a sign, judged by the text the key would
// make (the selection replaced, or the character put in at the caret), which may hold one "." and one sign.
// What is pasted or dropped into it must leave a number of the game's form. Text set by the program is
// taken as it is, so a numeric field can show any stored value. Independently of that filter, no field takes
// a character that windows-1251 cannot hold, by whatever way it arrives: the game files could not store it.
// Whether an undo or redo key (Ctrl+Z; Ctrl+Shift+Z or Ctrl+Y) finds nothing of the editor's own to take back
// or do again: then it belongs to the window's Edit menu, though a line edit would claim it regardless.
bool LeavesUndoKeyToWindow(const QLineEdit& editor, const QKeyEvent& key);

class TCoolEdit : public QLineEdit {
    Q_OBJECT
public:
    // canClear comes in true; the handler may veto.
    using TClearFunc = std::function<void(TCoolEdit* sender, bool& canClear)>;

    explicit TCoolEdit(QWidget* parent = nullptr);

    bool EnableLet() const { return FEnableLet; }
    bool EnableNum() const { return FEnableNum; }
    // Both setters empty the text, and never leave both properties false.
    void SetEnableLet(bool on);
    void SetEnableNum(bool on);

    // Narrower for a numeric field.
    QSize sizeHint() const override;

    TClearFunc OnClear;
    // Empties the text unless OnClear vetoes; without a handler the text is emptied.
    void Clear();
    // Forgets the field's own undo and redo history, text, caret and selection kept and no signal sent: for
    // when what was typed has become a step of the document, which takes it back from then on.
    void ClearUndoHistory();

signals:
    // An edit was refused because of a character the game's code page lacks. Sent once per refused edit,
    // after the key press or paste has been handled, so that a message box it opens cannot re-enter the
    // edit.
    void refused(const QString& character);
    // A numeric field refused a typed character or a paste that would not leave a number; the field has
    // beeped, and the receiver shows the note. Sent once per refused edit, after it has been handled.
    void numberRefused();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TCodePageGuard;

    bool AcceptsTyped(const QString& typed) const;
    void RefuseTyped();
    QString TextWithTyped(const QString& typed) const;
    bool JudgesPastes() const { return !FEnableLet; }
    // Pastes the clipboard as Ctrl+V does, judged as a paste.
    void PasteJudged();
    // Called from the validator, which the toolkit may run again while a message is up; the report waits.
    void NoteRefused(const QString& character);
    void ReportRefused();
    void NoteNumberRefused();
    void ReportNumberRefused();

    bool FEnableLet = true;
    bool FEnableNum = true;
    // A paste or a drop is under way: the validator holds what it makes to the number form.
    bool FPasting = false;
    // The first character of the refused edit not yet reported; empty when nothing waits.
    QString FPendingRefusal;
    bool FNumberRefusalPending = false;
};

} // namespace kw
