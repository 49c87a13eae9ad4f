#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/outcome.h"
#include "io/line_reader.h"

namespace tonnage::cli {

// `report FILE [-o OUT] [--run-date MM/DD/YYYY] [--run-time HH:MM:SS]`: the
// spool the Report command gives right after opening FILE. Exit 0, or 1 when
// the file is refused or the spool cannot be written.
void AddReportCommand(CLI::App& app, int& exitCode);
// `export FILE [-o OUT.csv]`: one CSV row per ticket. Exit codes as above.
void AddExportCommand(CLI::App& app, int& exitCode);

// `daily FILE --date MM/DD/YYYY [--to MM/DD/YYYY] -o OUT.pdf|.xlsx|.csv`:
// the daily summary with its yield check. Exit 1 also when no ticket has a
// date in the range.
void AddDailyCommand(CLI::App& app, int& exitCode);

// MM/DD/YYYY (or MM-DD-YYYY) naming a real day the grid would take, as
// MM/DD/YYYY; empty otherwise.
std::string CheckedDate(const std::string& text);

// Shared by the commands: the work image of FILE (the lines Open then Save
// would write) streamed from the file itself, handed to `run`. When `checkFirst`, the whole file is checked before
// `run` starts, so a refused file writes nothing to an output that cannot be taken back. A refusal is printed on
// stderr. Returns the exit code.
using WorkImageRun = std::function<int(io::LineSource& work, const std::function<Outcome()>& workOutcome)>;
int WithWorkImage(const std::string& path, bool checkFirst, const WorkImageRun& run);

// Output of a command: standard output, or a file that appears only whole.
// Move-only: it owns the file being written.
class CommandOutput {
 public:
  explicit CommandOutput(const std::string& path);
  ~CommandOutput();
  CommandOutput(CommandOutput&&) noexcept;
  CommandOutput& operator=(CommandOutput&&) noexcept;
  CommandOutput(const CommandOutput&) = delete;
  CommandOutput& operator=(const CommandOutput&) = delete;
  void Write(std::string_view bytes);
  void WriteLine(std::string_view line);
  // Ok, or the reason the output could not be written (printed by the caller).
  bool Finish(std::string& why);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tonnage::cli
