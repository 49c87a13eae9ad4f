// The index record window's fields: their lengths (the columns of the data
// file's first line) and the date a new, unsaved file starts with.
#pragma once

#include <string>

#include "data/model.h"
#include "text/calendar_date.h"

namespace tonnage {

inline constexpr int kRefNoLength = 7;
inline constexpr int kDateLength = 10;
inline constexpr int kProjectNoLength = 11;
inline constexpr int kEngineerLength = 26;

// "mm/dd/yyyy".
std::string FormatCalendarDate(const CalendarDate& date);

struct IndexFields {
  std::string refNo;
  std::string date;
  std::string projectNo;
  std::string engineer;
};

// The fields as the window opens: the stored record, except that a file
// created with New and not yet saved ("NoName") shows `today`.
IndexFields OpenIndexRecord(const IndexRecord& index, const std::string& dataFilePath,
                            const CalendarDate& today);

// Closing by any means stores the four fields as shown.
void StoreIndexRecord(IndexRecord& index, const IndexFields& fields);

}  // namespace tonnage
