#pragma once

#include <QLineEdit>

#include <functional>

class QKeyEvent;

namespace kw {

// The single-line edit field of every editable value. A numeric field (EnableLet false) lets only what a
// decimal number of the game files needs be typed: digits, one ".", one sign. Only typed characters are
// filtered; text set by the program or pasted is taken as it is, so a numeric field can show any stored
// value. Independently of that filter, no field takes a character that windows-1251 cannot hold, by
// whatever way it arrives: the game files could not store it.
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

    TClearFunc OnClear;
    // Empties the text unless OnClear vetoes; without a handler the text is emptied.
    void Clear();

signals:
    // An edit was refused because of a character the game's code page lacks. Sent once per refused edit,
    // after the key press or paste has been handled, so that a message box it opens cannot re-enter the
    // edit.
    void refused(const QString& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TCodePageGuard;

    bool AcceptsTyped(QChar c) const;
    // Called from the validator, which the toolkit may run again while a message is up; the report waits.
    void NoteRefused(const QString& character);
    void ReportRefused();

    bool FEnableLet = true;
    bool FEnableNum = true;
    // The first character of the refused edit not yet reported; empty when nothing waits.
    QString FPendingRefusal;
};

} // namespace kw
