#include "data_commands.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "data/outcome.h"
#include "data/section_file.h"
#include "data/session.h"
#include "io/line_reader.h"
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

int CountTickets(const std::string& sectionPath) {
  io::FileLineReader reader(sectionPath);
  int count = 0;
  std::string line;
  while (reader.Next(line)) ++count;
  return count;
}

int RunCheck(const std::string& path) {
  Session session;
  session.keepHistory = false;  // reads only
  const bool ok = OpenQuietly(session, path);
  if (ok) {
    const IndexRecord& ix = session.index;
    std::printf("File:        %s\n", path.c_str());
    std::printf("Layout:      %s\n", ix.fileTypeCode.c_str());
    std::printf("Units:       %s\n", ix.unitSystem == "M" ? "M (metric: kilograms, litres)"
                                                          : "E (English: pounds, gallons)");
    std::printf("Ref No.:     %s\n", ix.refNo.c_str());
    std::printf("Project No.: %s\n", ix.projectNo.c_str());
    std::printf("Date:        %s\n", ix.date.c_str());
    std::printf("Engineer:    %s\n", ix.engineer.c_str());
    std::printf("Books:       %d\n", session.currentBook);
    std::printf("%-4s %-4s %-9s %7s  %s\n", "Book", "Type", "Sp. Grav.", "Tickets", "Comments");
    int total = 0;
    for (int book = 1; book <= session.currentBook; ++book) {
      const BookHeader& h = session.Book(book);
      const int tickets = CountTickets(session.SectionPath(book));
      total += tickets;
      const std::string gravity = FormatMask(ParseLeadingNumber(h.specificGravity), "0.0000");
      std::printf("%4d %-4s %-9s %7d  %s\n", book, h.dataType.c_str(), gravity.c_str(), tickets,
                  h.comments.c_str());
    }
    std::printf("Tickets:     %d\n", total);
  }
  session.Cleanup();
  return ok ? 0 : 1;
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
