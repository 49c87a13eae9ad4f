#include "entry/grid_columns.h"

#include <gtest/gtest.h>

namespace tonnage {
namespace {

TEST(GridColumns, WeightCellsTitlesAndUnitLineByTypeAndUnits) {
  struct Case {
    const char* units;
    const char* type;
    CellKind weight;
    const char* gross;
    const char* label;
  };
  const Case cases[] = {
      {"E", "0", CellKind::WholeNumber, "Gross Weight", "Weights are in LBS"},
      {"E", "1", CellKind::Decimal3, "Gross Weight", "Weights are in TONS"},
      {"E", "2", CellKind::WholeNumber, "Agg Weight", "Weights are in LBS"},
      {"E", "", CellKind::Decimal3, "Agg Weight", "Weights are in TONS"},
      {"M", "0", CellKind::Decimal3, "Gross Weight", "Weights are in KGS"},
      {"M", "1", CellKind::Decimal3, "Gross Weight", "Weights are in METRIC TONS"},
      {"M", "2", CellKind::Decimal3, "Agg Weight", "Weights are in KGS"},
      {"M", "", CellKind::Decimal3, "Agg Weight", "Weights are in METRIC TONS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.units) + "/" + c.type);
    const GridColumns g = SetGridColumns(c.units, c.type);
    EXPECT_EQ(g.weightUnitLine, c.label);
    EXPECT_EQ(g[3].title, c.gross);
    for (int col = 3; col <= 5; ++col) {
      EXPECT_EQ(g[col].kind, c.weight);
      EXPECT_EQ(g[col].max, c.weight == CellKind::WholeNumber ? 99999 : 99999.999);
    }
  }
  const GridColumns batch = SetGridColumns("E", "2");
  EXPECT_EQ(batch[4].title, "Bit Weight");
  EXPECT_EQ(batch[5].title, "Tot Weight");
  const GridColumns standard = SetGridColumns("E", "0");
  EXPECT_EQ(standard[4].title, "Tare Weight");
  EXPECT_EQ(standard[5].title, "Net Weight");
  EXPECT_EQ(standard[1].title, "Page No");
  EXPECT_EQ(standard[6].title, "Pct. Bitum.");
  EXPECT_EQ(standard[7].title, "Priv Waste");
  EXPECT_EQ(standard[9].kind, CellKind::Mark);

  EXPECT_EQ(DataEntryCaption("M"), "Data Entry --  Data Is In Metric");
  EXPECT_EQ(DataEntryCaption("E"), "Data Entry --  Data Is In English");
  EXPECT_EQ(DataEntryCaption(""), "Data Entry --  Data Is In English");
}

TEST(GridColumns, NumberCellsRefuseWhatCannotBeStored) {
  const GridColumns g = SetGridColumns("E", "0");
  EXPECT_TRUE(CellAccepts(g[1], "000012"));
  EXPECT_TRUE(CellAccepts(g[1], "999999"));
  EXPECT_FALSE(CellAccepts(g[1], "1000000"));
  EXPECT_FALSE(CellAccepts(g[1], "-4"));
  EXPECT_TRUE(CellAccepts(g[3], "77756"));
  EXPECT_FALSE(CellAccepts(g[3], "812.6")) << "whole pounds";
  EXPECT_EQ(CheckCellInput(g[3], "100000").reason, "Gross Weight accepts 0 to 99999");

  const GridColumns tons = SetGridColumns("E", "1");
  EXPECT_TRUE(CellAccepts(tons[3], "23.45"));
  EXPECT_TRUE(CellAccepts(tons[3], "99999.999"));
  EXPECT_FALSE(CellAccepts(tons[3], "23.4567"));
  EXPECT_FALSE(CellAccepts(tons[3], "1.2.3"));
  EXPECT_EQ(CheckCellInput(tons[3], ".").state, CellInput::Intermediate);
  EXPECT_EQ(CheckCellInput(tons[3], "100000").reason, "Gross Weight accepts 0 to 99999.999");

  // The ticket line holds six characters for the percent.
  EXPECT_TRUE(CellAccepts(g[6], "5.6"));
  EXPECT_TRUE(CellAccepts(g[6], "99.999"));
  const CellCheck big = CheckCellInput(g[6], "100");
  EXPECT_EQ(big.state, CellInput::Invalid);
  EXPECT_EQ(big.reason, "Pct. Bitum. accepts 0 to 99.999");

  EXPECT_TRUE(CellAccepts(g[7], "Y"));
  EXPECT_TRUE(CellAccepts(g[7], ""));
  EXPECT_FALSE(CellAccepts(g[8], "YY"));
}

TEST(GridColumns, DateCellsTakeRealDaysFrom1990To2100) {
  const ColumnSpec date = SetGridColumns("E", "0")[2];
  EXPECT_TRUE(CellAccepts(date, "03/15/2004"));
  EXPECT_TRUE(CellAccepts(date, "01/01/1990"));
  EXPECT_TRUE(CellAccepts(date, "12/31/2100"));
  EXPECT_TRUE(CellAccepts(date, "02/29/2004"));
  EXPECT_FALSE(CellAccepts(date, "02/29/2100")) << "2100 is not a leap year";
  EXPECT_FALSE(CellAccepts(date, "12/31/1989"));
  EXPECT_FALSE(CellAccepts(date, "01/01/2101"));
  EXPECT_FALSE(CellAccepts(date, "04/31/2004"));
  EXPECT_FALSE(CellAccepts(date, "2004-03-15"));
  // While typing, a start that can still become a date is not refused.
  for (const char* start : {"0", "03", "03/", "03/1", "03/15/", "03/15/2", "03/15/200"})
    EXPECT_EQ(CheckCellInput(date, start).state, CellInput::Intermediate) << start;
  for (const char* wrong : {"2", "13", "3/", "03/4", "03/32", "03/15/3", "03/15/20040"})
    EXPECT_EQ(CheckCellInput(date, wrong).state, CellInput::Invalid) << wrong;
}

}  // namespace
}  // namespace tonnage
