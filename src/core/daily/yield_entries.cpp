#include "daily/yield_entries.h"

#include <algorithm>

namespace tonnage::daily {

Outcome HeldYieldEntries::Put(const YieldEntry& entry) {
  for (YieldEntry& e : entries_)
    if (e.book == entry.book && e.dateKey == entry.dateKey) {
      e = entry;
      return Outcome::Success();
    }
  entries_.push_back(entry);
  return Outcome::Success();
}

Outcome HeldYieldEntries::Remove(int book, const std::string& dateKey) {
  std::erase_if(entries_, [&](const YieldEntry& e) { return e.book == book && e.dateKey == dateKey; });
  return Outcome::Success();
}

}  // namespace tonnage::daily
