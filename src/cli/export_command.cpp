#include <cstdio>
#include <memory>
#include <string>

#include "data/work_folder.h"
#include "io/line_reader.h"
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
  return WithWorkImage(path, [&](const std::string& folder) {
    const std::string workPath = folder + kWorkFileName;
    io::FileLineReader work(workPath);
    CommandOutput out(outPath);
    OutputSink sink(out);
    if (work.is_open()) report::ExportTickets(work, sink);
    if (Outcome read = work.error(); !read) {
      std::fprintf(stderr, "%s: %s\n", read.title.c_str(), read.message.c_str());
      return 1;
    }
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
