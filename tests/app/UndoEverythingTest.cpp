#include "MainWindowFixture.h"

#include "catalog/Document.h"
#include "catalog/Dump.h"
#include "interchange/WorkbookWriter.h"
#include "views/CoolCtrls.h"
#include "views/GridCells.h"
#include "views/uAmmoList.h"
#include "views/uChanges.h"

#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <sstream>

namespace kwtest {
namespace {

constexpr int kAmmoPage = 1;

// The sample game in a shown window, edited once in every way a user can: a field, a dialog, a typed cell, a
// paste, a Delete, a page's Save, an import and a revert in the Changes window.
class UndoEverything : public SampleGameWindowTest {
protected:
    // What kitwright-cli dump prints of the game folder as it is on disk.
    std::string DumpOnDisk() const {
        kw::TDocument fresh;
        fresh.Load(FGame);
        std::ostringstream out;
        kw::DumpCatalog(fresh.Catalog(), out);
        return out.str();
    }

    void MakeEditsOfEveryKind(kw::TfrmMain& window) {
        EditField(window);
        TickAmmo(window, "ammo_545_ball");
        window.btnView->click();
        window.PageControl1->setCurrentIndex(kAmmoPage);
        kw::TGridView& grid = *window.Page(kAmmoPage).sg;
        TypeIntoCell(grid, 0, 2, "1.75");
        QApplication::clipboard()->setText(QStringLiteral("0.5\t0.6\n"));
        grid.setCurrentIndex(At(grid, 1, 1));
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        SelectRange(grid, 2, 5, 2, 6);
        QTest::keyClick(&grid, Qt::Key_Delete);
        window.Page(kAmmoPage).btnTableSave->click();
        ImportWith(window, 1, 8, "77");
        RevertFirstChange(window);
    }

    // Takes back (or does again) every step through the Edit menu; the menu's texts, in order.
    static std::vector<QString> TakeBackAll(QAction* item) {
        std::vector<QString> texts;
        while (item->isEnabled()) {
            texts.push_back(item->text());
            item->trigger();
        }
        return texts;
    }

private:
    void EditField(kw::TfrmMain& window) {
        auto* rpm = window.findChild<kw::TCoolEdit*>(QStringLiteral("txtWeapons_rpm"));
        rpm->setFocus();
        rpm->selectAll();
        QTest::keyClicks(rpm, QStringLiteral("612"));
        QTest::keyClick(rpm, Qt::Key_Tab);
    }
    void TickAmmo(kw::TfrmMain& window, const std::string& section) {
        const auto& ammo = window.Catalog().Ammo;
        const auto found = std::find_if(ammo.begin(), ammo.end(),
                                        [&](const auto& entry) { return entry->Section == section; });
        ASSERT_NE(found, ammo.end()) << section;
        const int row = static_cast<int>(found - ammo.begin());
        ASSERT_TRUE(
            DriveDialog<kw::TfrmAmmoList>(window.Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
                dialog.lbAmmo->item(row)->setCheckState(Qt::Checked);
                dialog.btnOK->click();
            }));
    }
    // Writes the ammunition grid as a CSV file beside the game, one cell changed, and imports it.
    void ImportWith(kw::TfrmMain& window, int row, int column, const std::string& text) {
        kw::TStringGrid sheet = window.Page(kAmmoPage).sg->WorkingCopy();
        sheet.SetText(row, column, text);
        const std::string file = FFolder.string() + "/ammo.csv";
        kw::WriteCsv(file, sheet);
        FPlatform.File = QString::fromStdString(file);
        window.Page(kAmmoPage).btnImport->click();
    }
    void RevertFirstChange(kw::TfrmMain& window) {
        FPlatform.OnDialog = [](QDialog& dialog) {
            auto* changes = qobject_cast<kw::TfrmChanges*>(&dialog);
            ASSERT_NE(changes, nullptr);
            changes->tblChanges->selectRow(0);
            changes->btnRevert->click();
        };
        window.mnuFileChanges->trigger();
        FPlatform.OnDialog = nullptr;
    }
};

// Every step undone leaves nothing to write; done again, saved, undone and saved, the files hold their bytes
// and the headless tool dumps what it dumped before the edits; done again and saved, what the edits made.
TEST_F(UndoEverything, EveryKindOfEditIsTakenBackAndDoneAgainAcrossSaves) {
    const auto original = FileBytes(FGame);
    const std::string dumped = DumpOnDisk();
    kw::TfrmMain& window = StartShown();
    MakeEditsOfEveryKind(window);
    ASSERT_TRUE(window.isWindowModified());

    const std::vector<QString> undone = TakeBackAll(window.mnuEditUndo);
    // One step per edit, each named in the Edit menu, the last first.
    EXPECT_EQ(undone, (std::vector<QString>{"&Отменить: возврат изменений: 1", "&Отменить: импорт ammo.csv",
                                            "&Отменить: сохранение таблицы", "&Отменить: удаление ячеек: 2",
                                            "&Отменить: вставку ячеек: 2", "&Отменить: дистанция (9x18 FMJ)",
                                            "&Отменить: Патроны (Bittern BK-12)",
                                            "&Отменить: Скорострельность (Bittern BK-12)"}));
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_FALSE(window.Page(kAmmoPage).sg->Model().HasMarks());
    window.mnuFileSave->trigger();
    EXPECT_EQ(FileBytes(FGame), original);

    TakeBackAll(window.mnuEditRedo);
    window.mnuFileSave->trigger();
    const auto edited = FileBytes(FGame);
    const std::string dumpedEdited = DumpOnDisk();
    ASSERT_NE(edited, original);
    ASSERT_NE(dumpedEdited, dumped);

    TakeBackAll(window.mnuEditUndo);
    EXPECT_TRUE(window.isWindowModified());
    window.mnuFileSave->trigger();
    EXPECT_EQ(FileBytes(FGame), original);
    EXPECT_EQ(DumpOnDisk(), dumped);

    TakeBackAll(window.mnuEditRedo);
    window.mnuFileSave->trigger();
    EXPECT_EQ(FileBytes(FGame), edited);
    EXPECT_EQ(DumpOnDisk(), dumpedEdited);
    for (const FakePlatform::Message& message : FPlatform.Messages) {
        EXPECT_EQ(message.Icon, QMessageBox::Information) << message.Text.toStdString();
    }
}

} // namespace
} // namespace kwtest
