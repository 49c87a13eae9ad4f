#include <gtest/gtest.h>

#include "entry/cell_entry.h"
#include "entry/grid_history.h"

namespace tonnage {
namespace {

TEST(CellEntry, KeepsWhatItCannotTakeAndGivesTheGridsOneForm) {
  const GridColumns pounds = SetGridColumns("E", "0"), kilos = SetGridColumns("M", "2");
  const struct {
    const ColumnRule& rule;
    const char* typed;
    const char* held;
    bool accepted;
  } cases[] = {
      {kilos[3], "12,5", "12.500", true},
      {pounds[4], "12,5", "12,5", false},
      {pounds[3], "1234567", "1234567", false},
      {kilos[3], "abc12.34567", "abc12.34567", false},
      {pounds[1], " 000012 ", "12", true},
      {pounds[6], "5.6", "5.600", true},
      {pounds[2], "09282026", "09/28/2026", true},
      {pounds[2], "9/28/2026", "09/28/2026", true},
      {pounds[2], "9-8-2026", "09/08/2026", true},
      {pounds[2], "13/45/2026", "13/45/2026", false},
      {pounds[2], "02/30/2026", "02/30/2026", false},
      {pounds[7], "y", "Y", true},
      {pounds[8], "N", "", true},
      {pounds[9], "x", "x", false},
      {kilos[5], "1,2,3", "1,2,3", false},
      {pounds[3], "", "", true},
  };
  for (const auto& c : cases) {
    const CellEntry entry = EnterCell(c.rule, c.typed);
    EXPECT_EQ(entry.text, c.held) << c.typed;
    EXPECT_EQ(entry.accepted, c.accepted) << c.typed;
    EXPECT_EQ(entry.reason.empty(), c.accepted) << c.typed;
  }
  EXPECT_EQ(EnterCell(pounds[2], "02/30/2026").reason, "There is no 02/30/2026 in the calendar");
  EXPECT_EQ(ShowAsEntered(pounds[4], "12,5"), "12,5");
}

TEST(CellEntry, DatesGetTheirSlashesAsTypedAndMarksTakeTheirKeys) {
  const struct {
    const char* typed;
    const char* shown;
  } dates[] = {{"0", "0"},         {"09", "09"},           {"092", "09/2"},
               {"09/28", "09/28"}, {"092820", "09/28/20"}, {"09282026", "09/28/2026"},
               {"9/2", "9/2"},     {"09/28/", "09/28"},    {"092820261", "092820261"}};
  for (const auto& d : dates) EXPECT_EQ(ShapeDateAsTyped(d.typed), d.shown) << d.typed;
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
  EXPECT_EQ(delta.first, 5);
  EXPECT_EQ(delta.after.size(), 5u);
  BookRows rows = before;
  ApplyDelta(rows, delta, true);
  EXPECT_EQ(rows, after);
  ApplyDelta(rows, delta, false);
  EXPECT_EQ(rows, before);
  EXPECT_TRUE(DiffRows(before, before).empty());
}

}  // namespace
}  // namespace tonnage
