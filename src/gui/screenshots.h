// A picture of every window, for the documentation.
#pragma once

#include <QString>
#include <string>

#include "context.h"

namespace platform {
class QtHelp;
}

namespace gui {

class MainForm1;

// Shows each window in turn and saves it as a PNG into `folder`. `sample`
// (a data file) gives the process window and the viewer something to show.
int RunScreenshots(Context& context, MainForm1& main, platform::QtHelp& help,
                   const QString& folder, const std::string& sample);

}  // namespace gui
