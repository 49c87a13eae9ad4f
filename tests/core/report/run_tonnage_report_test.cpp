// The run over the work folder: PRINT.SPL appears whole or not at all.
#include "report/run_tonnage_report.h"

#include <gtest/gtest.h>

#include "../test_files.h"
#include "data/work_folder.h"
#include "report/ticket_export.h"
#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace tonnage::testing;
using namespace tonnage::report::testing;

std::string SmallWork() {
  return Image({IndexLine(), BookLine("0", "0.0000", "SURFACE COURSE SP 12.5 NB LANES"),
                Ticket(1201, "09/28/2026", "77756", "30056", "47700", "5.600"),
                Ticket(1203, "09/28/2026", "72708", "29773", "42936", "5.600")});
}

// A season's report runs to hundreds of kilobytes: its main part comes back
// from the scratch file in pieces, and the page-number lines fall across the
// pieces' edges at one length of the book comments or another. Error pages
// in front (page-order mistakes) make every main page's number change.
TEST(RunTonnageReport, ALongReportComesBackWholeAndRenumbered) {
  for (int shift = 0; shift < 12; ++shift) {
    std::vector<std::string> lines{IndexLine()};
    for (int book = 1; book <= 40; ++book) {
      const std::string comments = "BOOK " + std::to_string(book) + " BASE COURSE" + std::string(shift, '.');
      lines.push_back(BookLine(book % 3 == 1 ? "1" : "0", "0.0000", comments));
      for (int p = 1; p <= 200; ++p) {
        const std::string date = "0" + std::to_string(3 + p / 50) + "/1" + std::to_string(p % 10) + "/2026";
        const int page = book * 1000 + p + (p % 37 == 0 ? 1 : 0);
        const bool tons = book % 3 == 1;
        lines.push_back(Ticket(page, date, tons ? "35.120" : std::to_string(70000 + p), tons ? "14.420" : "29960",
                               tons ? "20.700" : std::to_string(40040 + p), "5.600"));
      }
    }
    const std::string work = Image(lines);
    ScratchFolder dir;
    WriteFile(dir.File(kVersionFileName), kVersion + "\r\n");
    WriteFile(dir.File(kWorkFileName), work);
    ASSERT_TRUE(RunTonnageReport(dir.path(), kStamp).ok());
    const std::string spool = ReadFile(dir.File(kSpoolFileName));
    ASSERT_GT(spool.size(), 500000u);
    ASSERT_EQ(spool, MakeReportSpool(work, kVersion, kStamp)) << "comments longer by " << shift;
  }
}

TEST(RunTonnageReport, SaysWhichInputIsMissingOrWritesTheWholeSpool) {
  ScratchFolder dir;
  WriteFile(dir.File(kSpoolFileName), "an old report\r\n");
  Outcome run = RunTonnageReport(dir.path(), kStamp);
  EXPECT_TRUE(run.kind == OutcomeKind::IoError && run.message.find(kVersionFileName) != run.message.npos)
      << run.message;
  WriteFile(dir.File(kVersionFileName), "  PRAX V4.2.1 04/2006  \r\n");
  run = RunTonnageReport(dir.path(), kStamp);
  EXPECT_NE(run.message.find(kWorkFileName), std::string::npos) << run.message;
  EXPECT_EQ(ReadFile(dir.File(kSpoolFileName)), "an old report\r\n");

  WriteFile(dir.File(kWorkFileName), SmallWork());
  ASSERT_TRUE(RunTonnageReport(dir.path(), kStamp).ok());
  // The version text without the blanks around it.
  EXPECT_EQ(ReadFile(dir.File(kSpoolFileName)), MakeReportSpool(SmallWork(), "PRAX V4.2.1 04/2006", kStamp));
  EXPECT_FALSE(Exists(dir.File(kScratchSpoolFileName)));
}

TEST(TicketExport, OneRowPerTicketWithTheErrorsFound) {
  struct Rows : LineSink {
    void WriteLine(std::string_view l) override { rows.emplace_back(l); }
    std::vector<std::string> rows;
  } csv;
  const std::string image = Image({IndexLine(), BookLine("1", "0.0000", "BASE, \"TONS\" BOOK"),
                                   Ticket(7, "06/16/2026", "12.500", "2.500", "10.000", "5.200", true, false, true),
                                   Ticket(9, "06/16/2026", "2.500", "12.500", "10.000"),
                                   Ticket(10, "06/17/2026", "", "", "", "", false, true)});
  io::StringLineSource work(image);
  ASSERT_TRUE(ExportTickets(work, csv));
  ASSERT_EQ(csv.rows.size(), 4u);
  EXPECT_EQ(csv.rows[0],
            "Book,Comments,Data Type,Specific Gravity,Page,Date,Gross or Agg Weight,Tare or Bit "
            "Weight,Net or Tot Weight,THEO,KP,Unit,Pct Bitumen,Priv Waste,Void,Note,Errors");
  const std::string book = "1,\"BASE, \"\"TONS\"\" BOOK\",1,0.0000,";
  EXPECT_EQ(csv.rows[1], book + "7,2026-06-16,25000,5000,20000,20000,20000,lb,5.200,Y,,Y,");
  EXPECT_EQ(csv.rows[2], book +
                             "9,2026-06-16,5000,25000,20000,-20000,20000,lb,,,,,"
                             "PAGE ORDER; GROSS LESS THAN TARE; THEO/KP MISMATCH");
  EXPECT_EQ(csv.rows[3], book + "10,2026-06-17,,,,0,0,lb,,,Y,,");
  io::StringLineSource bad("HELLO\r\n");
  EXPECT_FALSE(ExportTickets(bad, csv));
}

}  // namespace
}  // namespace tonnage::report
