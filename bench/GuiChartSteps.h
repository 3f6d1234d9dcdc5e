#pragma once

#include "GuiSteps.h"

namespace kw::bench {

// An edit of the table view redrawn by the chart window open beside it.
extern const TGuiStep kChartStep;

} // namespace kw::bench
