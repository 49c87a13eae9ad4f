#include "entry/book_checks.h"

#include <map>

#include "data/section_file.h"
#include "entry/grid_columns.h"
#include "report/date_table.h"
#include "report/fast_number.h"
#include "report/ticket_rules.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

std::string Number(long value) { return FormatMask(static_cast<double>(value), "0"); }

void AddReason(std::string& reasons, const std::string& reason) {
  if (!reasons.empty()) reasons += "; ";
  reasons += reason;
}

std::string Reasons(const RowCheck& row, long previousPage, const GridColumns& columns, bool batch) {
  std::string text;
  if (row.errors & report::kErrorPageOrder)
    AddReason(text, "Page order: page " + Number(row.page) + " does not follow page " + Number(previousPage));
  if (row.errors & report::kErrorGrossLessThanTare)
    AddReason(text, columns[3].title + " is less than " + columns[4].title);
  if (row.errors & report::kErrorTheoKpMismatch) {
    const std::string worked =
        batch ? columns[3].title + " plus " + columns[4].title : columns[3].title + " less " + columns[4].title;
    AddReason(text, "THEO = " + FormatMask(row.theo, "0.000") + "  KP = " + FormatMask(row.kp, "0.000") + ": " +
                        columns[5].title + " is not " + worked);
  }
  if (row.samePageRow != 0) AddReason(text, "Page " + Number(row.page) + " is also on row " + Number(row.samePageRow));
  return text;
}

}  // namespace

BookCheck CheckBookRows(const BookRows& rows, std::string_view unitSystem, std::string_view dataType,
                        std::string_view headerLine) {
  BookCheck check;
  GridTotals& totals = check.totals;
  totals.metric = unitSystem == "M";
  const report::BookRules rules = report::ReadBookRules(ToUpper(headerLine), totals.metric);
  const GridColumns columns = SetGridColumns(unitSystem, dataType);
  report::PageOrder order;
  report::DateTable dates;
  std::map<long, int> rowOfPage;
  long previousPage = 0;
  for (int i = 0; i < kMaxRows; ++i) {
    const TicketRow& cells = rows[static_cast<std::size_t>(i)];
    if (!RowIsWritten(cells)) continue;
    RowCheck& row = check.rows[static_cast<std::size_t>(i)];
    row.kept = true;
    const std::string line = ToUpper(FormatTicketLine(cells, unitSystem, dataType));
    report::TicketSeen t;
    report::ReadTicketLine(line, rules, t);
    row.page = t.pageNo;
    if (!order.Accept(t.pageNo)) t.errors |= report::kErrorPageOrder;
    ++totals.tickets;
    if (t.isVoid) {
      ++totals.voids;
    } else if (const int slot = dates.SlotFor(t.date); slot >= 0) {
      report::CheckTicketWeights(rules, t);
      report::CountTicket(t, dates[slot], totals.book);
    }
    row.errors = t.errors;
    row.theo = t.theo;
    row.kp = t.kp;
    if (const auto [at, added] = rowOfPage.emplace(t.pageNo, i + 1); !added) {
      row.samePageRow = at->second;
      RowCheck& first = check.rows[static_cast<std::size_t>(at->second - 1)];
      if (first.samePageRow == 0) first.samePageRow = i + 1;
    }
    row.reason = Reasons(row, previousPage, columns, rules.batch);
    previousPage = t.pageNo;
  }
  // The first row of a page used twice learns of it only later.
  previousPage = 0;
  for (RowCheck& row : check.rows) {
    if (!row.kept) continue;
    if (row.samePageRow != 0) row.reason = Reasons(row, previousPage, columns, rules.batch);
    previousPage = row.page;
  }
  for (int d = 0; d < dates.size(); ++d) totals.payGallons += report::ProjectByDate(dates[d], totals.metric).payGallons;
  return check;
}

double DateWeight(const BookRows& rows, const BookCheck& check, std::string_view date) {
  const std::string wanted = ToUpper(TrimBlanks(date));
  if (wanted.empty()) return 0;
  double weight = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RowCheck& row = check.rows[i];
    if (row.kept && ToUpper(TrimBlanks(rows[i][TicketField::Void])).empty() &&
        ToUpper(TrimBlanks(rows[i][TicketField::Date])) == wanted)
      weight += row.kp;
  }
  return weight;
}

std::string FormatGridTotals(const GridTotals& totals, double dateWeight, std::string_view date) {
  const bool metric = totals.metric;
  const double tons = report::TonFactor(metric);
  const double net = totals.book.projectKp + totals.book.privateKp;
  std::string text = Number(totals.tickets) + (totals.tickets == 1 ? " ticket" : " tickets");
  if (totals.voids > 0) text += " (" + Number(totals.voids) + " void)";
  text += "   Net " + FormatMask(net, metric ? "0.000" : "0") + (metric ? " KGS = " : " LBS = ") +
          FormatMask(net / tons, "0.000") + (metric ? " MTON" : " TONS");
  if (!TrimBlanks(date).empty())
    text += "   " + std::string(TrimBlanks(date)) + ": " + FormatMask(dateWeight / tons, "0.000") +
            (metric ? " MTON" : " TONS");
  text += "   Bitumen " + FormatMask(totals.payGallons + totals.book.privateKpGallons, metric ? "0.000" : "0") +
          (metric ? " L" : " GALS");
  return text;
}

}  // namespace tonnage
