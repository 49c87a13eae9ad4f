// A picture of every window, for the documentation.
#pragma once

#include <QString>

class QWidget;
#include <string>

#include "context.h"

namespace platform {
class QtHelp;
}

namespace gui {

class MainForm1;

// Lets pending paints finish, then saves `window` as `folder`/`name`.png.
// False (and a line on stderr) when it could not be saved.
bool SaveWindowPicture(QWidget* window, const QString& folder, const QString& name);

// Shows each window in turn and saves it as a PNG into `folder`. `sample`
// (a data file) gives the process window and the viewer something to show.
int RunScreenshots(Services& services, MainForm1& main, platform::QtHelp& help, const QString& folder,
                   const std::string& sample);

}  // namespace gui
