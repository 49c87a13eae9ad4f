// Every kind of bad input the program may be given as a data file: each is
// either read or refused with a message, within bounds, and whatever is read
// goes through the grid, the report and a save without harm. Each row of
// docs/robustness.md names its test here.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <random>

#include "../test_files.h"
#include "data/data_file.h"
#include "data/section_file.h"
#include "data/session.h"
#include "entry/book_grid.h"
#include "io/line_reader.h"
#include "report/run_tonnage_report.h"
#include "report/tonnage_run.h"

namespace tonnage {
namespace {

using namespace testing;

const report::RunStamp kStamp{"10/06/2026", "16:05:00"};

// What the user can do with a file once it is open: every book through the
// grid and back, the report, Save As, and the saved file opened again.
struct Workbench {
  Workbench() { EXPECT_TRUE(session.Start(dir.path(), dir.path()).ok()); }
  ~Workbench() { session.Cleanup(); }

  // The outcome of Open; when it succeeds, the rest of the day as well.
  Outcome Use(const std::string& bytes) {
    WriteFile(dir.File("IN.K81"), bytes);
    return UseFile(dir.File("IN.K81"));
  }

  Outcome UseFile(const std::string& path) {
    const Outcome opened = session.Open(path);
    if (!opened) {
      // Nothing of a refused file is kept.
      EXPECT_FALSE(session.Book(1).InUse());
      EXPECT_EQ(session.index.refNo, "");
      EXPECT_FALSE(Exists(session.SectionPath(1)));
      return opened;
    }
    for (int book = 1; book <= session.currentBook; ++book) {
      BookGrid grid;
      LoadBookIntoGrid(session, book, grid);
      EXPECT_TRUE(SaveGridToBook(session, book, grid).ok()) << "book " << book;
    }
    EXPECT_TRUE(session.WriteWorkFile().ok());
    const Outcome run = report::RunTonnageReport(session.workFolder().path(), kStamp);
    EXPECT_TRUE(run.ok()) << run.message;
    spool = ReadFile(session.workFolder().File("PRINT.SPL"));
    EXPECT_FALSE(spool.empty());
    EXPECT_TRUE(session.SaveAs(dir.File("OUT.K81")).ok());
    // What was saved opens again and saves to the same bytes.
    const std::string saved = ReadFile(dir.File("OUT.K81"));
    EXPECT_TRUE(session.Open(dir.File("OUT.K81")).ok());
    EXPECT_TRUE(session.SaveAs(dir.File("AGAIN.K81")).ok());
    EXPECT_TRUE(ReadFile(dir.File("AGAIN.K81")) == saved);
    return opened;
  }

  ScratchFolder dir;
  Session session;
  std::string spool;
};

std::string Sample() { return ReadFile(SamplePath("us-standard-tickets.K81")); }

TEST(BadInput, TruncatedFilesAreReadUpToTheCut) {
  const std::string whole = Sample();
  Workbench bench;
  for (std::size_t cut = 0; cut < whole.size(); cut += 97) {
    const Outcome r = bench.Use(whole.substr(0, cut));
    // Only a cut inside the index line's first columns makes it no data file.
    EXPECT_EQ(r.ok(), cut >= 5) << cut << ": " << r.message;
  }
}

TEST(BadInput, BinaryBytesAreReadOrRefusedNeverHarmful) {
  std::mt19937 random(81);
  const std::string index = Sample().substr(0, Sample().find('\n') + 1);
  Workbench bench;
  int refused = 0;
  for (int round = 0; round < 40; ++round) {
    std::string bytes(1 + random() % 3000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    // Half behind a good index line, half on their own.
    if (round % 2 == 0) bytes = index + "* 0 1.0200 BOOK\r\n" + bytes;
    refused += !bench.Use(bytes).ok();
  }
  EXPECT_GE(refused, 20) << "random bytes with no index line are no data file";
}

// Each refused after a file was open; a long line within the bound is no
// reason to refuse one.
TEST(BadInput, RefusedFilesSayWhyAndKeepNothing) {
  std::string wide = Sample(), tooWide = Sample();
  const std::size_t third = wide.find('\n', wide.find('\n', wide.find('\n') + 1) + 1) + 1;
  wide.insert(wide.find("\r\n", third), std::string(4000, ' '));
  tooWide.insert(third, std::string(1 << 20, '7') + "\r\n");
  Workbench bench;
  const std::string huge = bench.dir.File("HUGE.K81"), zeros = bench.dir.File("ZEROS.K81"),
                    fifo = bench.dir.File("PIPE.K81");
  WriteFile(bench.dir.File("LONG.K81"), tooWide);
  // 2 GB without the disk space: a sparse file.
  const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, "CST81", 5, 0), 5);
  ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
  ::close(fd);
  // Just under the bound but nothing but zeros: refused on its first line,
  // after reading a few kilobytes of it.
  WriteFile(zeros, "");
  ASSERT_EQ(::truncate(zeros.c_str(), static_cast<off_t>(kMaxDataFileBytes)), 0);
  // Nobody writes to the pipe: reading it would wait for ever.
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string notAFile = "Not a file but a device, pipe or folder - Select Another File!";
  const struct {
    std::string path;
    OutcomeKind kind;
    std::string message;
  } cases[] = {
      {huge, OutcomeKind::InvalidFile, "The file is 2048 MB, far too large for a data file - Select Another File!"},
      {zeros, OutcomeKind::BadLine, "Line 1 is longer than 4096 characters - Select Another File!"},
      {bench.dir.File("LONG.K81"), OutcomeKind::BadLine,
       "Line 4 is longer than 4096 characters - Select Another File!"},
      {"/dev/zero", OutcomeKind::InvalidFile, notAFile},
      {fifo, OutcomeKind::InvalidFile, notAFile},
      {bench.dir.File(""), OutcomeKind::InvalidFile, notAFile},
      // Deleted between choosing it and reading it.
      {bench.dir.File("DELETED.K81"), OutcomeKind::IoError,
       "Cannot open " + bench.dir.File("DELETED.K81") + ": No such file or directory"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(bench.Use(wide).ok());
    const Outcome r = bench.UseFile(c.path);
    EXPECT_EQ(r.kind, c.kind) << c.path;
    EXPECT_EQ(r.title, c.kind == OutcomeKind::IoError ? "File Error" : "File Input Error") << c.path;
    EXPECT_EQ(r.message, c.message);
  }
}

// Every numeric column given negative, tiny, huge and non-numeric values,
// one book for each, and a book of dates outside month/day/year, in one file.
// A NUL is one more character, in a number or in a book's comments.
TEST(BadInput, NegativeAndHugeNumbersInEveryNumericColumnAndDatesOutsideMonthDayYear) {
  // clang-format off
  const std::vector<std::string> values = {
      "-99999", "-0.0005", "-1", "0",  "99999999",           "1E300",
      "12.5.6", ".",       "-",  "+7", std::string(40, '9'), std::string(400, '9'), std::string("300\0" "56", 6)};
  // clang-format on
  std::string text = "CST81 4417    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
  int books = 0;
  for (const std::string type : {"0", "1", "2"}) {
    for (const std::string& v : values) {
      // The value in each of page, gross, tare, net and percent bitumen, and
      // as the book's specific gravity. Each ticket comes twice: as the
      // program writes it, and typed by hand with single blanks between
      // fields, so an over-long value pushes the rest of the line along.
      for (int column = 0; column < 6; ++column) {
        TicketRow row{{"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""}};
        const std::size_t fields[] = {0, 2, 3, 4, 5};
        std::string gravity = "1.0200";
        if (column < 5)
          row.cells[fields[column]] = v;
        else
          gravity = v;
        std::string typed = row.cells[0];
        for (std::size_t f = 1; f < row.cells.size(); ++f) typed += " " + row.cells[f];
        text += "* " + type + " " + gravity + " BOOK " + std::to_string(++books) + "\r\n" +
                FormatTicketLine(row, "E", type) + "\r\n" + typed + "\r\n";
      }
    }
  }
  text += std::string("* 0 1.0200 DATES \0KEPT\r\n", 24);
  ++books;
  int page = 1201;
  for (const std::string date : {"13/45/2026", "00/00/0000", "AB/CD/EFGH", "2026-09-28", "9/8/26", "99/99/9999",
                                 "          ", "02/30/2026", "12/31/1899", "01/01/2101", "-1/-1/-001", "//////////"})
    text += FormatTicketLine({{std::to_string(page++), date, "77756", "30056", "47700", "5.6"}}, "E", "0") + "\r\n";
  Workbench bench;
  const Outcome r = bench.Use(text);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(bench.session.currentBook, books);
  EXPECT_EQ(bench.session.Book(books).comments, std::string("DATES \0KEPT", 11));
  // Each date makes its own line in the table of dates; none is lost.
  EXPECT_NE(bench.spool.find("13/45/2026"), std::string::npos);
  EXPECT_NE(bench.spool.find("AB/CD/EFGH"), std::string::npos);
  // Every book made its totals, however wild its numbers.
  std::size_t totals = 0;
  for (std::size_t at = bench.spool.find("BOOK TOTAL"); at != std::string::npos;
       at = bench.spool.find("BOOK TOTAL", at + 1))
    ++totals;
  EXPECT_EQ(totals % static_cast<std::size_t>(books), 0u);
  EXPECT_GE(totals, static_cast<std::size_t>(books));
}

TEST(BadInput, AFileGrowingWhileReadStopsAtTheBound) {
  ScratchFolder dir;
  const std::string path = dir.File("GROWS.K81");
  const std::string line50(49, 'x');
  std::string start;
  for (int i = 0; i < 2000; ++i) start += line50 + "\n";  // 100 kB, within the bound
  WriteFile(path, start);
  io::FileLineReader reader(path, {true, 150000, 100});
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  {
    // Someone appends a megabyte behind the reader's back.
    std::ofstream more(path, std::ios::binary | std::ios::app);
    for (int i = 0; i < 20000; ++i) more << line50 << "\n";
  }
  int lines = 1;
  while (reader.Next(line)) ++lines;
  EXPECT_EQ(reader.refusal(), io::Refusal::TooLarge);
  EXPECT_GE(lines, 2000);
  EXPECT_LE(lines, 150000 / 50);
}

}  // namespace
}  // namespace tonnage
