// What every window of the program works with: the session (the open data
// and work files), the platform services, the hooks to windows that live
// elsewhere, and the little window state the program shares.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "data/outcome.h"
#include "data/session.h"
#include "platform/platform.h"

class QWidget;

namespace gui {

struct Context;

// Windows and runs that other parts of the program supply. An empty hook
// leaves its command disabled.
struct Hooks {
  // Edit Books and Index Data of the process window, shown modally over `parent`.
  std::function<void(QWidget* parent, Context& context)> editBooks;
  std::function<void(QWidget* parent, Context& context)> indexData;
  // The grid of `book` with the cursor on (row, column), as Edit Books opens
  // it; from the report's viewer.
  std::function<void(QWidget* parent, Context& context, int book, int row, int column)> editTicket;
  // The print dialog, from the viewer's Print menu (context.selTextReady says
  // whether SelTextFilePath holds the viewer's selection).
  std::function<void(QWidget* parent, Context& context)> printReport;
  // The tonnage report: reads WORK.TMP and VERSION.TMP of the work folder and
  // writes the spool at session.spoolPath.
  std::function<tonnage::Outcome(tonnage::Session& session, const platform::Clock& clock)> runReport;
  // Ends the run once the work files are gone (the program tells its event
  // loops to finish; tests record the call).
  std::function<void()> quitProgram;
};

struct Context {
  tonnage::Session& session;
  platform::Platform platform;
  Hooks hooks;
  // True only while the print dialog is open over a written selected-text file.
  bool selTextReady = false;
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
void TellIfStateNotKept(Context& context, QWidget* parent, const tonnage::Outcome& kept);
// A file-system path for the screen.
QString DisplayPath(const std::string& path);
// From now on paths in `folder` (no trailing '/') show as in `shown` instead
// (an empty `folder`: as they are), for pictures that must not change from
// one run to the next.
void ShowFolderAs(const std::string& folder, const std::string& shown);

}  // namespace gui
