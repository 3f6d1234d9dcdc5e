#pragma once

#include "GuiSteps.h"

namespace kw::bench {

// Moving about the window and editing without a save; each leaves the window as the next row of the table
// expects it.
extern const TGuiStep kPageStep;
extern const TGuiStep kEntryStep;
extern const TGuiStep kCommitStep;
extern const TGuiStep kTableStep;
extern const TGuiStep kPasteStep;
extern const TGuiStep kUndoPasteStep;

} // namespace kw::bench
