// Printer descriptions, the setup lists and the setup window's steps over
// made-up installed printers.
#include <gtest/gtest.h>

#include "print/printer_setup.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using testing::FakePrinterSystem;
using testing::Field;
using testing::OfficePrinters;

TEST(PrinterNames, CutAtTheFirstNulOrTakenWhole) {
  EXPECT_EQ(CutName(Field("Letter", 64)), "Letter");
  EXPECT_EQ(CutName(std::string("A4\0junk", 7)), "A4");
  const std::string full24 = "Large Capacity Tray 2 LC";
  ASSERT_EQ(full24.size(), kBinNameField);
  EXPECT_EQ(CutName(full24), full24);
  EXPECT_EQ(CutName(std::string(24, '\0')), "");
}

TEST(PrinterNames, EntriesAndTheirLeadingNumbers) {
  EXPECT_EQ(CapabilityEntry(9, Field("A4", 64)), "9  A4");
  EXPECT_EQ(CapabilityEntry(256, Field(" Custom Size  ", 64)), "256   Custom Size");
  EXPECT_EQ(CapabilityEntry(-2, Field("Envelope", 64)), "-2  Envelope");
  EXPECT_EQ(CapabilityEntry(15, Field("", 24)), "15");  // trimmed: no space left

  EXPECT_EQ(EntryNumber("9  A4"), 9.0);
  EXPECT_EQ(EntryNumber("256  Custom"), 256.0);
  EXPECT_EQ(EntryNumber(kUnavailableEntry), 0.0);  // empty before the space
  EXPECT_EQ(EntryNumber("15"), std::nullopt);
  EXPECT_EQ(EntryNumber(""), std::nullopt);

  EXPECT_EQ(ChosenNumber("9  A4"), 9);
  EXPECT_EQ(ChosenNumber("256  Custom"), 256);
  EXPECT_EQ(ChosenNumber("-2  Envelope"), -2);
  EXPECT_EQ(ChosenNumber("32767 X"), 32767);
  for (const char* none : {"", kUnavailableEntry, "15", "40000  Big", "A4 paper", "9x  A4", "- X", "+-1 X", "+5  X"})
    EXPECT_EQ(ChosenNumber(none), std::nullopt) << '"' << none << '"';
}

TEST(PrinterDescription, FirstMatchingNamesTrimmedAndOrientationInWords) {
  FakePrinterSystem system = OfficePrinters();
  auto& caps = *system.installed[0].caps;
  caps.paperNumbers.push_back(9);  // a second paper numbered 9
  caps.paperNames.push_back(Field("A4 Long Edge", 64));
  caps.binNames[2] = "Manual Feed Slot 24 char";  // full field, no NUL
  system.installed[0].caps = caps;
  system.current.paperSize = 9;
  system.current.paperBin = 260;

  PrinterDesc desc = GetPrinterDesc(system);
  EXPECT_EQ(desc.PaperDesc, "A4");
  EXPECT_EQ(desc.BinDesc, "Manual Feed Slot 24 char");
  EXPECT_EQ(desc.OrientDesc, "Portrait");
  EXPECT_EQ(PrinterLine(system.current), " Printer: Site Office Laser   [lp0] ");
  EXPECT_EQ(PaperLine(desc), " Paper: A4   [Portrait] ");
  EXPECT_EQ(BinLine(desc), " Bin: Manual Feed Slot 24 char ");

  system.current.orientation = 2;
  EXPECT_EQ(GetPrinterDesc(system).OrientDesc, "Landscape");
  system.current.orientation = 3;
  EXPECT_EQ(GetPrinterDesc(system).OrientDesc, "Portrait");

  system.current.paperSize = 77;  // not among the printer's papers
  EXPECT_EQ(GetPrinterDesc(system).PaperDesc, "Not Defined");

  system.current = system.installed[1].state;  // cannot be opened
  desc = GetPrinterDesc(system);
  EXPECT_EQ(desc.PaperDesc, "Not Defined");
  EXPECT_EQ(desc.BinDesc, "Not Defined");
  EXPECT_EQ(desc.OrientDesc, "Landscape");
}

TEST(PrinterDescription, MoreNamesThanNumbersAreNotReadPastTheNumbers) {
  FakePrinterSystem system = OfficePrinters();
  system.installed[0].caps->paperNames.push_back(Field("Orphan", 64));
  system.current.paperSize = 9;
  EXPECT_EQ(FillPaperAndBins(system, system.current).papers.entries.size(), 3u);
  EXPECT_EQ(GetPrinterDesc(system).PaperDesc, "A4");
}

TEST(SetupLists, EntriesInPrinterOrderTheLastMatchSelected) {
  FakePrinterSystem system = OfficePrinters();
  system.installed[0].caps->paperNumbers.push_back(9);
  system.installed[0].caps->paperNames.push_back(Field("A4 Long Edge", 64));
  system.current.paperSize = 9;
  PaperAndBins lists = FillPaperAndBins(system, system.current);
  EXPECT_EQ(lists.papers.entries,
            (std::vector<std::string>{"1  Letter", "5  Legal", "9  A4", "9  A4 Long Edge"}));
  EXPECT_EQ(lists.papers.selected, 3);
  EXPECT_EQ(lists.bins.entries,
            (std::vector<std::string>{"7  Automatically Select", "15  Tray 1", "260  Manual Feed"}));
  EXPECT_EQ(lists.bins.selected, 0);

  system.current.paperBin = 8;
  EXPECT_EQ(FillPaperAndBins(system, system.current).bins.selected, -1);

  lists = FillPaperAndBins(system, system.installed[1].state);
  EXPECT_EQ(lists.papers.entries, std::vector<std::string>{"  <Unavailable>"});
  EXPECT_EQ(lists.bins.entries, std::vector<std::string>{"  <Unavailable>"});
  EXPECT_EQ(lists.papers.selected, -1);
  EXPECT_EQ(lists.bins.selected, -1);
}

TEST(SetupWindow, OpensOnTheCurrentPrinterWithoutMakingItCurrentAgain) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperSize = 9;  // chosen in an earlier setup
  system.current.orientation = 2;
  PrinterSetup setup(system);
  EXPECT_EQ(setup.printers(), (std::vector<std::string>{"Site Office Laser", "Plan Plotter"}));
  EXPECT_EQ(setup.selectedPrinter(), 0);
  EXPECT_FALSE(setup.portrait());
  EXPECT_EQ(setup.lists().papers.selected, 2);
  for (const std::string& call : system.calls) EXPECT_EQ(call.rfind("make current", 0), std::string::npos);
  EXPECT_EQ(system.current.paperSize, 9);

  // Orientation other than 1 reads as landscape here.
  system.current.orientation = 0;
  EXPECT_FALSE(PrinterSetup(system).portrait());
}

TEST(SetupWindow, ACurrentPrinterNotInstalledIsNotSelectedButItsListsFill) {
  FakePrinterSystem system = OfficePrinters();
  system.current = {"Old Dot Matrix", "lpt1", 1, 2, 4};
  system.extraCaps["Old Dot Matrix"] = {{1, 2}, {Field("Letter", 64), Field("Fanfold", 64)}, {4}, {Field("Tractor", 24)}};
  PrinterSetup setup(system);
  EXPECT_EQ(setup.selectedPrinter(), -1);
  EXPECT_EQ(setup.lists().papers.entries, (std::vector<std::string>{"1  Letter", "2  Fanfold"}));
  EXPECT_EQ(setup.lists().papers.selected, 1);
  EXPECT_EQ(setup.lists().bins.selected, 0);
}

TEST(SetupWindow, ChoosingOkAndCancel) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperBin = 15;  // changed earlier in the run
  {
    PrinterSetup setup(system);
    setup.ChoosePrinter("Plan Plotter");
    EXPECT_EQ(system.current.deviceName, "Plan Plotter");  // at once
    EXPECT_EQ(setup.selectedPrinter(), 1);
    EXPECT_FALSE(setup.portrait());
    EXPECT_EQ(setup.lists().papers.entries, std::vector<std::string>{"  <Unavailable>"});
    setup.Cancel();
    EXPECT_EQ(system.current.deviceName, "Site Office Laser");
    EXPECT_EQ(system.current.paperBin, 15);
    EXPECT_EQ(system.current.orientation, 1);
  }
  {
    PrinterSetup setup(system);
    setup.Ok("9  A4", "260  Manual Feed", false);
    EXPECT_EQ(system.current.paperSize, 9);
    EXPECT_EQ(system.current.paperBin, 260);
    EXPECT_EQ(system.current.orientation, 2);
  }
  {
    PrinterSetup setup(system);
    setup.Ok("256  Custom", "7  Automatically Select", true);
    EXPECT_EQ(system.current.paperSize, 256);
    EXPECT_EQ(system.current.paperBin, 7);
    EXPECT_EQ(system.current.orientation, 1);
  }
  {
    // Texts with no leading number keep the printer's values.
    PrinterSetup setup(system);
    setup.ChoosePrinter("Plan Plotter");
    setup.Ok(kUnavailableEntry, "", true);
    EXPECT_EQ(system.current.deviceName, "Plan Plotter");
    EXPECT_EQ(system.current.paperSize, 9);
    EXPECT_EQ(system.current.paperBin, 15);
    EXPECT_EQ(system.current.orientation, 1);
  }
  {
    // A name typed that no printer has changes nothing.
    PrinterSetup setup(system);
    setup.ChoosePrinter("Nobody");
    EXPECT_EQ(system.current.deviceName, "Plan Plotter");
    EXPECT_EQ(setup.selectedPrinter(), 1);
  }
}

}  // namespace
}  // namespace tonnage::print
