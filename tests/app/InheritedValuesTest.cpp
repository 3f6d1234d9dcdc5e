#include "MainWindowFixture.h"

#include "views/CoolCtrls.h"
#include "views/GridCells.h"
#include "views/GridModel.h"
#include "views/GridView.h"
#include "views/StandardViewFields.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

const QString kFromHeron = QStringLiteral("унаследовано из [wpn_heron] в weapons\\w_heron.ltx");
const std::string kWader = "gamedata/config/weapons/w_wader.ltx";

// The sample game's variants in a shown window; the parameter says whether the window stays active while the
// user works, or another window takes the activation and the focus from it.
class InheritedValuesTest : public SampleGameWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    template <class T> T* Control(const char* name) const {
        T* control = FWindow->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    template <class Entry>
    int Row(const std::vector<std::unique_ptr<Entry>>& entries, const std::string& section) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& e) { return e->Section == section; });
        EXPECT_NE(found, entries.end()) << section;
        return static_cast<int>(found - entries.begin());
    }
    void ClickTab(int index) const {
        QTabBar* bar = FWindow->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // A row of the list chosen as a user does, with a click.
    void ClickRow(int page, int row) const {
        QListWidget* list = FWindow->Views().ListBox(page);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        EXPECT_EQ(list->currentRow(), row);
    }
    // Another program's window takes the activation, and with it the focus, from the editor.
    void LoseActivation() {
        FOther = std::make_unique<QWidget>();
        FOther->resize(200, 100);
        FOther->show();
        QApplication::setActiveWindow(FOther.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(FOther.get()));
        EXPECT_FALSE(FWindow->isActiveWindow());
    }
    // Ctrl+S in the active window; in an inactive one the user can only click the save button.
    void Save(QWidget* focus) const {
        if (GetParam()) {
            QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
        } else {
            QTest::mouseClick(FWindow->btnSaveSettings, Qt::LeftButton);
        }
    }
    static bool IsGrey(const QWidget& caption) {
        return caption.palette().color(QPalette::WindowText) ==
               caption.palette().color(QPalette::PlaceholderText);
    }

    std::unique_ptr<QWidget> FOther;
};

// Pixels of the cell's rectangle that are not its background: the text it paints.
std::vector<QColor> Ink(kw::TGridView& grid, int row, int column) {
    const QImage image = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(At(grid, row, column)).adjusted(1, 1, -1, -1);
    const QColor background = image.pixelColor(cell.topLeft());
    std::vector<QColor> ink;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            if (image.pixelColor(x, y) != background) {
                ink.push_back(image.pixelColor(x, y));
            }
        }
    }
    return ink;
}

// The Wader and the fenwarden scout outfit take most values from their parent sections. Looking at them in
// both views, ticking a box back and picking a status back, and saving changes no byte and leaves nothing to
// save; a value typed into an inherited field is one new line in the Wader's own section.
TEST_P(InheritedValuesTest, BrowsingVariantsChangesNoByteTypingWritesOneLine) {
    const auto before = FileBytes(FGame);
    kw::TfrmMain& window = StartShown();
    const int wader = Row(window.Catalog().Weapons, "wpn_wader");
    ClickRow(kw::WeaponsPage, wader);

    auto* hit = Control<kw::TCoolEdit>("txtWeapons_hit_power");
    EXPECT_EQ(hit->text(), QString());
    EXPECT_EQ(hit->placeholderText(), QStringLiteral("0.42, 0.42, 0.42, 0.42"));
    EXPECT_EQ(hit->toolTip(), kFromHeron);
    auto* cost = Control<kw::TCoolEdit>("txtWeapons_cost");
    EXPECT_EQ(cost->text(), QStringLiteral("4600"));
    EXPECT_EQ(cost->placeholderText(), QString());
    EXPECT_EQ(cost->toolTip(), QString());

    auto* zoom = Control<QCheckBox>("chkWeapons_zoom_enabled");
    EXPECT_TRUE(zoom->isChecked());
    EXPECT_EQ(zoom->toolTip(), kFromHeron);
    EXPECT_TRUE(IsGrey(*zoom));
    // The default status is 0: the Heron's 2 shows instead.
    auto* scope = Control<QComboBox>("cboWeapons_scope_status");
    EXPECT_EQ(scope->currentIndex(), 2);
    EXPECT_EQ(scope->toolTip(), kFromHeron);
    EXPECT_TRUE(IsGrey(*Control<QLabel>("lblWeapons_scope_status")));
    auto* silencer = Control<QComboBox>("cboWeapons_silencer_status");
    EXPECT_EQ(silencer->currentIndex(), 1);
    EXPECT_EQ(silencer->toolTip(), QString());
    EXPECT_FALSE(IsGrey(*Control<QLabel>("lblWeapons_silencer_status")));

    // Back to the state the parent gives: no edit.
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(zoom, Qt::LeftButton, {}, QPoint(8, zoom->height() / 2));
    }
    scope->setFocus();
    QTest::keyClick(scope, Qt::Key_Up);
    QTest::keyClick(scope, Qt::Key_Down);
    ASSERT_EQ(scope->currentIndex(), 2);
    hit->setFocus();
    QTest::keyClick(hit, Qt::Key_Tab);
    if (!GetParam()) {
        LoseActivation();
    }
    ClickRow(kw::WeaponsPage, wader - 1);
    ClickRow(kw::WeaponsPage, wader);
    EXPECT_TRUE(IsGrey(*zoom));
    EXPECT_EQ(scope->currentIndex(), 2);

    // A state of the entry's own, collected, then the parent's again (which is not the default): the entry's
    // own value goes.
    for (const auto key : {Qt::Key_Up, Qt::Key_Down}) {
        scope->setFocus();
        QTest::keyClick(scope, key);
        ClickRow(kw::WeaponsPage, wader - 1);
        ClickRow(kw::WeaponsPage, wader);
        EXPECT_EQ(scope->currentIndex(), key == Qt::Key_Up ? 1 : 2);
        EXPECT_EQ(IsGrey(*Control<QLabel>("lblWeapons_scope_status")), key == Qt::Key_Down);
    }

    ClickTab(kw::OutfitsPage);
    ClickRow(kw::OutfitsPage, Row(window.Catalog().Outfits, "fenwarden_scout_outfit"));
    auto* burn = Control<kw::TCoolEdit>("txtOutfits_burn_protection");
    EXPECT_EQ(burn->text(), QString());
    EXPECT_EQ(burn->placeholderText(), QStringLiteral("0.2"));
    EXPECT_EQ(burn->toolTip(), QStringLiteral("унаследовано из [fenwarden_outfit] в misc\\outfit.ltx"));
    EXPECT_EQ(Control<kw::TCoolEdit>("txtOutfits_strike_protection")->text(), QStringLiteral("0.15"));

    // The table view: the cell's text is empty, it paints the parent's value in grey italics.
    window.btnView->click();
    ClickTab(kw::WeaponsPage);
    kw::TGridView& grid = *window.Page(kw::WeaponsPage).sg;
    const kw::TGridDef& def = grid.Def();
    const auto column = [&](const char* key) {
        for (int c = 1; c < def.ColumnCount(); ++c) {
            if (std::string(def.Columns[static_cast<size_t>(c)].GameKey) == key) {
                return c;
            }
        }
        ADD_FAILURE() << key;
        return -1;
    };
    const int rpm = column("rpm");
    const QModelIndex cell = At(grid, wader, rpm);
    EXPECT_EQ(grid.Model().Text(wader, rpm), "");
    EXPECT_EQ(cell.data(Qt::EditRole).toString(), QString());
    EXPECT_EQ(cell.data(kw::TGridModel::kInheritedTextRole).toString(), QStringLiteral("640"));
    EXPECT_TRUE(cell.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), kFromHeron);
    static_cast<QAbstractItemView&>(grid).scrollTo(cell);
    const std::vector<QColor> ink = Ink(grid, wader, rpm);
    EXPECT_FALSE(ink.empty());
    EXPECT_TRUE(std::all_of(ink.begin(), ink.end(), [](const QColor& c) {
        return c.red() == c.green() && c.green() == c.blue() &&
               c.red() >= kw::TGridModel::InheritedColor().red();
    }));
    EXPECT_TRUE(Ink(grid, wader, column("fire_distance")).size() > 0);

    SelectRange(grid, wader, column("fire_distance"), wader, rpm);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("550\t\t"));
    grid.setCurrentIndex(cell);
    grid.edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QString());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(grid.Model().MarkedCells().empty());

    window.btnView->click();
    ClickTab(kw::WeaponsPage);
    Save(hit);
    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_FALSE(window.Document().IsModified());
    EXPECT_TRUE(FileBytes(FGame) == before);

    // Typing makes the value the Wader's own.
    hit->setFocus();
    hit->selectAll();
    QTest::keyClicks(hit, QStringLiteral("0.5"));
    Save(hit);
    EXPECT_TRUE(FPlatform.Messages.empty());
    auto after = FileBytes(FGame);
    const std::string wader_before = before.at(kWader);
    const std::string wader_after = after.at(kWader);
    after[kWader] = wader_before;
    EXPECT_TRUE(after == before);
    EXPECT_EQ(std::count(wader_after.begin(), wader_after.end(), '\n'),
              std::count(wader_before.begin(), wader_before.end(), '\n') + 1);
    EXPECT_EQ(kw::ProfileFile(FGame + kWader).ReadString("wpn_wader", "hit_power", "<absent>"), "0.5");
    EXPECT_EQ(hit->placeholderText(), QString());
    EXPECT_EQ(hit->toolTip(), QString());
    EXPECT_FALSE(window.Document().IsModified());
}

INSTANTIATE_TEST_SUITE_P(Activation, InheritedValuesTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ActiveWindow" : "InactiveWindow";
                         });

} // namespace
} // namespace kwtest
