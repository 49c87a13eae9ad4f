#include "import/ticket_details.h"

#include <gtest/gtest.h>

#include "../entry/entry_fixture.h"
#include "import/import_undo.h"
#include "daily/daily_tables.h"
#include "data/work_folder.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace tonnage::import {
namespace {

using namespace tonnage::testing;

constexpr const char* kExport =
    "Ticket Number,Load Date,Load Time,Truck No,Mix ID,Gross Tons,Tare Tons,Net Tons,Plant\n"
    "27001257,10/03/2026,06:58,T-101,SP 9.5 SHOULDER,38.71,15.02,23.69,HALVORSEN PLANT 2\n"
    "27001258,10/03/2026,2:15 PM,T-108,SP 9.5 SHOULDER,36.12,14.88,21.24,HALVORSEN PLANT 2\n";

class DetailsTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    session.Book(1) = {"BASE COURSE SP 19.0", "0", "0"};
    WriteFile(session.SectionPath(1), "001101 10/01/2026 79120     30100     49020      4.900      \r\n");
    session.Book(2) = {"SHOULDERS SP 9.5", "0", "0"};
    WriteFile(session.SectionPath(2), "001256 10/02/2026 76980     30040     46940      5.600      \r\n");
    job = scratch.File("JOB.K81");
    ASSERT_TRUE(session.SaveAs(job).ok());
  }
  ImportPreview Preview() { return Preview(ReadCsvText(kExport), 2); }
  ImportPreview Preview(const CsvTable& csv, int book) {
    table = csv;
    ImportOptions options;
    options.columns = RecognizeColumns(table.header);
    options.book = book;
    return PreviewImport(table, options, session);
  }
  std::string job;
  CsvTable table;
};

TEST_F(DetailsTest, KeptWithTheSaveAndFollowTheBookWhenItIsRenumbered) {
  const ImportPreview p = Preview();
  ASSERT_TRUE(p.counts.import == 2 && ApplyImport(session, p).ok());
  QueueImportDetails(session, p, "loads.csv");
  EXPECT_FALSE(FindTicketDetails(session.store(), 2, 1257)) << "nothing before the save";
  ASSERT_TRUE(PendingImports(session).size() == 1u && session.Save().ok());
  EXPECT_TRUE(PendingImports(session).empty());
  EXPECT_EQ(session.store().LastEntry()->reason, "imported from loads.csv, rows 2-3");
  const TicketDetails kept = FindTicketDetails(session.store(), 2, 1258).value_or(TicketDetails{});
  EXPECT_EQ(kept, (TicketDetails{2, 1258, "27001258", "2:15 PM", "T-108", "SP 9.5 SHOULDER", "HALVORSEN PLANT 2",
                                 "loads.csv", 3}));
  EXPECT_EQ(TicketDetailsText(kept),
            "E-ticket 27001258, loaded 2:15 PM, truck T-108, mix SP 9.5 SHOULDER, plant HALVORSEN PLANT 2\n"
            "Imported from loads.csv, row 3");

  // Book 1 deleted: the imported book is the file's first from now on.
  session.Book(1) = {};
  io::RemoveQuietly(session.SectionPath(1));
  ASSERT_TRUE(session.Save().ok());
  EXPECT_EQ(std::pair(BookTicketDetails(session.store(), 2).size(), BookTicketDetails(session.store(), 1).size()),
            std::pair(std::size_t{0}, std::size_t{2}));
  EXPECT_EQ(FileBookNumber(session.books, 2), 1);
}

TEST_F(DetailsTest, UndoImportPutsTheBooksBackAndKeepsTheDetailsOut) {
  const std::string before = Section(2);
  const ImportPreview p = Preview();
  session.saveReason = "index record typed";
  ImportUndo undo = PrepareImportUndo(session, p);
  ASSERT_TRUE(ApplyImport(session, p).ok());
  FinishImportUndo(undo, session, QueueImportDetails(session, p, "loads.csv"));
  EXPECT_EQ(session.saveReason, "index record typed; imported from loads.csv, rows 2-3");
  ASSERT_TRUE(CanUndoImport(session, undo) && UndoImport(session, undo).ok());
  EXPECT_TRUE(PendingImports(session).empty() && Section(2) == before && !session.Modified());
  EXPECT_EQ(session.saveReason, "index record typed");
  EXPECT_FALSE(UndoImport(session, undo).ok()) << "spent";
  ASSERT_TRUE(session.Save().ok());
  EXPECT_TRUE(BookTicketDetails(session.store(), 2).empty());

  // A change after the import, or a save, ends what undo may take back.
  for (const bool save : {false, true}) {
    undo = PrepareImportUndo(session, Preview());
    ASSERT_TRUE(ApplyImport(session, Preview()).ok());
    FinishImportUndo(undo, session, nullptr);
    if (save) {
      ASSERT_TRUE(session.Save().ok());
    } else {
      session.index.engineer = "R. HALVORSEN";
    }
    EXPECT_FALSE(CanUndoImport(session, undo)) << save;
    WriteFile(session.SectionPath(2), before);
  }
}

// The short-tons sample into its job: loads 1257 (07:12) and 1258 (07:40)
// are the only timed loads of 10/03/2026.
TEST_F(DetailsTest, LoadsByHourOfAnImportedSample) {
  job = scratch.File("us-standard-tickets.K81");
  WriteFile(job, ReadFile(SamplePath("us-standard-tickets.K81")));
  ASSERT_TRUE(session.Open(job).ok());
  const ImportPreview p = Preview(ReadCsvFile(SamplePath("eticket-short-tons.csv")), 3);
  ASSERT_TRUE(ApplyImport(session, p).ok());
  QueueImportDetails(session, p, "eticket-short-tons.csv");
  ASSERT_TRUE(session.Save().ok());
  ASSERT_TRUE(session.WriteWorkFile().ok());
  io::FileLineReader work(session.workFolder().File(kWorkFileName));
  const daily::DailyResult r =
      daily::SummarizeDays(work, "20261003", "20261003", {StoredLoadTimes(session.store()), {}});
  ASSERT_EQ(r.summary.days.size(), 1u);
  EXPECT_EQ(std::tuple(r.summary.days[0].loadsByHour, r.summary.days[0].timedLoads),
            std::tuple((std::array<int, 24>{0, 0, 0, 0, 0, 0, 0, 2}), 2));
  const daily::Table hours = daily::DailyTables(r.summary)[static_cast<std::size_t>(daily::Section::Hours)];
  ASSERT_EQ(hours.rows.size(), 1u);
  EXPECT_EQ(hours.rows[0][1].text + " " + hours.rows[0][2].text, "07:00 2");
}

TEST(MinutesOfDay, TheFormsPlantsWrite) {
  // clang-format off
  const std::pair<const char*, int> cases[] = {
      {"07:03", 423}, {" 7:03:40 ", 423}, {"0703", 423}, {"2:15 PM", 855}, {"12:05 am", 5}, {"23:59", 1439},
      {"24:00", -1}, {"7:60", -1}, {"13:00 PM", -1}, {"7", -1}, {"07:03 x", -1}, {"", -1}};
  // clang-format on
  for (const auto& [text, minutes] : cases) EXPECT_EQ(MinutesOfDay(text).value_or(-1), minutes) << text;
}

}  // namespace
}  // namespace tonnage::import
