// Found by fuzzing: text refused part way gave back the rows read before.
#include <gtest/gtest.h>

#include "entry/grid_columns.h"
#include "entry/row_menu.h"

namespace tonnage {
namespace {

TEST(ClipboardRefusal, ARefusedTextGivesNoRows) {
  const GridColumns columns = SetGridColumns("E", "0");
  const std::string good = "1201\t09/28/2026\t77756\t30056\t47700\t5.6\t\t\t\n";
  const ClipboardRows ok = ParseClipboardRows(good, columns, 200);
  ASSERT_TRUE(ok.error.empty()) << ok.error;
  ASSERT_EQ(ok.rows.size(), 1u);
  const ClipboardRows bad = ParseClipboardRows(good + "1202\tnot a date\t1\t2\t3\t\t\t\t\n", columns, 200);
  EXPECT_FALSE(bad.error.empty());
  EXPECT_TRUE(bad.rows.empty());
}

}  // namespace
}  // namespace tonnage
