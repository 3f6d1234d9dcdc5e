#include "MainWindowFixture.h"

#include "catalog/Catalog.h"
#include "gamecfg/FileSys.h"
#include "views/CoolCtrls.h"
#include "views/uAmmoList.h"
#include "views/uGrenLnch.h"
#include "views/uScope.h"
#include "views/uSilencer.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

template <class Entry>
int PositionOf(const std::vector<std::unique_ptr<Entry>>& entries, const std::string& section) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i]->Section == section) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

enum TAddon { Silencer, Scope, GrenLnch };

// The sample game copied and loaded; a dialog is driven once the button that opens it has been clicked.
class WeaponDialogsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
        WriteSettings("GamePath=" + FGame + "\n");
        // Whatever goes wrong, no dialog may wait for a user.
        QObject::connect(&FGuard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        FGuard.start(5000);
    }

    kw::TCatalog& Catalog() const { return FWindow->Catalog(); }
    kw::TWeapon& Weapon(const std::string& section) const { return Find(Catalog().Weapons, section); }
    void SelectWeapon(const std::string& section) const {
        FWindow->Views().ListBox(kw::WeaponsPage)->setCurrentRow(PositionOf(Catalog().Weapons, section));
    }
    std::string Stored(const std::string& relative, const std::string& section,
                       const std::string& key) const {
        const std::string text = kw::ProfileFile(FGame + relative).ReadString(section, key, "<absent>");
        return text.substr(0, text.find_first_of("\t;"));
    }
    void ReplaceInGameFile(const std::string& relative, const std::string& from,
                           const std::string& to) const {
        const std::string path = FGame + relative;
        std::string text = *kw::fs::ReadFile(path);
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
        std::ofstream(path, std::ios::binary) << text;
    }

    template <class Dialog> bool Drive(QPushButton* button, const std::function<void(Dialog&)>& act) {
        return DriveDialog<Dialog>(button, act);
    }
    QPushButton* AddonButton(TAddon addon) const {
        kw::TStandardViews& views = FWindow->Views();
        return addon == Silencer ? views.btnWeaponsSilencer
               : addon == Scope  ? views.btnWeaponsScope
                                 : views.btnWeaponsGrenLnch;
    }
    QComboBox* StatusBox(TAddon addon) const {
        kw::TStandardViews& views = FWindow->Views();
        return addon == Silencer ? views.cboWeapons_silencer_status
               : addon == Scope  ? views.cboWeapons_scope_status
                                 : views.cboWeapons_grenade_launcher_status;
    }
    // Clicks the addon's button and hands the dialog to act, whichever of the three it is.
    bool DriveAddon(TAddon addon, const std::function<void(kw::TfrmWeaponAddon&)>& act) {
        return Drive<kw::TfrmWeaponAddon>(AddonButton(addon), act);
    }

    std::string FGame;
    QTimer FGuard;
};

const char* const kWeaponsLtx = "gamedata/config/weapons/weapons.ltx";

// Edits the shared weight, then picks another scope without leaving the field: the edit still reaches the
// scope that showed it, and closing writes nothing to the weapon.
TEST_F(WeaponDialogsTest, ScopeWeightReachesTheFirstScopeWhenAnotherIsChosenAndClosed) {
    Start();
    SelectWeapon("wpn_heron");
    const int first = PositionOf(Catalog().Scopes, "wpn_addon_scope");
    const int second = PositionOf(Catalog().Scopes, "wpn_addon_scope_reed");
    const std::string secondWeight = Catalog().Scopes[second]->inv_weight.Value;

    ASSERT_TRUE(Drive<kw::TfrmScope>(AddonButton(Scope), [&](kw::TfrmScope& dialog) {
        EXPECT_EQ(dialog.cboName->currentIndex(), first);
        EXPECT_EQ(dialog.txt_weight->text(), "0.2");
        EXPECT_TRUE(dialog.btnSet->isEnabled());
        dialog.txt_weight->setText("0.9");
        dialog.cboName->setCurrentIndex(second);
        EXPECT_EQ(dialog.txt_weight->text(), QString::fromStdString(secondWeight));
        dialog.btnClose->click();
    }));

    EXPECT_EQ(Catalog().Scopes[first]->inv_weight.Value, "0.9");
    EXPECT_EQ(Catalog().Scopes[second]->inv_weight.Value, secondWeight);
    EXPECT_EQ(Weapon("wpn_heron").scope_name.Value, "wpn_addon_scope");
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(Stored(kWeaponsLtx, "wpn_addon_scope", "inv_weight"), "0.9");
    EXPECT_EQ(Stored(kWeaponsLtx, "wpn_addon_scope_reed", "inv_weight"), secondWeight);
    EXPECT_EQ(Stored("gamedata/config/weapons/w_heron.ltx", "wpn_heron", "scope_name"), "wpn_addon_scope");
}

// A shared value is stored when the focus moves on inside the dialog, not when another window takes it;
// Escape then writes nothing to the weapon.
TEST_F(WeaponDialogsTest, SilencerWeightIsStoredWhenTheFocusMovesOnWithinTheDialog) {
    kw::TfrmMain& window = Start();
    window.show();
    SelectWeapon("wpn_bittern");
    QWidget other;
    ASSERT_TRUE(Drive<kw::TfrmSilencer>(AddonButton(Silencer), [&](kw::TfrmSilencer& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.txt_weight->setFocus();
        dialog.txt_weight->selectAll();
        QTest::keyClicks(dialog.txt_weight, "0.45");
        QTest::keyClick(dialog.txt_weight, Qt::Key_Tab);
        ASSERT_TRUE(dialog.txt_cost->hasFocus());

        dialog.txt_cost->selectAll();
        QTest::keyClicks(dialog.txt_cost, "77");
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }));

    EXPECT_EQ(Catalog().Silencer->inv_weight.Value, "0.45");
    EXPECT_EQ(Catalog().Silencer->cost.Value, "900");
    EXPECT_EQ(Weapon("wpn_bittern").silencer_name.Value, "");
    EXPECT_EQ(StatusBox(Silencer)->currentIndex(), 0);
}

struct TFitCase {
    const char* Name;
    TAddon Addon;
    const char* Choice; // section to choose in the dialog; nullptr for the silencer
    const char* NameKey;
    const char* XKey;
};

void PrintTo(const TFitCase& row, std::ostream* out) {
    *out << row.Name;
}

class FitAddonTest : public WeaponDialogsTest, public ::testing::WithParamInterface<TFitCase> {};

// The status that btnSet selects is collected at once, so a save straight after the dialog stores it.
TEST_P(FitAddonTest, FittedAddonIsAttachableInTheSavedFile) {
    const TFitCase& fit = GetParam();
    Start();
    SelectWeapon("wpn_bittern");
    ASSERT_TRUE(DriveAddon(fit.Addon, [&](kw::TfrmWeaponAddon& dialog) {
        if (auto* combo = dialog.findChild<QComboBox*>("cboName")) {
            EXPECT_EQ(combo->currentIndex(), -1);
            EXPECT_FALSE(dialog.btnSet->isEnabled());
            combo->setCurrentIndex(combo->findText(
                QString::fromStdString(fit.Addon == Scope ? Find(Catalog().Scopes, fit.Choice).Name
                                                          : Find(Catalog().GrenLnchs, fit.Choice).Name)));
        }
        dialog.txt_x->setText("12");
        ASSERT_TRUE(dialog.btnSet->isEnabled());
        dialog.btnSet->click();
    }));

    EXPECT_EQ(StatusBox(fit.Addon)->currentIndex(), 2);
    FWindow->btnSaveSettings->click();
    const std::string file = "gamedata/config/weapons/w_bittern.ltx";
    const std::string status = fit.Addon == Silencer ? "silencer_status"
                               : fit.Addon == Scope  ? "scope_status"
                                                     : "grenade_launcher_status";
    EXPECT_EQ(Stored(file, "wpn_bittern", status), "2");
    EXPECT_EQ(Stored(file, "wpn_bittern", fit.NameKey), fit.Choice ? fit.Choice : "wpn_addon_silencer");
    EXPECT_EQ(Stored(file, "wpn_bittern", fit.XKey), "12");
}

const TFitCase kFitCases[] = {
    {"Silencer", Silencer, nullptr, "silencer_name", "silencer_x"},
    {"Scope", Scope, "wpn_addon_scope_reed", "scope_name", "scope_x"},
    {"GrenLnch", GrenLnch, "wpn_addon_grenade_launcher_mortice", "grenade_launcher_name",
     "grenade_launcher_x"},
};

INSTANTIATE_TEST_SUITE_P(Addons, FitAddonTest, ::testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class UndoDialogs : public FitAddonTest {};

// Everything a dialog stores, from its opening to its OK and the status it selects, is one step: undone, the
// file is saved as it was; done again, as the dialog left it.
TEST_P(UndoDialogs, AFittedAddonIsOneStep) {
    const TFitCase& fit = GetParam();
    Start();
    SelectWeapon("wpn_bittern");
    const std::string file = "gamedata/config/weapons/w_bittern.ltx";
    const std::string before = *kw::fs::ReadFile(FGame + file);
    ASSERT_TRUE(DriveAddon(fit.Addon, [&](kw::TfrmWeaponAddon& dialog) {
        if (auto* combo = dialog.findChild<QComboBox*>("cboName")) {
            combo->setCurrentIndex(combo->findText(
                QString::fromStdString(fit.Addon == Scope ? Find(Catalog().Scopes, fit.Choice).Name
                                                          : Find(Catalog().GrenLnchs, fit.Choice).Name)));
        }
        dialog.txt_x->setText("12");
        dialog.btnSet->click();
    }));
    ASSERT_NE(FWindow->Document().NextUndo(), nullptr);
    EXPECT_TRUE(FWindow->mnuEditUndo->text().endsWith(QStringLiteral("(Bittern BK-12)")));

    FWindow->mnuEditUndo->trigger();
    EXPECT_EQ(FWindow->Document().NextUndo(), nullptr);
    EXPECT_EQ(StatusBox(fit.Addon)->currentIndex(), 0);
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(*kw::fs::ReadFile(FGame + file), before);

    FWindow->mnuEditRedo->trigger();
    EXPECT_EQ(StatusBox(fit.Addon)->currentIndex(), 2);
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(Stored(file, "wpn_bittern", fit.NameKey), fit.Choice ? fit.Choice : "wpn_addon_silencer");
    EXPECT_EQ(Stored(file, "wpn_bittern", fit.XKey), "12");
}

INSTANTIATE_TEST_SUITE_P(Addons, UndoDialogs, ::testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TRefusedCase {
    const char* Name;
    TAddon Addon;
    const char* File; // a game file changed before the load, or nullptr
    const char* From;
    const char* To;
    bool WeaponSelected;
};

void PrintTo(const TRefusedCase& row, std::ostream* out) {
    *out << row.Name;
}

class AddonCannotBeFittedTest : public WeaponDialogsTest,
                                public ::testing::WithParamInterface<TRefusedCase> {};

TEST_P(AddonCannotBeFittedTest, SetStaysDisabledAndNothingIsWritten) {
    const TRefusedCase& row = GetParam();
    if (row.File != nullptr) {
        ReplaceInGameFile(row.File, row.From, row.To);
    }
    Start();
    SelectWeapon("wpn_heron");
    if (!row.WeaponSelected) {
        FWindow->Views().ListBox(kw::WeaponsPage)->setCurrentRow(-1);
    }
    const int status = StatusBox(row.Addon)->currentIndex();
    std::vector<std::string> before;
    Weapon("wpn_heron").ForEachParam([&](const std::string&, kw::TParam& param) {
        before.push_back(param.Value);
    });

    ASSERT_TRUE(DriveAddon(row.Addon, [&](kw::TfrmWeaponAddon& dialog) {
        EXPECT_FALSE(dialog.btnSet->isEnabled());
        if (auto* combo = dialog.findChild<QComboBox*>("cboName")) {
            EXPECT_EQ(combo->currentIndex(), -1);
        }
        if (!row.WeaponSelected) {
            EXPECT_TRUE(dialog.txt_x->text().isEmpty());
        } else {
            EXPECT_TRUE(dialog.txt_weight->text().isEmpty());
        }
        dialog.btnSet->click();
        EXPECT_TRUE(dialog.isVisible());
    }));

    std::vector<std::string> after;
    Weapon("wpn_heron").ForEachParam([&](const std::string&, kw::TParam& param) {
        after.push_back(param.Value);
    });
    EXPECT_EQ(after, before);
    EXPECT_EQ(StatusBox(row.Addon)->currentIndex(), status);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AddonCannotBeFittedTest,
    ::testing::Values(
        TRefusedCase{"SilencerWithoutWeapon", Silencer, nullptr, nullptr, nullptr, false},
        TRefusedCase{"ScopeWithoutWeapon", Scope, nullptr, nullptr, nullptr, false},
        TRefusedCase{"NoSilencerInCatalog", Silencer, kWeaponsLtx, "wpn_addon_silencer", "wpn_addon_muffler",
                     true},
        TRefusedCase{"ScopeNamedInOtherCase", Scope, "gamedata/config/weapons/w_heron.ltx",
                     "= wpn_addon_scope", "= WPN_ADDON_SCOPE", true},
        TRefusedCase{"UnknownGrenLnch", GrenLnch, "gamedata/config/weapons/w_heron.ltx",
                     "= wpn_addon_grenade_launcher_gl40", "= wpn_addon_grenade_launcher_none", true},
        TRefusedCase{"EmptyScopeCatalog", Scope, kWeaponsLtx, "wpn_addon_scope", "wpn_addon_sight", true}),
    [](const auto& info) { return std::string(info.param.Name); });

// Reverse order, capitals and a name that matches no ammunition: the ticks follow the catalog, and OK
// writes the catalog's sections in catalog order, joined by commas alone.
TEST_F(WeaponDialogsTest, AmmoListTicksRegardlessOfCaseAndWritesCatalogOrder) {
    ReplaceInGameFile("gamedata/config/weapons/w_bittern.ltx", "ammo_12g_buck, ammo_12g_slug",
                      "AMMO_12G_SLUG  ammo_12g_buck,ammo_none");
    Start();
    SelectWeapon("wpn_bittern");
    const int buck = PositionOf(Catalog().Ammo, "ammo_12g_buck");
    const int slug = PositionOf(Catalog().Ammo, "ammo_12g_slug");
    const int other = PositionOf(Catalog().Ammo, "ammo_545_ball");

    // Cancel leaves the weapon as it was.
    ASSERT_TRUE(Drive<kw::TfrmAmmoList>(FWindow->Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
        dialog.lbAmmo->item(other)->setCheckState(Qt::Checked);
        dialog.btnCancel->click();
    }));
    EXPECT_EQ(Weapon("wpn_bittern").ammo_class.Value, "AMMO_12G_SLUG  ammo_12g_buck,ammo_none");

    ASSERT_TRUE(Drive<kw::TfrmAmmoList>(FWindow->Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
        ASSERT_EQ(dialog.lbAmmo->count(), static_cast<int>(Catalog().Ammo.size()));
        for (int row = 0; row < dialog.lbAmmo->count(); ++row) {
            EXPECT_EQ(dialog.lbAmmo->item(row)->checkState() == Qt::Checked, row == buck || row == slug)
                << row;
        }
        EXPECT_TRUE(dialog.btnOK->isEnabled());
        dialog.lbAmmo->item(buck)->setCheckState(Qt::Unchecked);
        dialog.lbAmmo->item(slug)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(dialog.btnOK->isEnabled());
        dialog.lbAmmo->item(slug)->setCheckState(Qt::Checked);
        dialog.lbAmmo->item(buck)->setCheckState(Qt::Checked);
        EXPECT_TRUE(dialog.btnOK->isEnabled());
        dialog.btnOK->click();
    }));

    const std::string expected = buck < slug ? "ammo_12g_buck,ammo_12g_slug" : "ammo_12g_slug,ammo_12g_buck";
    EXPECT_EQ(Weapon("wpn_bittern").ammo_class.Value, expected);
    // Shown with a break chance after the comma, so that a long list wraps in the panel.
    EXPECT_EQ(FWindow->Views().pnlWeapons_ammo_class->text().remove(QChar(0x200B)).toStdString(), expected);
    EXPECT_EQ(FWindow->Views().pnlWeapons_ammo_class->toolTip().toStdString(), expected);
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(Stored("gamedata/config/weapons/w_bittern.ltx", "wpn_bittern", "ammo_class"), expected);
}

// A variant fires what its parent's list names: the panel shows that list in grey, saying where it comes
// from, the dialog ticks it, and only a changed choice becomes the variant's own list.
TEST_F(WeaponDialogsTest, AmmoListOfAVariantShowsItsParentsAndWritesOnlyAChange) {
    // A name no ammunition of the catalog has stays the parent's, and OK without a change keeps it so.
    ReplaceInGameFile("gamedata/config/weapons/w_heron.ltx", "ammo_545_ball, ammo_545_ap",
                      "ammo_545_ball, ammo_545_ap, ammo_none");
    Start();
    SelectWeapon("wpn_wader");
    const QLabel& panel = *FWindow->Views().pnlWeapons_ammo_class;
    EXPECT_EQ(panel.text().remove(QChar(0x200B)), "ammo_545_ball, ammo_545_ap, ammo_none");
    EXPECT_TRUE(panel.toolTip().startsWith("унаследовано из [wpn_heron] в weapons\\w_heron.ltx"));
    EXPECT_EQ(panel.palette().color(QPalette::WindowText), panel.palette().color(QPalette::PlaceholderText));
    const int ball = PositionOf(Catalog().Ammo, "ammo_545_ball");
    const int ap = PositionOf(Catalog().Ammo, "ammo_545_ap");

    ASSERT_TRUE(Drive<kw::TfrmAmmoList>(FWindow->Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
        for (int row = 0; row < dialog.lbAmmo->count(); ++row) {
            EXPECT_EQ(dialog.lbAmmo->item(row)->checkState() == Qt::Checked, row == ball || row == ap) << row;
        }
        dialog.btnOK->click();
    }));
    EXPECT_FALSE(FWindow->Document().IsModified());
    EXPECT_EQ(Weapon("wpn_wader").ammo_class.Value, "");

    ASSERT_TRUE(Drive<kw::TfrmAmmoList>(FWindow->Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
        dialog.lbAmmo->item(ap)->setCheckState(Qt::Unchecked);
        dialog.btnOK->click();
    }));
    EXPECT_EQ(panel.text(), "ammo_545_ball");
    EXPECT_NE(panel.palette().color(QPalette::WindowText), panel.palette().color(QPalette::PlaceholderText));
    FWindow->btnSaveSettings->click();
    EXPECT_EQ(Stored("gamedata/config/weapons/w_wader.ltx", "wpn_wader", "ammo_class"), "ammo_545_ball");
}

// Every dialog opens in the window's language, the texture choice's title included.
TEST_F(WeaponDialogsTest, DialogsAndTextureTitleFollowTheLanguage) {
    fs::copy(fs::path(KW_SOURCE_DIR) / "resources" / "Lang", FFolder / "Lang");
    Start();
    SelectWeapon("wpn_heron");
    LanguageItem("English")->trigger();
    QString caption;
    QString set;
    ASSERT_TRUE(DriveAddon(GrenLnch, [&](kw::TfrmWeaponAddon& dialog) {
        caption = dialog.windowTitle();
        set = dialog.btnSet->text();
    }));
    EXPECT_EQ(caption, "Grenade launcher");
    EXPECT_EQ(set, "Fit");
    ASSERT_TRUE(Drive<kw::TfrmAmmoList>(FWindow->Views().btnWeaponsAmmo, [&](kw::TfrmAmmoList& dialog) {
        caption = dialog.btnCancel->text();
    }));
    EXPECT_EQ(caption, "Cancel");

    FWindow->Views().btnWeather_sky_texture->click();
    ASSERT_EQ(FPlatform.FileDialogRuns.size(), 1u);
    EXPECT_EQ(FPlatform.FileDialogRuns[0].Title, "Choose a texture");
}

} // namespace
} // namespace kwtest
