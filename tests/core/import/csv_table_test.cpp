#include "import/csv_table.h"

#include <gtest/gtest.h>

#include "import/layout_memory.h"
#include "import/ticket_columns.h"

namespace tonnage::import {
namespace {

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
    EXPECT_NE(t.error.find(why), std::string::npos) << text.substr(0, 30) << " gave: " << t.error;
    EXPECT_TRUE(t.records.empty());
  }
}

TEST(TicketColumns, HeadersAndTheirUnits) {
  const ColumnMap m = RecognizeColumns({"Load No.", "Ticket Date", "TIME", "Gross Wt (lbs)", "Tare [kg]", "Net Tons",
                                        "Mix ID", "Truck #", "AC%", "Plant", "Ticket"});
  const int expected[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int f = 0; f < kTicketColumnCount; ++f) EXPECT_EQ(m.index[f], expected[f]) << f;
  EXPECT_EQ(std::tuple(m.headerUnits[0], m.headerUnits[1], m.headerUnits[2]),
            std::tuple(WeightUnit::Pound, WeightUnit::Kilogram, WeightUnit::ShortTon));
  EXPECT_EQ(std::tuple(HeaderUnit("Net (Mg)"), HeaderUnit("Net t"), HeaderUnit("Net")),
            std::tuple(WeightUnit::MetricTon, WeightUnit::MetricTon, WeightUnit::Unknown));
  EXPECT_EQ(RecognizeColumns({"Binder %", "Pct AC"})[TicketColumn::Pct], 0);
  EXPECT_EQ(RecognizeColumns({"Customer", "Job"})[TicketColumn::Ticket], -1);
  EXPECT_EQ(LayoutKey({"Ticket No.", "Net (t)"}), LayoutKey({"TICKET NO", "net T"}));
  EXPECT_NE(LayoutKey({"Ticket", "Net"}), LayoutKey({"Net", "Ticket"}));
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
  EXPECT_EQ(MappingFor(back, {"Ticket", "Gross", "Date"}, unit, &remembered)[TicketColumn::Date], 2);
  EXPECT_FALSE(remembered);
}

}  // namespace
}  // namespace tonnage::import
