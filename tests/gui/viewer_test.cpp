// The report viewer: font size by width, the selection handed to the print
// dialog, page breaks and find.
#include <gtest/gtest.h>

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "book_grid_view.h"
#include "dataform.h"
#include "fakes.h"
#include "io/file_writer.h"
#include "proc_form.h"
#include "prtbox.h"
#include "spool_view.h"
#include "view_font.h"
#include "view_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

TEST(ViewerFont, FollowsTheDisplayWidthInTwips) {
  struct Case {
    int twips, points;
  };
  for (const Case c : {Case{0, 8}, {10694, 8}, {10695, 10}, {12239, 10}, {12240, 12}, {13784, 12},
                       {13785, 14}, {40000, 14}, {-500, 8}})
    EXPECT_EQ(gui::FontSizeForDisplayWidth(c.twips), c.points) << c.twips;
  EXPECT_EQ(gui::PixelsToTwips(725, 96), 10875);
  EXPECT_EQ(gui::PixelsToTwips(100, 144), 1000);
}

// A spool of `pages` pages of 57 lines, each line naming its page and row.
std::string MakeSpool(int pages) {
  std::string text;
  for (int page = 1; page <= pages; ++page) {
    if (page > 1) text += "\f\r\n";
    for (int row = 1; row <= 57; ++row)
      text += " PAGE " + std::to_string(page) + " ROW " + std::to_string(row) +
              "   SURFACE COURSE  47700   47.700 TONS\r\n";
  }
  return text;
}

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    h.session.spoolPath = h.Work("PRINT.SPL");
    ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, MakeSpool(3)).ok());
  }
  fakes::Harness h;
};

TEST_F(Viewer, ShowsTheSpoolWithMenusInOrderAndFontByWindowWidth) {
  gui::ViewForm view(h.services, nullptr);
  view.show();
  EXPECT_EQ(view.windowTitle(), "View Report");
  auto* display = view.findChild<gui::SpoolView*>("MhFileDisplay1");
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->fileName(), h.session.spoolPath);
  EXPECT_EQ(display->lineCount(), 3u * 57 + 2);
  EXPECT_EQ(display->lineOf(0), 0u);
  // Help, Print, Exit on the menu bar, in that order.
  QStringList names;
  for (QAction* a : view.findChild<QMenuBar*>()->actions()) names << a->objectName();
  EXPECT_EQ(names, (QStringList{"Mnu_Help", "Mnu_Print", "Mnu_Exit"}));

  const double dpi = view.logicalDpiX();
  auto widthFor = [&](int twips) { return static_cast<int>((twips + 180) * dpi / 1440.0) + 1; };
  view.resize(widthFor(13785), 600);
  EXPECT_EQ(display->fontSize(), 14);
  view.resize(widthFor(12240), 600);
  EXPECT_EQ(display->fontSize(), 12);
  view.resize(widthFor(10695), 600);
  EXPECT_EQ(display->fontSize(), 10);
  // Narrower again lowers it: every resize starts from 8.
  view.resize(widthFor(9000), 600);
  EXPECT_EQ(display->fontSize(), 8);
}

TEST_F(Viewer, PrintHandsOnASelectionOfMoreThanTenCharactersOnly) {
  struct Seen {
    bool ready;
    bool fileThere;
    std::string file;
  };
  std::vector<Seen> seen;
  const std::string selFile = gui::SelTextFilePath(h.session);
  const auto record = [&](QWidget* w) {
    auto* box = qobject_cast<gui::Prtbox*>(w);
    ASSERT_NE(box, nullptr);
    seen.push_back({box->state().selectedTextEnabled, fs::exists(selFile), steps::ReadFile(selFile)});
    box->reject();
  };
  fakes::ModalDriver driver;
  driver.Then(record).Then(record).Then(record).Then(record);
  gui::ViewForm view(h.services, nullptr);
  view.show();
  auto* display = view.display();
  QAction* print = view.findChild<QAction*>("Mnu_Print");
  ASSERT_TRUE(print->isEnabled());

  display->setSelection(1, 10);  // "PAGE 1 ROW"
  print->trigger();
  display->setSelection(1, 11);
  print->trigger();
  display->setSelection(0, 0);
  print->trigger();
  // A selection across a page break keeps its line ends and the form feed.
  const std::size_t pageTwo = MakeSpool(1).size();
  display->setSelection(pageTwo - 6, 14);
  print->trigger();

  ASSERT_EQ(seen.size(), 4u);
  EXPECT_FALSE(seen[0].ready);
  EXPECT_FALSE(seen[0].fileThere);
  EXPECT_TRUE(seen[1].ready);
  EXPECT_EQ(seen[1].file, "PAGE 1 ROW \r\n");
  EXPECT_FALSE(seen[2].ready);
  EXPECT_FALSE(seen[2].fileThere);
  EXPECT_TRUE(seen[3].ready);
  EXPECT_EQ(seen[3].file, "TONS\r\n\f\r\n PAGE\r\n");
  // Afterwards: no file, no selection, nothing ready.
  EXPECT_FALSE(fs::exists(selFile));
  EXPECT_EQ(display->selectionLength(), 0u);
  EXPECT_EQ(display->selectionStart(), 0u);
}

TEST_F(Viewer, FindIgnoresCaseWrapsAndGoesBothWays) {
  gui::ViewForm view(h.services, nullptr);
  view.show();
  QApplication::setActiveWindow(&view);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  auto* display = view.display();
  QTest::keyClick(display, Qt::Key_F, Qt::ControlModifier);
  auto* text = view.findChild<QLineEdit*>("FindText");
  ASSERT_TRUE(text->isVisible());
  text->setText("page 3 row 2 ");
  QTest::keyClick(text, Qt::Key_Return);
  const std::string spool = MakeSpool(3);
  const std::size_t first = spool.find("PAGE 3 ROW 2 ");
  EXPECT_EQ(display->selectionStart(), first);
  EXPECT_EQ(display->selectionLength(), 13u);
  EXPECT_LE(static_cast<std::size_t>(display->firstVisibleLine()), display->lineOf(first));
  EXPECT_GT(display->firstVisibleLine() + display->visibleLineCount(),
            static_cast<int>(display->lineOf(first)));
  // Only one place: the next find wraps round to it again.
  view.findChild<QPushButton*>("FindNext")->click();
  EXPECT_EQ(display->selectionStart(), first);
  text->setText("ROW 57 ");
  view.findChild<QPushButton*>("FindPrevious")->click();
  EXPECT_EQ(display->selectionStart(), spool.rfind("ROW 57 ", first));
  text->setText("NO SUCH WORD");
  view.findChild<QPushButton*>("FindNext")->click();
  EXPECT_EQ(view.findChild<QLabel*>("FindState")->text(), "Not found");
}

// Ctrl+G goes to a page, which stays at the top when the window (and with it
// the font) changes size; Find tells which match it shows; Escape closes the
// find bar first and only then the viewer.
TEST_F(Viewer, GoToPageKeepsItsPlaceOnResizeAndEscapeClosesTheFindBarFirst) {
  ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, MakeSpool(9)).ok());
  gui::ViewForm view(h.services, nullptr);
  view.resize(800, 600);
  view.show();
  QApplication::setActiveWindow(&view);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  auto* display = view.display();
  QTest::keyClick(display, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(view.findChild<QWidget*>("FindBar")->isVisible());
  auto* text = view.findChild<QLineEdit*>("FindText");
  text->setText("row 57 ");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(view.findChild<QLabel*>("FindState")->text(), "match 2 of 9");
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(view.findChild<QWidget*>("FindBar")->isVisible());
  EXPECT_TRUE(view.isVisible());

  fakes::ModalDriver driver;
  driver.Ignore(&view);  // modal itself: once the question closes, the timer may see it
  driver.Then([](QWidget* w) {
    auto* ask = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(ask, nullptr);
    ask->setIntValue(7);
    ask->accept();
  });
  QTest::keyClick(display, Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(driver.seen, std::vector<QString>{"GoToPage"});
  EXPECT_EQ(display->firstVisibleLine(), 6 * 58);
  const int font = display->fontSize();
  for (const QSize size : {QSize(500, 400), QSize(1200, 900)}) {
    view.resize(size);
    QCoreApplication::processEvents();
    EXPECT_EQ(display->firstVisibleLine(), 6 * 58) << size.width();
  }
  EXPECT_NE(display->fontSize(), font);
  QTest::keyClick(display, Qt::Key_Escape);
  EXPECT_FALSE(view.isVisible());
}

TEST(SpoolIndex, AMissingFileShowsNothingRatherThanTheOldText) {
  fakes::Harness h;
  const std::string path = h.Work("PRINT.SPL");
  ASSERT_TRUE(tonnage::io::WriteWholeFile(path, std::string("ONE\r\nTWO\r\n")).ok());
  gui::SpoolView view;
  view.resize(400, 300);
  view.setFileName(path);
  EXPECT_EQ(view.lineCount(), 2u);
  view.setFileName(h.Work("NONE.SPL"));
  EXPECT_EQ(view.lineCount(), 1u);
  EXPECT_EQ(view.selectedText(), "");
}

}  // namespace

// From the report to the ticket: a double-click on an error line opens the
// book's grid on that row and cell; closing it offers to run the report
// again, which keeps the place; F5 runs it at any time; Enter on a line of
// no ticket opens nothing, and a report not made here opens no ticket.
TEST(ViewerToTicket, ErrorLineOpensTheGridOnItsRowAndTheReportRunsAgain) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  h.session.keepHistory = false;  // no store beside the sample in the source tree
  ASSERT_TRUE(h.session.Open(tonnage::testing::SamplePath("checks-page-order-and-weights.K81")).ok());
  gui::ProcForm process(h.services, nullptr);
  h.messages.answers = {platform::Button::Yes};  // run it again after the grid
  int topBefore = 0, topAfter = 1, cursorRow = 0, cursorColumn = 0;
  bool rerunByF5 = false;
  QString nonTicket;
  std::string spoolAfter;
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
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
        auto* grid = qobject_cast<gui::Dataform*>(w);
        ASSERT_NE(grid, nullptr);
        cursorRow = grid->view()->currentIndex().row() + 1;
        cursorColumn = grid->view()->currentIndex().column() + 1;
        Activate(w);
        Key(Qt::Key_Left);
        Key(Qt::Key_Left);
        TypeCells({"70180", "29940"});  // gross and tare the right way round
        Click(w, "dataexit");
      });
  Click(&process, "ReportCmd");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"ViewForm", "Dataform"}));
  EXPECT_EQ(std::pair(cursorRow, cursorColumn), std::pair(5, 5));  // THEO against KP: the net weight
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].text, "Run the report again, to see the book as it is now?");
  EXPECT_TRUE(rerunByF5);
  EXPECT_EQ(topAfter, topBefore);
  EXPECT_NE(spoolAfter.find("007305 06/17/2026 70180     29940"), std::string::npos);
  EXPECT_TRUE(nonTicket.startsWith("Not a ticket")) << nonTicket.toStdString();

  gui::ViewForm fromFile(h.services, nullptr);  // no way to run it again
  fromFile.show();
  const auto lines = fromFile.display()->lines();
  fromFile.OpenTicket(static_cast<std::size_t>(
      std::find_if(lines.begin(), lines.end(), [](auto l) { return l.find("*** ERROR") != l.npos; }) - lines.begin()));
  fromFile.Rerun();
  ASSERT_EQ(h.messages.asked.size(), 3u);
  EXPECT_NE(h.messages.asked[1].text.indexOf("not made from the open data"), -1);
  EXPECT_NE(h.messages.asked[2].text.indexOf("cannot be run again"), -1);
}
