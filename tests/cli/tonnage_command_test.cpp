// The tonnage command as a script would call it.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "../core/test_files.h"

namespace {

using namespace tonnage::testing;

struct CliRun {
  int exitCode;
  std::string out, err;
};

CliRun Tonnage(const std::string& args) {
  ScratchFolder dir;
  const std::string cmd = std::string(TONNAGE_CLI_PATH) + " " + args + " >" + dir.File("out") + " 2>" + dir.File("err");
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir.File("out")), ReadFile(dir.File("err"))};
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Usage errors end with 2, refused files and failed writes with 1, saying why
// (each way a write can fail is the core's test).
TEST(TonnageCommand, UsageErrorsRefusalsAndFailedWritesSayWhyAndKeepTheOldFile) {
  ScratchFolder dir;
  WriteFile(dir.File("bad.K81"), "HELLO\r\n");
  WriteFile(dir.File("keep.PRN"), "an older report\r\n");
  const std::string sample = SamplePath("us-standard-tickets.K81"), invalid = "Invalid File - Select Another File!";
  const std::string bad = dir.File("bad.K81"), csv = " -o " + dir.File("x.csv");
  // clang-format off
  for (const auto& [args, exitCode, says] : std::vector<std::tuple<std::string, int, std::string>>{
      {"check", 2, ""},
      {"frobnicate x", 2, ""},
      {"report", 2, ""},
      {"report /no/such/missing.K81", 2, ""},
      {"report " + sample + " --run-date 2026-07-01", 2, ""},
      {"report " + sample + " --run-time 25:00:00", 2, ""},
      {"check " + bad, 1, invalid},
      {"export " + bad, 1, invalid},
      {"report " + bad + " -o " + dir.File("keep.PRN"), 1, invalid},
      {"report " + sample + " -o /dev/full", 1, "/dev/full: No space left on device"},
      {"resave " + sample + " -o /dev/full", 1, "/dev/full: No space left on device"},
      {"daily " + sample + " --date 01/05/2026" + csv, 1, ""},  // no ticket that day
      {"daily " + bad + " --date 09/28/2026" + csv, 1, invalid},
      {"daily " + sample + " --date 09/28/2026 -o " + dir.File("x.txt"), 2, ""},
      {"daily " + sample + " --date 2026-09-28" + csv, 2, ""},
      {"daily " + sample + " --date 09/30/2026 --to 09/28/2026" + csv, 2, ""},
      {"daily " + sample + csv, 2, ""},
  }) {
    // clang-format on
    const CliRun run = Tonnage(args);
    EXPECT_EQ(run.exitCode, exitCode) << args;
    EXPECT_PRED2(Has, run.err, says) << args;
    EXPECT_EQ(run.out, "") << args;
  }
  EXPECT_EQ(ReadFile(dir.File("keep.PRN")), "an older report\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 2u) << "nothing written beside the files";
  EXPECT_PRED2(Has, Tonnage("--version").out, "4.2.1");
}

// The spools of the samples on stdout are the report cases'; here the file
// replaced in place, the other spelling of the options and the clock.
TEST(TonnageCommand, CheckListsTheBooksAndReportReplacesTheNamedFile) {
  CliRun r = Tonnage("check " + SamplePath("metric-with-tons-book.K81"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (const char* line : {"Units:       M", "Engineer:    D. OKONKWO-BRANDT", "Tickets:     33",
                           "   2 1    0.0000         12  BASE COURSE AC 20 KM 12.4-14.1"})
    EXPECT_PRED2(Has, r.out, line);
  ScratchFolder dir;
  WriteFile(dir.File("old.PRN"), "an older report\r\n");
  r = Tonnage("report " + SamplePath("batch-plant-gravities.K81") + " -o " + dir.File("old.PRN") +
              " --date 07-01-2026 --time 14:05:09");
  EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(0, "")) << r.err;
  EXPECT_EQ(ReadFile(dir.File("old.PRN")),
            ReadFile(std::string(TONNAGE_TESTDATA_DIR) + "/report/samples/batch-plant-gravities.SPL"));
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);  // no temporary beside it
  r = Tonnage("report " + SamplePath("us-standard-tickets.K81"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string line = r.out.substr(r.out.find(" PROGRAM HARKST81"), 78);
  EXPECT_EQ(line.substr(35, 1) + line.substr(59, 1) + line.substr(68, 4), "/:PAGE");
}

// `tonnage ... | head -1`: the reader is gone before the first line, so the
// command dies of SIGPIPE at its first write. $TMPDIR must be as it was.
int RunIntoClosedPipe(const std::string& tmpdir, const char* command, const std::string& file) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  ::close(fds[0]);
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    ::setenv("TMPDIR", tmpdir.c_str(), 1);
    ::dup2(fds[1], 1);
    std::freopen("/dev/null", "w", stderr);
    ::execl(TONNAGE_CLI_PATH, TONNAGE_CLI_PATH, command, file.c_str(), nullptr);
    ::_exit(127);
  }
  ::close(fds[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(TonnageCommand, ACommandCutShortByAClosedPipeLeavesNothingInTmpdir) {
  ScratchFolder dir;
  std::string big = "CST81 4417    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
  for (int line = 0; line < 60 * 201; ++line)
    big += line % 201 ? "001201 09/28/2026 77756     30056     47700      5.600      \r\n" : "* 0 0.0000 LOT\r\n";
  WriteFile(dir.File("BIG.K81"), big);
  ::mkdir(dir.File("tmp").c_str(), 0700);
  for (const char* command : {"check", "report", "export"}) {
    const int status = RunIntoClosedPipe(dir.File("tmp"), command, dir.File("BIG.K81"));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << command << " status " << status;
    EXPECT_EQ(ListFolder(dir.File("tmp")), std::vector<std::string>{}) << command;
  }
}

// Sample exports into their sample jobs (kilograms into a metric book, a
// quoted file with a byte-order mark and a column named by hand): the counts
// printed, the tickets in the data file after it, and exactly the
// differences planted in the export. Short tons are the core's import test.
// The export before the import is written to a file; one of its rows.
TEST(TonnageCommand, ExportThenImportAndReconcileOfTheSampleExports) {
  const struct {
    const char *job, *csv, *map, *row, *counts, *added, *reconciled;
  } samples[] = {
      {"metric-with-tons-book.K81", "eticket-semicolons-kg.csv", "",
       "\r\n2,BASE COURSE AC 20 KM 12.4-14.1,1,0.0000,5522,2026-08-31,35105,14856,20249,20249,20249,kg,4.400,,,,\r\n",
       "imported: 2\nduplicate of a ticket in the book: 20\nduplicate of a ticket earlier in the file: 1\n"
       "refused: 1\nrefused, no weights: 1\n",
       "1,WEARING COURSE AC 14 KM 12.4-14.1,0,0.0000,5534,2026-09-02,36218.5,13962,22256.5,22256.5,22256.5,kg,5.200,"
       "|1,WEARING COURSE AC 14 KM 12.4-14.1,0,0.0000,5535,2026-09-02,33874,14105.5,19768.5,",
       "matched: 19\nweights differ: 1\ne-ticket only: 2\nbook only: 1\nduplicate e-ticket: 1\n"
       "duplicate in book: 0\ngap in e-ticket numbers: 2\n"
       "weights differ             5506       08/27/2026 tare e-ticket 14351.000, book 14315.000 (+36); "
       "net e-ticket 23445.000, book 23481.000 (-36)\n"},
      {"checks-page-order-and-weights.K81", "eticket-quoted-bom.csv", "--map 'truck=Hauler / Truck'",
       "\r\n1,OVERLAY SP 12.5 TH 61 MILE 14 TO "
       "19,0,0.0000,7301,2026-06-16,71240,29880,41360,41360,41360,lb,5.400,,,,\r\n",
       "imported: 2\nduplicate of a ticket in the book: 9\nduplicate of a ticket earlier in the file: 0\n"
       "refused: 1\nrefused, wrong number of fields: 1\n",
       ",7308,2026-06-17,70440,30010,40430,|,7311,2026-06-18,72650,30150,42500,",
       "matched: 7\nweights differ: 2\ne-ticket only: 2\nbook only: 0\nduplicate e-ticket: 0\n"
       "duplicate in book: 1\ngap in e-ticket numbers: 0\n"
       "weights differ             7305       06/17/2026 gross e-ticket 70180, book 29940 (+40240); "
       "tare e-ticket 29940, book 70180 (-40240)\n"
       "weights differ             7306       06/17/2026 net e-ticket 38660, book 38600 (+60)\n"
       "e-ticket only              7308       06/17/2026 no ticket 7308 in the book\n"
       "e-ticket only              7311       06/18/2026 no ticket 7311 in the book\n"
       "duplicate in book          7307       06/17/2026 page 7307 is in the book again\n"},
  };
  for (const auto& s : samples) {
    ScratchFolder dir;
    const std::string job = dir.File(s.job), csv = SamplePath(s.csv);
    WriteFile(job, ReadFile(SamplePath(s.job)));
    ASSERT_EQ(Tonnage("export " + job + " -o " + dir.File("before.csv")).exitCode, 0);
    const std::string before = ReadFile(dir.File("before.csv"));
    EXPECT_PRED2(Has, before, s.row);
    CliRun r = Tonnage("import " + job + " " + csv + " --book 1 " + s.map);
    ASSERT_EQ(r.exitCode, 0) << s.csv << r.err;
    EXPECT_EQ(r.out.rfind(s.counts, 0), 0u) << r.out;
    // The file as found starts its history; the import's entry holds only what it added.
    const std::string history = Tonnage("history " + job).out;
    const std::size_t entry = history.find(std::string("save: imported from ") + s.csv + ", rows ");
    ASSERT_NE(entry, std::string::npos) << history;
    EXPECT_EQ(history.substr(history.find('\n', entry) + 1, 23), "    book 1 (2 tickets)\n") << history;
    // The old tickets and the new ones: two lines more, each of them found.
    const std::string after = Tonnage("export " + job).out, added = s.added;
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n') + 2);
    EXPECT_PRED2(Has, after, added.substr(0, added.find('|')));
    EXPECT_PRED2(Has, after, added.substr(added.find('|') + 1));
    r = Tonnage("reconcile " + SamplePath(s.job) + " " + csv + " --book 1");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind(s.reconciled, 0), 0u) << r.out;
  }
}

// An import refused whole changes nothing and starts no history; resave
// starts it, and verify catches edits made behind the program's back.
TEST(TonnageHistory, RefusedImportsLeaveTheFileAloneAndVerifyCatchesEdits) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81"), one = "Ticket,Date,Net (lb)\n1,10/01/2026,40000\n";
  WriteFile(job, ReadFile(SamplePath("us-standard-tickets.K81")));
  // The reasons are the core's; one refused reading and one refused preview.
  // clang-format off
  for (const auto& [csv, args, says, exitCode] : std::vector<std::tuple<std::string, std::string, std::string, int>>{
      {"Ticket,Date,Net (lb)\n1201,02/30/2026,40000\n", "--book 1", "refused, not a date: 1", 1},
      {one, "--book 9", "Book 9 is not in use", 1},
      {one, "", "--book N or --book-per-mix", 2},
      {one, "--book 1 --map weight=Net", "FIELD=COLUMN", 2},
  }) {
    // clang-format on
    WriteFile(dir.File("t.csv"), csv);
    const CliRun r = Tonnage("import " + job + " " + dir.File("t.csv") + " " + args);
    EXPECT_EQ(r.exitCode, exitCode) << says;
    EXPECT_PRED2(Has, r.out + r.err, says);
  }
  EXPECT_EQ(ReadFile(job), ReadFile(SamplePath("us-standard-tickets.K81")));
  EXPECT_EQ(ListFolder(dir.path()).size(), 2u) << "no backup, no history: nothing was saved";
  EXPECT_EQ(Tonnage("verify " + job).exitCode, 1);  // no history yet
  ASSERT_EQ(Tonnage("resave " + job + " -o " + job).exitCode, 0);
  CliRun r = Tonnage("verify " + job);
  EXPECT_EQ(r.exitCode, 0) << r.err;

  // A weight typed over in a text editor: named by book, page and field.
  std::string text = ReadFile(job);
  const std::size_t at = text.find("001202 09/28/2026 72708     29773     42935");
  ASSERT_NE(at, std::string::npos);
  WriteFile(job, text.replace(at + 38, 5, "42953"));
  r = Tonnage("verify " + job);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_PRED2(Has, r.err, "book 1 page 001202 Net Weight: 42935 -> 42953");

  // The next write records it as an outside change, with the resave's reason after it.
  EXPECT_PRED2(Has, Tonnage("resave " + job + " -o " + job + " --reason \"ticket reprinted\"").err,
               "changed outside the program");
  EXPECT_EQ(Tonnage("verify " + job).exitCode, 0);
  r = Tonnage("history " + job + " --book 1 --page 1202 --csv");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_PRED2(Has, r.out, ",outside,changed outside the program,ticket changed,1,1,001202,Net Weight,42935,42953\r\n");
  EXPECT_PRED2(Has, r.out, ",start,");  // the ticket as first found
  EXPECT_EQ(Tonnage("history " + job + " --book 2 --page 1202").out, "");

  // An entry edited with the sqlite3 tool.
  const std::string edit = "sqlite3 " + job + ".history \"UPDATE change SET new = '42935' WHERE field = 'Net Weight'\"";
  ASSERT_EQ(std::system(edit.c_str()), 0);
  r = Tonnage("verify " + job);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_PRED2(Has, r.err, "was altered");
}

// The daily summary in its three forms; the spreadsheet read back by a
// second reader and held against the CSV, the PDF's pages counted.
TEST(TonnageCommand, DailyWritesCsvSpreadsheetAndPdfAndRefusesWhatItCannot) {
  ScratchFolder dir;
  const std::string daily = "daily " + SamplePath("us-standard-tickets.K81") + " --date 09/28/2026 --to 10/02/2026 -o ";
  for (const char* name : {"day.csv", "day.xlsx"}) EXPECT_EQ(Tonnage(daily + dir.File(name)).exitCode, 0) << name;
#ifdef TONNAGE_DAILY_PDF
  EXPECT_EQ(Tonnage(daily + dir.File("day.pdf")).exitCode, 0);
  const std::string pages = "pdfinfo " + dir.File("day.pdf") + " | grep -q '^Pages: *[3-9]'";
  EXPECT_EQ(std::system(pages.c_str()), 0) << pages << " (pdfinfo is in poppler-utils)";
#else
  EXPECT_EQ(Tonnage(daily + dir.File("day.pdf")).exitCode, 2);
#endif
  const std::string check = "/usr/bin/python3 " + std::string(TONNAGE_TESTDATA_DIR) + "/../tools/check_daily_xlsx.py " +
                            dir.File("day.xlsx") + " " + dir.File("day.csv");
  EXPECT_EQ(std::system(check.c_str()), 0) << check;
}

}  // namespace
