// Yield entries kept in the project store beside the data file: read when
// the file opens, written at once with a history entry naming the book, the
// date and the fields changed. A file never saved has no store yet: its
// entries wait for the first save.
#pragma once

#include <string>
#include <vector>

#include "daily/yield_entries.h"
#include "store/project_store.h"

namespace tonnage {
class Session;
}

namespace tonnage::daily {

Outcome EnsureYieldTables(store::ProjectStore& store);
// Every entry of the store; none when it holds no yield tables.
std::vector<YieldEntry> LoadYieldEntries(store::ProjectStore& store);

// "width 12 -> 14, thickness 2 -> 1.5"; every field of the one side that
// exists when the other does not.
std::string DescribeYieldChange(const YieldEntry* before, const YieldEntry* after);

class StoredYieldEntries final : public YieldEntryStore {
 public:
  // Books are numbered as in the data file; the entries of `session`'s
  // store are read now.
  explicit StoredYieldEntries(Session& session);
  std::vector<YieldEntry> Entries() const override { return held_.Entries(); }
  Outcome Put(const YieldEntry& entry) override;
  Outcome Remove(int book, const std::string& dateKey) override;

 private:
  // Writes (or deletes, without `after`) the row with its history entry.
  Outcome Record(const YieldEntry* before, const YieldEntry* after, int book, const std::string& dateKey);

  Session& session_;
  HeldYieldEntries held_;
};

}  // namespace tonnage::daily
