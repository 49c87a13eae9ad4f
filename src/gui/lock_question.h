// What the user is told when the data file's lock cannot be had: another
// copy of the program has the file open, or no lock can be taken there.
#pragma once

#include <string>

#include "context.h"
#include "data/file_lock.h"

class QWidget;

namespace gui {

enum class FileUse { Open, SaveAs };

// Before Open or Save As of `path`: true when the command may go on. A file
// open in another copy is used only when the user says so (No is the
// default); a lock that cannot be taken is mentioned on Open and then
// ignored, so a read-only folder still opens.
bool MayUseFile(platform::Messages& messages, QWidget* parent, const std::string& path,
                const tonnage::LockAttempt& attempt, FileUse use);

// "process 4711 on wks-3", or what is known of the holder.
QString HolderText(const tonnage::LockHolder& holder);

}  // namespace gui
