// Pictures of the data-entry windows for the documentation.
#pragma once

#include <QString>

#include "context.h"

namespace gui {

// The list of books, Book Setup, the grid of book 1 (typed tickets) and the
// index record over `parent`, as PNGs in `folder`. False if one failed.
bool SaveEntryScreenshots(const EntryServices& services, const platform::Clock& clock, QWidget* parent,
                          const QString& folder);

}  // namespace gui
