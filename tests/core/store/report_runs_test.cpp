// Tickets shown by a report run: which later changes need a reason, and how
// the record follows the tickets across saves that renumber books; and saves
// killed at random moments, with and without the history.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <chrono>
#include <cstdlib>
#include <random>

#include "../test_files.h"
#include "job_state.h"
#include "data/data_file.h"
#include "data/section_file.h"
#include "data/session.h"
#include "entry/book_list.h"
#include "store/history.h"
#include "store/report_runs.h"

namespace tonnage {
namespace {

using namespace testing;

// Rewrites ticket `page` of `book` in the open data (nothing: removes it), or
// adds it at the end: its line found by the page number that starts it.
void SetTicket(Session& s, int book, int page, std::optional<int> net) {
  std::string text = ReadFile(s.SectionPath(book));
  const std::string line = store::job_state::Ticket(page, std::to_string(net.value_or(0))) + "\r\n";
  const std::size_t at = text.find(line.substr(0, 7));
  if (at == std::string::npos)
    text += line;
  else
    text.replace(at, line.size(), net ? line : "");
  WriteFile(s.SectionPath(book), text);
}

std::vector<std::string> NeedReason(Session& s) {
  const Session::ReasonCheck check = s.ChangesNeedingReason(s.dataFilePath);
  EXPECT_TRUE(check.outcome.ok()) << check.outcome.message;
  std::vector<std::string> out;
  for (const store::Change& c : check.needReason) out.push_back(store::DescribeChange(c));
  return out;
}

// Opens `file` without a history of its own, for saves to `target` that keep one.
void OpenForSavesTo(Session& s, const std::string& dir, const std::string& file, const std::string& target) {
  ASSERT_TRUE(s.Start(dir, dir).ok());
  s.keepHistory = false;
  ASSERT_TRUE(s.Open(file).ok());
  s.keepHistory = true;
  s.dataFilePath = target;
}

struct Opened {
  ScratchFolder dir;
  Session session;
  Opened() {
    WriteFile(dir.File("JOB.K81"), store::DataFileBytes(store::job_state::Job()));
    EXPECT_TRUE(session.Start(dir.path(), dir.path()).ok() && session.Open(dir.File("JOB.K81")).ok());
  }
  ~Opened() { session.Cleanup(); }
};

TEST(ReportRuns, ChangedOrRemovedReportedTicketsNeedAReason) {
  const std::vector<std::tuple<const char*, std::function<void(Session&)>, std::vector<std::string>>> cases = {
      {"a weight",
       [](Session& s) { SetTicket(s, 2, 2203, 47250); },
       {"book 2 page 002203 Gross Weight: 77058 -> 77306", "book 2 page 002203 Net Weight: 47002 -> 47250"}},
      {"a ticket removed", [](Session& s) { SetTicket(s, 1, 1202, std::nullopt); }, {"book 1 page 001202 removed"}},
      {"a ticket added", [](Session& s) { SetTicket(s, 3, 3206, 46980); }, {}},
      {"the index record", [](Session& s) { s.index.engineer = "M. OKAFOR"; }, {}},
  };
  for (const auto& [name, edit, expected] : cases) {
    for (const bool reported : {false, true}) {
      Opened job;
      ASSERT_TRUE(!reported || job.session.RecordReportRun().ok());
      edit(job.session);
      EXPECT_EQ(NeedReason(job.session), reported ? expected : std::vector<std::string>{}) << name << reported;
    }
  }
}

TEST(ReportRuns, ReportedTicketsFollowRenumberedBooksAndNewFiles) {
  Opened job;
  Session& s = job.session;
  ASSERT_TRUE(s.RecordReportRun().ok() && DeleteBook(s, 1).ok());
  EXPECT_EQ(NeedReason(s).size(), 5u) << "the deleted book's five tickets";
  s.saveReason = "book 1 entered twice";
  ASSERT_TRUE(s.Save().ok());
  // The binder course is book 1 of the file now (slot 2 until the file is
  // opened again); its tickets are still on record as reported.
  SetTicket(s, 2, 2203, 47250);
  SetTicket(s, 3, 3204, std::nullopt);
  EXPECT_EQ(NeedReason(s),
            (std::vector<std::string>{"book 1 page 002203 Gross Weight: 77058 -> 77306",
                                      "book 1 page 002203 Net Weight: 47002 -> 47250", "book 2 page 003204 removed"}));

  // A file never saved: its report covers the tickets from the first save on.
  Session fresh;
  OpenForSavesTo(fresh, job.dir.path(), job.dir.File("JOB.K81"), kNoName);
  ASSERT_TRUE(fresh.RecordReportRun().ok() && fresh.SaveAs(job.dir.File("NEW.K81")).ok());
  SetTicket(fresh, 1, 2201, 46000);
  EXPECT_EQ(NeedReason(fresh).size(), 2u);
  fresh.Cleanup();

  // The reason is in the entry, and the report run in the history.
  store::ProjectStore history;
  ASSERT_TRUE(history.OpenToRead(s.dataFilePath).ok());
  const auto entries = history.Entries();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[0].first.reason + "|" + entries[1].first.kind, "book 1 entered twice|report");
  EXPECT_TRUE(store::VerifyHistory(history, s.dataFilePath).ok);
}

// Saves killed with SIGKILL at random moments, every other round with the
// history off: after each, the data file and its backup are each one of the
// two versions whole, and the file's history opens, records whatever the file
// holds that it did not, and verifies.
// 500 books of 200 tickets; the versions differ in one ticket of every book.
std::string FullFile(int version) {
  store::DataState job{store::job_state::Job().indexLine, {}};
  for (int b = 1; b <= kMaxBooks; ++b) {
    job.books.push_back(store::job_state::Book("BOOK " + std::to_string(b), 1, kMaxRows));
    if (version) job.books.back().tickets[b % kMaxRows] = store::job_state::Ticket(b % kMaxRows + 1, "1");
  }
  return store::DataFileBytes(job);
}

TEST(KilledSave, FileBackupAndHistoryStayWhole) {
  ScratchFolder dir;
  const std::string versions[2] = {FullFile(0), FullFile(1)}, target = dir.File("JOB.K81");
  Session sessions[2];
  for (int v = 0; v < 2; ++v) {
    WriteFile(dir.File("V" + std::to_string(v) + ".K81"), versions[v]);
    OpenForSavesTo(sessions[v], dir.path(), dir.File("V" + std::to_string(v) + ".K81"), target);
  }
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(sessions[0].Save().ok() && sessions[1].Save().ok());
  const auto saveTime =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 2;

  // A few rounds in the test suite, many more from scripts/kill-save-loop.sh.
  const char *seed = std::getenv("TONNAGE_KILL_SEED"), *rounds = std::getenv("TONNAGE_KILL_ROUNDS");
  std::mt19937 random(seed ? static_cast<unsigned>(std::atoi(seed)) : 20261207u);
  for (int round = 0; round < (rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 6); ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (Session& s : sessions) s.keepHistory = round % 2 == 0;
      for (int i = 0;; ++i) (void)sessions[i % 2].Save();  // until killed
    }
    ::usleep(static_cast<useconds_t>(random() % (saveTime * 2 + 1)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    for (const std::string& file : {target, target + ".bak"}) {
      const std::string now = ReadFile(file);
      ASSERT_TRUE(now == versions[0] || now == versions[1]) << file << ", round " << round;
    }
    Session check;
    ASSERT_TRUE(check.Start(dir.path(), dir.path()).ok() && check.Open(target).ok());
    EXPECT_EQ(check.openNotice.find("cannot"), std::string::npos) << check.openNotice;
    const store::Verification v = store::VerifyHistory(check.store(), target);
    EXPECT_TRUE(v.ok) << "round " << round << ": " << v.message;
    check.Cleanup();
  }
  // A killed save leaves its temporary file; once it is old, the next save
  // clears it away.
  for (const std::string& name : ListFolder(dir.path()))
    if (name.rfind(io::kTemporaryPrefix, 0) == 0) Age(dir.File(name), io::kLeftoverAge + 1);
  ASSERT_TRUE(sessions[0].Save().ok());
  for (const std::string& name : ListFolder(dir.path())) EXPECT_NE(name.rfind(io::kTemporaryPrefix, 0), 0u) << name;
  for (Session& s : sessions) s.Cleanup();
}

}  // namespace
}  // namespace tonnage
