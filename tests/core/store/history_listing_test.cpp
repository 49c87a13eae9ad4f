// A ticket's last change for the grid's tooltip, followed back through book
// moves, and the listing cut into printed pages.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "store/history_listing.h"

namespace tonnage::store {
namespace {

using namespace testing;

TEST(HistoryListing, TicketNotesFollowTheBookBackThroughItsMoves) {
  ScratchFolder dir;
  ProjectStore s;
  ASSERT_TRUE(s.Open(dir.File("JOB.K81"), "quarrendale-tonnage").outcome.ok());
  const std::vector<std::pair<std::string, std::vector<Change>>> saves = {
      {"", {{kTicketAdded, 2, 0, "002203", "", "", "LINE"}, {kTicketAdded, 1, 0, "001201", "", "", "LINE"}}},
      {"scale fault",
       {{kTicketChanged, 1, 1, "001201", "Net Weight", "47000", "47100"},
        {kTicketChanged, 2, 2, "002203", "Gross Weight", "77059", "77306"},
        {kTicketChanged, 2, 2, "002203", "Net Weight", "47003", "47250"}}},
      {"book 1 entered twice",
       {{kBookDeleted, 0, 1, "", "", "HEADER", ""},
        {kBookMoved, 1, 2, "", "Book", "2", "1"},
        {kTicketRemoved, 0, 1, "001201", "", "LINE", ""}}},
      {"", {{kTicketAdded, 1, 1, "002206", "", "", "LINE"}}},
  };
  ASSERT_TRUE(s.AppendEntry("start", "", "", saves[0].second).ok());
  for (std::size_t k = 1; k < saves.size(); ++k)
    ASSERT_TRUE(s.AppendEntry("save", saves[k].first, "", saves[k].second).ok());
  const auto entries = s.Entries();  // newest first
  auto by = [&](std::size_t newest) {
    return " " + entries[newest].first.stamp.local + " by " + entries[newest].first.stamp.login;
  };

  const std::map<long, std::string> notes = TicketHistoryNotes(s, 1);
  EXPECT_EQ(notes,
            (std::map<long, std::string>{{2203, "Changed" + by(2) +
                                                    "\nGross Weight: 77059 -> 77306\nNet Weight: 47003 -> 47250\n"
                                                    "Why: scale fault"},
                                         {2206, "Added" + by(0) + "\nWhy: no reason given"}}));

  const std::vector<HistoryRow> rows = ListHistory(s, {});
  const auto pages = HistoryPages(rows, "JOB.K81", 5);
  std::string joined;
  for (const auto& page : pages) {
    ASSERT_LE(page.size(), 5u);
    EXPECT_EQ(page[0], "JOB.K81");
    for (std::size_t k = 2; k < page.size(); ++k) joined += page[k] + "\n";
  }
  EXPECT_EQ(joined, HistoryText(rows));
}

}  // namespace
}  // namespace tonnage::store
