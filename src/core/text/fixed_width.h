// Fixed-width text fields and locale-free numbers.
//
// Rounding rule: a double is first taken to the decimal number a person
// would write for it, its 15 significant digits, and that decimal is rounded.
// So 2.675 (stored as 2.67499999...) formats as 2.68 and 1.0005 as 1.001,
// as a pocket calculator would show them. FormatMask rounds halves away from
// zero; RoundHalfEven (English whole-pound weight cells) to the even neighbour.
#pragma once

#include <string>
#include <string_view>

namespace tonnage {

enum class PadSide { Right, Left };

// Blank-pads `text` to at least `width`; never truncates. Right adds blanks
// behind (left-aligned field), Left in front (right-aligned field).
std::string PadText(std::string_view text, std::size_t width, PadSide side);

// Leading numeric part of a text: blanks skipped, optional sign, digits and
// one period. A text without one (or a number out of double range) gives 0.
double ParseLeadingNumber(std::string_view text);

// Formats through a mask of '#' (optional digit) and '0' (required digit),
// e.g. "####0.000", "##0.0000", "000000". The integer part is never cut;
// a value that rounds to zero carries no minus sign.
std::string FormatMask(double value, std::string_view mask);

// Whole number nearest to `value`, halves to the even neighbour.
double RoundHalfEven(double value);

// Upper case of ASCII and Latin-1 letters; every other byte kept.
inline char UpperLatin1(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  const bool lower = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
  return lower ? static_cast<char>(c - 0x20) : ch;
}
void ToUpperInPlace(std::string& text);
std::string ToUpper(std::string_view text);

// Trims blanks (spaces only) on both sides.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

// Columns `first`..`last` (1-based, inclusive) of a line, clipped to the
// line's length; empty when the line is shorter than `first`. Inline: the
// report cuts every ticket line into its fields with these.
inline std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
  if (first == 0 || first > line.size() || last < first) return {};
  return line.substr(first - 1, last - first + 1);
}
// Column `first` to the end of the line.
inline std::string_view ColumnsFrom(std::string_view line, std::size_t first) {
  if (first == 0 || first > line.size()) return {};
  return line.substr(first - 1);
}

}  // namespace tonnage
