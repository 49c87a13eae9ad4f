// Printer descriptions, the setup lists and the setup window's steps over
// made-up installed printers.
#include <gtest/gtest.h>

#include "print/printer_setup.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using namespace testing;

TEST(PrinterNames, FieldsEntriesAndLeadingNumbers) {
  const std::string full24 = "Large Capacity Tray 2 LC";  // fills its field: no NUL
  ASSERT_EQ(full24.size(), kBinNameField);
  for (const auto& [field, name] :
       {std::pair{Field("Letter", 64), "Letter"}, {std::string("A4\0junk", 7), "A4"}, {full24, full24.c_str()}})
    EXPECT_EQ(CutName(field), name);
  EXPECT_EQ(CapabilityEntry(9, Field("A4", 64)) + "|" + CapabilityEntry(256, Field(" Custom  ", 64)) + "|" +
                CapabilityEntry(15, Field("", 24)),
            "9  A4|256   Custom|15");  // trimmed: no space left
  // The unavailable entry is empty before the space.
  const std::pair<const char*, std::optional<double>> numbers[] = {
      {"9  A4", 9.0}, {"256  Custom", 256.0}, {kUnavailableEntry, 0.0}, {"15", std::nullopt}};
  for (const auto& [entry, number] : numbers) EXPECT_EQ(EntryNumber(entry), number) << entry;
  for (const auto& [entry, number] :
       {std::pair<const char*, int>{"9  A4", 9}, {"256  Custom", 256}, {"-2  Envelope", -2}})
    EXPECT_EQ(ChosenNumber(entry), number) << entry;
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
  EXPECT_EQ(PrinterLine(system.current) + PaperLine(desc) + BinLine(desc),
            " Printer: Site Office Laser   [lp0]  Paper: A4   [Portrait]  Bin: Manual Feed Slot 24 char ");
  // The list selects the last of the two, and leaves the orphan name out.
  const PaperAndBins lists = FillPaperAndBins(system, system.current);
  EXPECT_EQ(lists.papers.entries, (std::vector<std::string>{"1  Letter", "5  Legal", "9  A4", "9  A4 Long Edge"}));
  EXPECT_EQ(std::pair(lists.papers.selected, lists.bins.selected), std::pair(3, 2));

  for (const auto& [orientation, words] : {std::pair{2, "Landscape"}, {3, "Portrait"}}) {
    system.current.orientation = orientation;
    EXPECT_EQ(GetPrinterDesc(system).OrientDesc, words);
  }
  std::tie(system.current.paperSize, system.current.paperBin) = std::pair(77, 8);
  EXPECT_EQ(std::tuple(GetPrinterDesc(system).PaperDesc, FillPaperAndBins(system, system.current).bins.selected),
            std::tuple(std::string("Not Defined"), -1));

  system.current = system.installed[1].state;  // cannot be opened
  desc = GetPrinterDesc(system);
  EXPECT_EQ(PaperLine(desc) + BinLine(desc), " Paper: Not Defined   [Landscape]  Bin: Not Defined ");
  const PaperAndBins none = FillPaperAndBins(system, system.current);
  EXPECT_EQ(none.papers.entries, std::vector<std::string>{"  <Unavailable>"});
  EXPECT_EQ(std::tuple(none.bins.entries, none.papers.selected, none.bins.selected),
            std::tuple(none.papers.entries, -1, -1));
}

TEST(SetupWindow, OpensOnTheCurrentPrinterAsItIs) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperSize = 9;  // chosen in an earlier setup
  system.current.orientation = 0;
  PrinterSetup setup(system);
  EXPECT_EQ(setup.printers(), (std::vector<std::string>{"Site Office Laser", "Plan Plotter"}));
  // Anything but orientation 1 is landscape here.
  EXPECT_EQ(std::tuple(setup.selectedPrinter(), setup.portrait(), setup.lists().papers.selected),
            std::tuple(0, false, 2));
  // Making it current again would give it back its own defaults.
  for (const std::string& call : system.calls) EXPECT_EQ(call.rfind("make current", 0), std::string::npos);

  // A current printer that is not installed: none selected, lists filled.
  system.current = {"Old Dot Matrix", "lpt1", 1, 2, 4};
  system.extraCaps["Old Dot Matrix"] = {
      {1, 2}, {Field("Letter", 64), Field("Fanfold", 64)}, {4}, {Field("Tractor", 24)}};
  PrinterSetup old(system);
  EXPECT_EQ(std::pair(old.selectedPrinter(), old.lists().papers.selected), std::pair(-1, 1));
  EXPECT_EQ(old.lists().papers.entries, (std::vector<std::string>{"1  Letter", "2  Fanfold"}));
}

// The window test chooses A4 in the manual feed; here Cancel after a change
// of printer, numbers past 255 and entries without a number.
TEST(SetupWindow, ChoosingOkAndCancel) {
  FakePrinterSystem system = OfficePrinters();
  system.current.paperBin = 15;  // changed earlier in the run
  PrinterSetup cancelled(system);
  cancelled.ChoosePrinter("Plan Plotter");
  EXPECT_TRUE(system.current.deviceName == "Plan Plotter" && !cancelled.portrait());  // at once
  cancelled.Cancel();
  EXPECT_EQ(std::tuple(system.current.deviceName, system.current.paperBin),
            std::tuple(std::string("Site Office Laser"), 15));

  PrinterSetup(system).Ok("256  Custom", "7  Automatically Select", true);
  EXPECT_EQ(std::tuple(system.current.paperSize, system.current.paperBin, system.current.orientation),
            std::tuple(256, 7, 1));
  // Texts with no leading number keep the printer's values; a typed name
  // that no printer has changes nothing.
  PrinterSetup plotter(system);
  plotter.ChoosePrinter("Plan Plotter");
  plotter.ChoosePrinter("Nobody");
  plotter.Ok(kUnavailableEntry, "", false);
  EXPECT_EQ(std::tuple(system.current.deviceName, system.current.paperSize, system.current.paperBin,
                       system.current.orientation),
            std::tuple("Plan Plotter", 9, 15, 2));
}

}  // namespace
}  // namespace tonnage::print
