#include "program_hooks.h"

#include "book_forms.h"
#include "prtbox.h"
#include "report_adapter.h"

namespace gui {

void InstallProgramHooks(Hooks& hooks) {
  hooks.runReport = ProgramReport();
  InstallEntryHooks(hooks);
  InstallPrintHooks(hooks);
}

}  // namespace gui
