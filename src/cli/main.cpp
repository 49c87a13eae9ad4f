// tonnage: the program's data files and report from the command line.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "data_commands.h"
#include "history_commands.h"
#include "report_commands.h"
#include "tonnage_version.h"

int main(int argc, char** argv) {
  CLI::App app{
      "Quantity records of asphalt delivered to road projects: check, resave and report "
      "tonnage data files (*.K81)."};
  app.set_version_flag("--version",
                       std::string("tonnage ") + tonnage::version::kText + " (" + tonnage::version::kDateText + ")");
  app.require_subcommand(1);
  int exitCode = 0;
  tonnage::cli::AddCheckCommand(app, exitCode);
  tonnage::cli::AddResaveCommand(app, exitCode);
  tonnage::cli::AddReportCommand(app, exitCode);
  tonnage::cli::AddExportCommand(app, exitCode);
  tonnage::cli::AddVerifyCommand(app, exitCode);
  tonnage::cli::AddHistoryCommand(app, exitCode);
  tonnage::cli::AddDailyCommand(app, exitCode);
  tonnage::cli::AddImportCommand(app, exitCode);
  tonnage::cli::AddReconcileCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    // Usage errors are 2; --help and --version are successes.
    return code == 0 ? 0 : 2;
  }
  return exitCode;
}
