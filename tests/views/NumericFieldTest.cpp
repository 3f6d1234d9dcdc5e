#include "views/CoolCtrls.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using kw::TCoolEdit;

// One thing the user does in the field: types text, presses a key with its modifiers, or types through an
// input method, which hands over a finished text.
struct TStep {
    QString Typed;
    QKeyCombination Chord = QKeyCombination(Qt::Key_unknown);
    QString Committed;
};

TStep Commit(const QString& text) {
    return {QString(), QKeyCombination(Qt::Key_unknown), text};
}

TStep Type(const QString& text) {
    return {text, QKeyCombination(Qt::Key_unknown), QString()};
}

TStep Press(QKeyCombination chord) {
    return {QString(), chord, QString()};
}

// The character X11 sends with a key: Ctrl with a letter gives its control character (Ctrl+A is 1).
QString KeyText(QKeyCombination chord) {
    const Qt::Key key = chord.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z && chord.keyboardModifiers().testFlag(Qt::ControlModifier)) {
        return QString(QChar(key - Qt::Key_A + 1));
    }
    switch (key) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Delete:
        return QString(QChar(0x7f));
    default:
        return QString();
    }
}

void SendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

void Perform(QWidget* widget, const TStep& step) {
    for (const QChar c : step.Typed) {
        SendKey(widget, Qt::Key_unknown, Qt::NoModifier, QString(c));
    }
    if (step.Chord.key() != Qt::Key_unknown) {
        SendKey(widget, step.Chord.key(), step.Chord.keyboardModifiers(), KeyText(step.Chord));
    }
    if (!step.Committed.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(step.Committed);
        QApplication::sendEvent(widget, &commit);
    }
}

constexpr int kEnd = -1;

struct TKeyCase {
    const char* Name;
    QString Text;
    // The selection's start and length; a length of 0 puts the caret at the start, kEnd at the end.
    int From;
    int Length;
    std::vector<TStep> Steps;
    QString Expected;
    bool Refused; // whether the field beeped and sent its note
    QString Clipboard = QString();
};

void PrintTo(const TKeyCase& keyCase, std::ostream* out) {
    *out << keyCase.Name;
}

const QKeyCombination kSelectAll = Qt::CTRL | Qt::Key_A;
const QKeyCombination kCopy = Qt::CTRL | Qt::Key_C;
const QKeyCombination kCut = Qt::CTRL | Qt::Key_X;
const QKeyCombination kPaste = Qt::CTRL | Qt::Key_V;
const QKeyCombination kUndo = Qt::CTRL | Qt::Key_Z;
const QKeyCombination kRedo = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;

const TKeyCase kKeyCases[] = {
    // Typing over a selection judges the text that results, not the text before.
    {"SignedOverSigned", "-0.3", 0, 4, {Type("-0.4")}, "-0.4", false},
    {"PointFirstOverSelection", "3.9", 0, 3, {Type(".5")}, ".5", false},
    {"PointOverTheOnlyPoint", "1.5", 1, 1, {Type(".")}, "1.5", false},
    {"SignOverTheOnlySign", "-3", 0, 1, {Type("+")}, "+3", false},
    {"TripleClickSelectionRetyped",
     "-0.3",
     0,
     4,
     {Type("0.4"), Press(Qt::Key_Home), Type("-")},
     "-0.4",
     false},
    // At the caret the whole result still holds one point and one sign, and a sign may stand anywhere.
    {"SecondPoint", "12.5", kEnd, 0, {Type(".")}, "12.5", true},
    {"SignAfterDigits", "12.5", kEnd, 0, {Type("-")}, "12.5-", false},
    {"SecondSign", "12.5-", kEnd, 0, {Type("+-")}, "12.5-", true},
    {"OtherSign", "-3", kEnd, 0, {Type("+")}, "-3", true},
    {"SignAtTheStart", "12", kEnd, 0, {Press(Qt::Key_Home), Type("-")}, "-12", false},
    {"PointIntoSelectionKeepingAnother", "1.25", 2, 2, {Type(".")}, "1.25", true},
    // A digit is never refused, even into a stored text that is no number.
    {"DigitIntoStoredText", "1.2.3", kEnd, 0, {Type("4")}, "1.2.34", false},
    {"LettersCommaBlankExponent", "", 0, 0, {Type("1a,2 e3E")}, "123", true},
    {"CommaAlone", "0", kEnd, 0, {Type(",")}, "0", true},
    {"Cyrillic", "0", kEnd, 0, {Type(QStringLiteral("ю"))}, "0", true},
    {"BackspaceAndDelete", "-12", 1, 0, {Press(Qt::Key_Delete), Press(Qt::Key_Backspace)}, "2", false},
    {"BackspaceOnAStoredNonNumber", "abc,1e5", kEnd, 0, {Press(Qt::Key_Backspace)}, "abc,1e", false},
    {"CommittedOverSelection", "-0.3", 0, 4, {Commit("-0.4")}, "-0.4", false},
    {"CommittedComma", "1", kEnd, 0, {Commit(",5")}, "1", true},
    // The editing shortcuts.
    {"SelectAllThenType", "200", kEnd, 0, {Press(kSelectAll), Type("220")}, "220", false},
    {"CopyThenPasteOverAll",
     "1.5",
     kEnd,
     0,
     {Press(kSelectAll), Press(kCopy), Type("7"), Press(kSelectAll), Press(kPaste)},
     "1.5",
     false},
    {"CutLeavesASign", "-0.3", 1, 3, {Press(kCut)}, "-", false},
    {"CutThenPasteBack",
     "12.5",
     1,
     3,
     {Press(kCut), Press(Qt::Key_End), Type("0"), Press(kPaste)},
     "102.5",
     false},
    {"UndoTyping", "12", kEnd, 0, {Type("3"), Press(kUndo)}, "12", false},
    {"RedoTyping", "12", kEnd, 0, {Type("3"), Press(kUndo), Press(kRedo)}, "123", false},
    {"UndoCut", "-0.3", 1, 3, {Press(kCut), Press(kUndo)}, "-0.3", false},
    // A paste must leave a number of the game's form.
    {"PasteWithF", "", 0, 0, {Press(kPaste)}, "4.5f", false, "4.5f"},
    {"PastePointFirst", "9", 0, 1, {Press(kPaste)}, ".2", false, ".2"},
    {"PasteNegative", "", 0, 0, {Press(kPaste)}, "-1", false, "-1"},
    {"PasteCompletesANumber", "1.2", kEnd, 0, {Press(kPaste)}, "1.25", false, "5"},
    {"PasteSignAtTheStart", "3", 0, 0, {Press(kPaste)}, "-3", false, "-"},
    {"PasteComma", "7", 0, 1, {Press(kPaste)}, "7", true, "1,5"},
    {"PasteExponent", "7", 0, 1, {Press(kPaste)}, "7", true, "1e5"},
    {"PasteLetters", "7", 0, 1, {Press(kPaste)}, "7", true, "abc"},
    {"PasteTwoPoints", "7", 0, 1, {Press(kPaste)}, "7", true, "1.2.3"},
    {"PasteBlankFirst", "7", 0, 1, {Press(kPaste)}, "7", true, " 5"},
    {"PasteSecondPoint", "1.2", kEnd, 0, {Press(kPaste)}, "1.2", true, ".5"},
    {"PasteByShiftInsert", "7", 0, 1, {Press(Qt::SHIFT | Qt::Key_Insert)}, "7", true, "1,5"},
    {"UndoAfterARefusedPaste", "7", kEnd, 0, {Type("8"), Press(kPaste), Press(kUndo)}, "7", true, "x"},
};

class NumericFieldKeys : public testing::TestWithParam<TKeyCase> {};

TEST_P(NumericFieldKeys, GiveTheTextAUserMeans) {
    const TKeyCase& keyCase = GetParam();
    TCoolEdit edit;
    edit.SetEnableLet(false);
    edit.setText(keyCase.Text);
    if (keyCase.From == kEnd) {
        edit.end(false);
    } else if (keyCase.Length == 0) {
        edit.setCursorPosition(keyCase.From);
    } else {
        edit.setSelection(keyCase.From, keyCase.Length);
    }
    QApplication::clipboard()->setText(keyCase.Clipboard);
    QSignalSpy refused(&edit, &TCoolEdit::numberRefused);

    for (const TStep& step : keyCase.Steps) {
        Perform(&edit, step);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(edit.text(), keyCase.Expected);
    EXPECT_EQ(refused.count() > 0, keyCase.Refused);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumericFieldKeys, testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// QTest sends Ctrl+A with the letter as its text, as some platforms do; that is no letter typed.
TEST(NumericField, ShortcutsCarryingTheirLetterAreNoTyping) {
    TCoolEdit edit;
    edit.SetEnableLet(false);
    edit.setText("200");
    QSignalSpy refused(&edit, &TCoolEdit::numberRefused);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, "220");
    QApplication::clipboard()->setText("x");
    QTest::keyClick(&edit, Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit.text(), "220");
    EXPECT_EQ(refused.count(), 0);
}

TEST(NumericField, CopiedValueGoesIntoAnotherField) {
    TCoolEdit from;
    TCoolEdit to;
    for (TCoolEdit* edit : {&from, &to}) {
        edit->SetEnableLet(false);
    }
    from.setText("-0.35");
    to.setText("12");
    Perform(&from, Press(kSelectAll));
    Perform(&from, Press(kCopy));
    Perform(&to, Press(kSelectAll));
    Perform(&to, Press(kPaste));
    EXPECT_EQ(to.text(), "-0.35");

    from.setSelection(0, 1);
    Perform(&from, Press(kCut));
    EXPECT_EQ(QApplication::clipboard()->text(), "-");
    EXPECT_EQ(from.text(), "0.35");
}

// A refused paste of each way in leaves the text as it was; the same text from the program stands.
class NumericFieldPaste : public testing::Test {
protected:
    NumericFieldPaste() {
        FEdit.SetEnableLet(false);
        FEdit.setText("7");
        FEdit.selectAll();
    }
    // What the field shows after the menu's Paste with text on the clipboard.
    QString PasteFromMenu(const QString& text) {
        QApplication::clipboard()->setText(text);
        FEdit.selectAll();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), FEdit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&FEdit, &event);
        QMenu* menu = FEdit.findChild<QMenu*>();
        EXPECT_NE(menu, nullptr);
        if (menu != nullptr) {
            const QList<QAction*> actions = menu->actions();
            const auto paste = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
                return action->text().startsWith(QLineEdit::tr("&Paste"));
            });
            EXPECT_NE(paste, actions.end());
            if (paste != actions.end()) {
                (*paste)->trigger();
            }
            delete menu;
        }
        return FEdit.text();
    }
    QString Drop(const QString& text) {
        FEdit.setText("7");
        QMimeData data;
        data.setText(text);
        // A drop goes to the widget the drag entered.
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&FEdit, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&FEdit, &drop);
        return FEdit.text();
    }

    TCoolEdit FEdit;
};

TEST_F(NumericFieldPaste, MenuPasteIsJudgedAsCtrlV) {
    QSignalSpy refused(&FEdit, &TCoolEdit::numberRefused);
    EXPECT_EQ(PasteFromMenu("1,5"), "7");
    QCoreApplication::processEvents();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(PasteFromMenu("-2.5"), "-2.5");
    QCoreApplication::processEvents();
    EXPECT_EQ(refused.count(), 1);
}

TEST_F(NumericFieldPaste, DropIsJudgedAsAPaste) {
    QSignalSpy refused(&FEdit, &TCoolEdit::numberRefused);
    EXPECT_EQ(Drop("1e5"), "7");
    QCoreApplication::processEvents();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(Drop("5"), "57");
}

// The window system's selection, pasted by a middle click; only where the platform has one.
TEST_F(NumericFieldPaste, MiddleClickIsJudgedAsAPaste) {
    if (!QApplication::clipboard()->supportsSelection()) {
        GTEST_SKIP() << "no selection clipboard on this platform";
    }
    QSignalSpy refused(&FEdit, &TCoolEdit::numberRefused);
    QApplication::clipboard()->setText(QStringLiteral("1 000"), QClipboard::Selection);
    QTest::mouseClick(&FEdit, Qt::MiddleButton, {}, QPoint(2, 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(FEdit.text(), "7");
    EXPECT_EQ(refused.count(), 1);
}

// A field for free text takes any paste; a stored non-number in a numeric field stays acceptable input, so
// the line edit still reports the end of its editing when the focus leaves.
TEST_F(NumericFieldPaste, FreeFieldAndStoredTextAreNotJudged) {
    TCoolEdit free;
    QApplication::clipboard()->setText("1,5 e");
    Perform(&free, Press(kPaste));
    EXPECT_EQ(free.text(), "1,5 e");

    FEdit.setText("abc,1e5");
    EXPECT_EQ(FEdit.text(), "abc,1e5");
    EXPECT_TRUE(FEdit.hasAcceptableInput());
}

} // namespace
