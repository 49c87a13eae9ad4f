// What the program tells Qt about itself before its first window.
#pragma once

namespace gui {

// Name, version, desktop entry and icon. No display name is set: Qt would add
// it to every window title, and a short box would show neither in full.
void ConfigureApplication();

}  // namespace gui
