// The amounts of each ticket date, kept in a fixed table of 250 dates so the
// run's memory does not grow with the number of tickets.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tonnage::report {

inline constexpr int kDateSlots = 250;

struct DateSlot {
  std::string key = "00000000";  // YYYYMMDD
  double projectTheo = 0, projectKp = 0;
  double privateTheo = 0, privateKp = 0;
  double privateTheoGallons = 0, privateKpGallons = 0;
  double gravityAsphalt = 0;  // batch-plant bitumen weight of books with a gravity
  double plainAsphalt = 0;    // batch-plant bitumen weight of books without one
  double dateGravity = 0;     // gravity of the book of the last such ticket
  double payGallons = 0;
};

// The key of a ticket date: YYYYMMDD taken by position from MM/DD/YYYY,
// blanks as zeros.
std::string MakeDateKey(std::string_view date);
// MM/DD/YYYY from a key.
std::string ShowDateKey(std::string_view key);

class DateTable {
 public:
  DateTable() { Clear(); }
  void Clear();
  // The slot (0-based) of the ticket date, taking a new one for a date not
  // met before; -1 when all slots hold other dates.
  int SlotFor(std::string_view date);
  // Sorts the slots in use by key.
  void Sort();

  int size() const { return count_; }
  DateSlot& operator[](int i) { return slots_[static_cast<std::size_t>(i)]; }
  const DateSlot& operator[](int i) const { return slots_[static_cast<std::size_t>(i)]; }

 private:
  std::array<DateSlot, kDateSlots> slots_;
  int count_ = 0;
  int last_ = 0;
};

}  // namespace tonnage::report
