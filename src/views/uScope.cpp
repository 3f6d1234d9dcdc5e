#include "views/uScope.h"

#include "catalog/Catalog.h"
#include "views/StandardView.h"

namespace kw {

namespace {

const TListedAddonDef kScopeDef{
    "frmScope",
    "Оптический прицел",
    "Координаты оптики в инвентаре",
    "Установить оптический прицел на оружие",
    "lbl_scope_zoom_factor",
    "FOV",
    "txt_scope_zoom_factor",
    [](TCatalog& catalog) {
        std::vector<TMainItem*> entries;
        for (const auto& scope : catalog.Scopes) {
            entries.push_back(scope.get());
        }
        return entries;
    },
    [](TMainItem& entry) -> TParam& { return static_cast<TScope&>(entry).scope_zoom_factor; },
    &TWeapon::scope_name,
    &TWeapon::scope_x,
    &TWeapon::scope_y,
    &TStandardViews::cboWeapons_scope_status,
};

} // namespace

TfrmScope::TfrmScope(QWidget* owner, TDialogContext context)
    : TfrmListedAddon(owner, std::move(context), kScopeDef), txt_scope_zoom_factor(txtOwn) {}

bool TfrmScope::Execute(QWidget* owner, TDialogContext context) {
    return (new TfrmScope(owner, std::move(context)))->exec() == QDialog::Accepted;
}

} // namespace kw
