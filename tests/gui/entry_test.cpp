// The data-entry windows typed into with the keyboard: the book grid, its row
// menu, the list of books, Book Setup and the index record. The cells' rules,
// the checks and the row menu's enabling are core's (tests/core/entry); here
// each is driven once through the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QSettings>

#include "book_grid_view.h"
#include "dataform.h"
#include "fakes.h"
#include "sect_list.h"

namespace {

using namespace steps;
using platform::Button;

class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    h.session.New();
    h.session.ChooseUnits("E");
  }

  // The grid window of `book`, shown and active, as Book Setup opens it.
  std::unique_ptr<gui::Dataform> OpenGrid(int book, const std::string& comments, const std::string& type) {
    h.session.Book(book) = {comments, type, "2.6500"};
    h.session.currentBook = book;
    auto form = h.Make<gui::Dataform>(h.rowMenu);
    form->show();
    Activate(form.get());
    return form;
  }

  // Whole rows first..last selected from the row headers, as a mouse does.
  static void SelectRows(gui::Dataform& form, int first, int last) {
    form.rowMenu()->hide();
    QHeaderView* header = form.view()->verticalHeader();
    const auto at = [&](int row) {
      return QPoint(header->width() / 2, header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2);
    };
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at(first));
    if (last != first) QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(last));
    QCoreApplication::processEvents();
  }
  static void Choose(gui::Dataform& form, const char* name) {
    QAction* action = form.rowMenu()->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_TRUE(action && action->isEnabled()) << name;
    action->trigger();
    form.rowMenu()->hide();
  }

  fakes::Harness h;
};

// Typing a book: the page and date carried, numbers shown as the file keeps
// them, a refusal and a mistake shown as typed without a box, the totals,
// undo of cells and rows, and the close that asks about a cell the book
// cannot keep before it stores the book.
TEST_F(Entry, TypedTicketsAreCheckedAsTypedUndoneAndStoredOnClose) {
  auto form = OpenGrid(3, "HOT MIX", "0");
  EXPECT_EQ(form->windowTitle() + "|" + Text(form.get(), "Label1") + "|" + Text(form.get(), "Label2"),
            "Data Entry --  Data Is In English|Weights are in LBS|HOT MIX");
  auto* view = form->view();
  auto* model = view->model();
  const auto cell = [&](int row, int column) { return form->grid().Cell(row, column) + "|"; };
  // Past Note to the next row's Gross: its page and date are carried (the file below).
  TypeCells({"12", "03152004", "77756", "30056", "47701", "5.6", "", "", ""});
  EXPECT_EQ(view->currentIndex(), model->index(1, 2)) << "at row 2's Gross";
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toString() + "|" +
                model->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(),
            "! 1|THEO = 47700.000  KP = 47701.000: Net Weight is not Gross Weight less Tare Weight");
  TypeCells({"72708", "29773", "42935", "5.4", "", "", "Y"});
  EXPECT_EQ(Text(form.get(), "GridTotals"),
            "2 tickets   Net 90636 LBS = 45.318 TONS   03/15/2004: 45.318 TONS   Bitumen 0 GALS");
  // A comma in whole pounds is kept, marked and explained, never merged.
  Keys("76,5");
  Key(Qt::Key_Return);
  EXPECT_EQ(cell(3, 3) + Text(form.get(), "GridStatus").toStdString() +
                (model->index(2, 2).data(Qt::BackgroundRole).isValid() ? " (marked)" : ""),
            "76,5|Gross Weight takes whole pounds up to 99999 (marked)");
  TypeCells({"30010", "46870"});
  Keys("100");
  EXPECT_EQ(Text(form.get(), "GridStatus"), "Pct. Bitum. takes percent up to 99.999, three decimals at most");
  Key(Qt::Key_Escape);  // the cell as it was
  EXPECT_EQ(cell(3, 6) + (h.messages.asked.empty() ? "no box while typing" : ""), "|no box while typing");

  // Each cell is one step, named in the Edit menu; Ctrl+Z and Ctrl+Y; row
  // operations are steps too. What a step holds is core's (GridHistory in
  // tests/core/entry/row_menu_test.cpp).
  QAction* undo = Find<QAction>(form.get(), "Mnu_Undo");
  EXPECT_EQ(undo->text(), "Undo Typing in Net Weight, Row 3");
  Key(Qt::Key_Z, Qt::ControlModifier);
  const std::string undone = cell(3, 5);
  Key(Qt::Key_Y, Qt::ControlModifier);
  const std::string redone = cell(3, 5);
  SelectRows(*form, 1, 1);
  Choose(*form, "Mnu_OptsInsert");
  EXPECT_EQ(undone + redone + undo->text().toStdString(), "|46870|Undo Insert Blank Row");
  undo->trigger();

  // Closing with a cell the book cannot keep asks first; No goes to the cell.
  Click(form.get(), "dataexit");
  EXPECT_TRUE(h.messages.Text(0).startsWith("Row 3, Gross Weight holds \"76,5\"")) << h.messages.Text(0).toStdString();
  EXPECT_TRUE(form->isVisible() && view->currentIndex() == model->index(2, 2));
  Keys("76500");
  Key(Qt::Key_Return);
  Click(form.get(), "dataexit");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)),
            "000012 03/15/2004 77756     30056     47701      5.600      \r\n"
            "000013 03/15/2004 72708     29773     42935      5.400     Y\r\n"
            "000014 03/15/2004 76500     30010     46870" +
                std::string(17, ' ') + "\r\n");
}

// The row menu opens on rows chosen with the mouse or the keyboard, its items
// reach the clipboard and the book, its question goes through the message
// box. What each item does to the rows, and which spreadsheet rows a paste
// takes, is core's (tests/core/entry/row_menu_test.cpp).
TEST_F(Entry, TheRowMenuReachesTheClipboardAndTheRowsOfEveryBook) {
  auto form = OpenGrid(1, "SURFACE COURSE", "0");
  auto& grid = const_cast<tonnage::BookGrid&>(form->grid());
  // clang-format off
  for (int row = 5; row <= 7; ++row)
    grid.Row(row).cells = {std::to_string(1200 + row), "09/28/2026", std::to_string(77000 + row * 37), "30056",
                           std::to_string(46944 + row * 37), "5.6", "", "", row == 6 ? "Y" : ""};
  // clang-format on
  SelectRows(*form, 5, 7);
  ASSERT_TRUE(form->rowMenu()->isVisible());
  Choose(*form, "Mnu_OptsCopy");
  EXPECT_TRUE(h.clipboard.text.startsWith("1205\t09/28/2026\t77185\t30056\t47129\t5.6\t\t\t\n"));
  SelectRows(*form, 7, 7);
  Choose(*form, "Mnu_OptsPaste");  // over used rows: asked first, No (the default) keeps them
  EXPECT_EQ(h.messages.Text(0), "Are You Sure You Want To Overwrite The Data");
  EXPECT_TRUE(h.messages.asked[0].defaultButton == Button::No && form->grid().Cell(7, 1) == "1207");
  Click(form.get(), "dataexit");

  // Another book: rows chosen and pasted from the keyboard (Shift+Space, the
  // menu key); row 200 opens no menu.
  auto other = OpenGrid(2, "LEVELING COURSE", "2");
  other->view()->MoveTo(10, 1);
  Key(Qt::Key_Space, Qt::ShiftModifier);
  Key(Qt::Key_Menu);
  ASSERT_TRUE(other->rowMenu()->isVisible());
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})  // Paste
    QTest::keyClick(other->rowMenu(), key);
  EXPECT_EQ(h.messages.asked.size(), 1u) << "free rows: no question";
  other->view()->scrollToBottom();
  SelectRows(*other, 200, 200);
  EXPECT_FALSE(other->rowMenu()->isVisible());
  Click(other.get(), "dataexit");
  EXPECT_EQ(ReadFile(h.session.SectionPath(2)),
            "001205 09/28/2026 77185     30056     47129      5.600      \r\n"
            "001206 09/28/2026 77222     30056     47166      5.600     Y\r\n"
            "001207 09/28/2026 77259     30056     47203      5.600      \r\n");
}

// From the list a book of a fixed type goes straight to its grid, which
// remembers its options; Delete Book's question names the book and defaults
// to No. When a type is fixed is core's (BookSetup in
// tests/core/entry/book_grid_test.cpp).
TEST_F(Entry, TheListOpensAFixedTypesGridWhichRemembersItsOptions) {
  h.session.Book(2) = {"BINDER COURSE", "0", "2.6500"};
  h.session.Book(3) = {"SURFACE COURSE SP 12.5", "1", "2.6500"};
  tonnage::testing::WriteFile(h.session.SectionPath(3),
                              "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
                              "001202 09/28/2026 72708     29773     42935      5.600      \r\n");
  // An option of the grid, remembered for the next.
  h.session.currentBook = 2;
  Find<QAction>(h.Make<gui::Dataform>(h.rowMenu).get(), "Mnu_SkipMarks")->setChecked(true);
  auto list = h.Make<gui::SectList>(h.rowMenu);
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        Activate(w);
        auto* entries = Find<QListWidget>(w, "List1");
        entries->setCurrentRow(2);
        Click(w, "Bookdel");
        entries->setCurrentRow(1);
        QTest::keyClick(entries, Qt::Key_Return);
        static_cast<QDialog*>(w)->reject();
      })
      .Then([](QWidget* w) {
        Activate(w);
        EXPECT_TRUE(Find<QAction>(w, "Mnu_SkipMarks")->isChecked());
        TypeCells({"1201", "09/28/2026", "77756", "30056", "47700", "5.6"});
        auto* view = static_cast<gui::Dataform*>(w)->view();
        EXPECT_EQ(view->currentIndex(), view->model()->index(1, 2)) << "the marks skipped";
        static_cast<QDialog*>(w)->reject();
      });
  list->exec();
  EXPECT_EQ(driver.seen, (std::vector<QString>{"SectList", "Dataform"})) << "no Book Setup on the way";
  QSettings(QSettings::IniFormat, QSettings::UserScope, "quarrendale-tonnage", "grid").clear();
  EXPECT_EQ(h.messages.Text(0), "Are You Sure\n\nBook 3   SURFACE COURSE SP 12.5\n2 tickets");
  EXPECT_TRUE(h.messages.asked[0].defaultButton == Button::No && h.session.Book(3).InUse());
}

}  // namespace
