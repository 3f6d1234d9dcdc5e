#include "MainWindowFixture.h"

#include "catalog/Catalog.h"
#include "gamecfg/FileSys.h"
#include "views/CoolCtrls.h"
#include "views/uSilencer.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <functional>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

const char* const kItemsLtx = "gamedata/config/misc/items.ltx";
const char* const kWeaponsLtx = "gamedata/config/weapons/weapons.ltx";

// A key as X11 delivers it: Ctrl with a letter brings its control character (Ctrl+A is 1).
void Chord(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QString text = modifiers.testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z
                             ? QString(QChar(key - Qt::Key_A + 1))
                             : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// The selection a triple click makes: a double click selects a word, the third click the whole line.
void TripleClick(QWidget* widget) {
    const QPoint at(4, widget->height() / 2);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

// The sample game copied, its peat spirits curing 0.3 of radiation, and loaded into a shown window.
class NumericFieldWiring : public SampleGameWindowTest {
protected:
    void SetUp() override {
        SampleGameWindowTest::SetUp();
        ReplaceInGameFile(kItemsLtx, "eat_radiation            = -0.2", "eat_radiation            = -0.3");
    }

    kw::TfrmMain& StartShown() {
        kw::TfrmMain& window = Start();
        window.show();
        Activate(&window);
        return window;
    }
    // The window system's focus too: a tooltip closes when it moves, even later.
    static void Activate(QWidget* window) {
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        window->windowHandle()->requestActivate();
        EXPECT_TRUE(
            QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); }));
    }
    // The peat spirits' radiation field, shown on the items page.
    kw::TCoolEdit* Radiation() const {
        FWindow->PageControl1->setCurrentIndex(kw::ItemsPage);
        const auto& items = FWindow->Catalog().Items;
        QListWidget* list = FWindow->Views().ListBox(kw::ItemsPage);
        for (size_t row = 0; row < items.size(); ++row) {
            if (items[row]->Section == "peat_spirits") {
                list->setCurrentRow(static_cast<int>(row));
            }
        }
        auto* field = FWindow->findChild<kw::TCoolEdit*>("txtItems_eat_radiation");
        EXPECT_NE(field, nullptr);
        return field;
    }
    QString StatusLine() const { return FWindow->pnlGamePath->text(); }
    QTimer* NoteTimer() const { return FWindow->findChild<QTimer*>("tmrStatusNote"); }
};

class TypedOverSelection : public NumericFieldWiring, public testing::WithParamInterface<bool> {};

// Triple click, type, save: the cure stays a cure. With another window active the save comes from the menu,
// as it can be reached then, and the typed value must be taken all the same.
TEST_P(TypedOverSelection, SignedValueReachesTheFile) {
    const bool active = GetParam();
    const std::string before = GameFile(kItemsLtx);
    kw::TfrmMain& window = StartShown();
    kw::TCoolEdit* field = Radiation();
    ASSERT_EQ(field->text(), "-0.3");
    field->setFocus();
    TripleClick(field);
    ASSERT_EQ(field->selectedText(), "-0.3");
    Type(field, "-0.4");
    EXPECT_EQ(field->text(), "-0.4");

    if (active) {
        Chord(field, Qt::Key_S, Qt::ControlModifier);
    } else {
        QWidget other;
        other.show();
        Activate(&other);
        window.mnuFileSave->trigger();
    }
    std::string expected = before;
    expected.replace(expected.find("eat_radiation            = -0.3"), 31, "eat_radiation            = -0.4");
    EXPECT_EQ(GameFile(kItemsLtx), expected);
    EXPECT_TRUE(FPlatform.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Window, TypedOverSelection, testing::Bool(),
                         [](const auto& info) { return info.param ? "Active" : "Inactive"; });

// A refused key says why in the status line, in the interface language, and the game folder comes back.
TEST_F(NumericFieldWiring, RefusedKeyIsNotedInTheStatusLineUntilTheFolderComesBack) {
    fs::create_directories(FFolder / "Lang");
    fs::copy_file(fs::path(KW_SOURCE_DIR) / "resources/Lang/English.xml", FFolder / "Lang/English.xml");
    StartShown();
    const QString folder = StatusLine();
    ASSERT_EQ(folder, QString::fromStdString(FGame));
    kw::TCoolEdit* field = Radiation();
    field->setFocus();
    field->end(false);

    Type(field, ",");
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), "-0.3");
    EXPECT_EQ(StatusLine(), "Only digits, one '.' and a leading sign can be typed here");
    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    NoteTimer()->setInterval(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusLine() == folder; })) << StatusLine().toStdString();
}

// The built-in note is Russian, and a refused paste gives it as a refused key does.
TEST_F(NumericFieldWiring, RefusedPasteIsNotedInTheBuiltInLanguage) {
    StartShown();
    kw::TCoolEdit* field = Radiation();
    field->setFocus();
    field->selectAll();
    QApplication::clipboard()->setText("1e5");
    Chord(field, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), "-0.3");
    EXPECT_EQ(StatusLine(), QString::fromUtf8(kw::kNumberRefusedText.Default));
}

// A later note takes the place of the first; a load that writes the line while a note is up keeps its own
// text; the missing-files warning blinks again once a note has ended.
TEST_F(NumericFieldWiring, StatusNoteGivesWayToWhatWritesTheLineMeanwhile) {
    kw::TfrmMain& window = StartShown();
    const QString folder = StatusLine();
    window.ShowStatusNote("first");
    window.ShowStatusNote("second");
    EXPECT_EQ(StatusLine(), "second");
    NoteTimer()->setInterval(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusLine() == folder; })) << StatusLine().toStdString();

    const std::string other = CopySampleGame("other");
    NoteTimer()->setInterval(60000);
    window.ShowStatusNote("loading");
    FPlatform.Folder = QString::fromStdString(other);
    window.btnSelectGamePathClick();
    ASSERT_EQ(StatusLine(), QString::fromStdString(other));
    NoteTimer()->setInterval(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !NoteTimer()->isActive(); }));
    EXPECT_EQ(StatusLine(), QString::fromStdString(other));

    FPlatform.Folder = QString::fromStdString((FFolder / "empty").string());
    fs::create_directories(FFolder / "empty");
    window.btnSelectGamePathClick();
    ASSERT_TRUE(window.Timer1->isActive());
    window.Timer1Timer();
    const QString blinkOn = StatusLine();
    ASSERT_FALSE(blinkOn.isEmpty());
    NoteTimer()->setInterval(60000);
    window.ShowStatusNote("note");
    window.Timer1Timer();
    EXPECT_EQ(StatusLine(), "note");
    NoteTimer()->setInterval(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusLine() == blinkOn; })) << StatusLine().toStdString();
    window.Timer1Timer();
    EXPECT_EQ(StatusLine(), "");
    window.Timer1Timer();
    EXPECT_EQ(StatusLine(), blinkOn);
}

// In an addon dialog the shortcuts work, a signed value typed over a selection is stored, and a refused key
// shows its note as a tooltip at the field, never as a message box. The silencer's damage list is free text.
TEST_F(NumericFieldWiring, AddonDialogFieldTakesShortcutsAndNotesRefusalsAtTheField) {
    kw::TfrmMain& window = StartShown();
    window.PageControl1->setCurrentIndex(kw::WeaponsPage);
    // Whatever goes wrong, no dialog may wait for a user.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(10000);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<kw::TfrmSilencer*>(QApplication::activeModalWidget());
        opened = dialog != nullptr;
        if (!opened) {
            return;
        }
        Activate(dialog);
        // The damage is a list, one value per difficulty, typed as the game file writes it.
        kw::TCoolEdit* damage = dialog->txt_silencer_hit_power;
        damage->setFocus();
        Chord(damage, Qt::Key_A, Qt::ControlModifier);
        Type(damage, "0.5, 0.5, 0.4, 0.4");
        EXPECT_EQ(damage->text(), "0.5, 0.5, 0.4, 0.4");

        kw::TCoolEdit* cost = dialog->txt_cost;
        cost->setFocus();
        ASSERT_EQ(cost->text(), "900");
        Chord(cost, Qt::Key_A, Qt::ControlModifier);
        Type(cost, "220");
        EXPECT_EQ(cost->text(), "220");

        kw::TCoolEdit* weight = dialog->txt_weight;
        weight->setFocus();
        Chord(weight, Qt::Key_A, Qt::ControlModifier);
        Type(weight, "-0.3");
        Chord(weight, Qt::Key_A, Qt::ControlModifier);
        Type(weight, "-0.4");
        EXPECT_EQ(weight->text(), "-0.4");

        Type(weight, "x");
        EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
        EXPECT_EQ(QToolTip::text(), QString::fromUtf8(kw::kNumberRefusedText.Default));
        EXPECT_EQ(QApplication::activeModalWidget(), dialog);
        EXPECT_EQ(weight->text(), "-0.4");
        // The dialog stores a field when the focus leaves it.
        QTest::keyClick(weight, Qt::Key_Tab);
        dialog->btnClose->click();
    });
    window.Views().btnWeaponsSilencer->click();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(FPlatform.Messages.empty());

    window.btnSaveSettings->click();
    const kw::ProfileFile weapons(FGame + kWeaponsLtx);
    const auto stored = [&weapons](const char* key) {
        const std::string text = weapons.ReadString("wpn_addon_silencer", key, "<absent>");
        return text.substr(0, text.find_first_of("\t ;"));
    };
    EXPECT_EQ(stored("inv_weight"), "-0.4");
    EXPECT_EQ(stored("cost"), "220");
}

} // namespace
} // namespace kwtest
