// Every edit of the open data keeps the state file a crash is recovered from,
// and says so when it cannot.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/section_file.h"
#include "data/session.h"

namespace tonnage {
namespace {

using namespace testing;

TEST(SessionEdits, EachRewritesTheStateFileAndReportsWhenItCannot) {
  struct Edit {
    const char* name;
    Outcome (*make)(Session&);                          // the edit, and what its caller learns of the state file
    bool (*kept)(const Session&, const SessionState&);  // the edit as a later run finds it
  };
  const Edit edits[] = {
      {"index record",
       [](Session& s) {
         return s.SetIndexRecord({"CST81", "5120", "SP-6213-44", "", "K. NEUMANN", "E"});
       },
       [](const Session&, const SessionState& state) { return state.index.engineer == "K. NEUMANN"; }},
      {"book header",
       [](Session& s) {
         return s.SetBookHeader(2, {"SURFACE COURSE SP 12.5", "0", "1.0250"});
       },
       [](const Session&, const SessionState& state) { return state.books[1].specificGravity == "1.0250"; }},
      {"tickets",
       [](Session& s) {
         BookRows tickets;
         tickets[0].cells = {"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""};
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
      if (blocked) {  // a folder in its place, not empty, so no rename can replace it
        ::mkdir(stateFile.c_str(), 0700);
        WriteFile(stateFile + "/x", "x");
      }
      const Outcome kept = edit.make(session);
      SessionState state;
      EXPECT_EQ(kept.ok(), !blocked) << kept.message;
      if (blocked) {
        EXPECT_NE(kept.message.find(kStateFileName), std::string::npos) << kept.message;
      } else {
        EXPECT_TRUE(ParseSessionState(ReadFile(stateFile), state) && edit.kept(session, state));
      }
      session.Cleanup();
    }
  }
}

}  // namespace
}  // namespace tonnage
