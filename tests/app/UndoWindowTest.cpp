#include "MainWindowFixture.h"

#include "views/CoolCtrls.h"
#include "views/GridCells.h"
#include "views/uChanges.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <algorithm>

namespace kwtest {
namespace {

const char kBittern[] = "gamedata/config/weapons/w_bittern.ltx";
const char kRpmLine[] = "rpm                     = 80";

// The sample game in a shown window, its weapons page showing the bittern (rate of fire 80).
class UndoWindow : public SampleGameWindowTest {
protected:
    kw::TCoolEdit* Rpm() const {
        return FWindow->findChild<kw::TCoolEdit*>(QStringLiteral("txtWeapons_rpm"));
    }
    // Types over the field's text as a user does, leaving the focus in it.
    void TypeOver(kw::TCoolEdit* field, const QString& text) const {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    std::string BitternLine() const {
        const std::string text = GameFile(kBittern);
        const size_t at = text.find("\nrpm ");
        return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    }
    void Undo(QWidget* focus) const { QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier); }
    void Redo(QWidget* focus) const { QTest::keyClick(focus, Qt::Key_Y, Qt::ControlModifier); }
};

// A committed field is one step: the Edit menu names it, Ctrl+Z from the field (which has nothing of its own
// to take back) takes it back and shows the value again, Ctrl+Y does it again, and the file follows each
// save.
TEST_F(UndoWindow, AFieldIsOneStepUndoneAndRedoneFromTheKeyboard) {
    kw::TfrmMain& window = StartShown();
    EXPECT_FALSE(window.mnuEditUndo->isEnabled());
    EXPECT_EQ(window.mnuEditUndo->text(), QString::fromUtf8("&Отменить действие"));
    kw::TCoolEdit* rpm = Rpm();
    TypeOver(rpm, "612");
    QTest::keyClick(rpm, Qt::Key_Tab);
    ASSERT_TRUE(window.mnuEditUndo->isEnabled());
    EXPECT_EQ(window.mnuEditUndo->text(), QString::fromUtf8("&Отменить: Скорострельность (Bittern BK-12)"));

    Undo(QApplication::focusWidget());
    EXPECT_EQ(rpm->text(), "80");
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_FALSE(window.mnuEditUndo->isEnabled());
    EXPECT_EQ(window.mnuEditRedo->text(), QString::fromUtf8("&Повторить: Скорострельность (Bittern BK-12)"));
    EXPECT_EQ(QApplication::focusWidget(), rpm); // the user sees what came back

    Redo(rpm);
    EXPECT_EQ(rpm->text(), "612");
    EXPECT_TRUE(window.isWindowModified());
    window.mnuFileSave->trigger();
    EXPECT_EQ(BitternLine(), "rpm                     = 612");

    // Undo after the save makes the document modified again; a second save puts the file back.
    window.mnuEditUndo->trigger();
    EXPECT_TRUE(window.isWindowModified());
    window.mnuFileSave->trigger();
    EXPECT_EQ(BitternLine(), kRpmLine);
}

// While the field holds typing of its own, Ctrl+Z takes that back first; once it has nothing left, the key
// reaches the Edit menu and takes back the document's last step.
TEST_F(UndoWindow, CtrlZInAFieldFirstTakesBackItsOwnTyping) {
    StartShown();
    kw::TCoolEdit* rpm = Rpm();
    TypeOver(rpm, "612");
    QTest::keyClick(rpm, Qt::Key_Tab);
    rpm->setFocus();
    rpm->end(false);
    QTest::keyClicks(rpm, "9");
    ASSERT_EQ(rpm->text(), "6129");
    Undo(rpm);
    EXPECT_EQ(rpm->text(), "612");
    ASSERT_NE(FWindow->Document().NextUndo(), nullptr);
    Undo(rpm);
    EXPECT_EQ(rpm->text(), "80");
    EXPECT_EQ(FWindow->Document().NextUndo(), nullptr);
}

class UndoMark : public UndoWindow, public testing::WithParamInterface<bool> {};

// The modified mark comes with the first keystroke that makes a field differ from what it showed, and goes
// when the text is typed back, whether the window stays active or another window takes the focus meanwhile.
TEST_P(UndoMark, ComesWithTheFirstKeystrokeAndGoesWhenTypedBack) {
    const bool active = GetParam();
    kw::TfrmMain& window = StartShown();
    kw::TCoolEdit* rpm = Rpm();
    rpm->setFocus();
    rpm->end(false);
    QTest::keyClicks(rpm, "5");
    EXPECT_TRUE(window.isWindowModified());
    QWidget other;
    if (!active) {
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_TRUE(window.isWindowModified());
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        rpm->setFocus();
        rpm->end(false);
    }
    QTest::keyClick(rpm, Qt::Key_Backspace);
    EXPECT_EQ(rpm->text(), "80");
    EXPECT_FALSE(window.isWindowModified());
}

INSTANTIATE_TEST_SUITE_P(Window, UndoMark, testing::Bool(),
                         [](const auto& info) { return info.param ? "Active" : "Inactive"; });

// A revert of selected rows in the Changes window is one step: undone, the edits are back.
TEST_F(UndoWindow, ARevertInTheChangesWindowIsOneStep) {
    kw::TfrmMain& window = StartShown();
    SetValue(window.Catalog().Weapons[0]->rpm, "612");
    SetValue(window.Catalog().Weapons[0]->cost, "2700");
    FPlatform.OnDialog = [](QDialog& dialog) {
        auto* changes = qobject_cast<kw::TfrmChanges*>(&dialog);
        ASSERT_NE(changes, nullptr);
        changes->tblChanges->selectAll();
        changes->btnRevert->click();
    };
    window.mnuFileChanges->trigger();
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(window.mnuEditUndo->text(), QString::fromUtf8("&Отменить: возврат изменений: 2"));
    window.mnuEditUndo->trigger();
    EXPECT_EQ(window.Catalog().Weapons[0]->rpm.Value, "612");
    EXPECT_EQ(window.Catalog().Weapons[0]->cost.Value, "2700");
    EXPECT_EQ(Rpm()->text(), "612");
    EXPECT_TRUE(window.isWindowModified());
}

TEST_F(UndoWindow, AReloadClearsTheHistory) {
    kw::TfrmMain& window = StartShown();
    TypeOver(Rpm(), "612");
    QTest::keyClick(Rpm(), Qt::Key_Tab);
    ASSERT_TRUE(window.mnuEditUndo->isEnabled());
    FPlatform.Choice = QString::fromUtf8(kw::kDiscardAnswer.Default);
    window.mnuFileReset->trigger();
    EXPECT_FALSE(window.mnuEditUndo->isEnabled());
    EXPECT_FALSE(window.mnuEditRedo->isEnabled());
    EXPECT_EQ(Rpm()->text(), "80");
}

// The Edit menu names each step in the language shown now, not in the one it was made in: a field, a typed
// cell and a paste made in English are named in Russian once Russian is chosen.
TEST_F(UndoWindow, StepsAreNamedInTheLanguageShownNow) {
    std::filesystem::create_directories(FFolder / "Lang");
    for (const char* language : {"English.xml", "Russian.xml"}) {
        std::filesystem::copy_file(std::filesystem::path(KW_SOURCE_DIR) / "resources/Lang" / language,
                                   FFolder / "Lang" / language);
    }
    WriteSettings("GamePath=" + FGame + "\nLanguage=English\n");
    kw::TfrmMain& window = StartShown();
    TypeOver(Rpm(), "612");
    QTest::keyClick(Rpm(), Qt::Key_Tab);
    window.btnView->click();
    window.PageControl1->setCurrentIndex(1);
    kw::TGridView& grid = *window.Page(1).sg;
    TypeIntoCell(grid, 0, 2, "1.75");
    QApplication::clipboard()->setText(QStringLiteral("0.5\t0.6\n"));
    grid.setCurrentIndex(At(grid, 1, 1));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(window.mnuEditUndo->text(), "&Undo paste of 2 cells");

    QAction* russian = LanguageItem(QString::fromUtf8("Русский"));
    ASSERT_NE(russian, nullptr);
    russian->trigger();
    std::vector<QString> named;
    while (window.mnuEditUndo->isEnabled()) {
        named.push_back(window.mnuEditUndo->text());
        window.mnuEditUndo->trigger();
    }
    EXPECT_EQ(named,
              (std::vector<QString>{QString::fromUtf8("&Отменить: вставку ячеек: 2"),
                                    QString::fromUtf8("&Отменить: дистанция (9x18 FMJ)"),
                                    QString::fromUtf8("&Отменить: Скорострельность (Bittern BK-12)")}));
    EXPECT_EQ(window.mnuEditRedo->text(), QString::fromUtf8("&Повторить: Скорострельность (Bittern BK-12)"));
}

// The session's document outlives its window: a window closed and opened again hears only its own steps.
TEST_F(UndoWindow, ADocumentOutlivesItsWindow) {
    StartShown();
    kw::TDocument& document = FWindow->Document();
    FWindow.reset();
    document.Edit("rpm", {}, {{&document.Catalog().Weapons.front()->rpm, "612"}});
    document.Undo();
    kw::TfrmMain window(*FSession, &FPlatform);
    document.Redo();
    EXPECT_TRUE(window.mnuEditUndo->isEnabled());
    EXPECT_TRUE(window.isWindowModified());
}

} // namespace
} // namespace kwtest
