#include <cstdio>
#include <memory>
#include <string>

#include "report/ticket_export.h"
#include "report_commands.h"

namespace tonnage::cli {
namespace {

class OutputSink final : public report::LineSink {
 public:
  explicit OutputSink(CommandOutput& out) : out_(out) {}
  void WriteLine(std::string_view line) override { out_.WriteLine(line); }

 private:
  CommandOutput& out_;
};

int RunExport(const std::string& path, const std::string& outPath) {
  return WithWorkImage(path, outPath.empty(), [&](io::LineSource& work, const std::function<Outcome()>& workOutcome) {
    CommandOutput out(outPath);
    OutputSink sink(out);
    report::ExportTickets(work, sink);
    if (!workOutcome().ok()) return 1;  // the caller tells why
    std::string why;
    if (!out.Finish(why)) {
      std::fprintf(stderr, "Export Error: %s\n", why.c_str());
      return 1;
    }
    return 0;
  });
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("export", "Write one CSV row per ticket of a data file");
  auto path = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("-o,--output", *out, "CSV file to write; standard output when left out");
  cmd->callback([path, out, &exitCode] { exitCode = RunExport(*path, *out); });
}

}  // namespace tonnage::cli
