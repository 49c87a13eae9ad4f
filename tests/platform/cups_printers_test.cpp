// The installed printers and real jobs, on a print service of the test's own.
#include "cups_printers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "print_test_support.h"
#include "private_print_service.h"
#include "qt_printing.h"

namespace {

using printtest::Page;
using Numbers = std::vector<std::int16_t>;

constexpr const char* kMain = "Tonnage_Main";    // PostScript: Default, Upper, Manual
constexpr const char* kLaser = "Tonnage_Laser";  // PCL: Default, Tray1 .. Tray4, Manual, Envelope

std::string Name(const std::string& field) { return field.substr(0, field.find('\0')); }

// The names in `caps` by number.
std::map<int, std::string> Papers(const tonnage::print::PrinterCapabilities& caps) {
  std::map<int, std::string> names;
  for (std::size_t i = 0; i < caps.paperNumbers.size(); ++i)
    names.emplace(caps.paperNumbers[i], Name(caps.paperNames[i]));
  return names;
}

class CupsPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    service_ = std::make_unique<printtest::PrivatePrintService>();
    if (!service_->running()) GTEST_SKIP() << service_->SkipMessage();
    if (!printtest::Have("pdftotext"))
      GTEST_SKIP() << "*** SKIPPED: pdftotext (Debian poppler-utils) is needed ***";
    jobs_ = std::make_unique<printtest::ScratchFolder>("tonnage-jobs");
  }

  void AddQueue(const std::string& name, const std::string& driver) {
    ASSERT_EQ(service_->AddQueue(name, driver), "");
  }
  void MakeDefault(const std::string& name) { ASSERT_EQ(service_->MakeDefault(name), ""); }
  std::string Output(const std::string& name) const { return service_->Output(name); }
  std::vector<int> Jobs(const std::string& queue) const { return service_->Jobs(queue); }

  // Pages `first` .. `last` of the spool, as page printing sends them.
  static tonnage::Outcome PrintRange(tonnage::print::LinePrinter& printer,
                                     const std::vector<Page>& pages, std::size_t first,
                                     std::size_t last) {
    return printtest::PrintPages(
        printer, std::vector<Page>(pages.begin() + (first - 1), pages.begin() + last));
  }

  std::unique_ptr<printtest::PrivatePrintService> service_;
  std::unique_ptr<printtest::ScratchFolder> jobs_;
};

TEST_F(CupsPrinting, ListsTheQueuesWithTheirPapersSlotsAndSettings) {
  AddQueue(kMain, "generic.ppd");
  AddQueue(kLaser, "generpcl.ppd");
  MakeDefault(kMain);
  platform::CupsPrinterSystem printers(jobs_->path());

  EXPECT_EQ(printers.InstalledPrinters(), (std::vector<std::string>{kLaser, kMain}));
  // The service's default is current, with the queue's own default paper
  // (Letter here) and slot.
  const tonnage::print::PrinterState start = printers.Current();
  EXPECT_EQ(start.deviceName, kMain);
  EXPECT_EQ(start.port, "file://" + Output(kMain));
  EXPECT_EQ(start.orientation, 1);
  EXPECT_EQ(start.paperSize, 1);
  EXPECT_EQ(start.paperBin, 7);

  const auto main = printers.Capabilities(kMain, start.port);
  ASSERT_TRUE(main.has_value());
  const std::map<int, std::string> papers = Papers(*main);
  EXPECT_EQ(papers.at(9), "A4");
  EXPECT_EQ(papers.at(1), "US Letter");
  EXPECT_EQ(papers.at(5), "US Legal");
  for (const std::string& field : main->paperNames) EXPECT_EQ(field.size(), 64u);
  EXPECT_EQ(main->binNumbers, (Numbers{7, 1, 4}));
  ASSERT_EQ(main->binNames.size(), 3u);
  EXPECT_EQ(Name(main->binNames[1]), "Cassette");
  EXPECT_EQ(main->binNames[2], std::string("Manual Feed") + std::string(13, '\0'));

  const auto laser = printers.Capabilities(kLaser, "");
  ASSERT_TRUE(laser.has_value());
  EXPECT_EQ(laser->binNumbers, (Numbers{7, 1, 2, 259, 260, 4, 5}));
  EXPECT_EQ(Name(laser->binNames[3]), "Tray 3");

  EXPECT_FALSE(printers.Capabilities("Tonnage_Missing", "").has_value());
  EXPECT_FALSE(printers.Capabilities("", "").has_value()) << "no name is no printer";

  // Each printer keeps its own settings for the run.
  ASSERT_TRUE(printers.MakeCurrent(kLaser));
  EXPECT_EQ(printers.Current().deviceName, kLaser);
  printers.SetOrientation(2);
  printers.SetPaperSize(9);
  printers.SetPaperBin(2);

  ASSERT_TRUE(printers.MakeCurrent(kMain));
  EXPECT_EQ(printers.Current().paperSize, 1);
  EXPECT_EQ(printers.Current().orientation, 1);

  ASSERT_TRUE(printers.MakeCurrent(kLaser));
  const tonnage::print::PrinterState back = printers.Current();
  EXPECT_EQ(back.orientation, 2);
  EXPECT_EQ(back.paperSize, 9);
  EXPECT_EQ(back.paperBin, 2);

  EXPECT_FALSE(printers.MakeCurrent("Tonnage_Missing"));
  EXPECT_EQ(printers.Current().deviceName, kLaser);
}

TEST_F(CupsPrinting, TwoCopiesOfPagesTwoToThreeAreTwoJobsOnTheChosenPaperBinAndOrientation) {
  AddQueue(kMain, "generic.ppd");
  const std::vector<Page> pages = printtest::SpoolPages(printtest::SampleSpool());
  ASSERT_GE(pages.size(), 4u);
  platform::CupsPrinterSystem printers(jobs_->path());
  ASSERT_TRUE(printers.MakeCurrent(kMain));
  printers.SetPaperSize(9);
  printers.SetOrientation(2);
  printers.SetPaperBin(1);

  for (int copy = 0; copy < 2; ++copy) {
    const tonnage::Outcome printed = PrintRange(printers.Printer(), pages, 2, 3);
    ASSERT_TRUE(printed.ok()) << printed.message << service_->LogTail();
  }

  const std::vector<int> jobs = Jobs(kMain);
  ASSERT_EQ(jobs.size(), 2u);
  const double pitch = printtest::ReportPitch(12);  // landscape: 80 columns fit as they are
  for (int job : jobs) {
    EXPECT_EQ(printtest::CompareDocument(service_->JobDocument(job), {pages[1], pages[2]}, 842, 595, pitch), "")
        << "job " << job;

    const std::map<std::string, std::string> attributes = service_->JobAttributes(job);
    EXPECT_EQ(printtest::ValueOf(attributes, "media"), "A4");
    EXPECT_EQ(printtest::ValueOf(attributes, "InputSlot"), "Upper");
    EXPECT_EQ(printtest::ValueOf(attributes, "orientation-requested"), "landscape");
    // One copy each: the program asks for every copy as a document of its own.
    const std::string copies = printtest::ValueOf(attributes, "copies");
    EXPECT_TRUE(copies.empty() || copies == "1") << copies;
  }
  // The job files do not pile up in the program's folder.
  EXPECT_TRUE(std::filesystem::is_empty(jobs_->path()));
}

TEST_F(CupsPrinting, AFreshPrinterPrintsOnTheQueuesOwnDefaultPaper) {
  AddQueue(kMain, "generic.ppd");  // its default is Letter
  platform::CupsPrinterSystem printers(jobs_->path());
  ASSERT_TRUE(printtest::PrintPages(printers.Printer(), {{"ONE LINE"}}).ok());
  const std::vector<int> jobs = Jobs(kMain);
  ASSERT_EQ(jobs.size(), 1u);
  const printtest::PdfInfo info = printtest::ReadPdfInfo(service_->JobDocument(jobs[0]));
  EXPECT_NEAR(info.width, 612, 1);
  EXPECT_NEAR(info.height, 792, 1);
  const std::map<std::string, std::string> attributes = service_->JobAttributes(jobs[0]);
  EXPECT_EQ(printtest::ValueOf(attributes, "media"), "Letter");
  EXPECT_EQ(printtest::ValueOf(attributes, "InputSlot"), "Default");
  EXPECT_EQ(printtest::ValueOf(attributes, "orientation-requested"), "portrait");

  // A PDF file of the report takes the same paper and orientation.
  platform::QtPrinting printing(jobs_->path());
  printing.printers().SetOrientation(2);
  const std::string pdf = jobs_->File("report.pdf");
  ASSERT_TRUE(printtest::PrintPages(*printing.PdfPrinter(pdf), {{"ONE LINE"}}).ok());
  const printtest::PdfInfo file = printtest::ReadPdfInfo(pdf);
  EXPECT_NEAR(file.width, 792, 1);
  EXPECT_NEAR(file.height, 612, 1);
}

TEST_F(CupsPrinting, AStoppedOrRefusingQueueOrAnUnwritableJobSaysWhyAndPrintsNothing) {
  AddQueue(kMain, "generic.ppd");
  platform::CupsPrinterSystem printers(jobs_->path());
  ASSERT_EQ(printers.Current().deviceName, kMain);

  ASSERT_EQ(service_->Admin(std::string("cupsdisable -r 'Paper jam in tray 2' ") + kMain).status, 0);
  tonnage::Outcome outcome = printtest::PrintPages(printers.Printer(), {{"STOPPED"}});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.message.find(kMain), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find("stopped"), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find("Paper jam in tray 2"), std::string::npos) << outcome.message;
  EXPECT_TRUE(Jobs(kMain).empty());

  ASSERT_EQ(service_->Admin(std::string("cupsenable ") + kMain).status, 0);
  ASSERT_EQ(service_->Admin(std::string("cupsreject ") + kMain).status, 0);
  outcome = printtest::PrintPages(printers.Printer(), {{"REFUSED"}});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.message.find(kMain), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find("not accepting jobs"), std::string::npos) << outcome.message;
  EXPECT_TRUE(Jobs(kMain).empty());

  ASSERT_EQ(service_->Admin(std::string("cupsaccept ") + kMain).status, 0);
  outcome = printtest::PrintPages(printers.Printer(), {{"ACCEPTED"}});
  EXPECT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(Jobs(kMain).size(), 1u);

  // A job file that cannot be written.
  const std::string missing = jobs_->File("gone");
  platform::CupsPrinterSystem nowhere(missing);
  outcome = printtest::PrintPages(nowhere.Printer(), {{"NOWHERE"}});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.message.find(kMain), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find(missing), std::string::npos) << outcome.message;
  EXPECT_EQ(Jobs(kMain).size(), 1u);
}

TEST_F(CupsPrinting, WithNoQueueThereIsNoPrinterUntilOneIsAdded) {
  platform::CupsPrinterSystem printers(jobs_->path());
  EXPECT_TRUE(printers.InstalledPrinters().empty());
  EXPECT_EQ(printers.Current().deviceName, "");
  const tonnage::Outcome outcome = printtest::PrintPages(printers.Printer(), {{"NO PRINTER"}});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.message.find("No printer is installed"), std::string::npos) << outcome.message;

  AddQueue(kLaser, "generpcl.ppd");
  EXPECT_EQ(printers.Current().deviceName, kLaser);
  EXPECT_TRUE(printtest::PrintPages(printers.Printer(), {{"NOW ONE"}}).ok());
}

// No print service at all (the tests' usual state).
TEST(NoPrintService, PrintingSaysThatNoPrinterCanBeUsed) {
  printtest::ScratchFolder jobs("tonnage-jobs");
  platform::CupsPrinterSystem printers(jobs.path());
  EXPECT_TRUE(printers.InstalledPrinters().empty());
  EXPECT_EQ(printers.Current().deviceName, "");
  EXPECT_FALSE(printers.MakeCurrent("Anything"));
  EXPECT_FALSE(printers.Capabilities("Anything", "").has_value());
  const tonnage::Outcome outcome = printtest::PrintPages(printers.Printer(), {{"LOST?"}});
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.title, "Printer Error");
  EXPECT_NE(outcome.message.find("No printer can be used: the print service does not answer"),
            std::string::npos)
      << outcome.message;
  EXPECT_NE(outcome.message.find("Print To File"), std::string::npos) << outcome.message;
  // An empty document is no different: the user learns there is no printer.
  EXPECT_FALSE(printers.Printer().EndDocument().ok());
}

}  // namespace
