// Printer descriptions, the setup lists and the setup window's steps over
// made-up installed printers.
#include <gtest/gtest.h>

#include "print/printer_setup.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using namespace testing;

TEST(PrinterNames, FieldsEntriesAndLeadingNumbers) {
  EXPECT_EQ(CutName(Field("Letter", 64)), "Letter");
  EXPECT_EQ(CutName(std::string("A4\0junk", 7)), "A4");
  const std::string full24 = "Large Capacity Tray 2 LC";  // fills its field: no NUL
  ASSERT_EQ(full24.size(), kBinNameField);
  EXPECT_EQ(CutName(full24), full24);

  EXPECT_EQ(CapabilityEntry(9, Field("A4", 64)), "9  A4");
  EXPECT_EQ(CapabilityEntry(256, Field(" Custom  ", 64)), "256   Custom");
  EXPECT_EQ(CapabilityEntry(15, Field("", 24)), "15");  // trimmed: no space left

  EXPECT_EQ(EntryNumber("9  A4"), 9.0);
  EXPECT_EQ(EntryNumber("256  Custom"), 256.0);
  EXPECT_EQ(EntryNumber(kUnavailableEntry), 0.0);  // empty before the space
  EXPECT_EQ(EntryNumber("15"), std::nullopt);

  EXPECT_EQ(ChosenNumber("9  A4"), 9);
  EXPECT_EQ(ChosenNumber("256  Custom"), 256);
  EXPECT_EQ(ChosenNumber("-2  Envelope"), -2);
  for (const char* none : {"", kUnavailableEntry, "15", "40000  Big", "A4 paper", "9x  A4", "+-1 X"})
    EXPECT_EQ(ChosenNumber(none), std::nullopt) << '"' << none << '"';
}

TEST(PrinterDescription, FirstMatchingNamesAndOrientationInWords) {
  FakePrinterSystem system = OfficePrinters();
  auto& caps = *system.installed[0].caps;
  caps.paperNumbers.push_back(9);  // a second paper numbered 9
  caps.paperNames.push_back(Field("A4 Long Edge", 64));
  caps.paperNames.push_back(Field("Orphan", 64));  // a name without a number
  caps.binNames[2] = "Manual Feed Slot 24 char";
  system.current.paperSize = 9;
  system.current.paperBin = 260;

  PrinterDesc desc = GetPrinterDesc(system);
  EXPECT_EQ(PrinterLine(system.current), " Printer: Site Office Laser   [lp0] ");
  EXPECT_EQ(PaperLine(desc), " Paper: A4   [Portrait] ");
  EXPECT_EQ(BinLine(desc), " Bin: Manual Feed Slot 24 char ");
  // The list selects the last of the two, and leaves the orphan name out.
  const PaperAndBins lists = FillPaperAndBins(system, system.current);
  EXPECT_EQ(lists.papers.entries, (std::vector<std::string>{"1  Letter", "5  Legal", "9  A4", "9  A4 Long Edge"}));
  EXPECT_EQ(lists.papers.selected, 3);
  EXPECT_EQ(lists.bins.selected, 2);

  system.current.orientation = 2;
  EXPECT_EQ(GetPrinterDesc(system).OrientDesc, "Landscape");
  system.current.orientation = 3;
  EXPECT_EQ(GetPrinterDesc(system).OrientDesc, "Portrait");
  system.current.paperSize = 77;
  system.current.paperBin = 8;
  EXPECT_EQ(GetPrinterDesc(system).PaperDesc, "Not Defined");
  EXPECT_EQ(FillPaperAndBins(system, system.current).bins.selected, -1);

  system.current = system.installed[1].state;  // cannot be opened
  desc = GetPrinterDesc(system);
  EXPECT_EQ(PaperLine(desc) + BinLine(desc), " Paper: Not Defined   [Landscape]  Bin: Not Defined ");
  const PaperAndBins none = FillPaperAndBins(system, system.current);
  EXPECT_EQ(none.papers.entries, std::vector<std::string>{"  <Unavailable>"});
  EXPECT_EQ(none.bins.entries, std::vector<std::string>{"  <Unavailable>"});
  EXPECT_EQ(none.papers.selected + none.bins.selected, -2);
}

TEST(SetupWindow, OpensOnTheCurrentPrinterAsItIs) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperSize = 9;  // chosen in an earlier setup
  system.current.orientation = 0;
  PrinterSetup setup(system);
  EXPECT_EQ(setup.printers(), (std::vector<std::string>{"Site Office Laser", "Plan Plotter"}));
  EXPECT_EQ(setup.selectedPrinter(), 0);
  EXPECT_FALSE(setup.portrait());  // anything but 1 is landscape here
  EXPECT_EQ(setup.lists().papers.selected, 2);
  // Making it current again would give it back its own defaults.
  for (const std::string& call : system.calls) EXPECT_EQ(call.rfind("make current", 0), std::string::npos);

  // A current printer that is not installed: none selected, lists filled.
  system.current = {"Old Dot Matrix", "lpt1", 1, 2, 4};
  system.extraCaps["Old Dot Matrix"] = {{1, 2}, {Field("Letter", 64), Field("Fanfold", 64)}, {4}, {Field("Tractor", 24)}};
  PrinterSetup old(system);
  EXPECT_EQ(old.selectedPrinter(), -1);
  EXPECT_EQ(old.lists().papers.entries, (std::vector<std::string>{"1  Letter", "2  Fanfold"}));
  EXPECT_EQ(old.lists().papers.selected, 1);
}

// The window test chooses A4 in the manual feed; here Cancel after a change
// of printer, numbers past 255 and entries without a number.
TEST(SetupWindow, ChoosingOkAndCancel) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperBin = 15;  // changed earlier in the run
  PrinterSetup cancelled(system);
  cancelled.ChoosePrinter("Plan Plotter");
  EXPECT_EQ(system.current.deviceName, "Plan Plotter");  // at once
  EXPECT_FALSE(cancelled.portrait());
  cancelled.Cancel();
  EXPECT_EQ(system.current.deviceName, "Site Office Laser");
  EXPECT_EQ(system.current.paperBin, 15);

  PrinterSetup(system).Ok("256  Custom", "7  Automatically Select", true);
  EXPECT_EQ(std::tuple(system.current.paperSize, system.current.paperBin, system.current.orientation),
            std::tuple(256, 7, 1));
  // Texts with no leading number keep the printer's values; a typed name
  // that no printer has changes nothing.
  PrinterSetup plotter(system);
  plotter.ChoosePrinter("Plan Plotter");
  plotter.ChoosePrinter("Nobody");
  plotter.Ok(kUnavailableEntry, "", false);
  EXPECT_EQ(system.current.deviceName, "Plan Plotter");
  EXPECT_EQ(std::tuple(system.current.paperSize, system.current.paperBin, system.current.orientation),
            std::tuple(9, 15, 2));
}

}  // namespace
}  // namespace tonnage::print
