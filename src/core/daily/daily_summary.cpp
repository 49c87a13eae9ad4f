#include "daily/daily_summary.h"

#include <algorithm>

#include "data/data_file.h"
#include "report/report_lines.h"
#include "text/fixed_width.h"

namespace tonnage::daily {
namespace {

// Hands the lines on, keeping the first (the index line) for the headings.
class IndexLineTap final : public io::LineSource {
 public:
  explicit IndexLineTap(io::LineSource& inner) : inner_(inner) {}
  bool Next(std::string& line) override {
    if (!inner_.Next(line)) return false;
    if (!seen_) {
      first = line;
      seen_ = true;
    }
    return true;
  }
  bool UpperCase() const override { return inner_.UpperCase(); }
  std::string first;

 private:
  io::LineSource& inner_;
  bool seen_ = false;
};

class NullSink final : public report::LineSink {
 public:
  void WriteLine(std::string_view) override {}
};
class NullMainSink final : public report::MainReportSink {
 public:
  void WriteLine(std::string_view, bool) override {}
};

// One book on one date.
struct Cell {
  report::DateSlot slot;
  int loads = 0, privateLoads = 0, voids = 0, leftOut = 0;
  double netWeight = 0;
  long firstPage = 0, lastPage = 0;
  bool anyPage = false;
  std::vector<PageGap> gaps;
  std::vector<PageBreak> breaks;
};

struct BookState {
  std::string comments, dataType;
  double gravity = 0;
  std::map<std::string, Cell> cells;  // by date key
  long lastPage = 0;
  bool anyPage = false;
};

struct DayState {
  report::DateSlot slot;
  int loads = 0, voids = 0, leftOut = 0;
  double netWeight = 0;
  Day extras;  // hours and ticket percents, for days of the range
};

void AddRunning(BookRunning& r, const report::ProjectDate& p, const report::PrivateDate& q, int loads) {
  r.loads += loads;
  r.kpTons += p.kpTons;
  r.theoTons += p.theoTons;
  r.payGallons += p.payGallons;
  r.privateKpTons += q.kpTons;
  r.privateKpGallons += q.kpGallons;
}

}  // namespace

std::string DayKey(std::string_view date) { return report::MakeDateKey(date); }

std::string ShowDay(std::string_view key) { return report::ShowDateKey(key); }

DailyResult SummarizeDays(io::LineSource& work, std::string_view fromKey, std::string_view toKey,
                          const DailyExtras& extras) {
  DailyResult result;
  DailySummary& s = result.summary;
  s.fromKey = std::string(fromKey);
  s.toKey = std::string(toKey);
  const LoadTimes& loadTimes = extras.loadTimes;
  std::map<int, BookState> books;
  std::map<std::string, DayState> days;
  auto inRange = [&](const std::string& key) { return key >= fromKey && key <= toKey; };

  auto observe = [&](const report::TicketSeen& t) {
    BookState& b = books[t.book];
    if (!b.anyPage) {
      b.comments = std::string(t.comments);
      b.dataType = std::string(t.dataType);
      b.gravity = t.bookGravity;
    }
    const std::string key = DayKey(t.date);
    Cell& c = b.cells[key];
    DayState& d = days[key];
    // Pages follow one another within a book, across dates too.
    if (b.anyPage && t.pageNo != b.lastPage + 1) {
      if (t.pageNo > b.lastPage + 1)
        c.gaps.push_back({b.lastPage + 1, t.pageNo - 1});
      else
        c.breaks.push_back({b.lastPage, t.pageNo});
    }
    b.lastPage = t.pageNo;
    b.anyPage = true;
    if (!c.anyPage) c.firstPage = t.pageNo;
    c.lastPage = t.pageNo;
    c.anyPage = true;
    if (t.isVoid) {
      ++c.voids;
      ++d.voids;
      return;
    }
    if (!t.counted) {
      ++c.leftOut;
      ++d.leftOut;
      return;
    }
    ++c.loads;
    ++d.loads;
    if (t.privWaste) {
      ++c.privateLoads;
    } else {
      c.netWeight += t.kp;
      d.netWeight += t.kp;
    }
    report::AddToDate(c.slot, t);
    report::AddToDate(d.slot, t);
    if (!inRange(key)) return;
    if (const auto at = loadTimes.find({t.book, t.pageNo}); at != loadTimes.end()) {
      const int hour = std::clamp(at->second / 60, 0, 23);
      ++d.extras.loadsByHour[static_cast<std::size_t>(hour)];
      ++d.extras.timedLoads;
    }
    double pct = t.pct;
    if (pct <= 0 && t.batchAsphalt && t.w1 + t.w2 > 0) pct = t.w2 / (t.w1 + t.w2) * 100.0;
    if (pct > 0) d.extras.tickets.push_back({t.book, t.pageNo, t.kp / report::TonFactor(t.metric), pct});
  };

  IndexLineTap tap(work);
  NullSink errors;
  NullMainSink main;
  const report::RunResult run = report::ComputeTonnageReport(tap, "", report::RunStamp{}, errors, main, observe);
  if (!run.validFormat) {
    result.outcome = Outcome::Failure(OutcomeKind::InvalidFile, "Daily Summary",
                                      "The file is not a data file: its first line is not an "
                                      "index line.");
    return result;
  }
  std::string first = tap.first;
  ToUpperInPlace(first);
  const IndexRecord index = ParseIndexLine(first);
  s.metric = index.unitSystem == "M";
  s.refNo = index.refNo;
  s.projectNo = index.projectNo;
  s.engineer = index.engineer;

  for (const auto& [key, day] : days) s.dates.push_back(key);
  for (const auto& [number, b] : books) s.books.emplace_back(number, b.comments);

  // The days of the range, with the job's running totals by the report's
  // own date figures.
  std::map<std::string, Day> picked;
  BookRunning job;
  for (auto& [key, d] : days) {
    const report::ProjectDate p = report::ProjectByDate(d.slot, s.metric);
    const report::PrivateDate q = report::PrivateByDate(d.slot, s.metric);
    AddRunning(job, p, q, d.loads);
    if (key > toKey) break;
    if (!inRange(key)) continue;
    Day& day = picked[key];
    day = std::move(d.extras);
    day.key = key;
    day.project = p;
    day.privateWaste = q;
    day.loads = d.loads;
    day.voids = d.voids;
    day.leftOut = d.leftOut;
    day.netWeight = d.netWeight;
    day.jobToDate = job;
    double weighted = 0, tons = 0;
    for (const TicketPercent& t : day.tickets) {
      weighted += t.pct * t.tons;
      tons += t.tons;
    }
    day.meanPct = tons > 0 ? weighted / tons : 0;
  }

  // Each book's days in the range, its running totals over all its dates.
  for (const auto& [number, b] : books) {
    BookRunning running;
    for (const auto& [key, c] : b.cells) {
      const report::ProjectDate p = report::ProjectByDate(c.slot, s.metric);
      s.projectTons[{number, key}] = p.kpTons;
      if (key > toKey) continue;
      const report::PrivateDate q = report::PrivateByDate(c.slot, s.metric);
      AddRunning(running, p, q, c.loads);
      if (!inRange(key)) continue;
      BookDay bd;
      bd.book = number;
      bd.comments = b.comments;
      bd.dataType = b.dataType;
      bd.gravity = b.gravity;
      bd.loads = c.loads;
      bd.privateLoads = c.privateLoads;
      bd.voids = c.voids;
      bd.leftOut = c.leftOut;
      bd.netWeight = c.netWeight;
      bd.project = p;
      bd.privateWaste = q;
      bd.firstPage = c.firstPage;
      bd.lastPage = c.lastPage;
      bd.gaps = c.gaps;
      bd.breaks = c.breaks;
      bd.toDate = running;
      picked[key].books.push_back(std::move(bd));
    }
  }
  for (auto& [key, day] : picked) s.days.push_back(std::move(day));

  // The chart's dates: the range, and earlier dates when the range is short.
  const auto firstIn = std::lower_bound(s.dates.begin(), s.dates.end(), std::string(fromKey));
  const auto lastIn = std::upper_bound(s.dates.begin(), s.dates.end(), std::string(toKey));
  auto chartFrom = firstIn;
  const auto inside = static_cast<std::size_t>(lastIn - firstIn);
  if (inside < kChartMinDays)
    chartFrom -=
        std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(kChartMinDays - inside), firstIn - s.dates.begin());
  double cumulative = 0;
  for (auto it = s.dates.begin(); it != lastIn; ++it) {
    const report::ProjectDate p = report::ProjectByDate(days[*it].slot, s.metric);
    cumulative += p.kpTons;
    if (it < chartFrom) continue;
    DayTons dt;
    dt.key = *it;
    dt.total = p.kpTons;
    dt.cumulative = cumulative;
    for (const auto& [number, b] : books)
      if (const auto c = b.cells.find(*it); c != b.cells.end() && c->second.loads > 0)
        dt.books.emplace_back(number, report::ProjectByDate(c->second.slot, s.metric).kpTons);
    s.tonsByDay.push_back(std::move(dt));
  }
  s.yield = YieldCheck(extras.yieldEntries, s.projectTons, fromKey, toKey, s.metric);
  return result;
}

}  // namespace tonnage::daily
