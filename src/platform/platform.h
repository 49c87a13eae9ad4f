// The services a window may use, gathered so each window gets them in one
// piece. The program passes the Qt implementations, tests their doubles.
#pragma once

#include "busy.h"
#include "clipboard.h"
#include "clock.h"
#include "file_chooser.h"
#include "help.h"
#include "messages.h"
#include "printing.h"

namespace platform {

struct Platform {
  Messages* messages = nullptr;
  FileChooser* files = nullptr;
  Help* help = nullptr;
  BusyPointer* busy = nullptr;
  Clock* clock = nullptr;
  Clipboard* clipboard = nullptr;
  Printing* printing = nullptr;
  Progress* progress = nullptr;
};

}  // namespace platform
