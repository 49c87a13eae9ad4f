#include "entry/index_record_form.h"

#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {

std::string FormatCalendarDate(const CalendarDate& date) {
  return FormatMask(date.month, "00") + "/" + FormatMask(date.day, "00") + "/" + FormatMask(date.year, "0000");
}

IndexFields OpenIndexRecord(const IndexRecord& index, const std::string& dataFilePath, const CalendarDate& today) {
  IndexFields fields{index.refNo, index.date, index.projectNo, index.engineer};
  if (dataFilePath == kNoName) fields.date = FormatCalendarDate(today);
  return fields;
}

void StoreIndexRecord(IndexRecord& index, const IndexFields& fields) {
  index.date = fields.date;
  index.engineer = fields.engineer;
  index.refNo = fields.refNo;
  index.projectNo = fields.projectNo;
}

}  // namespace tonnage
