// The print dialog's state and its Print step over a recording printer, for
// what the window tests do not reach.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "print/print_dialog.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using testing::RecordingPrinter;

TEST(PrintDialogState, OpensOnAllAndFollowsTheRangeChoice) {
  PrintDialog d = LoadPrintDialog(false);
  ChooseRange(d, PrintRange::SelectedText);  // disabled: no selection handed on
  EXPECT_EQ(d.range, PrintRange::All);
  PrintDialog sel = LoadPrintDialog(true);
  ChooseRange(sel, PrintRange::Pages);
  sel.pageTo = 4;
  ChooseRange(sel, PrintRange::SelectedText);  // leaves the page fields alone
  EXPECT_EQ(sel.range, PrintRange::SelectedText);
  EXPECT_TRUE(sel.pageFieldsEnabled);
  EXPECT_EQ(sel.pageTo, 4);
  for (const char* ok : {"", "0", "12", "999"}) EXPECT_TRUE(CopiesTextAcceptable(ok)) << ok;
  for (const char* bad : {"1000", "-1", "2a", " 2", "+3"}) EXPECT_FALSE(CopiesTextAcceptable(bad)) << bad;
  EXPECT_EQ(CopiesFromText("007"), 7);
  EXPECT_EQ(CopiesFromText(""), 0);
}

class PrintStep : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(spoolPath, "P1\r\n\f\r\nP2\r\n\f\r\nP3\r\n");
    testing::WriteFile(selText, "SELECTED\r\n\f\r\n");
  }
  testing::ScratchFolder dir;
  std::string spoolPath = dir.File("PRINT.SPL");
  std::string selText = dir.File("SELTEXT.TXT");
  RecordingPrinter printer;
};

TEST_F(PrintStep, SelectedTextPrintsOnceFromItsFile) {
  PrintDialog d = LoadPrintDialog(true);
  ChooseRange(d, PrintRange::SelectedText);
  d.copiesText = "5";
  ASSERT_TRUE(PrintChosenPages(d, spoolPath, selText, printer).ok());
  EXPECT_EQ(printer.documents.size(), 1u);
  EXPECT_EQ(printer.Sheets(0), "SELECTED");
  printer.failures = {Outcome::Failure(OutcomeKind::IoError, "Print", "Job refused.")};
  EXPECT_EQ(PrintChosenPages(d, spoolPath, selText, printer).message, "Job refused.");
  // A selection whose file is gone says why.
  testing::RemoveTree(selText);
  const Outcome r = PrintChosenPages(d, spoolPath, selText, printer);
  EXPECT_NE(r.message.find(selText + ": No such file or directory"), std::string::npos) << r.message;
  EXPECT_EQ(printer.documents.size(), 2u);
}

}  // namespace
}  // namespace tonnage::print
