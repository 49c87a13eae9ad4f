// The installed printers and real jobs, on a print service of the test's own.
#include "cups_printers.h"

#include <gtest/gtest.h>

#include "print_support.h"
#include "qt_printing.h"

namespace {

using namespace printtest;
using Numbers = std::vector<std::int16_t>;

constexpr const char* kMain = "Tonnage_Main";    // PostScript: Default, Upper, Manual
constexpr const char* kLaser = "Tonnage_Laser";  // PCL: Default, Tray1 .. Tray4, Manual, Envelope

std::string Name(const std::string& field) { return field.substr(0, field.find('\0')); }
bool Says(const tonnage::Outcome& outcome, const std::string& words) {
  return outcome.message.find(words) != std::string::npos;
}

class CupsPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!service_.running()) GTEST_SKIP() << "cannot start a print service of the test's own: " << service_.error();
    ASSERT_TRUE(PdfReaders()) << "pdftotext and pdfinfo (poppler-utils) are missing";
  }
  void AddQueue(const std::string& name, const std::string& driver) { ASSERT_EQ(service_.AddQueue(name, driver), ""); }
  void Admin(const std::string& command) { ASSERT_EQ(service_.Admin(command).status, 0) << command; }
  // The job's media, input slot and orientation.
  std::string Settings(int job) {
    std::map<std::string, std::string> a = service_.JobAttributes(job);
    return a["media"] + " " + a["InputSlot"] + " " + a["orientation-requested"];
  }

  PrivatePrintService service_;
  ScratchFolder jobs_;
};

// With no queue there is no printer until one is added; the default queue is
// current on its own default paper (Letter here) and slot, each printer
// keeping its own settings for the run.
TEST_F(CupsPrinting, QueuesListTheirPapersAndSlotsAndTheDefaultPrintsOnItsOwnPaper) {
  {
    platform::CupsPrinterSystem printers(jobs_.path());
    EXPECT_TRUE(printers.InstalledPrinters().empty());
    EXPECT_EQ(printers.Current().deviceName, "");
    EXPECT_TRUE(Says(PrintPages(printers.Printer(), {{"NO PRINTER"}}), "No printer is installed"));
    AddQueue(kLaser, "generpcl.ppd");
    EXPECT_EQ(printers.Current().deviceName, kLaser);
    EXPECT_TRUE(PrintPages(printers.Printer(), {{"NOW ONE"}}).ok());
  }
  AddQueue(kMain, "generic.ppd");
  Admin("lpadmin -d " + std::string(kMain));
  platform::CupsPrinterSystem printers(jobs_.path());
  EXPECT_EQ(printers.InstalledPrinters(), (std::vector<std::string>{kLaser, kMain}));
  const tonnage::print::PrinterState start = printers.Current();
  EXPECT_EQ(start.deviceName, kMain);
  EXPECT_EQ(start.port, "file://" + service_.Output(kMain));
  EXPECT_EQ(std::tuple(start.orientation, start.paperSize, start.paperBin), std::tuple(1, 1, 7));

  const auto main = printers.Capabilities(kMain, start.port);
  ASSERT_TRUE(main.has_value());
  std::map<int, std::string> papers;
  for (std::size_t i = 0; i < main->paperNumbers.size(); ++i)
    papers.emplace(main->paperNumbers[i], Name(main->paperNames[i]));
  EXPECT_EQ(papers.at(9) + "|" + papers.at(1) + "|" + papers.at(5), "A4|US Letter|US Legal");
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

  // A fresh printer prints on the queue's own default paper, and a PDF file
  // of the report takes the same paper and orientation.
  ASSERT_TRUE(PrintPages(printers.Printer(), {{"ONE LINE"}}).ok());
  ASSERT_EQ(service_.Jobs(kMain).size(), 1u);
  const int job = service_.Jobs(kMain)[0];
  EXPECT_EQ(SheetSize(service_.JobDocument(job)), "612x792");
  EXPECT_EQ(Settings(job), "Letter Default portrait");
  platform::QtPrinting printing(jobs_.path());
  printing.printers().SetOrientation(2);
  ASSERT_TRUE(PrintPages(*printing.PdfPrinter(jobs_.File("report.pdf")), {{"ONE LINE"}}).ok());
  EXPECT_EQ(SheetSize(jobs_.File("report.pdf")), "792x612");

  ASSERT_TRUE(printers.MakeCurrent(kLaser));
  printers.SetOrientation(2);
  printers.SetPaperSize(9);
  printers.SetPaperBin(2);
  ASSERT_TRUE(printers.MakeCurrent(kMain));
  EXPECT_EQ(std::tuple(printers.Current().paperSize, printers.Current().orientation), std::tuple(1, 1));
  ASSERT_TRUE(printers.MakeCurrent(kLaser));
  const tonnage::print::PrinterState back = printers.Current();
  EXPECT_EQ(std::tuple(back.orientation, back.paperSize, back.paperBin), std::tuple(2, 9, 2));
  EXPECT_FALSE(printers.MakeCurrent("Tonnage_Missing"));
  EXPECT_EQ(printers.Current().deviceName, kLaser);
}

// A stopped queue and a refusing one say why and print nothing; two copies of
// report pages 2 and 3 on A4 landscape from the upper slot arrive line for
// line, one job a copy; a job file that cannot be written says where.
TEST_F(CupsPrinting, AStoppedOrRefusingQueueOrAnUnwritableJobSaysWhyAndPrintsNothing) {
  AddQueue(kMain, "generic.ppd");
  const std::vector<Page> pages = SamplePages();
  ASSERT_GE(pages.size(), 4u);
  platform::CupsPrinterSystem printers(jobs_.path());
  ASSERT_EQ(printers.Current().deviceName, kMain);
  for (const auto& [stop, start, why] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"cupsdisable -r 'Paper jam in tray 2' ", "cupsenable ", "is stopped (Paper jam in tray 2)"},
           {"cupsreject ", "cupsaccept ", "not accepting jobs"}}) {
    Admin(stop + kMain);
    const tonnage::Outcome outcome = PrintPages(printers.Printer(), {{"REFUSED"}});
    EXPECT_TRUE(Says(outcome, kMain) && Says(outcome, why)) << outcome.message;
    EXPECT_TRUE(service_.Jobs(kMain).empty());
    Admin(start + kMain);
  }
  const tonnage::Outcome accepted = PrintPages(printers.Printer(), {{"ACCEPTED"}});
  EXPECT_TRUE(accepted.ok()) << accepted.message;
  EXPECT_EQ(service_.Jobs(kMain).size(), 1u);

  printers.SetPaperSize(9);
  printers.SetOrientation(2);
  printers.SetPaperBin(1);
  for (int copy = 0; copy < 2; ++copy) {
    const tonnage::Outcome printed = PrintPages(printers.Printer(), {pages[1], pages[2]});
    ASSERT_TRUE(printed.ok()) << printed.message << service_.LogTail();
  }
  const std::vector<int> jobs = service_.Jobs(kMain);
  ASSERT_EQ(jobs.size(), 3u);
  const double pitch = FontMeasure(12, false);  // landscape: 80 columns fit as they are
  for (int job : {jobs[1], jobs[2]}) {
    const std::string document = service_.JobDocument(job);
    EXPECT_EQ(SheetSize(document), "842x595");
    EXPECT_EQ(Unindented(PdfSheets(document, pitch)), Unindented({pages[1], pages[2]})) << "job " << job;
    // One copy each: the program asks for every copy as a document of its own.
    EXPECT_EQ(Settings(job), "A4 Upper landscape");
    const std::string copies = service_.JobAttributes(job)["copies"];
    EXPECT_TRUE(copies.empty() || copies == "1") << copies;
  }
  // The job files do not pile up in the program's folder.
  EXPECT_TRUE(tonnage::testing::ListFolder(jobs_.path()).empty());

  const std::string missing = jobs_.File("gone");
  platform::CupsPrinterSystem nowhere(missing);
  const tonnage::Outcome outcome = PrintPages(nowhere.Printer(), {{"NOWHERE"}});
  EXPECT_TRUE(Says(outcome, kMain) && Says(outcome, missing)) << outcome.message;
  EXPECT_EQ(service_.Jobs(kMain).size(), 3u);
}

// No print service at all (the tests' usual state): printing says that no
// printer can be used, even for an empty document.
TEST(NoPrintService, PrintingSaysThatNoPrinterCanBeUsed) {
  ScratchFolder jobs;
  platform::CupsPrinterSystem printers(jobs.path());
  EXPECT_TRUE(printers.InstalledPrinters().empty());
  EXPECT_EQ(printers.Current().deviceName, "");
  EXPECT_FALSE(printers.MakeCurrent("Anything"));
  EXPECT_FALSE(printers.Capabilities("Anything", "").has_value());
  const tonnage::Outcome outcome = PrintPages(printers.Printer(), {{"LOST?"}});
  EXPECT_EQ(outcome.title, "Printer Error");
  EXPECT_TRUE(Says(outcome, "No printer can be used: the print service does not answer")) << outcome.message;
  EXPECT_TRUE(Says(outcome, "Print To File")) << outcome.message;
  EXPECT_FALSE(printers.Printer().EndDocument().ok());
}

}  // namespace
