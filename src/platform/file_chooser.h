// File choosers for opening an existing file and for saving under a name the
// user picks, confirming before an existing file is replaced.
#pragma once

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace platform {

struct FileRequest {
  QString title;
  std::string initialFolder;  // file-system bytes, as every path here
  // "description|pattern|description|pattern"; the first pair is preselected.
  std::string filter;
  // The name the save dialog proposes (empty: none).
  std::string proposedName;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The full path of an existing file, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenExisting(QWidget* parent, const FileRequest& request) = 0;
  // The full path to write, overwrite already confirmed; nothing on cancel.
  // A name typed without an extension is returned as typed.
  virtual std::optional<std::string> SaveAs(QWidget* parent, const FileRequest& request) = 0;
};

// "Default (*.K81)|*.K81|Any File (*.*)|*.*" as a Qt name filter list
// ("Default (*.K81 *.k81);;Any File (*)"). Patterns match either case, as
// file names did where the data files come from.
QString QtNameFilters(const std::string& pipeFilter);

}  // namespace platform
