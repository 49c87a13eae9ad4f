// Differences between two states of a data file: tickets followed by book and
// page number, books followed across a deletion that renumbers the rest.
#include <gtest/gtest.h>

#include "data/data_file.h"
#include "data/section_file.h"
#include "store/state_diff.h"

namespace tonnage::store {
namespace {

std::string Ticket(int page, const std::string& net, const std::string& date = "09/28/2026") {
  return FormatTicketLine(TicketRow{{std::to_string(page), date, "77756", "30056", net, "5.6"}}, "E", "0");
}

StateBook Book(const std::string& comments, int firstPage, int count, const std::string& type = "0") {
  StateBook b{FormatBookHeaderLine({comments, type, "2.65"}), {}};
  for (int p = 0; p < count; ++p) b.tickets.push_back(Ticket(firstPage + p, std::to_string(47000 + p)));
  return b;
}

DataState Job() {
  DataState s;
  s.indexLine = FormatIndexLine({"CST81", "4417", "STP-0312(8)", "09/28/2026", "R. HALVORSEN", "E"});
  s.books = {Book("SURFACE COURSE SP 12.5", 1201, 5), Book("BINDER COURSE SP 19.0", 2201, 5),
             Book("BASE COURSE SP 25.0", 3201, 5), Book("SHOULDERS", 4201, 5)};
  return s;
}

std::string Show(const std::vector<Change>& changes) {
  std::string text;
  for (const Change& c : changes)
    text += c.what + " " + std::to_string(c.oldBook) + ">" + std::to_string(c.book) + " " + c.page + " " + c.field +
            " [" + c.oldValue.substr(0, 12) + "|" + c.newValue.substr(0, 12) + "]\n";
  return text;
}

TEST(StateDiff, FollowsTicketsByBookAndPage) {
  const std::vector<std::tuple<const char*, std::function<void(DataState&)>, const char*>> cases = {
      {"nothing", [](DataState&) {}, ""},
      {"a weight", [](DataState& s) { s.books[1].tickets[2] = Ticket(2203, "47250"); },
       "ticket changed 2>2 002203 Net Weight [47002|47250]\n"},
      {"rows moved", [](DataState& s) { std::swap(s.books[0].tickets[0], s.books[0].tickets[4]); }, ""},
      {"added and removed",
       [](DataState& s) {
         s.books[3].tickets.erase(s.books[3].tickets.begin() + 1);
         s.books[3].tickets.push_back(Ticket(4206, "46980"));
       },
       "ticket added 4>4 004206  [|004206 09/28]\nticket removed 4>4 004202  [004202 09/28|]\n"},
      {"book deleted, the rest renumbered", [](DataState& s) { s.books.erase(s.books.begin() + 1); },
       "book moved 3>2  Book [3|2]\nbook moved 4>3  Book [4|3]\nbook deleted 2>0   [* 0 2.6500 B|]\n"
       "ticket removed 2>0 002201  [002201 09/28|]\nticket removed 2>0 002202  [002202 09/28|]\n"
       "ticket removed 2>0 002203  [002203 09/28|]\nticket removed 2>0 002204  [002204 09/28|]\n"
       "ticket removed 2>0 002205  [002205 09/28|]\n"},
      {"book deleted, one behind it renamed and one of its tickets changed",
       [](DataState& s) {
         s.books.erase(s.books.begin());
         s.books[1].header = FormatBookHeaderLine({"BASE COURSE SP 25.0 LANE 2", "0", "2.70"});
         s.books[1].tickets[0] = Ticket(3201, "47000", "09/29/2026");
       },
       "book moved 2>1  Book [2|1]\nbook moved 3>2  Book [3|2]\nbook changed 3>2  Comments [BASE COURSE |BASE COURSE "
       "]\n"
       "book changed 3>2  Specific Gravity [2.6500|2.7000]\nticket changed 3>2 003201 Date [09/28/2026|09/29/2026]\n"
       "book moved 4>3  Book [4|3]\nbook deleted 1>0   [* 0 2.6500 S|]\n"
       "ticket removed 1>0 001201  [001201 09/28|]\nticket removed 1>0 001202  [001202 09/28|]\n"
       "ticket removed 1>0 001203  [001203 09/28|]\nticket removed 1>0 001204  [001204 09/28|]\n"
       "ticket removed 1>0 001205  [001205 09/28|]\n"},
      {"book set up at the end, index record",
       [](DataState& s) {
         s.books.push_back(Book("LEVELING", 5201, 1, "2"));
         s.indexLine = FormatIndexLine({"CST81", "4417", "STP-0312(8)", "09/28/2026", "M. OKAFOR", "E"});
       },
       "index 0>0  Engineer [R. HALVORSEN|M. OKAFOR]\nbook set up 0>5   [|* 2 2.6500 L]\n"
       "ticket added 0>5 005201  [|005201 09/28]\n"},
      {"batch-plant captions",
       [](DataState& s) {
         s.books[2].header = FormatBookHeaderLine({"BASE COURSE SP 25.0", "2", "2.65"});
         s.books[2].tickets[0] = Ticket(3201, "47010");
       },
       "book changed 3>3  Data Type [0|2]\nticket changed 3>3 003201 Tot Weight [47000|47010]\n"},
  };
  for (const auto& [name, edit, expected] : cases) {
    DataState after = Job();
    edit(after);
    EXPECT_EQ(Show(DiffStates(Job(), after)), expected) << name;
  }
}

TEST(StateDiff, SummaryCountsTicketsOnceAndNamesBooks) {
  DataState after = Job();
  after.books.erase(after.books.begin() + 1);
  after.books[2].tickets[0] = Ticket(4201, "1");
  after.books[2].tickets[1] = Ticket(4202, "2", "09/30/2026");
  const ChangeSummary s = Summarize(DiffStates(Job(), after));
  EXPECT_EQ(DescribeSummary(s), "books 2, 3 (7 tickets)");
  EXPECT_EQ(DescribeSummary(Summarize({})), "no ticket");
}

}  // namespace
}  // namespace tonnage::store
