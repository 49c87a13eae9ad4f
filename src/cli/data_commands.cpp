#include "data_commands.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/outcome.h"
#include "data/session.h"
#include "io/file_writer.h"
#include "text/fixed_width.h"

namespace tonnage::cli {

bool OpenQuietly(Session& session, const std::string& path) {
  if (Outcome started = session.Start("."); !started) {
    std::fprintf(stderr, "tonnage: %s\n", started.message.c_str());
    return false;
  }
  if (Outcome opened = session.Open(path); !opened) {
    std::fprintf(stderr, "%s: %s\n", opened.title.c_str(), opened.message.c_str());
    return false;
  }
  if (!session.openNotice.empty()) std::fprintf(stderr, "tonnage: %s\n", session.openNotice.c_str());
  return true;
}

// True when `a` and `b` name one file (or would, once `b` is written).
static bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) ||
         std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

namespace {

// check and resave read the file as it stands, one book at a time: no work
// files, so a run cut short leaves nothing behind.
void PrintRefusal(const Outcome& why) { std::fprintf(stderr, "%s: %s\n", why.title.c_str(), why.message.c_str()); }

int RunCheck(const std::string& path) {
  DataFileReader reader(path);
  IndexRecord ix;
  if (!reader.ReadIndex(ix)) {
    PrintRefusal(reader.outcome());
    return 1;
  }
  // A book line is printed only once the whole file has been read, as Open
  // refuses a file it cannot read to the end.
  std::string books;
  int total = 0;
  BookHeader h;
  std::vector<std::string> tickets;
  while (reader.NextBook(h, tickets)) {
    const int tickets_in_book = static_cast<int>(tickets.size());
    total += tickets_in_book;
    const std::string gravity = FormatMask(ParseLeadingNumber(h.specificGravity), "0.0000");
    char line[64];
    std::snprintf(line, sizeof line, "%4d %-4s %-9s %7d  ", reader.bookCount(), h.dataType.c_str(), gravity.c_str(),
                  tickets_in_book);
    books += line + h.comments + "\n";
  }
  if (!reader.outcome().ok()) {
    PrintRefusal(reader.outcome());
    return 1;
  }
  std::printf("File:        %s\n", path.c_str());
  std::printf("Layout:      %s\n", ix.fileTypeCode.c_str());
  std::printf("Units:       %s\n",
              ix.unitSystem == "M" ? "M (metric: kilograms, litres)" : "E (English: pounds, gallons)");
  std::printf("Ref No.:     %s\n", ix.refNo.c_str());
  std::printf("Project No.: %s\n", ix.projectNo.c_str());
  std::printf("Date:        %s\n", ix.date.c_str());
  std::printf("Engineer:    %s\n", ix.engineer.c_str());
  std::printf("Books:       %d\n", reader.bookCount());
  std::printf("%-4s %-4s %-9s %7s  %s\n", "Book", "Type", "Sp. Grav.", "Tickets", "Comments");
  std::fputs(books.c_str(), stdout);
  std::printf("Tickets:     %d\n", total);
  return 0;
}

int RunResave(const std::string& path, const std::string& out, const std::string& reason) {
  Session session;
  session.program = "tonnage resave";
  // The file read is recorded only when it is also the file written: its
  // history then shows first what changed outside, then what the resave did.
  session.keepHistory = SameFile(path, out);
  bool ok = OpenQuietly(session, path);
  session.keepHistory = true;
  session.saveReason = reason;
  if (ok) {
    if (Outcome saved = session.SaveAs(out); !saved) {
      std::fprintf(stderr, "Save Error: %s\n", saved.message.c_str());
      ok = false;
    }
  }
  session.Cleanup();
  return ok ? 0 : 1;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("check", "Read a data file as Open does and list its books");
  auto path = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->callback([path, &exitCode] { exitCode = RunCheck(*path); });
}

void AddResaveCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("resave", "Write a data file back as Open then Save As would");
  auto path = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  auto reason = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "Data file to read (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("-o,--output", *out, "File to write")->required();
  cmd->add_option("--reason", *reason, "Reason recorded in the written file's history");
  cmd->callback([path, out, reason, &exitCode] { exitCode = RunResave(*path, *out, *reason); });
}

}  // namespace tonnage::cli
