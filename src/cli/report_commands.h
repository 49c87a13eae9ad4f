#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <string_view>

namespace tonnage::cli {

// `report FILE [-o OUT] [--run-date MM/DD/YYYY] [--run-time HH:MM:SS]`: the
// spool the Report command gives right after opening FILE. Exit 0, or 1 when
// the file is refused or the spool cannot be written.
void AddReportCommand(CLI::App& app, int& exitCode);
// `export FILE [-o OUT.csv]`: one CSV row per ticket. Exit codes as above.
void AddExportCommand(CLI::App& app, int& exitCode);

// Shared by both commands: opens FILE as Open does in a throw-away work
// folder, writes WORK.TMP, and hands the folder to `run`; prints a refusal on
// stderr. Returns the exit code.
int WithWorkImage(const std::string& path, const std::function<int(const std::string& folder)>& run);

// Output of a command: standard output, or a file that appears only whole.
class CommandOutput {
 public:
  explicit CommandOutput(const std::string& path);
  ~CommandOutput();
  void Write(std::string_view bytes);
  void WriteLine(std::string_view line);
  // Ok, or the reason the output could not be written (printed by the caller).
  bool Finish(std::string& why);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace tonnage::cli
