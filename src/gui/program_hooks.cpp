#include "program_hooks.h"

#include "book_forms.h"
#include "report_adapter.h"

namespace gui {

void InstallProgramHooks(Hooks& hooks) {
  hooks.runReport = ProgramReport();
  InstallEntryHooks(hooks);
  // Print joins here with its window.
}

}  // namespace gui
