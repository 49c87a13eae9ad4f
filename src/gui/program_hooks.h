// Where the windows and runs of the other parts of the program are joined to
// the shell. Each part sets its hook here.
#pragma once

#include "context.h"

namespace gui {

void InstallProgramHooks(Hooks& hooks);

}  // namespace gui
