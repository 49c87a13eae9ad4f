#include "store/state_diff.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

#include "data/data_file.h"
#include "data/section_file.h"

namespace tonnage::store {
namespace {

std::string PageOf(std::string_view line) { return ParseTicketLine(line)[TicketField::PageNo]; }

std::size_t ContentKey(const StateBook& b) {
  std::size_t h = std::hash<std::string>()(b.header);
  for (const std::string& t : b.tickets) h = h * 1000003u ^ std::hash<std::string>()(t);
  return h;
}

class BookPairing {
 public:
  BookPairing(const DataState& before, const DataState& after)
      : a_(before.books), b_(after.books), oldTo_(a_.size(), -1), newFrom_(b_.size(), -1) {
    SameNumberSameContent();
    SameContent();
    SameHeader();
    SharedPages();
    SameNumber();
  }
  int NewFor(std::size_t old) const { return oldTo_[old]; }
  int OldFor(std::size_t now) const { return newFrom_[now]; }

 private:
  void Pair(std::size_t i, std::size_t j) {
    oldTo_[i] = static_cast<int>(j);
    newFrom_[j] = static_cast<int>(i);
  }
  void SameNumberSameContent() {
    for (std::size_t i = 0; i < std::min(a_.size(), b_.size()); ++i)
      if (a_[i] == b_[i]) Pair(i, i);
  }
  // Pairs the unpaired books whose `key` is equal and `same` holds, each old
  // book with the first unpaired new one after the last new book it paired.
  template <class Key, class Same>
  void InOrder(Key key, Same same) {
    std::unordered_multimap<std::size_t, std::size_t> open;
    for (std::size_t j = 0; j < b_.size(); ++j)
      if (newFrom_[j] < 0) open.emplace(key(b_[j]), j);
    if (open.empty()) return;
    for (std::size_t i = 0; i < a_.size(); ++i) {
      if (oldTo_[i] >= 0) continue;
      auto [from, to] = open.equal_range(key(a_[i]));
      auto best = to;
      for (auto it = from; it != to; ++it)
        if (newFrom_[it->second] < 0 && same(a_[i], b_[it->second]) && (best == to || it->second < best->second))
          best = it;
      if (best != to) {
        Pair(i, best->second);
        open.erase(best);
      }
    }
  }
  void SameContent() {
    InOrder(ContentKey, [](const StateBook& x, const StateBook& y) { return x == y; });
  }
  void SameHeader() {
    InOrder([](const StateBook& x) { return std::hash<std::string>()(x.header); },
            [](const StateBook& x, const StateBook& y) { return x.header == y.header; });
  }
  void SharedPages() {
    std::vector<std::size_t> oldOpen, newOpen;
    for (std::size_t i = 0; i < a_.size(); ++i)
      if (oldTo_[i] < 0 && !a_[i].tickets.empty()) oldOpen.push_back(i);
    for (std::size_t j = 0; j < b_.size(); ++j)
      if (newFrom_[j] < 0 && !b_[j].tickets.empty()) newOpen.push_back(j);
    if (oldOpen.empty() || newOpen.empty()) return;
    std::vector<std::set<std::string>> newPages(newOpen.size());
    for (std::size_t k = 0; k < newOpen.size(); ++k)
      for (const std::string& t : b_[newOpen[k]].tickets) newPages[k].insert(PageOf(t));
    for (std::size_t i : oldOpen) {
      std::set<std::string> pages;
      for (const std::string& t : a_[i].tickets) pages.insert(PageOf(t));
      std::size_t bestShared = 0, bestK = newOpen.size();
      for (std::size_t k = 0; k < newOpen.size(); ++k) {
        if (newFrom_[newOpen[k]] >= 0) continue;
        std::size_t shared = 0;
        for (const std::string& p : pages) shared += newPages[k].count(p);
        if (2 * shared >= std::min(pages.size(), newPages[k].size()) && shared > bestShared) {
          bestShared = shared;
          bestK = k;
        }
      }
      if (bestK < newOpen.size()) Pair(i, newOpen[bestK]);
    }
  }
  void SameNumber() {
    for (std::size_t i = 0; i < std::min(a_.size(), b_.size()); ++i)
      if (oldTo_[i] < 0 && newFrom_[i] < 0) Pair(i, i);
  }

  const std::vector<StateBook>& a_;
  const std::vector<StateBook>& b_;
  std::vector<int> oldTo_, newFrom_;
};

constexpr const char* kCaptions[] = {"Page No",     "Date",       "Gross Weight", "Tare Weight", "Net Weight",
                                     "Pct. Bitum.", "Priv Waste", "Void",         "Note"};
constexpr const char* kBatchCaptions[] = {"Agg Weight", "Bit Weight", "Tot Weight"};

void DiffTickets(const StateBook& a, const StateBook& b, int oldBook, int newBook, std::vector<Change>& out) {
  if (a.tickets == b.tickets) return;
  const std::string dataType = ParseBookHeaderLine(b.header).dataType;
  // Old tickets by page number, each page's in file order.
  std::unordered_map<std::string, std::vector<std::size_t>> byPage;
  std::vector<TicketRow> oldRows;
  oldRows.reserve(a.tickets.size());
  for (std::size_t i = 0; i < a.tickets.size(); ++i) {
    oldRows.push_back(ParseTicketLine(a.tickets[i]));
    byPage[oldRows.back()[TicketField::PageNo]].push_back(i);
  }
  std::unordered_map<std::string, std::size_t> used;
  std::vector<bool> matched(a.tickets.size(), false);
  for (const std::string& line : b.tickets) {
    const TicketRow now = ParseTicketLine(line);
    const std::string& page = now[TicketField::PageNo];
    auto it = byPage.find(page);
    std::size_t& k = used[page];
    if (it == byPage.end() || k >= it->second.size()) {
      out.push_back({kTicketAdded, newBook, oldBook, page, "", "", line});
      continue;
    }
    const std::size_t i = it->second[k++];
    matched[i] = true;
    if (a.tickets[i] == line) continue;
    for (int f = 1; f < kTicketFields; ++f) {
      const std::string& was = oldRows[i].cells[static_cast<std::size_t>(f)];
      const std::string& is = now.cells[static_cast<std::size_t>(f)];
      if (was != is) out.push_back({kTicketChanged, newBook, oldBook, page, TicketFieldCaption(f, dataType), was, is});
    }
  }
  for (std::size_t i = 0; i < a.tickets.size(); ++i)
    if (!matched[i])
      out.push_back({kTicketRemoved, newBook, oldBook, oldRows[i][TicketField::PageNo], "", a.tickets[i], ""});
}

void DiffIndex(const std::string& before, const std::string& after, std::vector<Change>& out) {
  if (before == after) return;
  const IndexRecord a = ParseIndexLine(before), b = ParseIndexLine(after);
  const std::pair<const char*, std::string IndexRecord::*> fields[] = {{"Ref No.", &IndexRecord::refNo},
                                                                       {"Project No.", &IndexRecord::projectNo},
                                                                       {"Date", &IndexRecord::date},
                                                                       {"Engineer", &IndexRecord::engineer},
                                                                       {"Units", &IndexRecord::unitSystem}};
  for (const auto& [caption, member] : fields)
    if (a.*member != b.*member) out.push_back({kChangeIndex, 0, 0, "", caption, a.*member, b.*member});
}

}  // namespace

const char* TicketFieldCaption(int field, const std::string& dataType) {
  if (dataType == "2" && field >= 2 && field <= 4) return kBatchCaptions[field - 2];
  return kCaptions[field];
}

std::vector<Change> DiffStates(const DataState& before, const DataState& after) {
  std::vector<Change> out;
  DiffIndex(before.indexLine, after.indexLine, out);
  const BookPairing pairs(before, after);
  for (std::size_t j = 0; j < after.books.size(); ++j) {
    const int newBook = static_cast<int>(j) + 1;
    const StateBook& b = after.books[j];
    const int i = pairs.OldFor(j);
    if (i < 0) {
      out.push_back({kBookSetUp, newBook, 0, "", "", "", b.header});
      StateBook none;
      DiffTickets(none, b, 0, newBook, out);
      continue;
    }
    const StateBook& a = before.books[static_cast<std::size_t>(i)];
    const int oldBook = i + 1;
    if (oldBook != newBook)
      out.push_back({kBookMoved, newBook, oldBook, "", "Book", std::to_string(oldBook), std::to_string(newBook)});
    if (a.header != b.header) {
      const BookHeader x = ParseBookHeaderLine(a.header), y = ParseBookHeaderLine(b.header);
      const std::pair<const char*, std::string BookHeader::*> fields[] = {
          {"Comments", &BookHeader::comments},
          {"Data Type", &BookHeader::dataType},
          {"Specific Gravity", &BookHeader::specificGravity}};
      for (const auto& [caption, member] : fields)
        if (x.*member != y.*member) out.push_back({kBookChanged, newBook, oldBook, "", caption, x.*member, y.*member});
    }
    DiffTickets(a, b, oldBook, newBook, out);
  }
  for (std::size_t i = 0; i < before.books.size(); ++i) {
    if (pairs.NewFor(i) >= 0) continue;
    const int oldBook = static_cast<int>(i) + 1;
    out.push_back({kBookDeleted, 0, oldBook, "", "", before.books[i].header, ""});
    for (const std::string& t : before.books[i].tickets)
      out.push_back({kTicketRemoved, 0, oldBook, PageOf(t), "", t, ""});
  }
  return out;
}

ChangeSummary Summarize(const std::vector<Change>& changes) {
  ChangeSummary s;
  std::set<int> books;
  std::set<std::tuple<int, int, std::string>> changed;  // one ticket, several fields
  for (const Change& c : changes) {
    const std::string_view what = c.what;
    if (what == kChangeIndex) {
      s.index = true;
      continue;
    }
    if (what == kBookMoved) continue;
    books.insert(c.book ? c.book : c.oldBook);
    if (what == kTicketAdded || what == kTicketRemoved) ++s.tickets;
    if (what == kTicketChanged) changed.insert({c.book, c.oldBook, c.page});
  }
  s.books.assign(books.begin(), books.end());
  s.tickets += static_cast<int>(changed.size());
  return s;
}

std::string DescribeSummary(const ChangeSummary& s) {
  std::string text;
  if (!s.books.empty()) {
    text = s.books.size() == 1 ? "book " : "books ";
    for (std::size_t k = 0; k < s.books.size(); ++k) {
      if (k == 20) {
        text += " and " + std::to_string(s.books.size() - 20) + " more";
        break;
      }
      text += (k ? ", " : "") + std::to_string(s.books[k]);
    }
    text += " (" + std::to_string(s.tickets) + (s.tickets == 1 ? " ticket)" : " tickets)");
  }
  if (s.index) text += std::string(text.empty() ? "" : " and ") + "the index record";
  return text.empty() ? "no ticket" : text;
}

}  // namespace tonnage::store
