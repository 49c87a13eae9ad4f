#include "entry/cell_entry.h"

#include "text/fixed_width.h"

namespace tonnage {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string TwoDigit(std::string_view digits) {
  return digits.size() == 1 ? "0" + std::string(digits) : std::string(digits);
}

// m/d/yyyy with '/', '-' or '.' between the parts, or eight digits in a row.
std::string DateAsTyped(std::string_view text) {
  if (text.size() == 8) {
    bool digits = true;
    for (char c : text) digits = digits && IsDigit(c);
    if (digits)
      return std::string(text.substr(0, 2)) + "/" + std::string(text.substr(2, 2)) + "/" + std::string(text.substr(4));
  }
  std::string parts[3];
  int part = 0;
  for (char c : text) {
    if (IsDigit(c)) {
      parts[part] += c;
    } else if ((c == '/' || c == '-' || c == '.') && part < 2) {
      ++part;
    } else {
      return std::string(text);
    }
  }
  if (part != 2 || parts[0].empty() || parts[0].size() > 2 || parts[1].empty() || parts[1].size() > 2 ||
      parts[2].size() != 4)
    return std::string(text);
  return TwoDigit(parts[0]) + "/" + TwoDigit(parts[1]) + "/" + parts[2];
}

// mm/dd/yyyy with a month 1-12, a day 1-31 and a year 1990-2100: a date
// that is refused then names a day the month does not have.
bool InCalendarRange(std::string_view t) {
  if (t.size() != 10 || t[2] != '/' || t[5] != '/') return false;
  for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (!IsDigit(t[i])) return false;
  const std::string_view month = t.substr(0, 2), day = t.substr(3, 2), year = t.substr(6);
  return month >= "01" && month <= "12" && day >= "01" && day <= "31" && year >= "1990" && year <= "2100";
}

CellEntry Refused(std::string text, std::string reason) { return {std::move(text), false, std::move(reason)}; }

}  // namespace

CellEntry EnterCell(const ColumnRule& rule, std::string_view typed) {
  std::string text(TrimBlanks(typed));
  if (text.empty()) return {};
  switch (rule.kind) {
    case CellKind::Mark: {
      const std::string upper = ToUpper(text);
      if (upper == "Y") return {"Y", true, {}};
      if (upper == "N") return {};
      return Refused(text, CellTakes(rule));
    }
    case CellKind::Date: {
      text = DateAsTyped(text);
      if (CheckCellInput(rule, text).state == CellInput::Acceptable) return {text, true, {}};
      if (InCalendarRange(text)) return Refused(text, "There is no " + text + " in the calendar");
      return Refused(text, CellTakes(rule));
    }
    case CellKind::WholeNumber:
    case CellKind::Decimal3:
      break;
  }
  if (rule.kind == CellKind::Decimal3 && text.find(',') == text.rfind(',')) {
    if (const std::size_t comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  }
  if (CheckCellInput(rule, text).state != CellInput::Acceptable || text == ".") return Refused(text, CellTakes(rule));
  const double value = ParseLeadingNumber(text);
  return {FormatMask(value, rule.kind == CellKind::WholeNumber ? "0" : "0.000"), true, {}};
}

std::string ShowAsEntered(const ColumnRule& rule, std::string_view text) {
  CellEntry entry = EnterCell(rule, text);
  return entry.accepted ? std::move(entry.text) : std::string(text);
}

std::string ShapeDateAsTyped(std::string_view typed) {
  std::string digits;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const bool slotForSlash = i == 2 || i == 5;
    if (slotForSlash && typed[i] == '/') continue;
    if (!IsDigit(typed[i])) return std::string(typed);
    digits += typed[i];
  }
  // Only digits and slashes where they belong: rebuild with the slashes.
  std::string shaped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i == 2 || i == 4) shaped += '/';
    shaped += digits[i];
  }
  if (digits.size() > 8) return std::string(typed);
  return shaped;
}

std::optional<std::string> MarkAfterKey(std::string_view current, char key) {
  const bool set = !TrimBlanks(current).empty();
  switch (key) {
    case 'Y':
    case 'y':
      return std::string("Y");
    case 'N':
    case 'n':
    case '\x7f':  // Delete
      return std::string();
    case ' ':
      return set ? std::string() : std::string("Y");
    default:
      return std::nullopt;
  }
}

}  // namespace tonnage
