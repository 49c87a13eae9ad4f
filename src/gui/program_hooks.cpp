#include "program_hooks.h"

#include "report_adapter.h"

namespace gui {

void InstallProgramHooks(Hooks& hooks) {
  hooks.runReport = ProgramReport();
  // Edit Books, Index Data and Print join here with their windows.
}

}  // namespace gui
