#include "views/uGrenLnch.h"

#include "catalog/Catalog.h"
#include "views/StandardView.h"

namespace kw {

namespace {

const TListedAddonDef kGrenLnchDef{
    "frmGrenLnch",
    "Подствольник",
    "Координаты подствольника в инвентаре",
    "Установить подствольник на оружие",
    "lbl_grenade_vel",
    "Дальность полёта гранаты",
    "txt_grenade_vel",
    [](TCatalog& catalog) {
        std::vector<TMainItem*> entries;
        for (const auto& launcher : catalog.GrenLnchs) {
            entries.push_back(launcher.get());
        }
        return entries;
    },
    [](TMainItem& entry) -> TParam& { return static_cast<TGrenLnch&>(entry).grenade_vel; },
    &TWeapon::grenade_launcher_name,
    &TWeapon::grenade_launcher_x,
    &TWeapon::grenade_launcher_y,
    &TStandardViews::cboWeapons_grenade_launcher_status,
};

} // namespace

TfrmGrenLnch::TfrmGrenLnch(QWidget* owner, TDialogContext context)
    : TfrmListedAddon(owner, std::move(context), kGrenLnchDef), txt_grenade_vel(txtOwn) {}

bool TfrmGrenLnch::Execute(QWidget* owner, TDialogContext context) {
    return (new TfrmGrenLnch(owner, std::move(context)))->exec() == QDialog::Accepted;
}

} // namespace kw
