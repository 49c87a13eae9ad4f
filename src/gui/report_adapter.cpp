#include "report_adapter.h"

#include "report/run_tonnage_report.h"

namespace gui {

ReportFunction ProgramReport() {
  return [](tonnage::Session& session, const platform::Clock& clock) {
    const platform::LocalTime now = clock.Now();
    return tonnage::report::RunTonnageReport(
        session.workFolder().path(),
        tonnage::report::MakeRunStamp(now.year, now.month, now.day, now.hour, now.minute, now.second));
  };
}

}  // namespace gui
