#include "ViewsFixture.h"

#include "views/CoolCtrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

using kw::TCoolEdit;
using kwtest::Game;

const QStringList kStatusTexts = {QStringLiteral("Отсутствует"), QStringLiteral("Встроенный"),
                                  QStringLiteral("Присоединяемый")};

class StandardView : public kwtest::ViewsFixture {
protected:
    StandardView() { FViews->FillAddonStatusCombos(kStatusTexts); }
};

TEST_F(StandardView, OnOffBoxIsTickedOnlyForOn) {
    auto& upper = Add(FCatalog.Ammo, "ammo_a");
    upper.tracer.Value = "ON";
    upper.explosive.Value = "yes";
    auto& other = Add(FCatalog.Ammo, "ammo_b");
    other.tracer.Value = "1";
    other.explosive.Value = "off";
    FViews->PopulateLists();
    auto* tracer = Find<QCheckBox>("chkAmmo_tracer");
    auto* explosive = Find<QCheckBox>("chkAmmo_explosive");

    EXPECT_TRUE(tracer->isChecked());
    EXPECT_FALSE(explosive->isChecked());
    tracer->setChecked(false);
    tracer->setChecked(true);
    explosive->setChecked(false);
    FViews->CollectAmmo(0);
    EXPECT_EQ(upper.tracer.Value, "on");
    EXPECT_EQ(upper.explosive.Value, "yes"); // not changed since shown

    FViews->ShowAmmo(1);
    EXPECT_FALSE(tracer->isChecked());
    tracer->setChecked(true);
    tracer->setChecked(false);
    explosive->setChecked(true);
    FViews->CollectAmmo(1);
    EXPECT_EQ(other.tracer.Value, "off");
    EXPECT_EQ(other.explosive.Value, "on");
}

TEST_F(StandardView, ZoomBoxReadsWordsAndNumbersAndSwitchesTheFovField) {
    auto& one = AddWeapon("one");
    one.zoom_enabled.Value = "1";
    auto& upper = AddWeapon("upper");
    upper.zoom_enabled.Value = "TRUE";
    auto& zero = AddWeapon("zero");
    zero.zoom_enabled.Value = "0";
    zero.scope_zoom_factor.Value = "30";
    auto& fraction = AddWeapon("fraction");
    fraction.zoom_enabled.Value = "0.5";
    EXPECT_TRUE(FViews->PopulateLists().isEmpty());
    auto* zoom = Find<QCheckBox>("chkWeapons_zoom_enabled");
    auto* fov = Find<TCoolEdit>("txtWeapons_scope_zoom_factor");

    EXPECT_TRUE(zoom->isChecked());
    EXPECT_TRUE(fov->isEnabled());
    zoom->setChecked(false);
    zoom->setChecked(true);
    FViews->CollectWeapon(0);
    EXPECT_EQ(one.zoom_enabled.Value, "true");

    FViews->ShowWeapon(1);
    EXPECT_TRUE(zoom->isChecked());

    // Unticked, the FOV field is disabled yet still shown and collected.
    FViews->ShowWeapon(2);
    EXPECT_FALSE(zoom->isChecked());
    EXPECT_FALSE(fov->isEnabled());
    EXPECT_EQ(fov->text(), "30");
    fov->setText("45");
    zoom->setChecked(true);
    zoom->setChecked(false);
    FViews->CollectWeapon(2);
    EXPECT_EQ(zero.zoom_enabled.Value, "false");
    EXPECT_EQ(zero.scope_zoom_factor.Value, "45");

    // The field follows the box even when the ticked state is unchanged.
    fov->setEnabled(true);
    FViews->ShowWeapon(2);
    EXPECT_FALSE(fov->isEnabled());

    FViews->ShowWeapon(3);
    EXPECT_TRUE(zoom->isChecked());
}

// Each control respells what it shows; only what the user changed is written back, and then as an edit.
TEST_F(StandardView, BrowsingWritesNothingWhatTheUserChangesIsWrittenAsAnEdit) {
    FViews->SetWeatherChoices({"thunderbolt_default", "thunderbolt_light"}, {"amb_calm"});
    auto& weapon = AddWeapon("odd");
    weapon.zoom_enabled.Value = "TRUE";
    weapon.scope_status.Value = "02";
    weapon.cost.Value = "1200";
    auto& ammo = Add(FCatalog.Ammo, "ammo");
    ammo.tracer.Value = "ON";
    auto& slot = Add(FCatalog.Weather, "00:00:00");
    slot.thunderbolt.Value = "THUNDERBOLT_LIGHT";
    FViews->PopulateLists();
    const auto snapshot = [&] {
        return std::vector<std::string>{weapon.zoom_enabled.Value, weapon.scope_status.Value,
                                        weapon.cost.Value, ammo.tracer.Value, slot.thunderbolt.Value};
    };
    const std::vector<std::string> stored = snapshot();

    // Shown again and collected twice, as row changes, saves and language switches do.
    for (int round = 0; round < 2; ++round) {
        FViews->CollectShownEntries();
        FViews->CollectShownEntries();
        FViews->ShowWeapon(0);
        FViews->ShowAmmo(0);
        FViews->ShowWeather(0);
    }
    EXPECT_EQ(snapshot(), stored);

    // Picking the item already shown is a choice too.
    auto* scope = Find<QComboBox>("cboWeapons_scope_status");
    ASSERT_EQ(scope->currentIndex(), 2);
    emit scope->activated(2);
    auto* thunderbolt = Find<QComboBox>("cboWeather_thunderbolt");
    emit thunderbolt->activated(thunderbolt->currentIndex());
    Find<TCoolEdit>("txtWeapons_cost")->setText("1300");
    FViews->CollectShownEntries();
    EXPECT_EQ(weapon.scope_status.Value, "2");
    EXPECT_EQ(slot.thunderbolt.Value, "THUNDERBOLT_LIGHT");
    EXPECT_EQ(weapon.cost.Value, "1300");
    EXPECT_EQ(weapon.zoom_enabled.Value, "TRUE");
    EXPECT_EQ(ammo.tracer.Value, "ON");

    // A value written stays the catalog's: a later collect does not bring the control's text back.
    weapon.cost.Value = "1400"; // stored another way, e.g. through a dialog
    FViews->CollectShownEntries();
    EXPECT_EQ(weapon.cost.Value, "1400");

    // Typing what the field already shows is an edit as well.
    FViews->ShowWeapon(0);
    auto* cost = Find<TCoolEdit>("txtWeapons_cost");
    cost->selectAll();
    QTest::keyClicks(cost, "1400");
    weapon.cost.Value = "1500";
    FViews->CollectShownEntries();
    EXPECT_EQ(weapon.cost.Value, "1400");
}

TEST_F(StandardView, BadZoomValueIsReportedShownUntickedAndKeptUntilTheUserSetsTheBox) {
    AddWeapon("good");
    auto& bad = AddWeapon("bad");
    bad.zoom_enabled.Value = "maybe";
    bad.cost.Value = "100";
    QSignalSpy errors(FViews.get(), &kw::TStandardViews::conversionError);
    FViews->PopulateLists();

    // Shown by the user: reported once, the rest of the entry shown all the same.
    FWindow.show();
    Find<QListWidget>("lbWeapons")->setCurrentRow(1);
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), "'maybe' is not a valid boolean value");
    auto* zoom = Find<QCheckBox>("chkWeapons_zoom_enabled");
    EXPECT_FALSE(zoom->isChecked());
    EXPECT_EQ(Find<TCoolEdit>("txtWeapons_cost")->text(), "100");

    FViews->ShowWeapon(1); // a redisplay, as after a language switch
    EXPECT_EQ(errors.count(), 1);
    Find<TCoolEdit>("txtWeapons_cost")->setText("150");
    FViews->CollectWeapon(1);
    EXPECT_EQ(bad.zoom_enabled.Value, "maybe");
    EXPECT_EQ(bad.cost.Value, "150");

    QTest::mouseClick(zoom, Qt::LeftButton, {}, QPoint(8, zoom->height() / 2));
    ASSERT_TRUE(zoom->isChecked());
    FViews->CollectWeapon(1);
    EXPECT_EQ(bad.zoom_enabled.Value, "true");
}

TEST_F(StandardView, BadZoomValueDuringPopulateIsReturnedNotSignalled) {
    auto& bad = AddWeapon("bad");
    bad.zoom_enabled.Value = "yes";
    QSignalSpy errors(FViews.get(), &kw::TStandardViews::conversionError);
    int redisplays = 0;
    FViews->OnRefreshViews = [this, &redisplays] {
        ++redisplays;
        FViews->ShowWeapon(0);
    };

    const QStringList messages = FViews->PopulateLists();
    EXPECT_EQ(messages, QStringList{"'yes' is not a valid boolean value"});
    EXPECT_EQ(redisplays, 1);
    FViews->ShowWeapon(0);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(FViews->ShownPosition(kw::WeaponsPage), 0);
}

TEST_F(StandardView, StatusBoxSelectsTheValueAndKeepsValuesItCannotShow) {
    auto& attachable = AddWeapon("attachable");
    attachable.scope_status.Value = "2";
    auto& odd = AddWeapon("odd");
    odd.scope_status.Value = "7";
    odd.silencer_status.Value = "x";
    FViews->PopulateLists();
    auto* scope = Find<QComboBox>("cboWeapons_scope_status");

    EXPECT_EQ(scope->currentIndex(), 2);
    EXPECT_EQ(scope->currentText(), QStringLiteral("Присоединяемый"));
    scope->setCurrentIndex(0);
    FViews->CollectWeapon(0);
    EXPECT_EQ(attachable.scope_status.Value, "0");

    FViews->ShowWeapon(1);
    EXPECT_EQ(scope->currentIndex(), -1);
    FViews->CollectWeapon(1);
    EXPECT_EQ(odd.scope_status.Value, "7");
    EXPECT_EQ(odd.silencer_status.Value, "x");
    scope->setCurrentIndex(1);
    FViews->CollectWeapon(1);
    EXPECT_EQ(odd.scope_status.Value, "1");

    // New texts after a language switch keep the selection.
    FViews->FillAddonStatusCombos({"Absent", "Built in", "Attachable"});
    EXPECT_EQ(scope->currentText(), "Built in");
}

// A slot shows its own spelling; an item that only shows it is offered for that slot alone.
TEST_F(StandardView, WeatherChoiceShowsTheSlotsOwnSpellingAndKeepsItsSelection) {
    FViews->SetWeatherChoices({"thunderbolt_default", "thunderbolt_light"}, {"amb_calm", "amb_storm"});
    auto& morning = Add(FCatalog.Weather, "06:00:00");
    morning.thunderbolt.Value = "THUNDERBOLT_LIGHT";
    morning.env_ambient.Value = "amb_unknown";
    auto& noon = Add(FCatalog.Weather, "12:00:00");
    noon.thunderbolt.Value = "thunderbolt_Light";
    FViews->PopulateLists();
    auto* thunderbolt = Find<QComboBox>("cboWeather_thunderbolt");
    auto* ambient = Find<QComboBox>("cboWeather_env_ambient");
    const auto items = [](const QComboBox* combo) {
        QStringList texts;
        for (int index = 0; index < combo->count(); ++index) {
            texts << combo->itemText(index);
        }
        return texts;
    };

    EXPECT_EQ(items(thunderbolt), QStringList({"", "THUNDERBOLT_LIGHT", "thunderbolt_default"}));
    EXPECT_EQ(thunderbolt->currentText(), "THUNDERBOLT_LIGHT");
    EXPECT_EQ(ambient->currentText(), "amb_unknown");
    FViews->ShowWeather(1);
    EXPECT_EQ(items(thunderbolt),
              QStringList({"", "THUNDERBOLT_LIGHT", "thunderbolt_Light", "thunderbolt_default"}));
    EXPECT_EQ(thunderbolt->currentText(), "thunderbolt_Light");
    FViews->ShowWeather(0);
    EXPECT_EQ(items(thunderbolt), QStringList({"", "THUNDERBOLT_LIGHT", "thunderbolt_default"}));

    thunderbolt->setCurrentIndex(2);
    FViews->CollectWeather(0);
    EXPECT_EQ(morning.thunderbolt.Value, "thunderbolt_default");
    EXPECT_EQ(morning.env_ambient.Value, "amb_unknown");
    EXPECT_EQ(noon.thunderbolt.Value, "thunderbolt_Light");

    FViews->SetWeatherChoices({"thunderbolt_heavy", "thunderbolt_default"}, {"amb_calm"});
    EXPECT_EQ(thunderbolt->currentText(), "thunderbolt_default");
}

TEST_F(StandardView, TextFieldsRoundTripThroughTheCodePage) {
    auto& weapon = AddWeapon("Обрез");
    weapon.hit_power.Value = Game("0.5, урон");
    weapon.cost.Value = "1200";
    auto& coat = Add(FCatalog.Outfits, "coat");
    coat.Immunity.chemical_burn.Value = "0.25";
    FViews->PopulateLists();
    auto* hitPower = Find<TCoolEdit>("txtWeapons_hit_power");

    EXPECT_EQ(hitPower->text(), QStringLiteral("0.5, урон"));
    hitPower->setText(QStringLiteral("Ёж №1"));
    Find<TCoolEdit>("txtWeapons_cost")->clear();
    FViews->CollectWeapon(0);
    EXPECT_EQ(weapon.hit_power.Value, Game("Ёж №1"));
    EXPECT_EQ(weapon.cost.Value, "");

    EXPECT_EQ(Find<TCoolEdit>("txtOutfits_chemical_burn_immunity")->text(), "0.25");
    Find<TCoolEdit>("txtOutfits_chemical_burn_immunity")->setText("0.3");
    FViews->CollectOutfit(0);
    EXPECT_EQ(coat.Immunity.chemical_burn.Value, "0.3");
    EXPECT_EQ(coat.Protection.chemical_burn.Value, "");
}

TEST_F(StandardView, CollectWritesOnlyIntoTheEntryShownCompletely) {
    auto& first = AddWeapon("first");
    first.cost.Value = "1";
    first.fire_distance.Value = "100";
    auto& second = AddWeapon("second");
    second.cost.Value = "2";
    second.fire_distance.Value = "200";
    FViews->PopulateLists();
    auto* cost = Find<TCoolEdit>("txtWeapons_cost");

    // A stale position, e.g. a list selection changed without a Show.
    cost->setText("99");
    FViews->CollectWeapon(1);
    EXPECT_EQ(second.cost.Value, "2");
    FViews->CollectWeapon(0);
    EXPECT_EQ(first.cost.Value, "99");

    // Something firing in the middle of a Show tries to collect.
    auto* distance = Find<TCoolEdit>("txtWeapons_fire_distance");
    QObject::connect(distance, &QLineEdit::textChanged, FViews.get(), [this] {
        FViews->CollectWeapon(0);
        FViews->CollectWeapon(1);
    });
    FViews->ShowWeapon(1);
    EXPECT_EQ(first.fire_distance.Value, "100");
    EXPECT_EQ(first.cost.Value, "99");
    EXPECT_EQ(second.cost.Value, "2");
    EXPECT_EQ(FViews->ShownPosition(kw::WeaponsPage), 1);

    // Stored another way meanwhile: the controls' older texts must not come back.
    second.cost.Value = "5";
    FViews->ForgetShownEntries();
    FViews->CollectWeapon(1);
    EXPECT_EQ(second.cost.Value, "5");
}

// The window binds the exit hook; leaving a field for another list row must store into the entry that was
// shown before the list moves on.
TEST_F(StandardView, ClickingAnotherRowStoresTheEditsFirst) {
    AddWeapon("first").cost.Value = "1";
    AddWeapon("second").cost.Value = "2";
    FViews->PopulateLists();
    auto* list = Find<QListWidget>("lbWeapons");
    struct ExitHook : QObject {
        kw::TStandardViews* Views;
        QListWidget* List;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::FocusOut) {
                Views->CollectWeapon(List->currentRow());
            }
            return false;
        }
    } hook;
    hook.Views = FViews.get();
    hook.List = list;
    for (QWidget* control : FViews->ExitHookControls()) {
        control->installEventFilter(&hook);
    }
    FWindow.show();
    QApplication::setActiveWindow(&FWindow);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&FWindow));

    auto* cost = Find<TCoolEdit>("txtWeapons_cost");
    cost->setFocus();
    cost->selectAll();
    QTest::keyClicks(cost, "15");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());

    EXPECT_EQ(FCatalog.Weapons[0]->cost.Value, "15");
    EXPECT_EQ(FCatalog.Weapons[1]->cost.Value, "2");
    EXPECT_EQ(cost->text(), "2");
}

TEST_F(StandardView, PopulateListsSelectsAndShowsTheFirstEntryOfEachPage) {
    Add(FCatalog.Ammo, "ammo_9x18").k_hit.Value = "1.1";
    Add(FCatalog.Ammo, "ammo_5.45");
    Add(FCatalog.Weather, "00:00:00");
    FViews->PopulateLists();

    auto* ammo = Find<QListWidget>("lbAmmo");
    ASSERT_EQ(ammo->count(), 2);
    EXPECT_EQ(ammo->item(1)->text(), "ammo_5.45");
    EXPECT_EQ(ammo->currentRow(), 0);
    EXPECT_EQ(Find<QLabel>("pnlAmmoName")->text(), "ammo_9x18");
    EXPECT_EQ(Find<TCoolEdit>("txtAmmo_k_hit")->text(), "1.1");
    EXPECT_EQ(Find<QLabel>("pnlWeatherTime")->text(), "00:00:00");
    EXPECT_EQ(Find<QListWidget>("lbWeapons")->currentRow(), -1);
    EXPECT_FALSE(Find<QPushButton>("btnWeaponsAmmo")->isEnabled());

    AddWeapon("pistol");
    FViews->PopulateLists();
    EXPECT_TRUE(Find<QPushButton>("btnWeaponsAmmo")->isEnabled());
    EXPECT_EQ(Find<QLabel>("pnlWeaponsName")->text(), "pistol");
}

TEST_F(StandardView, EmptiedCollectionKeepsOldTextsAndCollectsNothing) {
    Add(FCatalog.Items, "bread").eat_health.Value = "5";
    FViews->PopulateLists();
    FCatalog.Items.clear();
    FViews->PopulateLists();
    auto* health = Find<TCoolEdit>("txtItems_eat_health");
    EXPECT_EQ(health->text(), "5");
    Add(FCatalog.Items, "fresh");
    FViews->CollectItem(0);
    EXPECT_EQ(FCatalog.Items[0]->eat_health.Value, "");
}

// The window redisplays each page's selected row, which is none for an empty collection.
TEST_F(StandardView, ShowingNoRowOfAnEmptiedWeaponListChangesNothing) {
    AddWeapon("pistol");
    FViews->PopulateLists();
    FCatalog.Weapons.clear();
    FViews->PopulateLists();
    FViews->ShowWeapon(FViews->ListBox(kw::WeaponsPage)->currentRow());
    EXPECT_EQ(Find<QLabel>("pnlWeaponsName")->text(), "pistol");
    EXPECT_FALSE(Find<QPushButton>("btnWeaponsAmmo")->isEnabled());
}

TEST_F(StandardView, InformationLinesJoinThePrefixesTakenAtShowToTheValues) {
    auto& weapon = AddWeapon("ak");
    weapon.inv_name.Value = "wpn-ak";
    weapon.visual.Value = Game("weapons\\ак");
    Add(FCatalog.Ammo, "ammo_1");
    Add(FCatalog.Weather, "12:00:00").Section = "weather_noon";
    FViews->PopulateLists();

    EXPECT_EQ(Find<QLabel>("lblWeaponsFileName")->text(),
              QStringLiteral("имя файла:  gamedata\\config\\weapons\\w_ak.ltx"));
    EXPECT_EQ(Find<QLabel>("lblWeaponsSectionName")->text(),
              QStringLiteral("имя секции в ltx-файле:  wpn_ak"));
    EXPECT_EQ(Find<QLabel>("lblWeapons_inv_name")->text(), QStringLiteral("системное имя:  wpn-ak"));
    EXPECT_EQ(Find<QLabel>("lblWeapons_visual")->text(), QStringLiteral("3D-модель:  weapons\\ак"));
    EXPECT_EQ(Find<QLabel>("lblAmmoFileName")->text(),
              QStringLiteral("имя файла:  gamedata\\config\\weapons\\weapons.ltx"));
    EXPECT_EQ(Find<QLabel>("lblWeatherSectionName")->text(),
              QStringLiteral("имя секции в ltx-файле:  weather_noon"));
    EXPECT_EQ(FBoxes[kw::WeatherPage]->findChild<QLabel*>("lblWeather_visual"), nullptr);

    FViews->SetInfoPrefixes("file: ", "section: ", "name: ", "model: ");
    EXPECT_EQ(Find<QLabel>("lblAmmoFileName")->text(),
              QStringLiteral("имя файла:  gamedata\\config\\weapons\\weapons.ltx"));
    FViews->ShowAmmo(0);
    EXPECT_EQ(Find<QLabel>("lblAmmoFileName")->text(), "file: gamedata\\config\\weapons\\weapons.ltx");
    EXPECT_EQ(Find<QLabel>("lblAmmo_visual")->text(), "model: ");
}

TEST_F(StandardView, DescriptionPictureAndAmmoClassAreShown) {
    kw::TPic pic{"wpn_ak", 2, 1, {255, 0, 0, 0, 0, 255}};
    auto& pictured = AddWeapon("ak");
    pictured.Pic = &pic;
    pictured.Descr = "Автомат";
    pictured.ammo_class.Value = "ammo_5.45x39_fmj, ammo_5.45x39_ap";
    AddWeapon("bare");
    FViews->PopulateLists();
    auto* image = Find<QLabel>("imgWeapon");

    EXPECT_EQ(Find<QPlainTextEdit>("mmWeaponsDescr")->toPlainText(), QStringLiteral("Автомат"));
    EXPECT_EQ(Find<QLabel>("pnlWeapons_ammo_class")->text(), "ammo_5.45x39_fmj, ammo_5.45x39_ap");
    const QImage shown = image->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(2, 1));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(1, 0), QColor(Qt::blue));
    EXPECT_EQ(image->size(), QSize(300, 90));

    FViews->ShowWeapon(1);
    EXPECT_TRUE(image->pixmap().isNull());
}

TEST_F(StandardView, ExitHookTakesEditingControlsButNotListsMemosOrTheAmmoButton) {
    const QList<QWidget*> controls = FViews->ExitHookControls();
    const QList<TCoolEdit*> edits = FWindow.findChildren<TCoolEdit*>();
    EXPECT_EQ(controls.size(), edits.size() + 13);
    for (TCoolEdit* edit : edits) {
        EXPECT_TRUE(controls.contains(edit)) << edit->objectName().toStdString();
    }
    for (const char* name : {"chkAmmo_tracer", "cboWeapons_scope_status", "cboWeather_env_ambient",
                             "btnWeather_clouds_texture", "btnWeaponsGrenLnch"}) {
        EXPECT_TRUE(controls.contains(Find<QWidget>(name))) << name;
    }
    for (const char* name : {"lbWeapons", "mmWeaponsDescr", "btnWeaponsAmmo"}) {
        EXPECT_FALSE(controls.contains(Find<QWidget>(name))) << name;
    }
}

TEST_F(StandardView, RefusedCharactersAreReportedByTheViews) {
    QSignalSpy refused(FViews.get(), &kw::TStandardViews::inputRefused);
    auto* color = Find<TCoolEdit>("txtWeather_sky_color");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(color, &press);
    QCoreApplication::processEvents();
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), QStringLiteral("中"));
    EXPECT_EQ(color->text(), "");
}

} // namespace
