// What the windows share: the services they are given, the help context
// ids, and the text and path helpers of the screen.
#pragma once

#include <QString>
#include <string>

#include "data/outcome.h"
#include "data/session.h"
#include "entry/row_menu.h"
#include "platform/platform.h"

class QWidget;

namespace gui {

// The data-entry windows (the list of books, Book Setup and the grid): the
// grid's clipboard may be missing (no copy or paste then).
struct EntryServices {
  tonnage::Session& session;
  platform::Messages& messages;
  platform::Clipboard* clipboard;
  platform::Help& help;
};

// The windows that read and write files the user names: the file chooser,
// the questions, the busy pointer and their help.
struct FileServices {
  tonnage::Session& session;
  platform::Messages& messages;
  platform::FileChooser& files;
  platform::BusyPointer& busy;
  platform::Help& help;
};

// The print dialog and the printer setup under it; printing and progress may
// be missing (no preview, PDF or progress window then).
struct PrintServices {
  tonnage::Session& session;
  platform::Messages& messages;
  platform::FileChooser& files;
  platform::BusyPointer& busy;
  platform::Printing* printing;
  platform::Progress* progress;
  platform::Help& help;
};

// What the windows that open most others (the main window, the process
// window and the report viewer) hand on: the session, the platform's
// services and the grids' row menu, which lasts the whole run. Those windows
// keep a reference to it: it outlives every window.
struct Services {
  tonnage::Session& session;
  platform::Platform platform;
  tonnage::RowMenuState& rowMenu;

  EntryServices Entry() const { return {session, *platform.messages, platform.clipboard, *platform.help}; }
  FileServices Files() const { return {session, *platform.messages, *platform.files, *platform.busy, *platform.help}; }
  PrintServices Print() const {
    return {session,           *platform.messages, *platform.files, *platform.busy,
            platform.printing, platform.progress,  *platform.help};
  }
};

// Help context ids of the windows.
namespace help_id {
inline constexpr int kMainForm = 10;
inline constexpr int kSectList = 650;
inline constexpr int kDataform = 660;
inline constexpr int kProcForm = 770;
inline constexpr int kBookForm = 780;
inline constexpr int kEnddataForm = 1810;
inline constexpr int kIndexform = 1820;
inline constexpr int kPrtbox = 1830;
inline constexpr int kViewForm = 1850;
inline constexpr int kNTSetup = 1870;
inline constexpr int kDailyForm = 1880;
inline constexpr int kYieldForm = 1890;
}  // namespace help_id

// The file the viewer writes its selection to for the print dialog. One name
// for both sides: file names are case-sensitive here.
std::string SelTextFilePath(const tonnage::Session& session);

// Single-byte program text (data, messages) for the screen, and back.
QString Latin1(const std::string& text);
std::string FromLatin1(const QString& text);
// Tells the user, when `kept` failed, that the state file a crash would be
// recovered from could not be written; the data in memory are unharmed.
void TellIfStateNotKept(platform::Messages& messages, QWidget* parent, const tonnage::Outcome& kept);
// A file-system path for the screen.
QString DisplayPath(const std::string& path);
// From now on paths in `folder` (no trailing '/') show as in `shown` instead
// (an empty `folder`: as they are), for pictures that must not change from
// one run to the next.
void ShowFolderAs(const std::string& folder, const std::string& shown);

}  // namespace gui
