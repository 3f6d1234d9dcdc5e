#include "views/CoolCtrls.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kw::TCoolEdit;

// Types text character by character as a keyboard layout would deliver it; QTest only types Latin-1.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

class CoolEdit : public testing::Test {
protected:
    // A numeric field holding text, the caret at its end.
    TCoolEdit* Numeric(const QString& text) {
        FNumeric.SetEnableLet(false);
        FNumeric.setText(text);
        FNumeric.end(false);
        return &FNumeric;
    }

    TCoolEdit FNumeric;
    TCoolEdit FFree;
};

TEST_F(CoolEdit, NumericFieldTakesOnePointAndOneSignAnywhere) {
    TCoolEdit* edit = Numeric("12.5");
    QTest::keyClicks(edit, ".");
    EXPECT_EQ(edit->text(), "12.5");
    QTest::keyClicks(edit, "-");
    EXPECT_EQ(edit->text(), "12.5-");
    QTest::keyClicks(edit, "+-");
    EXPECT_EQ(edit->text(), "12.5-");

    Numeric("-3");
    QTest::keyClicks(edit, "+");
    EXPECT_EQ(edit->text(), "-3");

    // The text the key makes decides: a point typed over a selection holding the only point replaces it.
    Numeric("1.5")->selectAll();
    QTest::keyClicks(edit, ".");
    EXPECT_EQ(edit->text(), ".");
}

TEST_F(CoolEdit, NumericFieldRefusesLettersCommaBlankAndExponent) {
    TCoolEdit* edit = Numeric("");
    QTest::keyClicks(edit, "1a,2 e3E");
    EXPECT_EQ(edit->text(), "123");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(CoolEdit, KeysWithoutCharacterWorkInNumericField) {
    TCoolEdit* edit = Numeric("12");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, "-");
    EXPECT_EQ(edit->text(), "-12");
    // Some platforms give Delete the character DEL; it still deletes.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    QApplication::sendEvent(edit, &del);
    EXPECT_EQ(edit->text(), "-2");
}

// A paste by the user must leave a number; text from the program is shown as it is.
TEST_F(CoolEdit, ProgramSetTextIsNotFilteredButAPasteIs) {
    TCoolEdit* edit = Numeric("abc,1e5");
    EXPECT_EQ(edit->text(), "abc,1e5");

    Numeric("");
    QApplication::clipboard()->setText("x 1,5");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
}

TEST_F(CoolEdit, ClipboardShortcutWorksInNumericAndFreeField) {
    QApplication::clipboard()->setText("7");
    TCoolEdit* edit = Numeric("1");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "17");

    QTest::keyClick(&FFree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(FFree.text(), "7");
}

TEST_F(CoolEdit, SwitchingInputKindEmptiesAndKeepsOneKindOn) {
    FFree.setText("abc");
    FFree.SetEnableLet(false);
    EXPECT_EQ(FFree.text(), "");

    FFree.SetEnableNum(false);
    EXPECT_TRUE(FFree.EnableLet());
    EXPECT_FALSE(FFree.EnableNum());
    Type(&FFree, "a1b");
    EXPECT_EQ(FFree.text(), "ab");

    FFree.SetEnableLet(false);
    EXPECT_TRUE(FFree.EnableNum());
}

TEST_F(CoolEdit, ClearAsksItsHandler) {
    FFree.setText("keep");
    TCoolEdit* asked = nullptr;
    FFree.OnClear = [&asked](TCoolEdit* sender, bool& canClear) {
        asked = sender;
        canClear = false;
    };
    FFree.Clear();
    EXPECT_EQ(asked, &FFree);
    EXPECT_EQ(FFree.text(), "keep");

    FFree.OnClear = nullptr;
    FFree.Clear();
    EXPECT_EQ(FFree.text(), "");
}

TEST_F(CoolEdit, CharactersOutsideTheCodePageAreRefusedNotReplaced) {
    QSignalSpy refused(&FFree, &TCoolEdit::refused);
    FFree.setText("ab");
    FFree.end(false);

    Type(&FFree, QStringLiteral("ж中"));
    EXPECT_EQ(FFree.text(), QStringLiteral("abж"));
    QCoreApplication::processEvents();
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), QStringLiteral("中"));

    QApplication::clipboard()->setText(QStringLiteral("x€y😀"));
    FFree.paste();
    EXPECT_EQ(FFree.text(), QStringLiteral("abж"));
    QCoreApplication::processEvents();
    ASSERT_EQ(refused.count(), 2);
    EXPECT_EQ(refused.at(1).at(0).toString(), QStringLiteral("😀"));

    // In a numeric field the code page is reported first: the number form says nothing of the character.
    QSignalSpy numericRefused(Numeric("1"), &TCoolEdit::refused);
    QSignalSpy notNumber(&FNumeric, &TCoolEdit::numberRefused);
    QApplication::clipboard()->setText(QStringLiteral("5中"));
    QTest::keyClick(&FNumeric, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(FNumeric.text(), QStringLiteral("1"));
    QCoreApplication::processEvents();
    EXPECT_EQ(numericRefused.count(), 1);
    EXPECT_EQ(notNumber.count(), 0);
}

// A message box takes the focus, and the toolkit validates a field again when it loses the focus; a
// warning raised from inside the check brought a second box, and that one a third.
TEST_F(CoolEdit, RefusedKeystrokeIsReportedOnceAfterItWasHandled) {
    QWidget window;
    auto* edit = new TCoolEdit(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setText("ab");
    edit->setFocus();
    int reports = 0;
    QObject::connect(edit, &TCoolEdit::refused, [&] {
        ++reports;
        if (reports < 5) { // as a message box does, at most a few times should this go wrong
            other->setFocus();
            edit->setFocus();
        }
    });

    Type(edit, QStringLiteral("中"));
    EXPECT_EQ(reports, 0); // not from inside the keystroke
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(edit->text(), "ab");
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);
}

} // namespace
