// The index record window's fields: their lengths (the columns of the data
// file's first line) and the date a new, unsaved file starts with.
#pragma once

#include <string>

#include "data/line_layout.h"
#include "data/model.h"
#include "text/calendar_date.h"

namespace tonnage {

inline constexpr int kRefNoLength = static_cast<int>(line_layout::index_line::kRefNo.width());
inline constexpr int kDateLength = static_cast<int>(line_layout::index_line::kDate.width());
inline constexpr int kProjectNoLength = static_cast<int>(line_layout::index_line::kProjectNo.width());
inline constexpr int kEngineerLength = static_cast<int>(line_layout::index_line::kEngineer.width());

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
IndexFields OpenIndexRecord(const IndexRecord& index, const std::string& dataFilePath, const CalendarDate& today);

// Closing by any means stores the four fields as shown.
void StoreIndexRecord(IndexRecord& index, const IndexFields& fields);

}  // namespace tonnage
