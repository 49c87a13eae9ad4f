// The store beside a data file: chained entries, damaged files set aside,
// files that are no store refused, other features' tables and failed writes;
// the history listing, and the differences between two states of a data file.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "job_state.h"
#include "data/data_file.h"
#include "data/section_file.h"
#include "store/database.h"
#include "store/history_listing.h"
#include "store/project_store.h"
#include "store/state_diff.h"

namespace tonnage::store {
namespace {

using namespace testing;
using namespace job_state;

std::int64_t Count(ProjectStore& s, const std::string& sql) {
  Statement q(s.db(), sql);
  return q.Next() == Step::Row ? q.Int(0) : -1;
}

TEST(ProjectStore, EntriesChainAndEveryFieldIsInTheHash) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81");
  {
    ProjectStore s;
    const StoreOpen o = s.Open(job, "tonnage resave");
    ASSERT_TRUE(o.outcome.ok() && o.created) << o.outcome.message;
    ASSERT_TRUE(s.AppendEntry("start", "", "3 books", {{kTicketAdded, 1, 0, "001201", "", "", "LINE"}}, "abc").ok());
    ASSERT_TRUE(s.AppendEntry("save", "scale fault", "").ok());
  }
  ProjectStore s;
  ASSERT_TRUE(s.Open(job, "x").outcome.ok() && Exists(dir.File("JOB.K81.history")));
  const auto entries = s.Entries();
  ASSERT_EQ(entries.size(), 2u);
  const Entry &second = entries[0].first, &first = entries[1].first;
  const std::vector<Change> changes = entries[1].second;
  // The state stays the last entry's.
  EXPECT_EQ(std::tuple(first.prev, second.prev, second.state, second.stamp.program),
            std::tuple(std::string(kFirstPrev), first.hash, "abc", "tonnage resave"));
  const std::string h = EntryHash(first, changes);
  ASSERT_EQ(std::tuple(first.hash, changes.size(), changes.back().page), std::tuple(h, 1u, "001201"));

  // Every field counts, and moving bytes between two fields counts too.
  // clang-format off
  const std::vector<std::function<void(Entry&, std::vector<Change>&)>> edits = {
      [](Entry& e, auto&) { e.seq++; }, [](Entry& e, auto&) { e.stamp.utc += "1"; },
      [](Entry& e, auto&) { e.stamp.local += "1"; }, [](Entry& e, auto&) { e.stamp.login += "x"; },
      [](Entry& e, auto&) { e.stamp.version += "x"; }, [](Entry& e, auto&) { e.stamp.program += "x"; },
      [](Entry& e, auto&) { e.kind += "x"; }, [](Entry& e, auto&) { e.reason += "x"; },
      [](Entry& e, auto&) { e.details += "x"; }, [](Entry& e, auto&) { e.state += "x"; },
      [](Entry& e, auto&) { e.content += "x"; }, [](Entry& e, auto&) { e.prev[0] = '1'; },
      [](Entry&, auto& c) { c.clear(); }, [](Entry&, auto& c) { c[0].book = 2; },
      [](Entry&, auto& c) { c[0].oldBook = 2; }, [](Entry&, auto& c) { c[0].newValue = "LINF"; },
      [](Entry&, auto& c) { c[0].field = "0", c[0].page = "00120"; }};
  // clang-format on
  for (std::size_t i = 0; i < edits.size(); ++i) {
    Entry e = first;
    std::vector<Change> c = changes;
    edits[i](e, c);
    EXPECT_NE(EntryHash(e, c), h) << "edit " << i;
  }
}

TEST(ProjectStore, DamagedStoresAreSetAsideAndANewOneNamesThem) {
  const auto sql = [](const char* statement) {
    return [statement](const std::string& p) {
      Database db;
      ASSERT_TRUE(db.Open(p, OpenMode::ReadWrite).ok() && db.Exec(statement).ok()) << statement;
    };
  };
  // Whether the new store's first entry names the old one's last hash: "cut short" may have lost it.
  const std::tuple<const char*, std::function<void(const std::string&)>, std::optional<bool>> cases[] = {
      {"text", [](const std::string& p) { WriteFile(p, "CST81 4417    STP-0312(8)\r\n"); }, false},
      {"cut short", [](const std::string& p) { WriteFile(p, ReadFile(p).substr(0, 5000)); }, std::nullopt},
      {"newer form", sql("PRAGMA user_version = 99"), true},
      {"trigger", sql("CREATE TRIGGER t AFTER INSERT ON entry BEGIN DELETE FROM entry; END"), true},
  };
  for (const auto& [name, spoil, namesLastHash] : cases) {
    ScratchFolder dir;
    const std::string job = dir.File("JOB.K81"), path = job + kStoreSuffix;
    std::string lastHash;
    {
      ProjectStore s;
      std::vector<Change> many(300, Change{kTicketAdded, 1, 0, "001201", "", "", std::string(60, 'X')});
      ASSERT_TRUE(s.Open(job, "t").outcome.ok() && s.AppendEntry("start", "", "", many).ok());
      lastHash = s.LastEntry()->hash;
    }
    spoil(path);
    ProjectStore s;
    const StoreOpen o = s.Open(job, "t");
    ASSERT_TRUE(o.outcome.ok() && !o.notice.empty()) << name << ": " << o.outcome.message;
    std::string aside;
    for (const std::string& n : ListFolder(dir.path()))
      if (n.find(".damaged-") != std::string::npos && n.find("journal") == std::string::npos) aside = n;
    ASSERT_FALSE(aside.empty()) << name;
    const auto entries = s.Entries();
    ASSERT_EQ(entries.size(), 1u) << name;
    const Entry& restart = entries[0].first;
    EXPECT_TRUE(restart.kind == "restart" && restart.details.find(aside) != std::string::npos) << restart.details;
    EXPECT_TRUE(!namesLastHash || (restart.details.find(lastHash) != std::string::npos) == *namesLastHash) << name;
  }
}

TEST(ProjectStore, ModulesKeepTablesAndAFailedWriteLeavesNothing) {
  ScratchFolder dir;
  ProjectStore s;
  ASSERT_TRUE(s.Open(dir.File("JOB.K81"), "t").outcome.ok());
  const char* create = "CREATE TABLE yield_entry(book INTEGER, day TEXT, tons TEXT);";
  // The second call only checks.
  ASSERT_TRUE(s.EnsureModule("yield", 1, create) && s.EnsureModule("yield", 1, create) &&
              s.ModuleVersion("yield") == 1);
  EXPECT_FALSE(s.EnsureModule("yield", 2, create).ok());  // no way up given
  ASSERT_TRUE(s.EnsureModule("yield", 2, create, [](ProjectStore& st, int from) {
                 return from == 1 ? st.db().Exec("ALTER TABLE yield_entry ADD COLUMN note TEXT") : Outcome::Io("?");
               }).ok());
  EXPECT_FALSE(s.EnsureModule("yield", 1, create).ok());  // written by a newer version

  auto put = [](ProjectStore& st, bool fail) {
    return st.Write([&](ProjectStore& w) -> Outcome {
      if (Outcome r = w.db().Exec("INSERT INTO yield_entry VALUES(3, '09/28/2026', '412.50', '')"); !r) return r;
      if (Outcome r = w.AppendEntry("yield", "", "book=3 day=09/28/2026 tons=412.50"); !r) return r;
      return fail ? Outcome::Io("stopped") : Outcome::Success();
    });
  };
  EXPECT_FALSE(put(s, true).ok());
  EXPECT_EQ(Count(s, "SELECT count(*) FROM yield_entry") + Count(s, "SELECT count(*) FROM entry"), 0);
  ASSERT_TRUE(put(s, false).ok());
  EXPECT_TRUE(Count(s, "SELECT count(*) FROM yield_entry") == 1 && s.LastEntry()->kind == "yield");
}

TEST(ProjectStore, AFolderALinkOrAFolderNotWritableIsRefusedAndNothingIsMade) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81"), store = job + kStoreSuffix;
  const auto refused = [&](const std::string& says) {
    ProjectStore s;
    const StoreOpen o = s.Open(job, "t");
    return !o.outcome && o.outcome.message.find(says) != std::string::npos;
  };
  ::mkdir(store.c_str(), 0700);
  EXPECT_TRUE(refused("is a folder"));
  ::rmdir(store.c_str());
  WriteFile(dir.File("elsewhere"), "");
  ASSERT_EQ(::symlink(dir.File("elsewhere").c_str(), store.c_str()), 0);
  EXPECT_TRUE(refused("is a link"));
  EXPECT_EQ(std::tuple(ListFolder(dir.path()).size(), ReadFile(dir.File("elsewhere"))), std::tuple(2ul, std::string()));
  ::remove(store.c_str());
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  EXPECT_TRUE(AsOrdinaryUser([&] { return refused("its folder cannot be written in (Permission denied)"); }));
  EXPECT_FALSE(Exists(store));
}

// A ticket's last change for the grid's tooltip, followed back through book
// moves, and the listing cut into printed pages.
TEST(HistoryListing, TicketNotesFollowTheBookBackThroughItsMoves) {
  ScratchFolder dir;
  ProjectStore s;
  ASSERT_TRUE(s.Open(dir.File("JOB.K81"), "quarrendale-tonnage").outcome.ok());
  // clang-format off
  const std::vector<std::pair<std::string, std::vector<Change>>> saves = {
      {"", {{kTicketAdded, 2, 0, "002203", "", "", "LINE"}, {kTicketAdded, 1, 0, "001201", "", "", "LINE"}}},
      {"scale fault", {{kTicketChanged, 1, 1, "001201", "Net Weight", "47000", "47100"},
                       {kTicketChanged, 2, 2, "002203", "Gross Weight", "77059", "77306"},
                       {kTicketChanged, 2, 2, "002203", "Net Weight", "47003", "47250"}}},
      {"book 1 entered twice", {{kBookDeleted, 0, 1, "", "", "HEADER", ""}, {kBookMoved, 1, 2, "", "Book", "2", "1"},
                                {kTicketRemoved, 0, 1, "001201", "", "LINE", ""}}},
      {"", {{kTicketAdded, 1, 1, "002206", "", "", "LINE"}}}};
  // clang-format on
  for (std::size_t k = 0; k < saves.size(); ++k)
    ASSERT_TRUE(s.AppendEntry(k ? "save" : "start", saves[k].first, "", saves[k].second).ok());
  const auto entries = s.Entries();  // newest first
  auto by = [&](std::size_t newest) {
    return " " + entries[newest].first.stamp.local + " by " + entries[newest].first.stamp.login;
  };

  EXPECT_EQ(TicketHistoryNotes(s, 1),
            (std::map<long, std::string>{{2203, "Changed" + by(2) +
                                                    "\nGross Weight: 77059 -> 77306\nNet Weight: 47003 -> 47250\n"
                                                    "Why: scale fault"},
                                         {2206, "Added" + by(0) + "\nWhy: no reason given"}}));

  const std::vector<HistoryRow> rows = ListHistory(s, {});
  std::string joined;
  for (const auto& page : HistoryPages(rows, "JOB.K81", 5)) {
    ASSERT_TRUE(page.size() <= 5u && page[0] == "JOB.K81");
    for (std::size_t k = 2; k < page.size(); ++k) joined += page[k] + "\n";
  }
  EXPECT_EQ(joined, HistoryText(rows));
}

// Differences between two states of a data file (the job of job_state.h):
// tickets followed by book and page number, books followed across a deletion
// that renumbers the rest.
std::string Show(const std::vector<Change>& changes) {
  std::string text;
  for (const Change& c : changes)
    text += c.what + " " + std::to_string(c.oldBook) + ">" + std::to_string(c.book) + " " + c.page + " " + c.field +
            " [" + c.oldValue.substr(0, 12) + "|" + c.newValue.substr(0, 12) + "]\n";
  return text;
}

TEST(StateDiff, FollowsTicketsByBookAndPage) {
  const std::vector<std::tuple<const char*, std::function<void(DataState&)>, const char*>> cases = {
      {"rows moved", [](DataState& s) { std::swap(s.books[0].tickets[0], s.books[0].tickets[4]); }, ""},
      {"added and removed",
       [](DataState& s) {
         s.books[3].tickets.erase(s.books[3].tickets.begin() + 1);
         s.books[3].tickets.push_back(Ticket(4206, "46980"));
       },
       "ticket added 4>4 004206  [|004206 09/28]\nticket removed 4>4 004202  [004202 09/28|]\n"},
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
       "book changed 3>3  Data Type [0|2]\nticket changed 3>3 003201 Agg Weight [77056|77066]\n"
       "ticket changed 3>3 003201 Tot Weight [47000|47010]\n"},
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
  EXPECT_EQ(DescribeSummary(s) + "|" + DescribeSummary(Summarize({})), "books 2, 3 (7 tickets)|no ticket");
}

}  // namespace
}  // namespace tonnage::store
