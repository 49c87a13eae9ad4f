// Every line of the report spool, built from values. Widths and columns are
// fixed because inspectors lay the printout over the plant's own records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonnage::report {

inline constexpr std::string_view kPageSeparator = "\f";
inline constexpr std::string_view kBlankLine = " ";
inline constexpr int kLinesPerPage = 57;

// Column headings of the next main page.
enum class LayoutCode : int {
  GrossTareNet = 0,
  BatchPlant = 1,
  ProjectMaterial = 3,
  PrivateWaste = 4,
  MonthlySummary = 5,
};

// What every page header shows.
struct HeaderInfo {
  std::string versionText;
  std::string runDate;  // MM/DD/YYYY
  std::string runTime;  // HH:MM:SS
  std::string refNo;
  std::string projectNo;
  std::string engineer;
  bool metric = false;
};

// The page header; its first line wraps when the version text is too long
// for the title to start at column 32, so the header is five or six lines.
// `pageNumberLine` is the index of the line that carries the page number.
struct PageHeader {
  std::vector<std::string> lines;
  std::size_t pageNumberLine = 0;
};
PageHeader PageHeaderLines(const HeaderInfo& info, int pageNumber);

// The page number of a header's page line, right 5.
std::string PageNumberField(int pageNumber);
// A header's page line with its page number replaced.
std::string WithPageNumber(std::string_view pageLine, int pageNumber);

// Lines after the page header of a main page, and the line count the page
// then has.
struct Headings {
  std::vector<std::string> lines;
  int lineCount = 0;
};
Headings MainHeadings(LayoutCode code, bool metric, double bookGravity, std::string_view comments);
std::string GravityLine(double bookGravity, std::string_view comments);

std::vector<std::string> ErrorPageHeadings();
std::vector<std::string> InvalidFormatBlock();

// Error report.
std::vector<std::string> ErrorBookLines(std::string_view comments, double bookGravity);
std::string TheoKpMismatchLine(double theo, double kp);
inline constexpr std::string_view kPageOrderError = " *** ERROR *** PAGE ORDER ERROR";
inline constexpr std::string_view kTableFullError = " *** ERROR *** TABLE IS FULL";
inline constexpr std::string_view kGrossLessThanTareError = " *** ERROR *** GROSS LESS THAN TARE";
std::string TicketEcho(std::string_view ticketLine);

inline constexpr std::string_view kPageOrderTag = "PAGE ORDER";

// Main report, one ticket.
struct DetailValues {
  long pageNo = 0;
  std::string_view date;
  double w1 = 0, w2 = 0, theo = 0, kp = 0;  // pounds or kilograms
  bool tonsBook = false;
  bool metric = false;
  std::string_view errorTag;
};
// The detail line of a ticket into `line` (emptied first), whose room is used
// again from ticket to ticket.
void BuildDetailLine(std::string& line, const DetailValues& v);
std::vector<std::string> VoidLines(long pageNo, std::string_view date, std::string_view errorTag);
inline constexpr std::string_view kNoteLine = " -------- NOTE";
inline constexpr std::string_view kNoBitumenLine = " --------  PVT. WORK OR WASTE, NO BITUMEN PUNCHED";
std::string BitumenLine(double pct, double theoGallons, double kpGallons, bool metric);

struct BookTotals {
  double projectTheo = 0, projectKp = 0;
  double privateTheo = 0, privateKp = 0;
  double privateTheoGallons = 0, privateKpGallons = 0;
};
// The blank line and the five total lines.
std::vector<std::string> BookTotalLines(const BookTotals& t, bool metric);

// Date sections; `date` is MM/DD/YYYY, weights in pounds or kilograms.
std::string ProjectDateLine(std::string_view date, double theoTons, double kpTons, double payGallons, double theoPct,
                            double kpPct, bool metric);
std::string ProjectTotalLine(double theoWeight, double kpWeight, double payGallons, bool metric);
std::string PrivateDateLine(std::string_view date, double theoTons, double theoGallons, double kpTons, double kpGallons,
                            bool metric);
std::string PrivateTotalLine(double theoWeight, double theoGallons, double kpWeight, double kpGallons, bool metric);
std::string MonthLine(std::string_view fromDate, std::string_view toDate, double payGallons, bool metric);

// Pounds per short ton or kilograms per metric ton.
inline double TonFactor(bool metric) { return metric ? 1000.0 : 2000.0; }

}  // namespace tonnage::report
