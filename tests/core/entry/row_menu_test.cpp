#include <gtest/gtest.h>

#include "entry_fixture.h"
#include "entry/cell_entry.h"
#include "entry/grid_columns.h"
#include "entry/grid_history.h"
#include "entry/row_menu.h"

namespace tonnage {
namespace {

using testing::EntryTest;

class RowMenuTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    OpenBook(1, "HOT MIX", "0", grid);
    for (int row = 1; row <= 30; ++row)
      Type(grid, row,
           {std::to_string(1200 + row), "09/28/2026", std::to_string(77000 + row), "30056", std::to_string(46944 + row),
            "5.6", row % 7 == 0 ? "Y" : "", "", row % 5 == 0 ? "Y" : ""});
  }
  // Whole rows first..last selected from the row headers.
  std::optional<RowMenuItems> Select(int first, int last) { return OpenRowMenu(state, grid, 0, first, 0, last); }
  void Copy(int first, int last) {
    Select(first, last);
    const RowOperation op = CopyRows(state, grid);
    EXPECT_TRUE(op.setClipboard);
    clipboard = op.clipboardText;
  }
  RowOperation Paste(BookGrid& into, const std::string& text) {
    return PasteRows(state, into, text, [this] { return ++questions, true; });
  }

  BookGrid grid;
  RowMenuState state;
  std::string clipboard;
  int questions = 0;
};

TEST_F(RowMenuTest, EnablingLooksAtTheRowsReallyTouched) {
  grid.SetCell(198, 1, "99");
  EXPECT_FALSE(Select(10, 12)->insertBlank) << "three blank rows would push row 198 out";
  Copy(10, 10);
  auto items = Select(10, 10);
  EXPECT_TRUE(items->paste && items->clipInsert) << "one row on the clipboard, row 200 free";
  grid.SetCell(198, 1, "");
  Copy(5, 7);
  grid.SetCell(198, 1, "99");
  items = Select(10, 10);
  EXPECT_EQ(std::tuple(items->insertBlank, items->clipInsert, items->paste), std::tuple(true, false, false))
      << "three inserted rows would push row 198 out";
  grid.SetCell(198, 1, "");
  items = Select(199, 199);
  EXPECT_TRUE(!items->paste && !items->clipInsert && Select(198, 198)->paste) << "three rows from 199 reach past 200";

  // Insert Blank Row(s) pushes the rows down and leaves nothing to paste.
  Select(2, 3);
  InsertBlankRows(state, grid);
  EXPECT_EQ(grid.Cell(2, 1) + "|" + grid.Cell(4, 1) + "|" + grid.Cell(32, 1), "|1202|1230");
  EXPECT_EQ(std::tuple(grid.activeRow, state.ClipRowCount), std::tuple(2, 0));
  items = Select(10, 10);
  EXPECT_FALSE(items->paste || items->clipInsert);
}

// The window test answers No; Yes overwrites exactly the rows copied, and
// the text on the clipboard brings a copied row back unchanged.
TEST_F(RowMenuTest, CopyThenPasteOverUsedRowsAsksAndYesOverwrites) {
  grid.SetCell(2, 2, " 1/ 5/2027");  // as an old file may hold it
  const BookRows before = grid.rows();
  Copy(1, 2);
  EXPECT_EQ(clipboard,
            "1201\t09/28/2026\t77001\t30056\t46945\t5.6\t\t\t\n"
            "1202\t 1/ 5/2027\t77002\t30056\t46946\t5.6\t\t\t\n");
  Copy(5, 7);
  EXPECT_EQ(grid.activeRow, 5);
  Select(20, 20);
  Paste(grid, clipboard);
  EXPECT_EQ(std::tuple(questions, state.SelLastRow), std::tuple(1, 22));
  for (int row = 20; row <= 22; ++row) EXPECT_EQ(grid.Row(row), before[row - 16]) << row;
  EXPECT_EQ(grid.Row(23), before[22]);
  Copy(1, 2);
  Select(100, 100);
  Paste(grid, clipboard);
  EXPECT_TRUE(grid.Row(100) == before[0] && grid.Row(101) == before[1]);
}

TEST_F(RowMenuTest, TextThatDoesNotFitIsRefusedAndTheGridKept) {
  Copy(5, 5);  // ClipRowCount 1
  const BookRows before = grid.rows();
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"1300\t09/28/2026\t77000\t\t\t100.5\n", "Pct. Bitum. takes percent up to 99.999"},
      {"1\t\t\t\t\t\t\t\t\tx\n", "more cells"}, {"1\n2\n", "2 rows"}, {"", "no rows"}};
  // clang-format on
  for (const auto& [text, says] : cases) {
    SCOPED_TRACE(text);
    Select(40, 40);
    const RowOperation op = Paste(grid, text);
    EXPECT_TRUE(!op.changed && op.message.find(says) != std::string::npos) << op.message;
    Select(40, 40);
    EXPECT_TRUE(!InsertRowsFromClipboard(state, grid, text).message.empty() && grid.rows() == before);
  }
}

// Rows of a spreadsheet, or of a pounds book into a tons book, are taken as
// typing takes them.
TEST_F(RowMenuTest, SpreadsheetRowsAndRowsOfAnotherBookPasteWhenTheyFit) {
  Copy(1, 2);
  // CR LF line ends, blanks around cells, trailing empty cells left out.
  Select(60, 60);
  Paste(grid, "1400\t10/02/2026\t 76880 \t29950\t46930\t5.8\r\n1401\t10/02/2026\t\t\t\t\t\tY\r\n");
  EXPECT_EQ(grid.Cell(60, 3) + "|" + grid.Cell(60, 6) + "|" + grid.Cell(60, 9) + "|" + grid.Cell(61, 8),
            "76880|5.800||Y");
  Copy(5, 7);
  BookGrid tons;
  OpenBook(3, "TONS", "1", tons);
  ASSERT_TRUE(OpenRowMenu(state, tons, 0, 1, 0, 1)->paste);
  Paste(tons, clipboard);
  EXPECT_EQ(tons.Cell(1, 3), "77005.000") << "whole pounds fit the three-decimal cells";
}

TEST(SpreadsheetPaste, AHeaderRowIsSkippedAndEveryMisfitIsNamedAndNoRowKept) {
  const GridColumns columns = SetGridColumns("E", "0");
  const std::string sheet =
      "Page No\tDate\tGross Weight\tTare Weight\tNet Weight\n"
      "1201\t9/28/2026\t77756\t30056\t47700\n1202\t09/28/2026\t77,1\t30056\t47044,5\n";
  EXPECT_EQ(std::tuple(ClipboardRowCount(sheet, columns), ClipboardRowCount("", columns)), std::tuple(2, 0));
  // Found by fuzzing: text refused part way gave back the rows read before.
  const ClipboardRows bad = ParseClipboardRows(sheet, columns, 200);
  EXPECT_EQ(bad.rows.size(), 0u);
  EXPECT_EQ(
      bad.error,
      "Row 2 of the clipboard, Gross Weight: \"77,1\" does not fit. Gross Weight takes whole pounds up to 99999.\n"
      "Row 2 of the clipboard, Net Weight: \"47044,5\" does not fit. Net Weight takes whole pounds up to 99999.");

  // Cells pasted at the cursor; a block that leaves the grid changes nothing.
  BookGrid grid;
  grid.SetColumns(columns);
  EXPECT_TRUE(PasteCells(grid, 5, 3, "77756\t30056\n77000\t30000\n").changed);
  EXPECT_EQ(grid.Cell(6, 4) + "|" + grid.Cell(6, 5), "30000|");
  EXPECT_FALSE(PasteCells(grid, 5, 8, "Y\tY\tY\n").changed);
  EXPECT_EQ(FormatClipboardCells(grid, 5, 6, 3, 4), "77756\t30056\n77000\t30000\n");
}

TEST_F(RowMenuTest, PasteItemsDoNothingWithoutClipboardRows) {
  const BookRows before = grid.rows();
  Select(3, 3);
  grid.activeRow = 9;
  const RowOperation op = Paste(grid, "1\n");
  EXPECT_EQ(std::tuple(op.changed, op.message, grid.activeRow), std::tuple(false, "", 9)) << "not even the active cell";
  InsertRowsFromClipboard(state, grid, "1\n");
  EXPECT_EQ(grid.rows(), before);
  CancelRowMenu(state, grid);
  EXPECT_EQ(grid.activeRow, 3);
}

TEST(GridColumns, WeightCellsTitlesAndUnitLineByTypeAndUnits) {
  // Units, book type, weight cells, their titles and the unit line.
  const std::tuple<const char*, const char*, CellKind, std::string, const char*, const char*, const char*> cases[] = {
      {"E", "0", CellKind::WholeNumber, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in LBS"},
      {"E", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in TONS"},
      {"E", "2", CellKind::WholeNumber, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in LBS"},
      {"E", "", CellKind::Decimal3, "Agg Weight", "Bit Weight", "Tot Weight", "Weights are in TONS"},
      {"M", "0", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in KGS"},
      {"M", "1", CellKind::Decimal3, "Gross Weight", "Tare Weight", "Net Weight", "Weights are in METRIC TONS"},
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
  // clang-format off
  const std::tuple<const ColumnRule*, const char*, bool> cases[] = {
      {&g[1], "999999", true}, {&g[1], "1000000", false}, {&g[1], "-4", false}, {&g[3], "812.6", false},
      {&tons[3], "99999.999", true}, {&tons[3], "23.4567", false}, {&tons[3], "1.2.3", false}, {&g[6], "99.999", true},
      {&g[6], "100", false}, {&g[7], "Y", true}, {&g[7], "", true}, {&g[8], "YY", false}};
  // clang-format on
  for (const auto& [rule, text, accepted] : cases) EXPECT_EQ(CellAccepts(*rule, text), accepted) << rule->title << text;
  EXPECT_EQ(CheckCellInput(tons[3], ".").state, CellInput::Intermediate);
  EXPECT_EQ(CheckCellInput(tons[3], "1,5").reason, "Gross Weight takes tons up to 99999.999, three decimals at most");
  EXPECT_EQ(CellTakes(SetGridColumns("M", "0")[4]) + "|" + CellTakes(SetGridColumns("M", "1")[5]),
            "Tare Weight takes kilograms up to 99999.999, three decimals at most|"
            "Net Weight takes metric tons up to 99999.999, three decimals at most");
  EXPECT_EQ(CheckCellInput(g[7], "YY").reason, "Priv Waste takes Y, N, Space or Delete");
}

// Which days are days is the calendar's (the cell entry table shows it is
// asked); here the cell takes them and no other form.
TEST(GridColumns, DateCellsTakeOnlyTheDateForm) {
  const ColumnRule date = SetGridColumns("E", "0")[2];
  // While typing, a start that can still become a date is not refused.
  for (const char* start : {"0", "03", "03/", "03/1", "03/01", "12/31", "03/15/", "03/15/2", "03/15/200"})
    EXPECT_EQ(CheckCellInput(date, start).state, CellInput::Intermediate) << start;
  for (const char* wrong : {"2", "13", "3/", "03/4", "03/32", "03/15/3", "03/15/20040", "2004-03-15"})
    EXPECT_EQ(CheckCellInput(date, wrong).state, CellInput::Invalid) << wrong;
}

TEST(CellEntry, KeepsWhatItCannotTakeAndGivesTheGridsOneForm) {
  const GridColumns pounds = SetGridColumns("E", "0"), kilos = SetGridColumns("M", "2");
  // clang-format off
  const std::tuple<const ColumnRule*, const char*, const char*, bool> cases[] = {
      {&kilos[3], "12,5", "12.500", true}, {&pounds[4], "12,5", "12,5", false},
      {&pounds[3], "1234567", "1234567", false}, {&kilos[3], "abc12.34567", "abc12.34567", false},
      {&pounds[1], " 000012 ", "12", true},
      {&pounds[6], "5.6", "5.600", true}, {&pounds[2], "09282026", "09/28/2026", true},
      {&pounds[2], "9/28/2026", "09/28/2026", true}, {&pounds[2], "9-8-2026", "09/08/2026", true},
      {&pounds[2], "13/45/2026", "13/45/2026", false}, {&pounds[2], "02/30/2026", "02/30/2026", false},
      {&pounds[7], "y", "Y", true}, {&pounds[8], "N", "", true}, {&pounds[9], "x", "x", false},
      {&kilos[5], "1,2,3", "1,2,3", false}, {&pounds[3], "", "", true}};
  // clang-format on
  for (const auto& [rule, typed, held, accepted] : cases) {
    const CellEntry entry = EnterCell(*rule, typed);
    EXPECT_EQ(std::tuple(entry.text, entry.accepted, entry.reason.empty()), std::tuple(held, accepted, accepted))
        << typed;
  }
  EXPECT_EQ(EnterCell(pounds[2], "02/30/2026").reason, "There is no 02/30/2026 in the calendar");
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
  after[5].cells[2] = "77756";
  EXPECT_EQ(DiffRows(before, after).before.size(), 1ul);  // a step of one row holds one row
  after[9].cells[0] = "10";
  const GridDelta delta = DiffRows(before, after);
  EXPECT_EQ(std::tuple(delta.first, delta.before.size(), delta.after.size()), std::tuple(5, 5ul, 5ul));
  BookRows rows = before;
  ApplyDelta(rows, delta, true);
  EXPECT_EQ(rows, after);
  ApplyDelta(rows, delta, false);
  EXPECT_TRUE(rows == before && DiffRows(before, before).empty());
}

}  // namespace
}  // namespace tonnage
