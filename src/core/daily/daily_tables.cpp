#include "daily/daily_tables.h"

#include <algorithm>

#include "text/fixed_width.h"

namespace tonnage::daily {
namespace {

TableCell Text(std::string text) { return {std::move(text), 0, false, 0}; }
// `decimals` fraction digits, at least one whole digit.
std::string Fixed(double value, int decimals) {
  std::string mask = "0";
  if (decimals > 0) mask += "." + std::string(static_cast<std::size_t>(decimals), '0');
  return FormatMask(value, mask);
}

TableCell Number(double value, int decimals) { return {Fixed(value, decimals), value, true, decimals}; }
TableCell Count(long value) { return Number(static_cast<double>(value), 0); }

std::string PageList(const BookDay& b) {
  std::string text;
  for (const PageGap& g : b.gaps) {
    if (!text.empty()) text += "; ";
    text += g.from == g.to ? "missing " + std::to_string(g.from)
                           : "missing " + std::to_string(g.from) + "-" + std::to_string(g.to);
  }
  for (const PageBreak& k : b.breaks) {
    if (!text.empty()) text += "; ";
    text += std::to_string(k.at) + " after " + std::to_string(k.after);
  }
  return text;
}

std::string Stations(const YieldEntry& e, const UnitWords& u) {
  if (!e.stationFrom.empty() || !e.stationTo.empty()) return e.stationFrom + " to " + e.stationTo;
  return Fixed(e.length, 1) + " " + u.length;
}

}  // namespace

UnitWords UnitsOf(bool metric) {
  if (metric) return {"Metric tons", "Litres", "kg", "m2", "kg/m2", "m", "mm"};
  return {"Tons", "Gallons", "lb", "SY", "lb/SY", "ft", "in"};
}

std::string SummaryTitle(const DailySummary& s) {
  std::string title = "Daily summary " + ShowDay(s.fromKey);
  if (s.toKey != s.fromKey) title += " to " + ShowDay(s.toKey);
  return title;
}

std::vector<Table> DailyTables(const DailySummary& s) {
  const UnitWords u = UnitsOf(s.metric);
  const std::string tons = u.tons, gallons = u.gallons;
  const int wd = s.metric ? 3 : 0;  // weights and gallons as the report shows them
  std::vector<Table> tables;

  Table books{"Books", "Loads and tons per book", {}, {}};
  books.headings = {"Date",
                    "Book",
                    "Mix or course",
                    "Loads",
                    "Private loads",
                    "Void",
                    std::string("Net weight (") + u.weight + ")",
                    tons,
                    "THEO " + tons,
                    "Pay " + gallons,
                    "Private " + tons,
                    "Private " + gallons,
                    "First page",
                    "Last page",
                    "Gaps and page-order breaks",
                    "Left out (date table full)",
                    "Loads to date",
                    tons + " to date",
                    "Pay " + gallons + " to date"};
  for (const Day& d : s.days)
    for (const BookDay& b : d.books)
      books.rows.push_back({Text(ShowDay(d.key)), Count(b.book), Text(b.comments), Count(b.loads),
                            Count(b.privateLoads), Count(b.voids), Number(b.netWeight, wd), Number(b.project.kpTons, 3),
                            Number(b.project.theoTons, 3), Number(b.project.payGallons, wd),
                            Number(b.privateWaste.kpTons, 3), Number(b.privateWaste.kpGallons, wd), Count(b.firstPage),
                            Count(b.lastPage), Text(PageList(b)), Count(b.leftOut), Count(b.toDate.loads),
                            Number(b.toDate.kpTons, 3), Number(b.toDate.payGallons, wd)});
  tables.push_back(std::move(books));

  Table days{"Days", "Day totals (as the tonnage report's by-date lines)", {}, {}};
  days.headings = {"Date",
                   "Loads",
                   "Void",
                   "THEO " + tons,
                   "KP " + tons,
                   "Pay " + gallons,
                   "THEO %",
                   "KP %",
                   "Private THEO " + tons,
                   "Private THEO " + gallons,
                   "Private KP " + tons,
                   "Private KP " + gallons,
                   "Mean % bitumen of tickets",
                   "Job " + tons + " to date",
                   "Job pay " + gallons + " to date"};
  for (const Day& d : s.days)
    days.rows.push_back({Text(ShowDay(d.key)), Count(d.loads), Count(d.voids), Number(d.project.theoTons, 3),
                         Number(d.project.kpTons, 3), Number(d.project.payGallons, wd), Number(d.project.theoPct, 2),
                         Number(d.project.kpPct, 2), Number(d.privateWaste.theoTons, 3),
                         Number(d.privateWaste.theoGallons, wd), Number(d.privateWaste.kpTons, 3),
                         Number(d.privateWaste.kpGallons, wd), Number(d.meanPct, 2), Number(d.jobToDate.kpTons, 3),
                         Number(d.jobToDate.payGallons, wd)});
  tables.push_back(std::move(days));

  Table yield{"Yield", "Yield check", {}, {}};
  yield.headings = {"Date",
                    "Book",
                    std::string("Stations or length"),
                    std::string("Width (") + u.length + ")",
                    std::string("Thickness (") + u.thickness + ")",
                    std::string("Target (") + u.rate + ")",
                    "Target -5 %",
                    "Target +5 %",
                    std::string("Area (") + u.area + ")",
                    tons + " placed",
                    std::string("Spread rate (") + u.rate + ")",
                    "% of target",
                    "Flag",
                    tons + " to date",
                    "Planned " + tons + " to date",
                    "Warning"};
  for (const YieldLine& y : s.yield) {
    const YieldFigures& f = y.figures;
    if (!y.error.empty()) {
      yield.rows.push_back({Text(ShowDay(y.entry.dateKey)), Count(y.entry.book), Text(Stations(y.entry, u)),
                            Number(y.entry.width, 1), Number(y.entry.thickness, s.metric ? 0 : 2), Text(""), Text(""),
                            Text(""), Text(""), Text(""), Text(""), Text(""), Text(y.error), Text(""), Text(""),
                            Text("")});
      continue;
    }
    std::string flag;
    if (f.offTarget) flag = f.percentOfTarget > 100 ? "ABOVE TARGET" : "BELOW TARGET";
    yield.rows.push_back({Text(ShowDay(y.entry.dateKey)), Count(y.entry.book), Text(Stations(y.entry, u)),
                          Number(y.entry.width, 1), Number(y.entry.thickness, s.metric ? 0 : 2), Number(f.target, 1),
                          Number(f.target * (1 - kYieldTolerance), 1), Number(f.target * (1 + kYieldTolerance), 1),
                          Number(f.area, 1), Number(f.tonsPlaced, 3), Number(f.spreadRate, 1),
                          Number(f.percentOfTarget, 1), Text(flag), Number(y.tonsToDate, 3), Number(y.plannedToDate, 3),
                          Text(y.overPlanned ? "TONS PLACED PASS 105 % OF PLANNED" : "")});
  }
  tables.push_back(std::move(yield));

  Table hours{"Hours", "Loads by hour (imported e-tickets)", {"Date", "Hour", "Loads"}, {}};
  for (const Day& d : s.days)
    for (std::size_t h = 0; h < d.loadsByHour.size(); ++h)
      if (d.loadsByHour[h] > 0)
        hours.rows.push_back(
            {Text(ShowDay(d.key)), Text(FormatMask(static_cast<double>(h), "00") + ":00"), Count(d.loadsByHour[h])});
  tables.push_back(std::move(hours));

  Table tickets{
      "Tickets", "Percent bitumen of each ticket", {"Date", "Book", "Page", tons, "% bitumen", "Day's mean %"}, {}};
  for (const Day& d : s.days)
    for (const TicketPercent& t : d.tickets)
      tickets.rows.push_back({Text(ShowDay(d.key)), Count(t.book), Count(t.pageNo), Number(t.tons, 3), Number(t.pct, 3),
                              Number(d.meanPct, 3)});
  tables.push_back(std::move(tickets));

  // One column per book that has tons on a charted date.
  std::vector<int> bookColumns;
  for (const DayTons& dt : s.tonsByDay)
    for (const auto& [book, t] : dt.books)
      if (std::find(bookColumns.begin(), bookColumns.end(), book) == bookColumns.end()) bookColumns.push_back(book);
  std::sort(bookColumns.begin(), bookColumns.end());
  Table byDay{"Tons by day", tons + " per day by book", {"Date"}, {}};
  for (int book : bookColumns) byDay.headings.push_back("Book " + std::to_string(book));
  byDay.headings.push_back("Total");
  byDay.headings.push_back("Cumulative");
  for (const DayTons& dt : s.tonsByDay) {
    std::vector<TableCell> row{Text(ShowDay(dt.key))};
    for (int book : bookColumns) {
      double value = 0;
      for (const auto& [b, t] : dt.books)
        if (b == book) value = t;
      row.push_back(Number(value, 3));
    }
    row.push_back(Number(dt.total, 3));
    row.push_back(Number(dt.cumulative, 3));
    byDay.rows.push_back(std::move(row));
  }
  tables.push_back(std::move(byDay));
  return tables;
}

}  // namespace tonnage::daily
