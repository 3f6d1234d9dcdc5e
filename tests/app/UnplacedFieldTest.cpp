#include "MainWindowFixture.h"

#include "views/CoolCtrls.h"

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <map>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

const char* const kKinds[] = {"burn",      "strike",        "shock",     "wound",     "radiation",
                              "telepatic", "chemical_burn", "explosion", "fire_wound"};

// The immunity fields of the outfits and artefacts pages, whose values live in a section that the entry's
// link names.
class UnplacedFieldTest : public SampleGameWindowTest {
protected:
    // Clicks the page's tab and the entry's row, as a user picks it.
    void Pick(int page, const std::string& section) const {
        QTabBar* bar = FWindow->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        QListWidget* list = FWindow->Views().ListBox(page);
        const kw::TCatalog& catalog = FWindow->Catalog();
        const int row = page == kw::ArtsPage ? Row(catalog.Arts, section) : Row(catalog.Outfits, section);
        ASSERT_GE(row, 0) << section;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        ASSERT_EQ(list->currentRow(), row);
    }
    template <class Entry>
    static int Row(const std::vector<std::unique_ptr<Entry>>& entries, const std::string& section) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i]->Section == section) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    kw::TCoolEdit* Field(const std::string& name) const {
        auto* field = FWindow->findChild<kw::TCoolEdit*>(QString::fromStdString(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    // Every immunity field of the page is disabled with a hint holding each of hintParts, or enabled without
    // a hint when hintParts is empty; the fields of the entry's own section stay enabled.
    void ExpectImmunityFields(const char* page, const std::vector<QString>& hintParts) const {
        for (const char* kind : kKinds) {
            kw::TCoolEdit* field = Field(std::string("txt") + page + "_" + kind + "_immunity");
            EXPECT_EQ(field->isEnabled(), hintParts.empty()) << kind;
            if (hintParts.empty()) {
                EXPECT_TRUE(field->toolTip().isEmpty()) << kind;
            }
            for (const QString& part : hintParts) {
                EXPECT_TRUE(field->toolTip().contains(part)) << field->toolTip().toStdString();
            }
        }
        EXPECT_TRUE(Field(std::string("txt") + page + "_cost")->isEnabled());
    }
};

// A user who picks an entry whose immunity section is missing finds those fields greyed out, with the reason
// at the pointer; an entry with its section takes edits there again. Typing into a greyed field and saving
// changes no file.
TEST_F(UnplacedFieldTest, FieldsOfAMissingSectionAreDisabledWithTheReason) {
    StartShown();
    const QString arts = QStringLiteral("gamedata\\config\\misc\\artefacts.ltx");
    Pick(kw::ArtsPage, "af_hollowstone");
    ExpectImmunityFields("Arts", {"[af_hollowstone_absorbation]", arts});
    Pick(kw::ArtsPage, "af_emberheart");
    ExpectImmunityFields("Arts", {});
    Pick(kw::ArtsPage, "af_hollowstone");
    ExpectImmunityFields("Arts", {"[af_hollowstone_absorbation]"});

    Pick(kw::OutfitsPage, "fenwarden_outfit");
    ExpectImmunityFields("Outfits", {"[fenwarden_immunities ; tuned for the swamp gas]",
                                     QStringLiteral("gamedata\\config\\misc\\outfit.ltx")});
    EXPECT_TRUE(Field("txtOutfits_burn_protection")->isEnabled());
    Pick(kw::OutfitsPage, "reedcloak_outfit");
    ExpectImmunityFields("Outfits", {});

    Pick(kw::OutfitsPage, "fenwarden_outfit");
    const auto before = FileBytes(FGame);
    kw::TCoolEdit* burn = Field("txtOutfits_burn_immunity");
    QTest::mouseClick(burn, Qt::LeftButton);
    QTest::keyClicks(burn, "0.5");
    Pick(kw::OutfitsPage, "reedcloak_outfit");
    FWindow->mnuFileSave->trigger();
    EXPECT_TRUE(Find(FWindow->Catalog().Outfits, "fenwarden_outfit").Immunity.burn.Value.empty());
    EXPECT_FALSE(FWindow->isWindowModified());
    EXPECT_EQ(FileBytes(FGame), before);
}

// The game-folder check switches every control as a block: off for a folder without the game files, on
// again before the load of one that holds them. The fields of a missing section stay disabled through it,
// with the hint in the chosen language.
TEST_F(UnplacedFieldTest, DisabledFieldsSurviveTheGameFolderSwitch) {
    const fs::path artefacts = fs::path(FGame) / "gamedata/config/misc/artefacts.ltx";
    const std::string first = "[af_cinderstone]\ninv_name = af_cinderstone\ncost = 10\n"
                              "hit_absorbation_sect = af_cinderstone_absorbation\n\n";
    const std::string text = *kw::fs::ReadFile(artefacts.string());
    std::ofstream(artefacts, std::ios::binary) << first << text;
    Write("Lang/English.xml", LanguageXml("English", {}, {{"rs_ValueSectionMissing", "No [%1] in %2"}}));
    WriteSettings("GamePath=" + FGame + "\nLanguage=English\n");

    kw::TfrmMain& window = StartShown();
    ASSERT_EQ(window.Catalog().Arts[0]->Section, "af_cinderstone");
    ExpectImmunityFields("Arts",
                         {"No [af_cinderstone_absorbation] in gamedata\\config\\misc\\artefacts.ltx"});

    FPlatform.Folder = QString::fromStdString(ExeFolder() + "empty");
    window.btnSelectGamePath->click();
    EXPECT_FALSE(Field("txtArts_cost")->isEnabled());
    EXPECT_FALSE(Field("txtArts_burn_immunity")->isEnabled());

    FPlatform.Folder = QString::fromStdString(FGame);
    window.btnSelectGamePath->click();
    ExpectImmunityFields("Arts", {"af_cinderstone_absorbation"});
    // Whatever switched the block, the views set the shown entry's fields right again.
    for (QWidget* widget : window.Page(kw::ArtsPage).gbNormal->findChildren<QWidget*>()) {
        widget->setEnabled(true);
    }
    window.Views().SyncDependentControls();
    ExpectImmunityFields("Arts", {"af_cinderstone_absorbation"});

    Pick(kw::ArtsPage, "af_emberheart");
    ExpectImmunityFields("Arts", {});
}

} // namespace
} // namespace kwtest
