// The tonnage report run as the Report command calls it.
#pragma once

#include <functional>

#include "data/outcome.h"
#include "data/session.h"
#include "platform/clock.h"

namespace gui {

using ReportFunction = std::function<tonnage::Outcome(tonnage::Session&, const platform::Clock&)>;

// The tonnage report run.
ReportFunction ProgramReport();

}  // namespace gui
