#include "import/ticket_import.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "../entry/entry_fixture.h"
#include "data/section_file.h"
#include "import/reconcile.h"

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
  ImportOptions one;
  one.book = 1;
  const ImportPreview p = Preview(
      "Ticket;Date;Gross (t);Tare (t);Net (t);AC %\n"
      "41001201;09/28/2026;35,269;13,633;21,636;5,6\n"  // 1201 of 09/28 is in the book
      "41001202;2026-09-28;32,979;13,505;19,474;5,6\n"  // imports, metric tons to pounds
      "41001202;9/28/26;32,979;13,505;19,474;\n"        // earlier in the file
      "41001203;09/28/2026;;;;\n"
      "41001204;09/28/2026;13,5;14,2;;\n"
      "41001205;09/28/2026;30,0;10,0;19,8;\n"
      "41001206;02/30/2026;30;10;20;\n"
      "41001207;09/28/2026;30;10;20\n"
      "A-77;09/28/2026;30;10;20;\n"
      "41001208;09/28/2026;30;1o;20;\n"
      "41001209;09/28/2026;60;10;50;\n"                  // 132277 lb: more than a cell holds
      "41001210;09/28/2026;30,0004;10,0004;20,0001;\n",  // within the weights' rounding
      one);
  ASSERT_TRUE(p.ok()) << p.error;
  using S = RowStatus;
  using R = RefusedReason;
  // clang-format off
  const std::pair<S, R> expected[] = {
      {S::DuplicateInBook, R::None}, {S::Import, R::None}, {S::DuplicateInFile, R::None}, {S::Refused, R::NoWeights},
      {S::Refused, R::GrossBelowTare}, {S::Refused, R::NetNotGrossLessTare}, {S::Refused, R::NoDate},
      {S::Refused, R::Fields}, {S::Refused, R::NoTicket}, {S::Refused, R::NotANumber}, {S::Refused, R::OutOfRange},
      {S::Import, R::None}};
  // clang-format on
  ASSERT_EQ(p.rows.size(), std::size(expected));
  for (std::size_t i = 0; i < p.rows.size(); ++i)
    EXPECT_EQ(std::pair(p.rows[i].status, p.rows[i].reason), expected[i])
        << "row " << p.rows[i].row << p.rows[i].detail;
  EXPECT_EQ(std::tuple(p.counts.import, p.counts.duplicateInBook, p.counts.duplicateInFile, p.counts.refused),
            std::tuple(2, 1, 1, 8));
  const ETicket& t = p.rows[1];
  // 32.979 t is 72706.3 lb: whole pounds; the section file below shows the rest.
  EXPECT_EQ(std::to_string(t.page) + " " + t.ticket + " " + t.cells[TicketField::Gross], "1202 41001202 72706");
  EXPECT_EQ(p.rows[6].detail, "not a date: 02/30/2026");

  ASSERT_TRUE(ApplyImport(session, p).ok());
  EXPECT_EQ(ReadFile(session.SectionPath(1)),
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "001202 09/28/2026 72706     29773     42933      5.600      \r\n"
            "001210 09/28/2026 66140     22047     44093                 \r\n");
  EXPECT_EQ(ImportHistoryText(p, "loads.csv"), "imported from loads.csv, rows 3-13");
}

TEST_F(ImportTest, UnitsAskedColumnsMissingAndBooksThatCannotTakeTickets) {
  EXPECT_NE(Preview("Ticket,Date,Net\n1,09/28/2026,20\n").error.find("unit of the net"), std::string::npos);
  EXPECT_NE(Preview("Customer,Job\nA,B\n").error.find("ticket number, date, gross or net"), std::string::npos);
  ImportOptions options;
  options.askedUnit = WeightUnit::Pound;
  options.book = 2;
  EXPECT_EQ(Preview("Ticket,Date,Net\n1,09/28/2026,20\n", options).error, "Book 2 is not in use.");
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

  ImportOptions one;
  one.book = 1;
  p = Preview(csv, one);
  EXPECT_EQ(std::pair(p.beyondBook, p.counts.byReason[static_cast<int>(RefusedReason::BookFull)]), std::pair(5, 5))
      << "the book holds one ticket already";
  one.overflow = true;
  p = Preview(csv, one);
  ASSERT_EQ(p.books.size(), 2u);
  EXPECT_EQ(p.books[1].tickets.size(), 5u);
  ASSERT_TRUE(ApplyImport(session, p).ok());
  EXPECT_EQ(BookTickets(session, 1).size(), 200u);
  EXPECT_EQ(BookTickets(session, 2)[3][TicketField::Net] + session.Book(2).comments, "43000SURFACE SP 12.5 (2)")
      << "21.5 tons, whole pounds";
}

TEST_F(ImportTest, AFailedWriteChangesNoBook) {
  ImportOptions one;
  one.book = 1;
  one.overflow = true;
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
  EXPECT_EQ(find(MatchClass::Differs).text, "net e-ticket 41360, book 41000 (+360)");
  EXPECT_EQ(std::pair(find(MatchClass::BookOnly).bookRow, find(MatchClass::DuplicateBook).bookRow), std::pair(5, 3));
  EXPECT_EQ(find(MatchClass::Gap).text, "no e-ticket 41000005") << "3 is in the file, if unreadable";
  EXPECT_EQ(TakeETicketValues(rows[1], e[1])[TicketField::Net], "41360");
}

}  // namespace
}  // namespace tonnage::import
