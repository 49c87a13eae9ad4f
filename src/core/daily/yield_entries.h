// Where the yield entries of the open data file are kept: one entry per book
// and date. The data file has no room for them.
#pragma once

#include <string>
#include <vector>

#include "daily/yield_check.h"
#include "data/outcome.h"

namespace tonnage::daily {

class YieldEntryStore {
 public:
  virtual ~YieldEntryStore() = default;
  virtual std::vector<YieldEntry> Entries() const = 0;
  // Replaces the entry of the same book and date, or adds it.
  virtual Outcome Put(const YieldEntry& entry) = 0;
  virtual Outcome Remove(int book, const std::string& dateKey) = 0;
};

// Entries held for as long as the file is open.
class HeldYieldEntries final : public YieldEntryStore {
 public:
  std::vector<YieldEntry> Entries() const override { return entries_; }
  Outcome Put(const YieldEntry& entry) override;
  Outcome Remove(int book, const std::string& dateKey) override;

 private:
  std::vector<YieldEntry> entries_;
};

}  // namespace tonnage::daily
