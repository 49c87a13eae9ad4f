// Printing as a user does it, on real printers: a print service of the
// test's own with two queues, the report of a bundled sample shown in the
// viewer, the print dialog and printer setup driven by their controls, and
// the jobs read back from the service. Only the message boxes and the file
// chooser are test doubles.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <map>
#include <memory>

#include "fakes.h"
#include "main_form.h"
#include "print_test_support.h"
#include "private_print_service.h"
#include "program_hooks.h"
#include "qt_printing.h"

namespace {

namespace fs = std::filesystem;
using printtest::Page;
using namespace steps;

// The service lists its queues by name: the default first, then the other.
constexpr const char* kOffice = "Front_Office";  // PostScript; the default
constexpr const char* kSite = "Site_Laser";      // PCL, with four trays

class PrintingOnRealPrinters : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    service_ = std::make_unique<printtest::PrivatePrintService>();
    if (!service_->running()) GTEST_SKIP() << service_->SkipMessage();
    ASSERT_TRUE(printtest::Have("pdftotext") && printtest::Have("pdfinfo"))
        << "pdftotext and pdfinfo (Debian poppler-utils, scripts/install-deps.sh) are needed";
    ASSERT_EQ(service_->AddQueue(kOffice, "generic.ppd"), "");
    ASSERT_EQ(service_->AddQueue(kSite, "generpcl.ppd"), "");
    ASSERT_EQ(service_->MakeDefault(kOffice), "");

    printing_ = std::make_unique<platform::QtPrinting>(jobFiles_.path());
    h.context.platform.printing = printing_.get();
    gui::InstallProgramHooks(h.context.hooks);
    sample_ = (h.root / "docs" / "STP-0312.K81").string();
    fs::copy_file(std::string(TONNAGE_SAMPLES_DIR) + "/us-standard-tickets.K81", sample_);
  }

  // Opens the sample, runs Report, and picks Print in the viewer; `inDialog`
  // works the print dialog (Cancel closes it afterwards) and `more` answers
  // the windows it opens. Then back out: viewer, process window (no save).
  void PrintFromTheViewer(const fakes::ModalDriver::Step& inDialog,
                          std::vector<fakes::ModalDriver::Step> more = {}) {
    std::vector<QString> expected = {"ProcForm", "ViewForm", "Prtbox"};
    fakes::ModalDriver driver;
    driver.Then([](QWidget* process) { Click(process, "ReportCmd"); })
        .Then([this](QWidget* viewer) {
          pages_ = printtest::SpoolPages(h.session.spoolPath);
          Find<QAction>(viewer, "Mnu_Print")->trigger();
          h.messages.answers = {platform::Button::No};  // leave without saving
          QWidget* process = viewer->parentWidget();
          Find<QAction>(viewer, "Mnu_Exit")->trigger();
          Click(process, "ExitCmd");
        })
        .Then([&inDialog](QWidget* box) {
          inDialog(box);
          Click(box, "Cmd_Cancel");
        });
    for (fakes::ModalDriver::Step& step : more) {
      driver.Then(std::move(step));
      expected.push_back("NTSetup");
    }
    h.files.opens = {sample_};
    gui::MainForm1 main(h.context);
    main.show();
    Click(&main, "Cmd_Open");
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(driver.seen, expected);
    EXPECT_TRUE(driver.unexpected.empty());
  }

  fakes::Harness h;
  std::unique_ptr<printtest::PrivatePrintService> service_;
  printtest::ScratchFolder jobFiles_;
  std::unique_ptr<platform::QtPrinting> printing_;
  std::string sample_;
  std::vector<Page> pages_;
};

// The three printer lines of the print dialog.
QStringList PrinterLines(QWidget* box) {
  return {Text(box, "Label1"), Text(box, "Label2"), Text(box, "Label3")};
}

TEST_F(PrintingOnRealPrinters, PagesTwoToThreeInTwoCopiesOnTheOtherQueueInA4Landscape) {
  QStringList atOpening, afterSetup, queues;
  QString startQueue;
  std::size_t messagesAfterPrint = 99;
  bool openAfterPrint = false;
  const auto inDialog = [&](QWidget* box) {
    atOpening = PrinterLines(box);
    Click(box, "Cmd_Setup");
    afterSetup = PrinterLines(box);
    Find<QRadioButton>(box, "Range1")->click();
    Find<QSpinBox>(box, "Page_From")->setValue(2);
    Find<QSpinBox>(box, "Page_To")->setValue(3);
    auto* copies = Find<QLineEdit>(box, "No_Copies");
    copies->selectAll();
    QTest::keyClicks(copies, "2");
    Click(box, "Cmd_Print");
    messagesAfterPrint = h.messages.asked.size();
    openAfterPrint = box->isVisible();
  };
  const auto inSetup = [&](QWidget* setup) {
    auto* printers = Find<QComboBox>(setup, "combo1");
    for (int i = 0; i < printers->count(); ++i) queues << printers->itemText(i);
    startQueue = printers->currentText();
    QTest::keyClick(printers, Qt::Key_Down);  // the next queue, as picked from the list
    auto* papers = Find<QComboBox>(setup, "Combo2");
    for (int i = 0; i < papers->count(); ++i)
      if (papers->itemText(i).endsWith(QStringLiteral("  A4"))) papers->setCurrentIndex(i);
    Find<QRadioButton>(setup, "Option1_1")->click();
    Click(setup, "Cmd_OK");
  };
  PrintFromTheViewer(inDialog, {inSetup});

  EXPECT_EQ(queues, (QStringList{kOffice, kSite}));
  EXPECT_EQ(startQueue, kOffice);
  const QString office = QString::fromStdString(" Printer: " + std::string(kOffice) + "   [file://" +
                                                service_->Output(kOffice) + "] ");
  EXPECT_EQ(atOpening.value(0), office);
  EXPECT_EQ(atOpening.value(1), " Paper: US Letter   [Portrait] ");
  const QString site = QString::fromStdString(" Printer: " + std::string(kSite) + "   [file://" +
                                              service_->Output(kSite) + "] ");
  EXPECT_EQ(afterSetup.value(0), site);
  EXPECT_EQ(afterSetup.value(1), " Paper: A4   [Landscape] ");
  EXPECT_TRUE(afterSetup.value(2).startsWith(" Bin: ")) << afterSetup.value(2).toStdString();
  EXPECT_EQ(messagesAfterPrint, 0u) << h.messages.asked.front().text.toStdString();
  EXPECT_TRUE(openAfterPrint);

  // Two jobs, each a whole copy of report pages 2 and 3 on A4 turned across.
  EXPECT_TRUE(service_->Jobs(kOffice).empty());
  const std::vector<int> jobs = service_->Jobs(kSite);
  ASSERT_EQ(jobs.size(), 2u) << service_->LogTail();
  ASSERT_GE(pages_.size(), 3u);
  const double pitch = printtest::ReportPitch(12);  // across an A4 sheet 80 columns fit as they are
  for (int job : jobs) {
    EXPECT_EQ(printtest::CompareDocument(service_->JobDocument(job), {pages_[1], pages_[2]}, 842, 595, pitch), "")
        << "job " << job;
    const std::map<std::string, std::string> attributes = service_->JobAttributes(job);
    EXPECT_EQ(printtest::ValueOf(attributes, "media"), "A4") << "job " << job;
    EXPECT_EQ(printtest::ValueOf(attributes, "orientation-requested"), "landscape") << "job " << job;
  }
}

}  // namespace
