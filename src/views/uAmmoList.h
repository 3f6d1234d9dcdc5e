#pragma once

#include "views/DialogContext.h"

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kw {

class TWeapon;

// The cartridges the current weapon fires: one tick box per ammunition entry of the catalog. OK writes the
// ticked sections in catalog order into the weapon's ammo_class and shows the weapon again. Modal,
// centred on its owner, freed when closed.
class TfrmAmmoList : public QDialog {
    Q_OBJECT
public:
    // Throws kw::Error when the chosen language file is not well-formed.
    TfrmAmmoList(QWidget* owner, TDialogContext context);

    // Shows the dialog modally; true when OK wrote the weapon.
    static bool Execute(QWidget* owner, TDialogContext context);

    QListWidget* lbAmmo;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    TTranslator* Translator1;

private:
    TWeapon* Weapon() const;
    std::vector<std::string> ShownAmmo(const TWeapon& weapon) const;
    bool IsInherited(const TWeapon& weapon) const;
    std::vector<bool> Ticks() const;
    void FillList();
    void lbAmmoClickCheck(QListWidgetItem* item);
    void UpdateOkButton();
    void btnOKClick();

    TDialogContext FContext;
    // The ticks as the dialog opened.
    std::vector<bool> FShownTicks;
};

} // namespace kw
