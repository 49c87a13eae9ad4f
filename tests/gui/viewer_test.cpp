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
  EXPECT_EQ(std::pair(gui::PixelsToTwips(725, 96), gui::PixelsToTwips(100, 144)), std::pair(10875, 1000));
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
// (SpoolText in tests/core/report/tonnage_run_test.cpp).
TEST(Viewer, FindGoToPageAndEscapeAsTheKeysReachThem) {
  fakes::Harness h;
  h.session.spoolPath = h.Work("PRINT.SPL");
  ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, MakeSpool(9)).ok());
  auto view = h.Make<gui::ViewForm>();
  view->setWindowModality(Qt::NonModal);  // only the windows it opens are for the driver
  view->resize(800, 600);
  view->show();
  Activate(view.get());
  auto* display = view->display();
  QTest::keyClick(display, Qt::Key_F, Qt::ControlModifier);
  auto* text = Find<QLineEdit>(view.get(), "FindText");
  text->setText("row 57 ");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(Text(view.get(), "FindState"), "match 2 of 9");
  EXPECT_EQ(display->selectionStart(), MakeSpool(2).rfind("ROW 57 "));
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_TRUE(!Shown(view.get(), "FindBar") && view->isVisible());

  fakes::ModalDriver driver;
  driver.Then([](QWidget* w) {
    qobject_cast<QInputDialog*>(w)->setIntValue(7);
    qobject_cast<QDialog*>(w)->accept();
  });
  QTest::keyClick(display, Qt::Key_G, Qt::ControlModifier);
  const int top = display->firstVisibleLine(), font = display->fontSize();
  view->resize(500, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(std::tuple(top, display->firstVisibleLine(), display->fontSize() != font),
            std::tuple(6 * 58, 6 * 58, true));
  QTest::keyClick(display, Qt::Key_Escape);
  EXPECT_FALSE(view->isVisible());
}

// From the report to the ticket: a double-click on an error line opens the
// book's grid on that row and cell; closing it offers to run the report
// again, which keeps the place; F5 runs it at any time; Enter on a line of
// no ticket opens nothing. Which line leads where, and when a report is too
// old to lead anywhere, is core's (ReportTicket in
// tests/core/entry/book_checks_test.cpp).
TEST(ViewerToTicket, ErrorLineOpensTheGridOnItsRowAndTheReportRunsAgain) {
  fakes::Harness h;
  h.session.keepHistory = false;  // no store beside the sample in the source tree
  ASSERT_TRUE(h.session.Open(tonnage::testing::SamplePath("checks-page-order-and-weights.K81")).ok());
  h.messages.answers = {platform::Button::Yes};  // run it again after the grid
  int topBefore = 0, topAfter = 1, busyInViewer = -1;
  QModelIndex cursor;
  QString nonTicket;
  std::string spoolAfter, rerunByF5;
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        busyInViewer = h.busy.depth();
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
        rerunByF5 = ReadFile(display->fileName());
        display->scrollToLine(0);
        display->setSelection(0, 0);
        QTest::keyClick(display, Qt::Key_Return);
        nonTicket = Text(w, "ViewStatus");
        w->findChild<QAction*>("Mnu_Exit")->trigger();
      })
      .Then([&](QWidget* w) {
        cursor = static_cast<gui::Dataform*>(w)->view()->currentIndex();
        Activate(w);
        Key(Qt::Key_Left);
        Key(Qt::Key_Left);
        TypeCells({"70180", "29940"});  // gross and tare the right way round
        Click(w, "dataexit");
      });
  Click(h.Make<gui::ProcForm>().get(), "ReportCmd");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"ViewForm", "Dataform"}));
  // On the net weight (THEO against KP), the place kept, no busy pointer over the viewer.
  EXPECT_EQ(std::tuple(cursor.row(), cursor.column(), topAfter, busyInViewer), std::tuple(4, 4, topBefore, 0));
  EXPECT_EQ(h.messages.Text(0), "Run the report again, to see the book as it is now?");
  EXPECT_EQ(rerunByF5, spoolAfter);
  EXPECT_GE(h.busy.begins, 1) << "the report runs under the busy pointer";
  EXPECT_TRUE(spoolAfter.find("007305 06/17/2026 70180     29940") != std::string::npos &&
              nonTicket.startsWith("Not a ticket"))
      << nonTicket.toStdString();
}

}  // namespace
