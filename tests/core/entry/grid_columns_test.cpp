#include "entry/grid_columns.h"

#include <gtest/gtest.h>

namespace tonnage {
namespace {

TEST(GridColumns, WeightCellsTitlesAndUnitLineByTypeAndUnits) {
  struct Case {
    const char *units, *type;
    CellKind weight;
    const char *gross, *tare, *net, *label;
  };
  const Case cases[] = {
      {"E", "0", CellKind::WholeNumber, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in LBS"},
      {"E", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in TONS"},
      {"E", "2", CellKind::WholeNumber, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in LBS"},
      {"E", "", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in TONS"},
      {"M", "0", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in KGS"},
      {"M", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in METRIC TONS"},
      {"M", "2", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in KGS"},
      {"M", "", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in METRIC TONS"},
  };
  for (const Case& c : cases) {
    const GridColumns g = SetGridColumns(c.units, c.type);
    EXPECT_EQ(g.weightUnitLine + "|" + g[3].title + "|" + g[4].title + "|" + g[5].title,
              std::string(c.label) + "|" + c.gross + "|" + c.tare + "|" + c.net);
    for (int col = 3; col <= 5; ++col)
      EXPECT_EQ(std::pair(g[col].kind, g[col].max),
                std::pair(c.weight, c.weight == CellKind::WholeNumber ? 99999 : 99999.999))
          << c.units << c.type;
  }
  EXPECT_EQ(DataEntryCaption("M") + "|" + DataEntryCaption(""),
            "Data Entry --  Data Is In Metric|Data Entry --  Data Is In English");
}

TEST(GridColumns, NumberCellsRefuseWhatCannotBeStored) {
  const GridColumns g = SetGridColumns("E", "0"), tons = SetGridColumns("E", "1");
  const struct {
    const ColumnRule& column;
    const char* text;
    bool accepted;
  } cases[] = {
      {g[1], "000012", true},      {g[1], "999999", true},    {g[1], "1000000", false}, {g[1], "-4", false},
      {g[3], "77756", true},       {g[3], "812.6", false},    {tons[3], "23.45", true}, {tons[3], "99999.999", true},
      {tons[3], "23.4567", false}, {tons[3], "1.2.3", false}, {g[6], "5.6", true},      {g[6], "99.999", true},
      {g[6], "100", false},        {g[7], "Y", true},         {g[7], "", true},         {g[8], "YY", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CellAccepts(c.column, c.text), c.accepted) << c.column.title << " " << c.text;
  EXPECT_EQ(CheckCellInput(tons[3], ".").state, CellInput::Intermediate);
  EXPECT_EQ(CheckCellInput(g[3], "100000").reason, "Gross Weight takes whole pounds up to 99999");
  EXPECT_EQ(CheckCellInput(tons[3], "1,5").reason, "Gross Weight takes tons up to 99999.999, three decimals at most");
  EXPECT_EQ(CellTakes(SetGridColumns("M", "0")[4]),
            "Tare Weight takes kilograms up to 99999.999, three decimals at most");
  EXPECT_EQ(CellTakes(SetGridColumns("M", "1")[5]),
            "Net Weight takes metric tons up to 99999.999, three decimals at most");
  // The ticket line holds six characters for the percent.
  EXPECT_EQ(CheckCellInput(g[6], "100").reason, "Pct. Bitum. takes percent up to 99.999, three decimals at most");
  EXPECT_EQ(CheckCellInput(g[7], "YY").reason, "Priv Waste takes Y, N, Space or Delete");
}

// Which days are days is the calendar's; here the cell takes them and no other form.
TEST(GridColumns, DateCellsTakeRealDaysFrom1990To2100) {
  const ColumnRule date = SetGridColumns("E", "0")[2];
  EXPECT_TRUE(CellAccepts(date, "02/29/2004"));
  for (const char* day : {"02/29/2100", "04/31/2004", "2004-03-15"}) EXPECT_FALSE(CellAccepts(date, day)) << day;
  // While typing, a start that can still become a date is not refused.
  for (const char* start : {"0", "03", "03/", "03/1", "03/15/", "03/15/2", "03/15/200"})
    EXPECT_EQ(CheckCellInput(date, start).state, CellInput::Intermediate) << start;
  for (const char* wrong : {"2", "13", "3/", "03/4", "03/32", "03/15/3", "03/15/20040"})
    EXPECT_EQ(CheckCellInput(date, wrong).state, CellInput::Invalid) << wrong;
}

}  // namespace
}  // namespace tonnage
