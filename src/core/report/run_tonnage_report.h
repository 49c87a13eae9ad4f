// The report run over the program's work folder: WORK.TMP and VERSION.TMP
// in, PRINT.SPL out, with TMP.SPL holding the main report meanwhile.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "data/outcome.h"
#include "report/tonnage_run.h"

namespace tonnage::report {

// Runs the report of `folder` (ending in '/') into `spool`. The spool gets
// nothing more after a failure; the caller decides what becomes of it.
Outcome RunTonnageReportInto(const std::string& folder, const RunStamp& stamp, LineSink& spool);

// The same run over work-image lines from any source, with the main report
// held in `scratchPath` meanwhile. `sourceOutcome` tells, after the last
// line, whether the source was read whole; a failed source fails the run.
Outcome RunTonnageReportFrom(io::LineSource& work, const std::function<Outcome()>& sourceOutcome,
                             std::string_view versionText, const std::string& scratchPath, const RunStamp& stamp,
                             LineSink& spool);

// Writes PRINT.SPL in `folder`. The new one appears only complete; after a
// failure an old PRINT.SPL is left byte for byte as it was.
Outcome RunTonnageReport(const std::string& folder, const RunStamp& stamp);

}  // namespace tonnage::report
