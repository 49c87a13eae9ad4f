// tonnage verify and tonnage history: the history kept beside a data file.
#include "history_commands.h"

#include <cstdio>
#include <memory>
#include <string>

#include "store/history.h"
#include "store/history_listing.h"

namespace tonnage::cli {
namespace {

int RunVerify(const std::string& path) {
  store::ProjectStore history;
  if (Outcome opened = history.OpenToRead(path); !opened) {
    std::fprintf(stderr, "tonnage verify: %s\n", opened.message.c_str());
    return 1;
  }
  const store::Verification v = store::VerifyHistory(history, path);
  std::fprintf(v.ok ? stdout : stderr, "%s%s\n", v.ok ? "" : "tonnage verify: ", v.message.c_str());
  return v.ok ? 0 : 1;
}

int RunHistory(const std::string& path, const store::HistoryFilter& filter, bool csv) {
  store::ProjectStore history;
  if (Outcome opened = history.OpenToRead(path); !opened) {
    std::fprintf(stderr, "tonnage history: %s\n", opened.message.c_str());
    return 1;
  }
  const auto rows = store::ListHistory(history, filter);
  const std::string text = csv ? store::HistoryCsv(rows) : store::HistoryText(rows);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

void AddVerifyCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "verify", "Check the history of a data file: its chain of entries, and that the file holds the last state");
  auto path = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->callback([path, &exitCode] { exitCode = RunVerify(*path); });
}

void AddHistoryCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("history", "List the recorded changes of a data file, newest first");
  auto path = std::make_shared<std::string>();
  auto filter = std::make_shared<store::HistoryFilter>();
  auto csv = std::make_shared<bool>(false);
  cmd->add_option("FILE", *path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("--book", filter->book, "Only this book (its number before or after a change)")
      ->check(CLI::Range(1, 500));
  cmd->add_option("--page", filter->page, "Only this page number");
  cmd->add_flag("--csv", *csv, "One CSV row per change");
  cmd->callback([path, filter, csv, &exitCode] { exitCode = RunHistory(*path, *filter, *csv); });
}

}  // namespace tonnage::cli
