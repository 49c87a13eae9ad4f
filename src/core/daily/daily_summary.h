// The inspector's daily paper: per book, the loads and tons of one day (or a
// range of days) with the running totals of the job, read through the
// tonnage report's own computation so that a day's tons and gallons are the
// report's "by date" figures.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/outcome.h"
#include "io/line_reader.h"
#include "daily/yield_check.h"
#include "report/date_amounts.h"

namespace tonnage::daily {

// YYYYMMDD of a ticket date, as the report keys its dates.
std::string DayKey(std::string_view date);
// MM/DD/YYYY of a key.
std::string ShowDay(std::string_view key);

// When each ticket left the plant (minutes after midnight), from imported
// e-tickets, by book number and page number.
using LoadTimes = std::map<std::pair<int, long>, int>;

// Pages missing between two tickets of a book, and a ticket whose page does
// not follow the one before (a repeat or a step back).
struct PageGap {
  long from = 0, to = 0;
};
struct PageBreak {
  long after = 0, at = 0;
};

// Running totals of a book from its first date through the day.
struct BookRunning {
  int loads = 0;
  double kpTons = 0, theoTons = 0, payGallons = 0;
  double privateKpTons = 0, privateKpGallons = 0;
};

struct BookDay {
  int book = 0;  // 1, 2, ... in file order
  std::string comments;
  std::string dataType;
  double gravity = 0;
  int loads = 0;         // tickets counted, project and private
  int privateLoads = 0;  // of which private work or waste
  int voids = 0;
  int leftOut = 0;              // tickets of a date the report's table had no room for
  double netWeight = 0;         // KP weight of the project loads, pounds or kilograms
  report::ProjectDate project;  // with this book's own gravity
  report::PrivateDate privateWaste;
  long firstPage = 0, lastPage = 0;
  std::vector<PageGap> gaps;
  std::vector<PageBreak> breaks;
  BookRunning toDate;
};

// One ticket of the day for the bitumen chart: its percent from the Pct
// column, or from its batch weights when that is empty.
struct TicketPercent {
  int book = 0;
  long pageNo = 0;
  double tons = 0;
  double pct = 0;
};

struct Day {
  std::string key;  // YYYYMMDD
  std::vector<BookDay> books;
  // The date's figures exactly as the report's by-date lines show them.
  report::ProjectDate project;
  report::PrivateDate privateWaste;
  int loads = 0, voids = 0, leftOut = 0;
  double netWeight = 0;
  std::array<int, 24> loadsByHour{};
  int timedLoads = 0;  // loads whose load time is known
  std::vector<TicketPercent> tickets;
  double meanPct = 0;     // tons-weighted mean of the tickets' percents
  BookRunning jobToDate;  // all books together
};

// Tons of one date per book, for the tons-per-day chart.
struct DayTons {
  std::string key;
  std::vector<std::pair<int, double>> books;  // book, KP tons of project material
  double total = 0;
  double cumulative = 0;  // the job's tons through this date
};

struct DailySummary {
  std::string fromKey, toKey;
  bool metric = false;
  std::string refNo, projectNo, engineer;
  std::vector<std::string> dates;                  // every date key that has tickets, ascending
  std::vector<std::pair<int, std::string>> books;  // book number and comments
  std::vector<Day> days;                           // the days of the range that have tickets
  std::vector<DayTons> tonsByDay;                  // the range, with earlier dates so a chart shows a trend
  BookDateTons projectTons;                        // every book on every date
  std::vector<YieldLine> yield;                    // the entries of the range
};

struct DailyResult {
  Outcome outcome;
  DailySummary summary;
};

// What the data file cannot hold, from the project store; both may be empty.
struct DailyExtras {
  LoadTimes loadTimes;
  std::vector<YieldEntry> yieldEntries;
};

// Days from `fromKey` to `toKey` (YYYYMMDD, both included). Refused when the
// image is not a data file.
DailyResult SummarizeDays(io::LineSource& work, std::string_view fromKey, std::string_view toKey,
                          const DailyExtras& extras = {});

// `tonsByDay` reaches back to earlier dates until it holds this many, so
// the chart of one day is not a lone bar.
inline constexpr std::size_t kChartMinDays = 7;

}  // namespace tonnage::daily
