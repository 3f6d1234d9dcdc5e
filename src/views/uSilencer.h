#pragma once

#include "views/uWeaponAddon.h"

namespace kw {

// The silencer fitted to the current weapon: the weapon's values with the silencer on, and the single
// silencer entry's weight and cost.
class TfrmSilencer : public TfrmWeaponAddon {
    Q_OBJECT
public:
    // Throws kw::Error when the chosen language file is not well-formed.
    TfrmSilencer(QWidget* owner, TDialogContext context);

    // Shows the dialog modally; true when the silencer was fitted.
    static bool Execute(QWidget* owner, TDialogContext context);

    QGroupBox* gbSilencer;
    TCoolEdit* txt_silencer_hit_power;
    TCoolEdit* txt_silencer_hit_impulse;
    TCoolEdit* txt_silencer_fire_distance;
    TCoolEdit* txt_silencer_bullet_speed;

private:
    void StoreSilencer();
    void Fit() override;
};

} // namespace kw
