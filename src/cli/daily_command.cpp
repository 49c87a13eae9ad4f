#include <cstdio>
#include <memory>
#include <string>

#include "daily/daily_csv.h"
#include "daily/daily_summary.h"
#include "daily/daily_xlsx.h"
#include "daily_output.h"
#include "report_commands.h"

namespace tonnage::cli {
namespace {

struct DailyOptions {
  std::string path;
  std::string date;
  std::string to;
  std::string out;
};

enum class Format { Csv, Xlsx, Pdf, Unknown };

Format FormatOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ext == "csv") return Format::Csv;
  if (ext == "xlsx") return Format::Xlsx;
  if (ext == "pdf") return Format::Pdf;
  return Format::Unknown;
}

int RunDaily(const DailyOptions& o) {
  const std::string from = CheckedDate(o.date);
  const std::string to = o.to.empty() ? from : CheckedDate(o.to);
  if (from.empty() || to.empty()) {
    std::fprintf(stderr, "tonnage daily: dates are MM/DD/YYYY\n");
    return 2;
  }
  const std::string fromKey = daily::DayKey(from), toKey = daily::DayKey(to);
  if (toKey < fromKey) {
    std::fprintf(stderr, "tonnage daily: --to %s comes before --date %s\n", to.c_str(), from.c_str());
    return 2;
  }
  const Format format = FormatOf(o.out);
  if (format == Format::Unknown || (format == Format::Pdf && !CanWriteDailyPdf())) {
    std::fprintf(stderr, "tonnage daily: the output is named *.csv, *.xlsx%s\n", CanWriteDailyPdf() ? " or *.pdf" : "");
    return 2;
  }
  return WithWorkImage(o.path, true, [&](io::LineSource& work, const std::function<Outcome()>& workOutcome) {
    const daily::DailyExtras extras = DailyExtrasBeside(o.path);
    const daily::DailyResult r = daily::SummarizeDays(work, fromKey, toKey, extras);
    if (!workOutcome().ok()) return 1;  // told by the caller
    if (!r.outcome.ok()) {
      std::fprintf(stderr, "%s: %s\n", r.outcome.title.c_str(), r.outcome.message.c_str());
      return 1;
    }
    if (r.summary.days.empty()) {
      std::fprintf(stderr, "tonnage daily: no ticket has a date from %s to %s\n", from.c_str(), to.c_str());
      return 1;
    }
    Outcome written;
    if (format == Format::Csv)
      written = daily::WriteDailyCsv(o.out, r.summary);
    else if (format == Format::Xlsx)
      written = daily::WriteDailyXlsx(o.out, r.summary);
    else
      written = WriteDailyPdf(o.out, r.summary);
    if (!written) {
      std::fprintf(stderr, "Daily Summary Error: %s\n", written.message.c_str());
      return 1;
    }
    return 0;
  });
}

}  // namespace

void AddDailyCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "daily", "Write the daily summary (loads, tons, running totals, yield check, charts) of a date or a range");
  auto o = std::make_shared<DailyOptions>();
  cmd->add_option("FILE", o->path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("--date", o->date, "The day, or the first day of the range, MM/DD/YYYY")->required();
  cmd->add_option("--to", o->to, "The last day of the range, MM/DD/YYYY");
  cmd->add_option("-o,--output", o->out, "File to write: *.pdf, *.xlsx or *.csv")->required();
  cmd->callback([o, &exitCode] { exitCode = RunDaily(*o); });
}

}  // namespace tonnage::cli
