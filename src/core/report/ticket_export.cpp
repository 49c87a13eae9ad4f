#include "report/ticket_export.h"

#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

class NullSink final : public LineSink {
 public:
  void WriteLine(std::string_view) override {}
};
class NullMainSink final : public MainReportSink {
 public:
  void WriteLine(std::string_view, bool) override {}
};

// Weights keep up to three decimals and drop trailing zeros: 15000, 12.5.
std::string Number(double value) { return FormatMask(value, "0.###"); }

// MM/DD/YYYY as YYYY-MM-DD; any other text as it stands.
std::string IsoDate(std::string_view date) {
  auto digits = [&](std::size_t first, std::size_t n) {
    for (std::size_t i = first; i < first + n; ++i)
      if (i >= date.size() || date[i] < '0' || date[i] > '9') return false;
    return true;
  };
  if (date.size() == 10 && digits(0, 2) && date[2] == '/' && digits(3, 2) && date[5] == '/' && digits(6, 4))
    return std::string(date.substr(6, 4)) + "-" + std::string(date.substr(0, 2)) + "-" + std::string(date.substr(3, 2));
  return std::string(date);
}

std::string Errors(unsigned errors) {
  std::string text;
  auto add = [&](unsigned bit, const char* name) {
    if (!(errors & bit)) return;
    if (!text.empty()) text += "; ";
    text += name;
  };
  add(kErrorPageOrder, "PAGE ORDER");
  add(kErrorTableFull, "TABLE IS FULL");
  add(kErrorGrossLessThanTare, "GROSS LESS THAN TARE");
  add(kErrorTheoKpMismatch, "THEO/KP MISMATCH");
  return text;
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

bool ExportTickets(io::LineSource& work, LineSink& csv) {
  csv.WriteLine(
      "Book,Comments,Data Type,Specific Gravity,Page,Date,Gross or Agg Weight,Tare or Bit Weight,"
      "Net or Tot Weight,THEO,KP,Unit,Pct Bitumen,Priv Waste,Void,Note,Errors");
  std::string row;
  auto observer = [&](const TicketSeen& t) {
    auto weight = [&](std::string_view text, double value) { return text.empty() ? std::string() : Number(value); };
    auto mark = [](bool on) { return on ? "Y" : ""; };
    row = std::to_string(t.book) + "," + CsvField(t.comments) + "," + CsvField(t.dataType) + "," +
          FormatMask(t.bookGravity, "0.0000") + "," + std::to_string(t.pageNo) + "," + CsvField(IsoDate(t.date)) + "," +
          weight(t.w1Text, t.w1) + "," + weight(t.w2Text, t.w2) + "," + weight(t.w3Text, t.w3) + "," + Number(t.theo) +
          "," + Number(t.kp) + "," + (t.metric ? "kg" : "lb") + "," +
          (t.pctText.empty() ? std::string() : FormatMask(t.pct, "0.000")) + "," + mark(t.privWaste) + "," +
          mark(t.isVoid) + "," + mark(t.note) + "," + Errors(t.errors);
    csv.WriteLine(row);
  };
  NullSink errors;
  NullMainSink main;
  const RunResult result = ComputeTonnageReport(work, "", RunStamp{}, errors, main, observer);
  return result.validFormat;
}

}  // namespace tonnage::report
