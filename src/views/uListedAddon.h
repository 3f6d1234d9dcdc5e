#pragma once

#include "views/uWeaponAddon.h"

namespace kw {

class TStandardViews;

// What tells the scope dialog from the grenade launcher dialog.
struct TListedAddonDef {
    const char* FormName;
    const char* Caption;
    const char* CoordsCaption;
    const char* SetHint;
    const char* OwnLabelName;
    const char* OwnLabel;
    const char* OwnFieldName;
    std::vector<TMainItem*> (*Entries)(TCatalog& catalog);
    TParam& (*OwnValue)(TMainItem& entry); // the addon's own characteristic
    TParam TWeapon::*Name;
    TParam TWeapon::*X;
    TParam TWeapon::*Y;
    QComboBox* TStandardViews::*StatusBox;
};

// An addon chosen by name from a collection of the catalog. The three shared fields show the chosen
// entry; choosing another entry first stores what was typed into the one chosen before, so the edit
// does not wait for the focus to leave its field.
class TfrmListedAddon : public TfrmWeaponAddon {
    Q_OBJECT
public:
    QLabel* lblName;
    QComboBox* cboName;

protected:
    TfrmListedAddon(QWidget* owner, TDialogContext context, const TListedAddonDef& def);

    TCoolEdit* txtOwn; // the own characteristic's field

private:
    void cboNameChange(int index);
    void ShowAddon();
    void StoreAddon();
    // The entry at the position, or nullptr for none.
    TMainItem* Entry(int pos) const;
    void StoreInto(TMainItem* entry);
    void Fit() override;

    const TListedAddonDef& FDef;
    std::vector<TMainItem*> FEntries;
    // The entry the shared fields show and store into.
    int FShown = -1;
};

} // namespace kw
