// The report viewer: font size by width, find, pages, and from an error line
// to its ticket. The selection handed to the print dialog is in print_test.
#include <gtest/gtest.h>

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <algorithm>
#include <filesystem>

#include "book_grid_view.h"
#include "dataform.h"
#include "fakes.h"
#include "io/file_writer.h"
#include "proc_form.h"
#include "spool_view.h"
#include "view_font.h"
#include "view_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

TEST(ViewerFont, FollowsTheDisplayWidthInTwips) {
  // clang-format off
  const int cases[][2] = {{0, 8}, {10694, 8}, {10695, 10}, {12239, 10}, {12240, 12},
                          {13784, 12}, {13785, 14}, {40000, 14}, {-500, 8}};
  // clang-format on
  for (const auto& [twips, points] : cases) EXPECT_EQ(gui::FontSizeForDisplayWidth(twips), points) << twips;
  EXPECT_EQ(gui::PixelsToTwips(725, 96), 10875);
  EXPECT_EQ(gui::PixelsToTwips(100, 144), 1000);
}

// A spool of `pages` pages of 57 lines, each line naming its page and row.
std::string MakeSpool(int pages) {
  std::string text;
  for (int page = 1; page <= pages; ++page) {
    if (page > 1) text += "\f\r\n";
    for (int row = 1; row <= 57; ++row)
      text += " PAGE " + std::to_string(page) + " ROW " + std::to_string(row) + "   SURFACE COURSE  47700\r\n";
  }
  return text;
}

// Find shows which match it is on; Escape closes the find bar first and only
// then the viewer; Ctrl+G goes to a page, which stays at the top when the
// window (and with it the font) changes size. Find's own rules are core's
// (SpoolText in tests/core/report/tonnage_run_test.cpp). A file gone shows
// nothing.
TEST(Viewer, FindGoToPageAndEscapeAsTheKeysReachThem) {
  fakes::Harness h;
  h.session.spoolPath = h.Work("PRINT.SPL");
  ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, MakeSpool(9)).ok());
  auto view = h.Make<gui::ViewForm>();
  view->resize(800, 600);
  view->show();
  Activate(view.get());
  auto* display = view->display();
  EXPECT_EQ(display->lineCount(), 9u * 57 + 8);
  QTest::keyClick(display, Qt::Key_F, Qt::ControlModifier);
  auto* text = Find<QLineEdit>(view.get(), "FindText");
  text->setText("row 57 ");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(Text(view.get(), "FindState"), "match 2 of 9");
  const std::size_t second = MakeSpool(2).rfind("ROW 57 ");
  EXPECT_EQ(display->selectionStart(), second);
  EXPECT_LE(static_cast<std::size_t>(display->firstVisibleLine()), display->lineOf(second));
  EXPECT_GT(display->firstVisibleLine() + display->visibleLineCount(), static_cast<int>(display->lineOf(second)));
  Click(view.get(), "FindPrevious");
  EXPECT_EQ(display->selectionStart(), MakeSpool(1).rfind("ROW 57 "));
  text->setText("NO SUCH WORD");
  Click(view.get(), "FindNext");
  EXPECT_EQ(Text(view.get(), "FindState"), "Not found");
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(Shown(view.get(), "FindBar"));
  EXPECT_TRUE(view->isVisible());

  fakes::ModalDriver driver;
  driver.Ignore(view.get());  // modal itself: once the question closes, the timer may see it
  driver.Then([](QWidget* w) {
    qobject_cast<QInputDialog*>(w)->setIntValue(7);
    qobject_cast<QInputDialog*>(w)->accept();
  });
  QTest::keyClick(display, Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(driver.seen, std::vector<QString>{"GoToPage"});
  EXPECT_EQ(display->firstVisibleLine(), 6 * 58);
  const int font = display->fontSize();
  view->resize(500, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(display->firstVisibleLine(), 6 * 58);
  EXPECT_NE(display->fontSize(), font);
  QTest::keyClick(display, Qt::Key_Escape);
  EXPECT_FALSE(view->isVisible());
  display->setFileName(h.Work("NONE.SPL"));
  EXPECT_EQ(display->lineCount(), 1u) << "nothing rather than the old text";
}

// From the report to the ticket: a double-click on an error line opens the
// book's grid on that row and cell; closing it offers to run the report
// again, which keeps the place; F5 runs it at any time; Enter on a line of
// no ticket opens nothing, and a report not made here opens no ticket.
TEST(ViewerToTicket, ErrorLineOpensTheGridOnItsRowAndTheReportRunsAgain) {
  fakes::Harness h;
  h.session.keepHistory = false;  // no store beside the sample in the source tree
  ASSERT_TRUE(h.session.Open(tonnage::testing::SamplePath("checks-page-order-and-weights.K81")).ok());
  auto process = h.Make<gui::ProcForm>();
  h.messages.answers = {platform::Button::Yes};  // run it again after the grid
  int topBefore = 0, topAfter = 1, busyInViewer = -1;
  QModelIndex cursor;
  bool rerunByF5 = false;
  QString nonTicket;
  std::string spoolAfter;
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        busyInViewer = h.busy.depth;
        auto* display = w->findChild<gui::SpoolView*>("MhFileDisplay1");
        const auto lines = display->lines();
        // The first THEO error: page 7305, gross and tare swapped.
        const auto theo = std::find_if(lines.begin(), lines.end(), [](auto l) { return l.find("THEO") != l.npos; });
        display->scrollToLine(static_cast<std::size_t>(theo - lines.begin()) - 3);
        topBefore = display->firstVisibleLine();
        QTest::mouseDClick(display->viewport(), Qt::LeftButton, {},
                           QPoint(40, 3 * display->viewport()->height() / display->visibleLineCount() + 4));
        topAfter = display->firstVisibleLine();
        spoolAfter = ReadFile(display->fileName());
        fs::remove(display->fileName());
        Activate(w);
        QTest::keyClick(display, Qt::Key_F5);
        rerunByF5 = fs::exists(display->fileName());
        display->scrollToLine(0);
        display->setSelection(0, 0);
        QTest::keyClick(display, Qt::Key_Return);
        nonTicket = Text(w, "ViewStatus");
        w->findChild<QAction*>("Mnu_Exit")->trigger();
      })
      .Then([&](QWidget* w) {
        auto* grid = static_cast<gui::Dataform*>(w);
        cursor = grid->view()->currentIndex();
        Activate(w);
        Key(Qt::Key_Left);
        Key(Qt::Key_Left);
        TypeCells({"70180", "29940"});  // gross and tare the right way round
        Click(w, "dataexit");
      });
  Click(process.get(), "ReportCmd");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"ViewForm", "Dataform"}));
  EXPECT_EQ(std::pair(cursor.row(), cursor.column()), std::pair(4, 4));  // THEO against KP: the net weight
  EXPECT_EQ(h.messages.Text(0), "Run the report again, to see the book as it is now?");
  EXPECT_TRUE(rerunByF5);
  EXPECT_GE(h.busy.begins, 1) << "the report runs under the busy pointer";
  EXPECT_EQ(busyInViewer, 0);
  EXPECT_EQ(topAfter, topBefore);
  EXPECT_NE(spoolAfter.find("007305 06/17/2026 70180     29940"), std::string::npos);
  EXPECT_TRUE(nonTicket.startsWith("Not a ticket")) << nonTicket.toStdString();

  auto fromFile = h.Make<gui::ViewForm>();  // no way to run it again
  fromFile->show();
  const auto lines = fromFile->display()->lines();
  fromFile->OpenTicket(static_cast<std::size_t>(
      std::find_if(lines.begin(), lines.end(), [](auto l) { return l.find("*** ERROR") != l.npos; }) - lines.begin()));
  fromFile->Rerun();
  EXPECT_TRUE(h.messages.Text(1).contains("not made from the open data")) << h.messages.Text(1).toStdString();
  EXPECT_TRUE(h.messages.Text(2).contains("cannot be run again")) << h.messages.Text(2).toStdString();
}

}  // namespace
