#include "report/date_table.h"

#include <algorithm>
#include <cstring>

#include "text/fixed_width.h"

namespace tonnage::report {

namespace {

// YYYYMMDD from an MM/DD/YYYY text taken by position (year, month, day, each
// as much of it as the date holds, run together); blanks become "0". Built in
// place with plain copies, as it runs once for every ticket.
void FillDateKey(std::string_view date, char (&key)[8]) {
  std::size_t length = 0;
  for (std::string_view part : {Columns(date, 7, 10), Columns(date, 1, 2), Columns(date, 4, 5)}) {
    std::copy(part.begin(), part.end(), key + length);  // a part past the date's end is empty, its data() null
    length += part.size();
  }
  while (length < 8) key[length++] = ' ';
  std::replace(key, key + 8, ' ', '0');
}

bool SameKey(const std::string& slotKey, const char (&key)[8]) {
  return std::memcmp(slotKey.data(), key, 8) == 0;  // every key is 8 long
}

}  // namespace

std::string MakeDateKey(std::string_view date) {
  char key[8];
  FillDateKey(date, key);
  return std::string(key, 8);
}

std::string ShowDateKey(std::string_view key) {
  return std::string(Columns(key, 5, 6)) + "/" + std::string(Columns(key, 7, 8)) + "/" +
         std::string(Columns(key, 1, 4));
}

void DateTable::Clear() {
  slots_.fill(DateSlot{});
  count_ = 0;
  last_ = 0;
}

int DateTable::SlotFor(std::string_view date) {
  char key[8];
  FillDateKey(date, key);
  // Tickets come in date order mostly: try the last date first.
  if (last_ < count_ && SameKey(slots_[static_cast<std::size_t>(last_)].key, key)) return last_;
  // Only slots in use are searched, so a date whose key reads as all zeros
  // gets a slot of its own instead of sharing the next new date's.
  for (int i = 0; i < count_; ++i)
    if (SameKey(slots_[static_cast<std::size_t>(i)].key, key)) return last_ = i;
  if (count_ == kDateSlots) return -1;
  slots_[static_cast<std::size_t>(count_)].key.assign(key, 8);
  last_ = count_;
  return count_++;
}

void DateTable::Sort() {
  // Keys are distinct, so any sort gives the one ascending order.
  std::sort(slots_.begin(), slots_.begin() + count_,
            [](const DateSlot& a, const DateSlot& b) { return a.key < b.key; });
  last_ = 0;
}

}  // namespace tonnage::report
