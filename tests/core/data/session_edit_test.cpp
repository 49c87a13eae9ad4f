// Every edit of the open data keeps the state file a crash is recovered from,
// and says so when it cannot.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/section_file.h"
#include "data/session.h"

namespace tonnage {
namespace {

using namespace testing;

TEST(SessionEdits, EachRewritesTheStateFileAndReportsWhenItCannot) {
  BookRows tickets;
  tickets[0].cells = {"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""};
  struct Edit {
    const char* name;
    // The edit, and what its caller learns of the state file.
    std::function<Outcome(Session&)> make;
    // The edit as a later run would find it.
    std::function<bool(const Session&, const SessionState&)> kept;
  };
  const Edit edits[] = {
      {"index record",
       [](Session& s) {
         IndexRecord record = s.index;
         record.engineer = "K. NEUMANN";
         return s.SetIndexRecord(record);
       },
       [](const Session& s, const SessionState& state) {
         return s.index.engineer == "K. NEUMANN" && state.index.engineer == "K. NEUMANN";
       }},
      {"book header", [](Session& s) { return s.SetBookHeader(2, {"SURFACE COURSE SP 12.5", "0", "1.0250"}); },
       [](const Session& s, const SessionState& state) {
         return s.Book(2).comments == "SURFACE COURSE SP 12.5" && state.books[1].specificGravity == "1.0250";
       }},
      {"tickets",
       [&](Session& s) {
         if (Outcome written = s.WriteBookTickets(2, tickets); !written) return written;
         return s.TakeStateProblem();
       },
       [](const Session& s, const SessionState&) {
         BookRows back;
         return !s.dataSaved && ReadSectionFile(s.SectionPath(2), back) && back[0].cells[0] == "001201";
       }},
  };
  for (const Edit& edit : edits) {
    for (const bool blocked : {false, true}) {
      SCOPED_TRACE(std::string(edit.name) + (blocked ? ", state file blocked" : ""));
      ScratchFolder scratch;
      Session session;
      ASSERT_TRUE(session.Start(scratch.path(), scratch.path()).ok());
      session.ChooseUnits("E");
      session.dataSaved = true;
      const std::string stateFile = session.workFolder().File(kStateFileName);
      RemoveTree(stateFile);
      // A folder in its place (not empty, so no rename can replace it).
      if (blocked) {
        ::mkdir(stateFile.c_str(), 0700);
        WriteFile(stateFile + "/x", "x");
      }
      const Outcome kept = edit.make(session);
      SessionState state;
      if (blocked) {
        EXPECT_FALSE(kept.ok());
        EXPECT_NE(kept.message.find(kStateFileName), std::string::npos) << kept.message;
      } else {
        EXPECT_TRUE(kept.ok()) << kept.message;
        const bool rewritten = ParseSessionState(ReadFile(stateFile), state);
        EXPECT_TRUE(rewritten);
        EXPECT_TRUE(rewritten && edit.kept(session, state));
      }
      session.Cleanup();
    }
  }
}

}  // namespace
}  // namespace tonnage
