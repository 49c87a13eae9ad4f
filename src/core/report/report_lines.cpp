#include "report/report_lines.h"

#include <algorithm>

#include "report/fast_number.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

std::string Right(std::string_view text, std::size_t width) { return PadText(text, width, PadSide::Left); }
std::string Left(std::string_view text, std::size_t width) { return PadText(text, width, PadSide::Right); }
std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// English gallons are whole, metric litres carry three decimals.
int GallonDecimals(bool metric) { return metric ? 3 : 0; }

}  // namespace

PageHeader PageHeaderLines(const HeaderInfo& info, int pageNumber) {
  PageHeader header;
  std::string first = " " + info.versionText;
  // The title stands at column 32; a line already that long goes on below.
  constexpr std::size_t kTitleColumn = 32;
  if (first.size() >= kTitleColumn) {
    header.lines.push_back(std::move(first));
    first = Blanks(kTitleColumn - 1);
  } else {
    first = Left(first, kTitleColumn - 1);
  }
  first += "QUARRENDALE ";
  first += info.metric ? "(METRIC TONS)" : "(TONNAGE)";
  header.lines.push_back(std::move(first));

  header.pageNumberLine = header.lines.size();
  header.lines.push_back(" PROGRAM HARKST81      DATE PROC " + info.runDate + "    TIME PROC " + info.runTime +
                         "   PAGE " + PageNumberField(pageNumber));
  header.lines.push_back(" REF. # - " + Left(info.refNo, 7) + "     PROJECT NO. " + info.projectNo);
  header.lines.push_back(" SUBM ENGINEER: " + info.engineer);
  header.lines.push_back(std::string(" DATA IS IN ") + (info.metric ? "METRIC" : "ENGLISH"));
  return header;
}

std::string PageNumberField(int pageNumber) { return Amount(pageNumber, 5, 0); }

std::string WithPageNumber(std::string_view pageLine, int pageNumber) {
  // The number fills columns 74-78, the end of the line.
  constexpr std::size_t kNumberColumn = 74;
  std::string line(pageLine.substr(0, std::min(pageLine.size(), kNumberColumn - 1)));
  line = Left(line, kNumberColumn - 1);
  return line + PageNumberField(pageNumber);
}

std::string GravityLine(double bookGravity, std::string_view comments) {
  return " ***SPEC. GRAV. THIS BOOK = " + Amount(bookGravity, 7, 4) + "      " + std::string(comments);
}

Headings MainHeadings(LayoutCode code, bool metric, double bookGravity, std::string_view comments) {
  Headings h;
  h.lines.emplace_back(kBlankLine);
  switch (code) {
    case LayoutCode::BatchPlant:
    case LayoutCode::GrossTareNet:
      h.lines.emplace_back(code == LayoutCode::BatchPlant
                               ? " PAGE NO      DATE    AGGR. WT   ASPH WT    TOT WT    KP TOT"
                               : " PAGE NO      DATE    GROSS WT   TARE WT    NET WT    KP NET");
      h.lines.push_back(GravityLine(bookGravity, comments));
      h.lines.emplace_back(kBlankLine);
      h.lineCount = 10;
      break;
    case LayoutCode::ProjectMaterial:
      h.lines.push_back(Blanks(7) + "DATE" + Blanks(14) + "PROJECT MATERIAL");
      h.lines.push_back(Blanks(19) + (metric ? "THEO MTON       KP MTON   CALC. PAY  L     THEO %     KP %"
                                             : "THEO TONS       KP TONS   CALC. PAY GALS   THEO %     KP %"));
      h.lineCount = 8;
      break;
    case LayoutCode::PrivateWaste:
      h.lines.push_back(Blanks(7) + "DATE" + Blanks(14) + "PRIVATE WORK OR WASTE MATERIAL");
      h.lines.push_back(Blanks(18) + (metric ? "THEO MTON      THEO  L    KP MTON     KP  L  "
                                             : "THEO TONS    THEO GALS    KP TONS   KP GALS"));
      h.lineCount = 8;
      break;
    case LayoutCode::MonthlySummary:
      h.lines.emplace_back(metric ? "    SUMMARY OF LITTERS BY MONTH FROM PRECEEDING CALC. PAY LITTERS"
                                  : "    SUMMARY OF GALLONS BY MONTH FROM PRECEEDING CALC. PAY GALLONS");
      h.lineCount = 7;
      break;
  }
  return h;
}

std::vector<std::string> ErrorPageHeadings() { return {std::string(kBlankLine), "    ERROR REPORT"}; }

std::vector<std::string> InvalidFormatBlock() {
  const std::string stars(45, '*');
  return {stars, "    DATA FORMAT IS INVALID", stars};
}

std::vector<std::string> ErrorBookLines(std::string_view comments, double bookGravity) {
  return {std::string(kBlankLine), "  " + Left(comments, 35) + "  " + Amount(bookGravity, 7, 4)};
}

std::string TheoKpMismatchLine(double theo, double kp) {
  return " *** ERROR *** THEO = " + Amount(theo, 15, 3) + "  KP = " + Amount(kp, 15, 3);
}

std::string TicketEcho(std::string_view ticketLine) { return " " + std::string(TrimRightBlanks(ticketLine)); }

void BuildDetailLine(std::string& line, const DetailValues& v) {
  const bool threeDecimals = v.tonsBook || v.metric;
  const double divisor = v.tonsBook ? TonFactor(v.metric) : 1.0;
  line.clear();  // its room stays for the next ticket
  // One weight field: the amount right-aligned, then blanks to 10.
  auto field = [&](bool shown, double weight, std::size_t poundsWidth) {
    const std::size_t start = line.size();
    if (shown) {
      if (threeDecimals)
        AppendAmount(line, weight / divisor, 10, 3);
      else
        AppendAmount(line, weight, poundsWidth, 0);
    }
    const std::size_t length = line.size() - start;
    if (length < 10) line.append(10 - length, ' ');
  };
  // Literal pieces go in with their lengths: a hundred thousand lines a run.
  line.push_back(' ');
  AppendAmount(line, static_cast<double>(v.pageNo), 6, 0);
  line.append("  ", 2);
  if (v.date.size() < 10) line.append(10 - v.date.size(), ' ');
  line.append(v.date.data(), v.date.size());
  line.append("  ", 2);
  field(v.w1 != 0, v.w1, 6);
  line.push_back(' ');
  field(v.w2 != 0, v.w2, 6);
  line.push_back(' ');
  field(true, v.theo, 7);
  line.push_back(' ');
  field(v.kp != v.theo, v.kp, 6);
  const char* units = v.tonsBook ? (v.metric ? " MTON " : " TONS ") : (v.metric ? " KGS  " : " LBS  ");
  line.append(units, 6);
  line.append(v.errorTag.data(), v.errorTag.size());
}

std::vector<std::string> VoidLines(long pageNo, std::string_view date, std::string_view errorTag) {
  return {
      " " + Amount(static_cast<double>(pageNo), 10, 0) + "  " + Right(date, 10) + Blanks(52) + std::string(errorTag),
      " -------- VOID, STATE REASON:", std::string(kBlankLine)};
}

std::string BitumenLine(double pct, double theoGallons, double kpGallons, bool metric) {
  auto gallons = [&](double g) { return Left(metric ? Amount(g, 10, 3) : Amount(g, 6, 0), 10); };
  return " -------- PRVT- %BITUM= " + Amount(pct, 7, 3) + (metric ? " TH L =" : " THGAL=") + gallons(theoGallons) +
         (metric ? " KP L = " : " KPGAL= ") + gallons(kpGallons);
}

std::vector<std::string> BookTotalLines(const BookTotals& t, bool metric) {
  const double tons = TonFactor(metric);
  const std::string pad(18, ' ');
  const std::string pvt = " PRIVATE_WASTE    ";
  // English weights and gallons are whole with a wide gap; metric all three decimals.
  auto pair = [&](double a, double b) {
    return metric ? Amount(a, 12, 3) + " " + Amount(b, 12, 3) : Amount(a, 8, 0) + "     " + Amount(b, 8, 0);
  };
  auto tonPair = [&](double a, double b) { return Amount(a / tons, 12, 3) + " " + Amount(b / tons, 12, 3); };
  const char* weightWord = metric ? "KGS  " : "LBS  ";
  const char* tonWord = metric ? "MTON " : "TONS ";
  const char* gallonWord = metric ? "L    " : "GALS ";
  return {std::string(kBlankLine),
          pad + "BOOK TOTAL  " + weightWord + pair(t.projectTheo, t.projectKp),
          pad + "BOOK TOTAL  " + tonWord + tonPair(t.projectTheo, t.projectKp),
          pvt + "BOOK TOTAL  " + weightWord + pair(t.privateTheo, t.privateKp),
          pvt + "BOOK TOTAL  " + tonWord + tonPair(t.privateTheo, t.privateKp),
          pvt + "BOOK TOTAL  " + gallonWord + pair(t.privateTheoGallons, t.privateKpGallons)};
}

std::string ProjectDateLine(std::string_view date, double theoTons, double kpTons, double payGallons, double theoPct,
                            double kpPct, bool metric) {
  return " " + Right(date, 10) + "       " + Amount(theoTons, 10, 3) + "    " + Amount(kpTons, 10, 3) + "    " +
         Amount(payGallons, 13, GallonDecimals(metric)) + "   " + Amount(theoPct, 6, 2) + "   " + Amount(kpPct, 6, 2);
}

std::string ProjectTotalLine(double theoWeight, double kpWeight, double payGallons, bool metric) {
  const double tons = TonFactor(metric);
  return "    TOTAL        " + Amount(theoWeight / tons, 11, 3) + "   " + Amount(kpWeight / tons, 11, 3) + "    " +
         Amount(payGallons, 13, GallonDecimals(metric));
}

std::string PrivateDateLine(std::string_view date, double theoTons, double theoGallons, double kpTons, double kpGallons,
                            bool metric) {
  auto gallons = [&](double g) { return metric ? Amount(g, 10, 3) : Left(Amount(g, 6, 0), 10); };
  return " " + Right(date, 10) + "      " + Amount(theoTons, 10, 3) + "  " + gallons(theoGallons) + "  " +
         Amount(kpTons, 10, 3) + "  " + gallons(kpGallons);
}

std::string PrivateTotalLine(double theoWeight, double theoGallons, double kpWeight, double kpGallons, bool metric) {
  const double tons = TonFactor(metric);
  auto gallons = [&](double g) { return metric ? Amount(g, 11, 3) : Left(Amount(g, 7, 0), 11); };
  return "    TOTAL       " + Amount(theoWeight / tons, 11, 3) + " " + gallons(theoGallons) + " " +
         Amount(kpWeight / tons, 11, 3) + " " + gallons(kpGallons);
}

std::string MonthLine(std::string_view fromDate, std::string_view toDate, double payGallons, bool metric) {
  return Blanks(10) + std::string(fromDate) + "  TO  " + std::string(toDate) + "     " +
         Amount(payGallons, 13, GallonDecimals(metric));
}

}  // namespace tonnage::report
