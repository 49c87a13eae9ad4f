#include "daily/stored_yield_entries.h"

#include <gtest/gtest.h>

#include "../entry/entry_fixture.h"

namespace tonnage::daily {
namespace {

using namespace tonnage::testing;

class StoredYieldTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    session.Book(1) = {"SURFACE SP 12.5", "0", "0"};
    WriteFile(session.SectionPath(1), "001201 09/29/2026 77756     30056     47700      5.600      \r\n");
  }
  std::string LastReason() { return session.store().LastEntry()->reason; }
};

TEST_F(StoredYieldTest, EntriesLiveInTheStoreAndEveryChangeIsInTheHistory) {
  const std::string job = scratch.File("JOB.K81");
  YieldEntry paved{1, "20260929", "12+50", "45+00", 0, 12, 2, 0, 2.54};
  {
    // A file never saved: the entry waits for the first save.
    StoredYieldEntries unsaved(session);
    ASSERT_TRUE(unsaved.Put(paved).ok());
    ASSERT_TRUE(session.SaveAs(job).ok());
    EXPECT_EQ(LastReason(),
              "yield entry of book 1 for 09/29/2026 added: stations 12+50 to 45+00, width 12, thickness 2, Gmm 2.54");
  }
  StoredYieldEntries entries(session);
  ASSERT_EQ(entries.Entries(), std::vector<YieldEntry>{paved});
  const std::int64_t seq = session.store().LastEntry()->seq;
  ASSERT_TRUE(entries.Put(paved).ok());
  EXPECT_EQ(session.store().LastEntry()->seq, seq) << "nothing changed, nothing recorded";

  YieldEntry wider = paved;
  wider.width = 14.5;
  wider.stationFrom = wider.stationTo = "";
  wider.length = 3250;
  ASSERT_TRUE(entries.Put(wider).ok());
  EXPECT_EQ(LastReason(),
            "yield entry of book 1 for 09/29/2026: stations 12+50 to 45+00 -> (none), "
            "length (none) -> 3250, width 12 -> 14.5");
  YieldEntry metric{1, "20260930", "", "", 991.5, 3.75, 40, 2.3, 0};
  ASSERT_TRUE(entries.Put(metric).ok());

  ASSERT_TRUE(session.Open(job).ok());
  StoredYieldEntries reopened(session);
  EXPECT_EQ(reopened.Entries(), (std::vector<YieldEntry>{wider, metric}));
  ASSERT_TRUE(reopened.Remove(1, "20260929").ok());
  EXPECT_EQ(LastReason(),
            "yield entry of book 1 for 09/29/2026 removed: length 3250, width 14.5, thickness 2, "
            "Gmm 2.54");
  EXPECT_EQ(LoadYieldEntries(session.store()), std::vector<YieldEntry>{metric});
}

}  // namespace
}  // namespace tonnage::daily
