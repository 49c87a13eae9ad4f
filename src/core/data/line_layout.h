// The columns of the data file's lines (1-based, inclusive), named once for
// the reader, the writer and the report.
//
// The same lines are read two ways. The data file's reader takes each field
// at its full width: weights of 10 columns, the engineer's 26 and the book
// comments' 35. The tonnage report reads as it always has: its weights stop
// a column short (9 columns: the writer's tenth is the blank between two
// weights, and a hand-edited digit there was never counted), and it takes
// the engineer and the comments to the end of the line. Its pages hold what
// that reading gives, so it stays as it is, in `report_line` below.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/fixed_width.h"

namespace tonnage::line_layout {

// `last` 0: to the end of the line.
struct Span {
  std::size_t first;
  std::size_t last;
  constexpr std::size_t width() const { return last - first + 1; }
};

inline std::string_view Take(std::string_view line, Span span) {
  return span.last == 0 ? ColumnsFrom(line, span.first) : Columns(line, span.first, span.last);
}

// The first line: "CST81 REFNO.. PROJECT NO. MM/DD/YYYY U ENGINEER".
namespace index_line {
inline constexpr Span kFileType{1, 5};
inline constexpr Span kRefNo{7, 13};
inline constexpr Span kProjectNo{15, 25};
inline constexpr Span kDate{27, 36};
inline constexpr Span kUnitSystem{38, 38};
inline constexpr Span kEngineer{40, 65};
// Files of the older type hold the engineer first, then the units.
inline constexpr Span kOlderEngineer{38, 50};
inline constexpr Span kOlderUnitSystem{52, 52};
}  // namespace index_line

// A book's first line: "* T G.GGGG COMMENTS".
namespace book_header_line {
inline constexpr Span kDataType{3, 3};
inline constexpr Span kGravity{5, 10};
inline constexpr Span kComments{12, 46};
}  // namespace book_header_line

// A ticket: "PAGENO MM/DD/YYYY GROSS.... TARE..... NET...... PCT... P V N".
namespace ticket_line {
inline constexpr Span kPageNo{1, 6};
inline constexpr Span kDate{8, 17};
inline constexpr Span kGross{19, 28};
inline constexpr Span kTare{29, 38};
inline constexpr Span kNet{39, 48};
inline constexpr Span kPctBitumen{49, 54};
inline constexpr Span kPrivWaste{56, 56};
inline constexpr Span kVoid{58, 58};
inline constexpr Span kNote{60, 60};
}  // namespace ticket_line

// The report's own reading (see the top of this file); the other fields it
// takes where the reader does.
namespace report_line {
inline constexpr Span kEngineer{index_line::kEngineer.first, 0};
inline constexpr Span kComments{book_header_line::kComments.first, 0};
inline constexpr Span kWeight1{ticket_line::kGross.first, ticket_line::kGross.last - 1};
inline constexpr Span kWeight2{ticket_line::kTare.first, ticket_line::kTare.last - 1};
inline constexpr Span kWeight3{ticket_line::kNet.first, ticket_line::kNet.last - 1};
}  // namespace report_line

}  // namespace tonnage::line_layout
