// The program's own pictures: its icon, and the marks drawn so they look the
// same on every desktop.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace gui {

// The program: a load of asphalt on a road.
QIcon ProgramIcon();
QPixmap ProgramPixmap(int size);
// The mark of a finished save: a white tick on a green disc.
QPixmap SavedMark(int size);

}  // namespace gui
