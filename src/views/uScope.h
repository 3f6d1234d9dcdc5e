#pragma once

#include "views/uListedAddon.h"

namespace kw {

// The scope of the current weapon, chosen from the catalog's scopes, with the scope's own FOV.
class TfrmScope : public TfrmListedAddon {
    Q_OBJECT
public:
    // Throws kw::Error when the chosen language file is not well-formed.
    TfrmScope(QWidget* owner, TDialogContext context);

    // Shows the dialog modally; true when a scope was fitted.
    static bool Execute(QWidget* owner, TDialogContext context);

    TCoolEdit* txt_scope_zoom_factor;
};

} // namespace kw
