#include <gtest/gtest.h>
#include <cerrno>

#include "../entry/entry_fixture.h"
#include "data/section_file.h"
#include "import/csv_table.h"
#include "import/import_undo.h"
#include "import/layout_memory.h"
#include "import/reconcile.h"
#include "import/ticket_columns.h"
#include "import/ticket_details.h"
#include "import/ticket_import.h"
#include "io/file_writer.h"

namespace tonnage::import {
namespace {

using namespace tonnage::testing;

TEST(NormalizeDate, TheThreeFormsAndRealDaysOnly) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"08/27/2026", "08/27/2026"}, {"8/7/26", "08/07/2026"}, {"2026-08-27", "08/27/2026"}, {"2/29/2024", "02/29/2024"},
      {"12/31/99", "12/31/1999"}, {"02/30/2026", ""}, {"2/29/2025", ""}, {"13/01/2026", ""}, {"2026-8-27x", ""},
      {"27.08.2026", ""}, {"08/27/226", ""}, {"", ""}};
  // clang-format on
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeDate(in), out) << in;
}

class ImportTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    session.Book(1) = {"SURFACE SP 12.5", "0", "0"};
    WriteFile(session.SectionPath(1), "001201 09/28/2026 77756     30056     47700      5.600      \r\n");
  }
  ImportPreview Preview(const std::string& csv, ImportOptions options = {}) {
    table = ReadCsvText(csv);
    options.columns = RecognizeColumns(table.header);
    return PreviewImport(table, options, session);
  }
  CsvTable table;
};

TEST_F(ImportTest, EveryRowClassifiedAndConvertedAsTheGridStoresIt) {
  const ImportOptions one{.columns = {}, .book = 1};
  const ImportPreview p = Preview(
      "Ticket;Date;Gross (t);Tare (t);Net (t);AC %\n"
      "41001201;09/28/2026;35,269;13,633;21,636;5,6\n"  // 1201 of 09/28 is in the book
      "41001202;2026-09-28;32,979;13,505;19,474;5,6\n"  // imports, metric tons to pounds
      "41001202;9/28/26;32,979;13,505;19,474;\n"        // earlier in the file
      "41001204;09/28/2026;13,5;14,2;;\n"
      "41001205;09/28/2026;30,0;10,0;19,8;\n"
      "41001206;02/30/2026;30;10;20;\n"
      "A-77;09/28/2026;30;10;20;\n"
      "41001208;09/28/2026;30;1o;20;\n"
      "41001209;09/28/2026;60;10;50;\n"                  // 132277 lb: more than a cell holds
      "41001210;09/28/2026;30,0004;10,0004;20,0001;\n",  // within the weights' rounding
      one);
  using enum RowStatus;
  using enum RefusedReason;
  // clang-format off
  const std::pair<RowStatus, RefusedReason> expected[] = {
      {DuplicateInBook, None}, {Import, None}, {DuplicateInFile, None}, {Refused, GrossBelowTare},
      {Refused, NetNotGrossLessTare}, {Refused, NoDate}, {Refused, NoTicket}, {Refused, NotANumber},
      {Refused, OutOfRange}, {Import, None}};
  // clang-format on
  ASSERT_TRUE(p.ok() && p.rows.size() == std::size(expected)) << p.error;
  for (std::size_t i = 0; i < p.rows.size(); ++i)
    EXPECT_EQ(std::pair(p.rows[i].status, p.rows[i].reason), expected[i])
        << "row " << p.rows[i].row << p.rows[i].detail;
  EXPECT_EQ(std::tuple(p.counts.import, p.counts.duplicateInBook, p.counts.duplicateInFile, p.counts.refused),
            std::tuple(2, 1, 1, 6));
  EXPECT_EQ(p.rows[5].detail, "not a date: 02/30/2026");

  ASSERT_TRUE(ApplyImport(session, p).ok());
  EXPECT_EQ(ReadFile(session.SectionPath(1)),
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "001202 09/28/2026 72706     29773     42933      5.600      \r\n"
            "001210 09/28/2026 66140     22047     44093                 \r\n");
  EXPECT_EQ(ImportHistoryText(p, "loads.csv"), "imported from loads.csv, rows 3-11");
}

TEST_F(ImportTest, UnitsAskedColumnsMissingAndBooksThatCannotTakeTickets) {
  EXPECT_NE(Preview("Ticket,Date,Net\n1,09/28/2026,20\n").error.find("unit of the net"), std::string::npos);
  EXPECT_NE(Preview("Customer,Job\nA,B\n").error.find("ticket number, date, gross or net"), std::string::npos);
  const ImportOptions options{.columns = {}, .askedUnit = WeightUnit::Pound, .book = 2};
  session.Book(2) = {"BATCH", "2", "1.03"};
  EXPECT_NE(Preview("Ticket,Date,Net\n1,09/28/2026,20\n", options).error.find("batch-plant"), std::string::npos);
}

TEST_F(ImportTest, OneBookPerMixAndTheSecondBookBeyond200) {
  std::string csv = "Ticket,Date,Mix,Net Tons\n";
  for (int i = 0; i < 203; ++i)
    csv += std::to_string(5000 + i) + ",10/01/2026," + (i % 2 ? "Base AC 20" : "") + ",21.5" + "\n";
  csv += "9000,10/01/2026,\"Wearing course AC 14, PG 70-28, modified polymer\",20\n";
  ImportPreview p = Preview(csv);  // a book per mix
  ASSERT_TRUE(p.ok() && p.books.size() == 3u) << p.error;
  EXPECT_EQ(p.counts.import, 204);
  // Weights in tons make a tons book.
  EXPECT_EQ(std::tuple(p.books[0].header.comments, p.books[0].header.dataType, p.books[0].slot),
            std::tuple("NO MIX", "1", 2));
  EXPECT_EQ(p.books[2].header.comments, "WEARING COURSE AC 14, PG 70-28, MOD");

  ImportOptions one{.columns = {}, .book = 1};
  p = Preview(csv, one);
  EXPECT_EQ(std::pair(p.beyondBook, p.counts.byReason[static_cast<int>(RefusedReason::BookFull)]), std::pair(5, 5))
      << "the book holds one ticket already";
  one.overflow = true;
  p = Preview(csv, one);
  ASSERT_TRUE(p.books.size() == 2u && p.books[1].tickets.size() == 5u && ApplyImport(session, p).ok());
  EXPECT_EQ(BookTickets(session, 1).size(), 200u);
  EXPECT_EQ(BookTickets(session, 2)[3][TicketField::Net] + session.Book(2).comments, "43000SURFACE SP 12.5 (2)")
      << "21.5 tons, whole pounds";
}

TEST_F(ImportTest, AFailedWriteChangesNoBook) {
  const ImportOptions one{.columns = {}, .book = 1, .overflow = true};
  std::string csv = "Ticket,Date,Net (lb)\n";
  for (int i = 0; i < 201; ++i) csv += std::to_string(2000 + i) + ",10/01/2026,40000\n";
  const ImportPreview p = Preview(csv, one);
  const std::string before = ReadFile(session.SectionPath(1));
  {
    FaultGuard fail(FailStep("SECT0002.TMP", {io::FaultPoint::Rename, 0}, EIO));
    EXPECT_FALSE(ApplyImport(session, p).ok());
  }
  EXPECT_TRUE(ReadFile(session.SectionPath(1)) == before && !session.Book(2).InUse());
}

TEST(Reconcile, EveryClassWithWhatDiffers) {
  auto book = [](const char* page, const char* date, const char* net) { return TicketRow{{page, date, "", "", net}}; };
  auto eticket = [&](const char* ticket, int page, const char* date, const char* net) {
    ETicket e;
    std::tie(e.ticket, e.page, e.date, e.cells, e.converted) = std::tuple(ticket, page, date, book("", "", net), true);
    return e;
  };
  const std::vector<TicketRow> rows = {book("001", "10/01/2026", "40000"), book("002", "10/01/2026", "41000"),
                                       book("002", "10/01/2026", "41000"), book("004", "10/01/2026", "39000"),
                                       book("009", "10/02/2026", "38000")};
  std::vector<ETicket> e = {
      eticket("41000001", 1, "10/01/2026", "40000"), eticket("41000002", 2, "10/01/2026", "41360"),
      eticket("41000002", 2, "10/01/2026", "41360"), eticket("41000006", 6, "10/01/2026", "40500"),
      eticket("41000004", 4, "10/02/2026", "39000")};
  e.push_back(eticket("41000003", 3, "10/01/2026", "1"));
  e.back().converted = false;  // a row that could not be read takes no part
  const Reconciliation r = Reconcile(e, rows);
  const std::array<int, kMatchClasses> counts = {1, 2, 1, 1, 1, 1, 1};  // one of each, two differ
  EXPECT_EQ(r.counts, counts);
  auto find = [&](MatchClass c) {
    const auto at = std::find_if(r.lines.begin(), r.lines.end(), [&](const ReconcileLine& l) { return l.match == c; });
    return at == r.lines.end() ? ReconcileLine{} : *at;
  };
  EXPECT_EQ(std::pair(find(MatchClass::BookOnly).bookRow, find(MatchClass::DuplicateBook).bookRow), std::pair(5, 3));
  EXPECT_EQ(find(MatchClass::Gap).text, "no e-ticket 41000005") << "3 is in the file, if unreadable";
  EXPECT_EQ(TakeETicketValues(rows[1], e[1])[TicketField::Net], "41360");
}

TEST(CsvTable, QuotingDelimitersAndEncodings) {
  // Text, delimiter, records, the last field of the last record, encoding.
  const std::tuple<std::string, char, std::size_t, std::string, std::string> cases[] = {
      {"Ticket,Net\r\n1,20.5\r\n2,21\r\n", ',', 2, "21", "UTF-8"},
      {"Ticket;Net;Mix\n1;20,5;AC 14\n", ';', 1, "AC 14", "UTF-8"},
      {"Ticket\tNet\n1\t20.5\n\n2\t3\n", '\t', 2, "3", "UTF-8"},
      {"Ticket,Mix\n1,\"SP 12.5, PG 64-22\nline two \"\"B\"\"\"\n", ',', 1, "SP 12.5, PG 64-22\nline two \"B\"",
       "UTF-8"},
      {"\xEF\xBB\xBFTicket,Mix\n1,M\xC3\xA9lange \xE2\x82\xAC\n", ',', 1, "M\xE9lange ?", "UTF-8 with BOM"},
      {"Ticket,Mix\n1,M\xE9lange\n", ',', 1, "M\xE9lange", "Latin-1"},
  };
  for (const auto& [text, delimiter, records, lastField, encoding] : cases) {
    const CsvTable t = ReadCsvText(text);
    ASSERT_TRUE(t.ok() && t.records.size() == records) << text << ": " << t.error;
    EXPECT_EQ(std::tuple(t.delimiter, t.records.back().fields.back(), t.encoding),
              std::tuple(delimiter, lastField, encoding))
        << text;
  }
  EXPECT_EQ(ReadCsvText("A,B\n1,2\n\n3,4\n").records.back().row, 3) << "rows count records, header first";
  EXPECT_EQ(ReadCsvFile(SamplePath("eticket-short-tons.csv")).records.size(), 19u);
}

TEST(CsvTable, BadFilesAreRefusedWhole) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"", "empty"}, {"\n\n  \n", "empty"}, {std::string("Ticket,Net\n1,\0\x01\x02", 16), "not a text file"},
      {"\xFF\xFET\0i\0", "UTF-16"}, {"Ticket,Mix\n1,\"AC 14\n2,AC 20\n", "never closed"},
      {"Ticket,Mix\n1,AC\"14\"x\n", "Line 2"}, {std::string(kMaxTicketFileBytes + 1, 'x'), "larger"}};
  // clang-format on
  for (const auto& [text, why] : cases) {
    const CsvTable t = ReadCsvText(text);
    EXPECT_TRUE(t.records.empty() && t.error.find(why) != std::string::npos) << text.substr(0, 30) << ": " << t.error;
  }
}

TEST(TicketColumns, HeadersAndTheirUnits) {
  const ColumnMap m = RecognizeColumns({"Load No.", "Ticket Date", "TIME", "Gross Wt (lbs)", "Tare [kg]", "Net Tons",
                                        "Mix ID", "Truck #", "AC%", "Plant", "Ticket"});
  for (int f = 0; f < kTicketColumnCount; ++f) EXPECT_EQ(m.index[f], f);  // the fields in their own order
  EXPECT_EQ(std::tuple(m.headerUnits[0], m.headerUnits[1], m.headerUnits[2]),
            std::tuple(WeightUnit::Pound, WeightUnit::Kilogram, WeightUnit::ShortTon));
  EXPECT_EQ(std::tuple(HeaderUnit("Net (Mg)"), HeaderUnit("Net t"), HeaderUnit("Net")),
            std::tuple(WeightUnit::MetricTon, WeightUnit::MetricTon, WeightUnit::Unknown));
  EXPECT_EQ(RecognizeColumns({"Binder %", "Pct AC"})[TicketColumn::Pct], 0);
  EXPECT_NE(LayoutKey({"Ticket", "Net"}), LayoutKey({"Net", "Ticket"})) << "the order counts";
}

TEST(LayoutMemory, AConfirmedMappingComesBackForTheSameLayout) {
  RememberedLayout layout;
  layout.index = {0, 2, -1, 1, -1, -1, -1, -1, -1, -1};
  layout.askedUnit = WeightUnit::Pound;
  const LayoutMemory memory = {{LayoutKey({"Lieferschein", "Brutto (kg)", "Datum"}), layout}};
  const LayoutMemory back = ParseLayoutMemory(FormatLayoutMemory(memory) + "k\tticket=x\t\nbad line\n");
  ASSERT_EQ(back.size(), 1u) << "damaged lines are passed over";
  WeightUnit unit = WeightUnit::Unknown;
  bool remembered = false;
  const ColumnMap map = MappingFor(back, {"LIEFERSCHEIN", "brutto kg", "DATUM"}, unit, &remembered);
  EXPECT_TRUE(remembered && map.index == layout.index);
  EXPECT_EQ(std::pair(map.headerUnits[0], unit), std::pair(WeightUnit::Kilogram, WeightUnit::Pound))
      << "the header's unit, not the one asked";
  EXPECT_TRUE(MappingFor(back, {"Ticket", "Gross", "Date"}, unit, &remembered)[TicketColumn::Date] == 2 && !remembered);
}

constexpr const char* kExport =
    "Ticket Number,Load Date,Load Time,Truck No,Mix ID,Gross Tons,Tare Tons,Net Tons,Plant\n"
    "27001257,10/03/2026,06:58,T-101,SP 9.5 SHOULDER,38.71,15.02,23.69,HALVORSEN PLANT 2\n"
    "27001258,10/03/2026,2:15 PM,T-108,SP 9.5 SHOULDER,36.12,14.88,21.24,HALVORSEN PLANT 2\n";

// The import test's book 1, and a book 2 the e-tickets go into.
class DetailsTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    session.Book(2) = {"SHOULDERS SP 9.5", "0", "0"};
    WriteFile(session.SectionPath(2), "001256 10/02/2026 76980     30040     46940      5.600      \r\n");
    job = scratch.File("JOB.K81");
    ASSERT_TRUE(session.SaveAs(job).ok());
  }
  ImportPreview Preview() { return ImportTest::Preview(kExport, {.columns = {}, .book = 2}); }
  std::string job;
};

TEST_F(DetailsTest, KeptWithTheSaveAndFollowTheBookWhenItIsRenumbered) {
  const ImportPreview p = Preview();
  ASSERT_TRUE(p.counts.import == 2 && ApplyImport(session, p).ok());
  QueueImportDetails(session, p, "loads.csv");
  EXPECT_FALSE(FindTicketDetails(session.store(), 2, 1257)) << "nothing before the save";
  ASSERT_TRUE(PendingImports(session).size() == 1u && session.Save().ok());
  EXPECT_TRUE(PendingImports(session).empty());
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
  EXPECT_EQ(StoredLoadTimes(session.store()), (daily::LoadTimes{{{1, 1257}, 6 * 60 + 58}, {{1, 1258}, 14 * 60 + 15}}));
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
    ASSERT_TRUE(!save || session.Save().ok());
    if (!save) session.index.engineer = "R. HALVORSEN";
    EXPECT_FALSE(CanUndoImport(session, undo)) << save;
    WriteFile(session.SectionPath(2), before);
  }
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
