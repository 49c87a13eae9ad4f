#include "import/reconcile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "report/ticket_export.h"
#include "text/fixed_width.h"

namespace tonnage::import {
namespace {

constexpr std::array<const char*, kMatchClasses> kClassTexts = {
    "matched",           "weights differ",         "e-ticket only", "book only", "duplicate e-ticket",
    "duplicate in book", "gap in e-ticket numbers"};

constexpr std::array<TicketField, 3> kWeights = {TicketField::Gross, TicketField::Tare, TicketField::Net};

const char* FieldName(TicketField f) {
  switch (f) {
    case TicketField::Gross:
      return "gross";
    case TicketField::Tare:
      return "tare";
    case TicketField::Net:
      return "net";
    case TicketField::Date:
      return "date";
    default:
      return "";
  }
}

int PageOf(const TicketRow& row) { return static_cast<int>(ParseLeadingNumber(row[TicketField::PageNo])); }

std::string Signed(double v) {
  std::string text = FormatMask(std::fabs(v), "####0.000");
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return (v < 0 ? "-" : "+") + text;
}

std::vector<FieldDifference> Compare(const ETicket& e, const TicketRow& book) {
  std::vector<FieldDifference> out;
  if (e.date != book[TicketField::Date]) out.push_back({TicketField::Date, e.date, book[TicketField::Date], 0});
  for (std::size_t k = 0; k < kWeights.size(); ++k) {
    const TicketField f = kWeights[k];
    const std::string& a = e.cells[f];
    const std::string& b = book[f];
    if (a.empty() && b.empty()) continue;
    const double delta = ParseLeadingNumber(a) - ParseLeadingNumber(b);
    if (a.empty() != b.empty() || std::fabs(delta) > e.tolerance[k]) out.push_back({f, a, b, delta});
  }
  return out;
}

std::string Describe(const std::vector<FieldDifference>& diffs) {
  std::string text;
  for (const FieldDifference& d : diffs) {
    if (!text.empty()) text += "; ";
    text += std::string(FieldName(d.field)) + " e-ticket " + (d.eticket.empty() ? "none" : d.eticket) + ", book " +
            (d.book.empty() ? "none" : d.book);
    if (d.field != TicketField::Date && !d.eticket.empty() && !d.book.empty()) text += " (" + Signed(d.delta) + ")";
  }
  return text;
}

}  // namespace

const char* MatchClassText(MatchClass c) { return kClassTexts[static_cast<std::size_t>(c)]; }

Reconciliation Reconcile(const std::vector<ETicket>& etickets, const std::vector<TicketRow>& book) {
  Reconciliation r;
  auto add = [&](ReconcileLine line) {
    ++r.counts[static_cast<std::size_t>(line.match)];
    r.lines.push_back(std::move(line));
  };
  // First book row of each page; later ones are the book's duplicates.
  std::unordered_map<int, std::size_t> bookPage;
  bookPage.reserve(book.size() * 2);
  std::vector<bool> used(book.size(), false);
  std::vector<bool> again(book.size(), false);
  for (std::size_t i = 0; i < book.size(); ++i)
    if (!book[i][TicketField::PageNo].empty()) again[i] = !bookPage.emplace(PageOf(book[i]), i).second;
  std::unordered_map<int, std::size_t> seen;
  seen.reserve(etickets.size() * 2);
  std::vector<std::uint64_t> numbers;
  numbers.reserve(etickets.size());
  for (std::size_t i = 0; i < etickets.size(); ++i) {
    const ETicket& e = etickets[i];
    if (e.page >= 0 && e.ticket.size() <= 18) numbers.push_back(std::stoull(e.ticket));
    if (!e.converted) continue;
    ReconcileLine line{MatchClass::Matched, static_cast<int>(i), 0, e.ticket, e.date, {}, {}};
    if (auto [it, fresh] = seen.emplace(e.page, i); !fresh) {
      line.match = MatchClass::DuplicateETicket;
      line.text =
          "ticket " + e.ticket + " came earlier in the file (row " + std::to_string(etickets[it->second].row) + ")";
      add(std::move(line));
      continue;
    }
    const auto found = bookPage.find(e.page);
    if (found == bookPage.end()) {
      line.match = MatchClass::ETicketOnly;
      line.text = "no ticket " + std::to_string(e.page) + " in the book";
      add(std::move(line));
      continue;
    }
    used[found->second] = true;
    line.bookRow = static_cast<int>(found->second + 1);
    line.differences = Compare(e, book[found->second]);
    if (!line.differences.empty()) {
      line.match = MatchClass::Differs;
      line.text = Describe(line.differences);
    }
    add(std::move(line));
  }
  for (std::size_t i = 0; i < book.size(); ++i) {
    if (used[i] || book[i][TicketField::PageNo].empty()) continue;
    const std::string page = std::to_string(PageOf(book[i]));
    if (again[i])
      add({MatchClass::DuplicateBook,
           -1,
           static_cast<int>(i + 1),
           page,
           book[i][TicketField::Date],
           {},
           "page " + page + " is in the book again"});
    else
      add({MatchClass::BookOnly,
           -1,
           static_cast<int>(i + 1),
           page,
           book[i][TicketField::Date],
           {},
           "no e-ticket for page " + page});
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  for (std::size_t i = 1; i < numbers.size(); ++i) {
    if (numbers[i] - numbers[i - 1] <= 1) continue;
    const std::uint64_t from = numbers[i - 1] + 1, to = numbers[i] - 1;
    ReconcileLine line{MatchClass::Gap, -1, 0, std::to_string(from), {}, {}, {}};
    line.text = from == to ? "no e-ticket " + std::to_string(from)
                           : "no e-tickets " + std::to_string(from) + " to " + std::to_string(to) + " (" +
                                 std::to_string(to - from + 1) + ")";
    add(std::move(line));
  }
  return r;
}

TicketRow TakeETicketValues(const TicketRow& bookRow, const ETicket& eticket) {
  TicketRow row = bookRow;
  row[TicketField::Date] = eticket.date;
  for (TicketField f : kWeights) row[f] = eticket.cells[f];
  if (!eticket.cells[TicketField::PctBitumen].empty())
    row[TicketField::PctBitumen] = eticket.cells[TicketField::PctBitumen];
  return row;
}

std::string FindingLine(const ReconcileLine& l) {
  char head[64];
  std::snprintf(head, sizeof head, "%-26s %-10s %-10s ", MatchClassText(l.match), l.ticket.c_str(), l.date.c_str());
  return std::string(TrimRightBlanks(std::string(head) + l.text));
}

std::vector<std::vector<std::string>> ReconciliationPages(const Reconciliation& r, const std::string& title,
                                                          const std::array<bool, kMatchClasses>& shown,
                                                          std::size_t linesPerPage) {
  std::vector<std::string> heading = {title, ""};
  for (int c = 0; c < kMatchClasses; ++c) {
    char count[64];
    std::snprintf(count, sizeof count, "%-26s %6d", MatchClassText(static_cast<MatchClass>(c)),
                  r.counts[static_cast<std::size_t>(c)]);
    heading.emplace_back(count);
  }
  heading.emplace_back();
  std::vector<std::vector<std::string>> pages(1, heading);
  for (const ReconcileLine& l : r.lines) {
    if (!shown[static_cast<std::size_t>(l.match)]) continue;
    if (pages.back().size() >= std::max<std::size_t>(linesPerPage, 1)) pages.push_back({title, ""});
    pages.back().push_back(FindingLine(l));
  }
  return pages;
}

std::string ReconciliationCsv(const Reconciliation& r, const std::vector<ETicket>& etickets) {
  std::string out = "Class,Ticket,Date,Book Row,File Row,Load Time,Truck,Mix,Details\r\n";
  for (const ReconcileLine& l : r.lines) {
    const ETicket* e = l.eticket >= 0 ? &etickets[static_cast<std::size_t>(l.eticket)] : nullptr;
    out += report::CsvField(MatchClassText(l.match)) + ',' + report::CsvField(l.ticket) + ',' +
           report::CsvField(l.date) + ',' + (l.bookRow ? std::to_string(l.bookRow) : std::string()) + ',' +
           (e ? std::to_string(e->row) : std::string()) + ',' + report::CsvField(e ? e->time : "") + ',' +
           report::CsvField(e ? e->truck : "") + ',' + report::CsvField(e ? e->mix : "") + ',' +
           report::CsvField(l.text) + "\r\n";
  }
  return out;
}

}  // namespace tonnage::import
