// Every file the windows have written, failed at every step of its writing:
// the window tells the user (critical icon, the file and the reason), stays
// where it was, and nothing counts as saved.
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
using tonnage::io::FaultPoint;

// One command of a window that writes `file`. `act` runs it; `check` looks
// at the window afterwards, given whether the write failed.
struct Site {
  const char* name;
  std::string file;
  std::function<void(fakes::Harness&, const std::function<void(bool failed)>& check)> act;
};

class WriteFailures : public ::testing::Test {
 protected:
  // Opens the job with an unsaved change, as a user would have it.
  void OpenJob() {
    ASSERT_TRUE(h.session.Open(job).ok());
    h.session.index.engineer = "NOT SAVED YET";
  }
  // Each step `site` takes on its file, made to fail in turn.
  void Walk(const Site& site) {
    OpenJob();
    h.messages.asked.clear();
    const std::vector<WriteStep> steps = WriteSteps(site.file, [&] { site.act(h, [&](bool) {}); });
    ASSERT_GE(steps.size(), 3u) << site.name;
    EXPECT_TRUE(h.messages.asked.empty()) << site.name << ": " << h.messages.asked[0].text.toStdString();
    for (const WriteStep& step : steps) {
      const std::string where = StepName(site.name, step);
      fs::copy_file(kSample, job, fs::copy_options::overwrite_existing);
      OpenJob();
      h.messages.asked.clear();
      h.messages.answers.clear();
      FaultGuard fail(FailStep(site.file, step, EIO));
      site.act(h, [&](bool failed) {
        EXPECT_TRUE(failed) << where;
        ASSERT_EQ(h.messages.asked.size(), 1u) << where;
        const platform::Message& shown = h.messages.asked[0];
        EXPECT_EQ(shown.icon, platform::Icon::Critical) << where;
        EXPECT_TRUE(shown.text.contains(QString::fromStdString(site.file))) << where << shown.text.toStdString();
        EXPECT_TRUE(shown.text.contains("Input/output error")) << where << shown.text.toStdString();
        EXPECT_FALSE(h.session.dataSaved) << where;
        EXPECT_EQ(h.session.index.engineer, "NOT SAVED YET") << where;
        EXPECT_EQ(h.busy.depth, 0) << where;
      });
      EXPECT_EQ(ReadFile(job), ReadFile(kSample)) << where;
    }
  }

  fakes::Harness h;
  std::string job = h.Copy("us-standard-tickets.K81");
};

TEST_F(WriteFailures, SaveAndSaveAsSayWhyAndShowNoMark) {
  Walk({"Save", "JOB.K81", [](fakes::Harness& h, const auto& check) {
          auto save = h.Make<gui::EnddataForm>();
          Click(save.get(), "Endsave");
          check(!Shown(save.get(), "Image1"));
          EXPECT_EQ(h.messages.asked.empty() ? "Save Error" : h.messages.asked[0].title, "Save Error");
        }});
  const std::string copy = (h.root / "docs" / "COPY.K81").string();
  Walk({"Save As", "COPY.K81", [&](fakes::Harness& h, const auto& check) {
          fs::remove(copy);
          h.files.saves = {copy};
          auto save = h.Make<gui::EnddataForm>();
          Click(save.get(), "Endsaveas");
          const bool failed = !Shown(save.get(), "Image2");
          check(failed);
          if (failed) {
            EXPECT_EQ(h.messages.asked.empty() ? QString() : h.messages.asked[0].title, "Save Error");
            EXPECT_FALSE(fs::exists(copy));
            EXPECT_EQ(Text(save.get(), "Label1").toStdString(), h.session.dataFilePath);
          }
        }});
}

TEST_F(WriteFailures, TheReportSaysWhichWorkFileFailedAndShowsNoViewer) {
  for (const char* file : {"WORK.TMP", "TMP.SPL", "PRINT.SPL"}) {
    Walk({file, file, [](fakes::Harness& h, const auto& check) {
            fakes::ModalDriver driver;
            driver.Then([](QWidget* viewer) { viewer->close(); });
            Click(h.Make<gui::ProcForm>().get(), "ReportCmd");
            check(driver.seen.empty());
          }});
  }
}

TEST_F(WriteFailures, ClosingTheGridAsksBeforeLosingTheTickets) {
  Walk({"grid", "SECT0002.TMP", [](fakes::Harness& h, const auto& check) {
          h.session.currentBook = 2;
          auto grid = h.Make<gui::Dataform>(h.rowMenu);
          grid->show();
          h.messages.answers = {platform::Button::No};
          Click(grid.get(), "dataexit");
          check(grid->isVisible());
          if (grid->isVisible()) {
            EXPECT_EQ(h.messages.asked[0].defaultButton, platform::Button::No);
            tonnage::io::SetFaultHook({});
            Click(grid.get(), "dataexit");
            EXPECT_FALSE(grid->isVisible()) << "stored on the next try";
          }
        }});
}

TEST(WriteFailuresAtStart, AWorkFolderThatCannotBeWrittenStopsTheProgramWithItsReason) {
  fakes::Harness h;
  h.session.Cleanup();
  for (FaultPoint point : {FaultPoint::Open, FaultPoint::Write, FaultPoint::Rename}) {
    h.messages.asked.clear();
    FaultGuard fail(FailStep("VERSION.TMP", {point, 0}, ENOSPC));
    EXPECT_FALSE(gui::StartSession(h.session, h.messages, (h.root / "docs").string(), (h.root / "tmp").string()));
    ASSERT_EQ(h.messages.asked.size(), 1u);
    EXPECT_EQ(h.messages.asked[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(h.messages.asked[0].text.contains("VERSION.TMP: No space left on device"))
        << h.messages.asked[0].text.toStdString();
    // Nothing of the failed start is left behind.
    EXPECT_TRUE(fs::is_empty(h.root / "tmp"));
  }
  EXPECT_TRUE(gui::StartSession(h.session, h.messages, (h.root / "docs").string(), (h.root / "tmp").string()));
}

}  // namespace
