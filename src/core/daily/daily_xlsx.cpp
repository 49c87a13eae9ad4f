#include "daily/daily_xlsx.h"

#include <stdlib.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <map>

#include "daily/daily_tables.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace tonnage::daily {
namespace {

// The library writes only to a named file: it writes into a private folder,
// and the bytes then go through the program's own writer to their place.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::string pattern = "/tmp/tonnage-xlsx-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~PrivateFolder() {
    if (path_.empty()) return;
    io::RemoveQuietly(File());
    ::rmdir(path_.c_str());
  }
  bool ok() const { return !path_.empty(); }
  std::string File() const { return path_ + "/daily.xlsx"; }

 private:
  std::string path_;
};

const Table* Find(const std::vector<Table>& tables, const std::string& name) {
  for (const Table& t : tables)
    if (t.name == name) return &t;
  return nullptr;
}

int ColumnOf(const Table& t, const std::string& heading) {
  const auto it = std::find(t.headings.begin(), t.headings.end(), heading);
  return it == t.headings.end() ? -1 : static_cast<int>(it - t.headings.begin());
}

class Book {
 public:
  explicit Book(const std::string& file) : wb_(workbook_new(file.c_str())) {
    bold_ = workbook_add_format(wb_);
    format_set_bold(bold_);
    for (int d = 0; d <= 3; ++d) {
      lxw_format* f = workbook_add_format(wb_);
      static const char* masks[] = {"0", "0.0", "0.00", "0.000"};
      format_set_num_format(f, masks[d]);
      numbers_[d] = f;
    }
  }
  ~Book() {
    if (wb_) workbook_close(wb_);  // only after a failure: Close() clears it
  }
  bool ok() const { return wb_ != nullptr; }
  lxw_workbook* wb() { return wb_; }

  lxw_worksheet* Sheet(const Table& t, const std::string& heading) {
    lxw_worksheet* ws = workbook_add_worksheet(wb_, t.name.c_str());
    worksheet_write_string(ws, 0, 0, heading.c_str(), bold_);
    worksheet_write_string(ws, 1, 0, t.title.c_str(), bold_);
    for (std::size_t c = 0; c < t.headings.size(); ++c) {
      worksheet_write_string(ws, kHeadRow, static_cast<lxw_col_t>(c), t.headings[c].c_str(), bold_);
      worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                           std::max<double>(10, std::min<double>(40, t.headings[c].size() + 2)), nullptr);
    }
    for (std::size_t r = 0; r < t.rows.size(); ++r)
      for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
        const TableCell& cell = t.rows[r][c];
        const auto row = static_cast<lxw_row_t>(kHeadRow + 1 + r);
        const auto col = static_cast<lxw_col_t>(c);
        if (cell.isNumber)
          worksheet_write_number(ws, row, col, cell.number, numbers_[std::clamp(cell.decimals, 0, 3)]);
        else if (!cell.text.empty())
          worksheet_write_string(ws, row, col, cell.text.c_str(), nullptr);
      }
    worksheet_freeze_panes(ws, kHeadRow + 1, 0);
    return ws;
  }

  lxw_error Close() {
    const lxw_error e = workbook_close(wb_);
    wb_ = nullptr;
    return e;
  }

  static constexpr lxw_row_t kHeadRow = 3;

 private:
  lxw_workbook* wb_;
  lxw_format* bold_ = nullptr;
  lxw_format* numbers_[4] = {};
};

// Rows of a table's data in its sheet, first and last.
lxw_row_t FirstRow() { return Book::kHeadRow + 1; }
lxw_row_t LastRow(const Table& t) {
  return static_cast<lxw_row_t>(Book::kHeadRow + std::max<std::size_t>(t.rows.size(), 1));
}

void Series(lxw_chart* chart, const Table& t, int categoryColumn, int valueColumn, const std::string& name) {
  lxw_chart_series* s = chart_add_series(chart, nullptr, nullptr);
  const auto cat = static_cast<lxw_col_t>(categoryColumn), val = static_cast<lxw_col_t>(valueColumn);
  chart_series_set_categories(s, t.name.c_str(), FirstRow(), cat, LastRow(t), cat);
  chart_series_set_values(s, t.name.c_str(), FirstRow(), val, LastRow(t), val);
  chart_series_set_name(s, name.c_str());
}

lxw_chart* Chart(Book& book, uint8_t type, const std::string& title, const std::string& yName) {
  lxw_chart* chart = workbook_add_chart(book.wb(), type);
  chart_title_set_name(chart, title.c_str());
  chart_axis_set_name(chart->y_axis, yName.c_str());
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  return chart;
}

void Insert(lxw_worksheet* ws, lxw_row_t row, lxw_chart* chart) {
  lxw_chart_options place = {};
  place.x_scale = 1.6;
  place.y_scale = 1.3;
  worksheet_insert_chart_opt(ws, row, 1, chart, &place);
}

}  // namespace

Outcome WriteDailyXlsx(const std::string& path, const DailySummary& s) {
  PrivateFolder folder;
  if (!folder.ok()) return Outcome::Io(path + ": no room for the spreadsheet's scratch file");
  const std::vector<Table> tables = DailyTables(s);
  const UnitWords u = UnitsOf(s.metric);
  {
    Book book(folder.File());
    if (!book.ok()) return Outcome::Io(path + ": the spreadsheet could not be started");
    const std::string heading =
        SummaryTitle(s) + "   Ref. No. " + s.refNo + "   Project No. " + s.projectNo + "   Engineer " + s.engineer;
    lxw_worksheet* charts = workbook_add_worksheet(book.wb(), "Charts");
    worksheet_write_string(charts, 0, 0, heading.c_str(), nullptr);
    for (const Table& t : tables) book.Sheet(t, heading);

    // Tons per day by book, stacked, and the job's cumulative tons. The
    // library draws no combined chart, so the cumulative line stands beside.
    const Table& byDay = *Find(tables, "Tons by day");
    const int total = ColumnOf(byDay, "Total");
    lxw_chart* bars = Chart(book, LXW_CHART_COLUMN_STACKED, std::string(u.tons) + " per day by book", u.tons);
    for (int c = 1; c < total; ++c) Series(bars, byDay, 0, c, byDay.headings[static_cast<std::size_t>(c)]);
    Insert(charts, 2, bars);
    lxw_chart* cumulative = Chart(book, LXW_CHART_LINE, std::string("Cumulative ") + u.tons, u.tons);
    Series(cumulative, byDay, 0, total + 1, "Cumulative");
    Insert(charts, 22, cumulative);

    // Percent bitumen of each ticket against the day's mean.
    const Table& tickets = *Find(tables, "Tickets");
    lxw_chart* bitumen = Chart(book, LXW_CHART_LINE, "Percent bitumen of each ticket", "% bitumen");
    Series(bitumen, tickets, 2, 4, "Ticket");
    lxw_chart_line none = {};
    none.none = LXW_TRUE;
    lxw_chart_series* points = bitumen->series_list->stqh_first;
    chart_series_set_line(points, &none);
    chart_series_set_marker_type(points, LXW_CHART_MARKER_CIRCLE);
    Series(bitumen, tickets, 2, 5, "Day's mean");
    chart_axis_set_name(bitumen->x_axis, "Ticket (page)");
    Insert(charts, 42, bitumen);

    // Spread rate per day against its target and the 5 percent band.
    const Table& yield = *Find(tables, "Yield");
    lxw_chart* spread = Chart(book, LXW_CHART_LINE, "Spread rate against target", u.rate);
    Series(spread, yield, 0, ColumnOf(yield, std::string("Spread rate (") + u.rate + ")"), "Placed");
    Series(spread, yield, 0, ColumnOf(yield, std::string("Target (") + u.rate + ")"), "Target");
    Series(spread, yield, 0, ColumnOf(yield, "Target -5 %"), "Target -5 %");
    Series(spread, yield, 0, ColumnOf(yield, "Target +5 %"), "Target +5 %");
    Insert(charts, 62, spread);

    if (const lxw_error e = book.Close(); e != LXW_NO_ERROR) return Outcome::Io(path + ": " + lxw_strerror(e));
  }
  const io::ReadResult bytes = io::ReadWholeFile(folder.File());
  if (!bytes.outcome.ok()) return bytes.outcome;
  return io::WriteWholeFile(path, bytes.bytes);
}

}  // namespace tonnage::daily
