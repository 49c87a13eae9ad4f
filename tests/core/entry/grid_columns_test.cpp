#include "entry/grid_columns.h"
#include "entry/cell_entry.h"
#include "entry/grid_history.h"

#include <gtest/gtest.h>

namespace tonnage {
namespace {

TEST(GridColumns, WeightCellsTitlesAndUnitLineByTypeAndUnits) {
  // Units, book type, weight cells, their titles and the unit line.
  const std::tuple<const char*, const char*, CellKind, std::string, const char*, const char*, const char*> cases[] = {
      {"E", "0", CellKind::WholeNumber, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in LBS"},
      {"E", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in TONS"},
      {"E", "2", CellKind::WholeNumber, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in LBS"},
      {"E", "", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in TONS"},
      {"M", "0", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in KGS"},
      {"M", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in METRIC TONS"},
      {"M", "2", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in KGS"},
      {"M", "", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in METRIC TONS"},
  };
  for (const auto& [units, type, weight, gross, tare, net, label] : cases) {
    const GridColumns g = SetGridColumns(units, type);
    EXPECT_EQ(g[3].title + "|" + g[4].title + "|" + g[5].title + "|" + g.weightUnitLine,
              gross + "|" + tare + "|" + net + "|" + label);
    for (int col = 3; col <= 5; ++col)
      EXPECT_EQ(std::pair(g[col].kind, g[col].max),
                std::pair(weight, weight == CellKind::WholeNumber ? 99999 : 99999.999))
          << units << type;
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
  EXPECT_EQ(CellTakes(SetGridColumns("M", "0")[4]) + "|" + CellTakes(SetGridColumns("M", "1")[5]),
            "Tare Weight takes kilograms up to 99999.999, three decimals at most|"
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

TEST(CellEntry, KeepsWhatItCannotTakeAndGivesTheGridsOneForm) {
  const GridColumns pounds = SetGridColumns("E", "0"), kilos = SetGridColumns("M", "2");
  const struct {
    const ColumnRule& rule;
    const char *typed, *held;
    bool accepted;
  } cases[] = {// clang-format off
      {kilos[3], "12,5", "12.500", true}, {pounds[4], "12,5", "12,5", false}, {pounds[3], "1234567", "1234567", false},
      {kilos[3], "abc12.34567", "abc12.34567", false}, {pounds[1], " 000012 ", "12", true},
      {pounds[6], "5.6", "5.600", true}, {pounds[2], "09282026", "09/28/2026", true},
      {pounds[2], "9/28/2026", "09/28/2026", true}, {pounds[2], "9-8-2026", "09/08/2026", true},
      {pounds[2], "13/45/2026", "13/45/2026", false}, {pounds[2], "02/30/2026", "02/30/2026", false},
      {pounds[7], "y", "Y", true}, {pounds[8], "N", "", true}, {pounds[9], "x", "x", false},
      {kilos[5], "1,2,3", "1,2,3", false}, {pounds[3], "", "", true}};
  // clang-format on
  for (const auto& c : cases) {
    const CellEntry entry = EnterCell(c.rule, c.typed);
    EXPECT_EQ(std::tuple(entry.text, entry.accepted, entry.reason.empty()), std::tuple(c.held, c.accepted, c.accepted))
        << c.typed;
  }
  EXPECT_EQ(EnterCell(pounds[2], "02/30/2026").reason, "There is no 02/30/2026 in the calendar");
  EXPECT_EQ(ShowAsEntered(pounds[4], "12,5"), "12,5");
}

TEST(CellEntry, DatesGetTheirSlashesAsTypedAndMarksTakeTheirKeys) {
  const std::pair<const char*, const char*> dates[] = {
      {"0", "0"},         {"09", "09"},           {"092", "09/2"},
      {"09/28", "09/28"}, {"092820", "09/28/20"}, {"09282026", "09/28/2026"},
      {"9/2", "9/2"},     {"09/28/", "09/28"},    {"092820261", "092820261"}};
  for (const auto& [typed, shown] : dates) EXPECT_EQ(ShapeDateAsTyped(typed), shown) << typed;
  const std::tuple<const char*, char, std::optional<std::string>> marks[] = {
      {"", 'y', "Y"}, {"Y", ' ', ""}, {"", ' ', "Y"}, {"Y", 'N', ""}, {"Y", 'x', std::nullopt}};
  for (const auto& [held, key, after] : marks) EXPECT_EQ(MarkAfterKey(held, key), after) << held << key;
}

TEST(GridHistory, AStepHoldsOnlyTheRowsItChangedAndGoesBothWays) {
  BookRows before, after;
  before[3].cells[0] = "4";
  after = before;
  after[5].cells[2] = "77756";
  after[9].cells[0] = "10";
  const GridDelta delta = DiffRows(before, after);
  EXPECT_EQ(std::tuple(delta.first, delta.after.size()), std::tuple(5, 5ul));
  BookRows rows = before;
  ApplyDelta(rows, delta, true);
  EXPECT_EQ(rows, after);
  ApplyDelta(rows, delta, false);
  EXPECT_TRUE(rows == before && DiffRows(before, before).empty());
}

}  // namespace
}  // namespace tonnage
