#pragma once

#include "views/uListedAddon.h"

namespace kw {

// The grenade launcher of the current weapon, chosen from the catalog's launchers, with the launcher's
// own grenade range.
class TfrmGrenLnch : public TfrmListedAddon {
    Q_OBJECT
public:
    // Throws kw::Error when the chosen language file is not well-formed.
    TfrmGrenLnch(QWidget* owner, TDialogContext context);

    // Shows the dialog modally; true when a grenade launcher was fitted.
    static bool Execute(QWidget* owner, TDialogContext context);

    TCoolEdit* txt_grenade_vel;
};

} // namespace kw
