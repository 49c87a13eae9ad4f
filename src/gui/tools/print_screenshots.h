// Pictures of the print dialog and printer setup, and the report's first
// pages as a PDF, for the documentation.
#pragma once

#include <QString>

#include "context.h"

namespace gui {

// The print dialog with a selection handed on (all three choices), then
// with Print To File ticked, and printer setup, as PNGs in `folder`; the
// first pages of the spool as report-pages.pdf when there is a printing
// service. False if a picture or the PDF failed.
bool SavePrintScreenshots(const PrintServices& services, QWidget* parent, const QString& folder);

}  // namespace gui
