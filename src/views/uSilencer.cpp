#include "views/uSilencer.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "views/CoolCtrls.h"
#include "views/StandardView.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace kw {

namespace {

constexpr int kClientHeight = 300;
constexpr int kEffectsTop = 4;
constexpr int kEffectRows = 4;
constexpr int kSharedTop = 132;

constexpr int kWideFieldX = 88;

struct TEffectDef {
    TCoolEdit* TfrmSilencer::*Field;
    const char* Name;
    const char* Label;
    const char* Caption;
    TParam TWeapon::*Param;
    bool Wide; // a list of values, one per difficulty
};

// The weapon's values with the silencer on, in the order of the box.
const std::array<TEffectDef, kEffectRows> kEffects{{
    {&TfrmSilencer::txt_silencer_hit_power, "txt_silencer_hit_power", "lbl_silencer_hit_power", "Урон",
     &TWeapon::silencer_hit_power, true},
    {&TfrmSilencer::txt_silencer_hit_impulse, "txt_silencer_hit_impulse", "lbl_silencer_hit_impulse",
     "Убойная сила", &TWeapon::silencer_hit_impulse, false},
    {&TfrmSilencer::txt_silencer_fire_distance, "txt_silencer_fire_distance", "lbl_silencer_fire_distance",
     "Огневая дистанция", &TWeapon::silencer_fire_distance, false},
    {&TfrmSilencer::txt_silencer_bullet_speed, "txt_silencer_bullet_speed", "lbl_silencer_bullet_speed",
     "Скорость полёта пули", &TWeapon::silencer_bullet_speed, false},
}};

} // namespace

TfrmSilencer::TfrmSilencer(QWidget* owner, TDialogContext context)
    : TfrmWeaponAddon(owner, std::move(context), "frmSilencer", kClientHeight, kSharedTop) {
    setWindowTitle(QStringLiteral("Глушитель"));
    gbCoords->setTitle(QStringLiteral("Координаты глушителя в инвентаре"));
    btnSet->setToolTip(QStringLiteral("Установить глушитель на оружие"));

    gbSilencer = new QGroupBox(QStringLiteral("Параметры оружия с глушителем"), this);
    gbSilencer->setObjectName(QStringLiteral("gbSilencer"));
    gbSilencer->setGeometry(BoxRect(kEffectsTop, kEffectRows));
    for (std::size_t row = 0; row < kEffects.size(); ++row) {
        const TEffectDef& def = kEffects[row];
        const int top = static_cast<int>(row) * kBoxRowStep;
        QRect label = BoxLabelRect(top);
        QRect field = BoxFieldRect(top);
        if (def.Wide) {
            field.setLeft(kWideFieldX);
            label.setRight(kWideFieldX - 4);
        }
        MakeLabel(gbSilencer, def.Label, def.Caption, label);
        this->*def.Field = MakeNumericField(gbSilencer, def.Name, field);
        // A list takes commas and blanks, as the main window's damage field does; a numeric field would
        // refuse both the typed and the pasted list.
        if (def.Wide) {
            (this->*def.Field)->SetEnableLet(true);
        }
    }
    setTabOrder(txt_silencer_bullet_speed, txt_weight);
    txt_silencer_hit_power->setFocus();

    if (const TWeapon* weapon = Weapon()) {
        for (const TEffectDef& def : kEffects) {
            ShowValue(this->*def.Field, weapon->*def.Param);
        }
        ShowValue(txt_x, weapon->silencer_x);
        ShowValue(txt_y, weapon->silencer_y);
    }
    if (const TMainItem* silencer = Catalog().Silencer.get()) {
        ShowValue(txt_weight, silencer->inv_weight);
        ShowValue(txt_cost, silencer->cost);
    }
    UpdateSetButton(Catalog().Silencer != nullptr, Weapon() != nullptr);
    BindExitHook({txt_weight, txt_cost}, [this] { StoreSilencer(); });
    Translate();
}

bool TfrmSilencer::Execute(QWidget* owner, TDialogContext context) {
    return (new TfrmSilencer(owner, std::move(context)))->exec() == QDialog::Accepted;
}

void TfrmSilencer::StoreSilencer() {
    if (TMainItem* silencer = Catalog().Silencer.get()) {
        StoreField(FContext.Document, silencer->inv_weight, txt_weight);
        StoreField(FContext.Document, silencer->cost, txt_cost);
    }
}

void TfrmSilencer::Fit() {
    StoreSilencer();
    TWeapon& weapon = *Weapon();
    StoreText(FContext.Document, weapon.silencer_name, Catalog().Silencer->Section);
    for (const TEffectDef& def : kEffects) {
        StoreField(FContext.Document, weapon.*def.Param, this->*def.Field);
    }
    StoreField(FContext.Document, weapon.silencer_x, txt_x);
    StoreField(FContext.Document, weapon.silencer_y, txt_y);
    SelectAttachable(FContext.Views.cboWeapons_silencer_status);
}

} // namespace kw
