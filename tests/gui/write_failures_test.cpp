// Every file the windows have written, failed in its writing: the window
// tells the user (critical icon, the file and the reason), stays where it
// was, and nothing counts as saved.
#include <gtest/gtest.h>

#include <QLabel>
#include <filesystem>
#include <functional>

#include "data/section_file.h"
#include "dataform.h"
#include "enddata_form.h"
#include "fakes.h"
#include "main_form.h"
#include "proc_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using namespace tonnage::testing;

using Check = std::function<void(bool failed)>;

class WriteFailures : public ::testing::Test {
 protected:
  // `act` on the job opened with an unsaved change, as a user would have it,
  // with the first write to `file` failing (every step's failure is
  // core's: FaultWalk); `act` hands `check` whether the window shows it.
  void Fail(const std::string& file, const std::function<void(const Check& check)>& act) {
    ASSERT_TRUE(h.session.Open(job).ok());
    h.session.index.engineer = "NOT SAVED YET";
    h.messages.asked.clear();
    h.messages.answers.clear();
    FaultGuard fail(FailStep(file, {tonnage::io::FaultPoint::Write, 0}, EIO));
    act([&](bool failed) {
      ASSERT_EQ(h.messages.asked.size(), 1u) << file;
      const platform::Message& shown = h.messages.asked[0];
      EXPECT_TRUE(shown.text.contains(QString::fromStdString(file)) && shown.text.contains("Input/output error"))
          << shown.text.toStdString();
      EXPECT_EQ(std::tuple(failed, shown.icon, h.session.dataSaved, h.session.index.engineer, h.busy.depth()),
                std::tuple(true, platform::Icon::Critical, false, std::string("NOT SAVED YET"), 0))
          << file;
    });
    EXPECT_EQ(ReadFile(job), ReadFile(kSample)) << file;
  }

  fakes::Harness h;
  std::string job = h.Copy("us-standard-tickets.K81");
};

TEST_F(WriteFailures, SaveAndSaveAsSayWhyAndShowNoMark) {
  Fail("JOB.K81", [&](const Check& check) {
    auto save = h.Make<gui::EnddataForm>();
    Click(save.get(), "Endsave");
    check(!Shown(save.get(), "Image1"));
    EXPECT_EQ(h.messages.asked.empty() ? "Save Error" : h.messages.asked[0].title, "Save Error");
  });
  const std::string copy = (h.root / "docs" / "COPY.K81").string();
  Fail("COPY.K81", [&](const Check& check) {
    h.files.saves = {copy};
    auto save = h.Make<gui::EnddataForm>();
    Click(save.get(), "Endsaveas");
    const bool failed = !Shown(save.get(), "Image2");
    check(failed);
    // Failed: nothing written, the window still on the old name.
    EXPECT_TRUE(!failed || ((h.messages.asked.empty() ? QString() : h.messages.asked[0].title) == "Save Error" &&
                            !fs::exists(copy) && Text(save.get(), "Label1").toStdString() == h.session.dataFilePath));
  });
}

TEST_F(WriteFailures, TheReportSaysWhichWorkFileFailedAndShowsNoViewer) {
  for (const char* file : {"WORK.TMP", "TMP.SPL", "PRINT.SPL"}) {
    Fail(file, [&](const Check& check) {
      fakes::ModalDriver driver;
      driver.Then([](QWidget* viewer) { viewer->close(); });
      Click(h.Make<gui::ProcForm>().get(), "ReportCmd");
      check(driver.seen.empty());
    });
  }
}

TEST_F(WriteFailures, ClosingTheGridAsksBeforeLosingTheTickets) {
  Fail("SECT0002.TMP", [&](const Check& check) {
    h.session.currentBook = 2;
    auto grid = h.Make<gui::Dataform>(h.rowMenu);
    grid->show();
    h.messages.answers = {platform::Button::No};
    Click(grid.get(), "dataexit");
    check(grid->isVisible());
    if (!grid->isVisible()) return;
    EXPECT_EQ(h.messages.asked[0].defaultButton, platform::Button::No);
    tonnage::io::SetFaultHook({});
    Click(grid.get(), "dataexit");
    EXPECT_FALSE(grid->isVisible()) << "stored on the next try";
  });
}

}  // namespace
