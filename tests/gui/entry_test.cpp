// The data-entry windows typed into with the keyboard: the book grid, its row
// menu, the list of books, Book Setup and the index record; the section files
// checked on disk.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSettings>
#include <QUndoStack>

#include "book_form.h"
#include "index_form.h"
#include "sect_list.h"
#include "book_grid_view.h"
#include "dataform.h"
#include "fakes.h"
#include "proc_form.h"
#include "text/fixed_width.h"

namespace {

using namespace steps;
using platform::Button;

class FakeClipboard final : public platform::Clipboard {
 public:
  QString Text() const override { return text; }
  void SetText(const QString& t) override { text = t; }
  void Clear() override {
    text.clear();
    ++clears;
  }
  QString text;
  int clears = 0;
};

class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    h.session.New();
    h.session.ChooseUnits("E");
    h.services.platform.clipboard = &clipboard;
  }

  // The grid window of `book`, shown and active, as Book Setup opens it.
  std::unique_ptr<gui::Dataform> OpenGrid(int book, const std::string& comments, const std::string& type) {
    h.session.Book(book).comments = comments;
    h.session.Book(book).dataType = type;
    h.session.currentBook = book;
    auto form = std::make_unique<gui::Dataform>(h.services.Entry(), rowMenu, nullptr);
    form->show();
    Activate(form.get());
    return form;
  }

  static QPoint RowHeader(gui::Dataform& form, int row) {
    QHeaderView* header = form.view()->verticalHeader();
    return QPoint(header->width() / 2, header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2);
  }
  // Whole rows first..last selected from the row headers, as a mouse does.
  static void SelectRows(gui::Dataform& form, int first, int last) {
    form.rowMenu()->hide();
    QWidget* header = form.view()->verticalHeader()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier, RowHeader(form, first));
    if (last != first) QTest::mouseClick(header, Qt::LeftButton, Qt::ShiftModifier, RowHeader(form, last));
    QCoreApplication::processEvents();
  }
  static QAction* Item(gui::Dataform& form, const char* name) {
    return form.rowMenu()->findChild<QAction*>(QString::fromLatin1(name));
  }
  static void Choose(gui::Dataform& form, const char* name) {
    QAction* action = Item(form, name);
    ASSERT_TRUE(action && action->isEnabled()) << name;
    action->trigger();
    form.rowMenu()->hide();
  }

  fakes::Harness h;
  FakeClipboard clipboard;
  tonnage::RowMenuState rowMenu;
};

TEST_F(Entry, TypedTicketsCarryPageAndDateAndReachTheSectionFile) {
  auto form = OpenGrid(3, "HOT MIX", "0");
  EXPECT_EQ(form->windowTitle(), "Data Entry --  Data Is In English");
  EXPECT_EQ(Text(form.get(), "Label1") + "|" + Text(form.get(), "Label2"), "Weights are in LBS|HOT MIX");
  auto* view = Find<gui::BookGridView>(form.get(), "Spread1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->model()->headerData(2, Qt::Horizontal).toString(), "Gross Weight");

  TypeCells({"12", "03/15/2004", "77756", "30056", "47700", "5.6", "", "", ""});
  // Past Note: page 13 and the date carried, the cursor on the gross weight.
  EXPECT_EQ(form->grid().Cell(2, 1), "13");
  EXPECT_EQ(form->grid().Cell(2, 2), "03/15/2004");
  EXPECT_EQ(form->grid().Cell(1, 6), "5.600") << "typed numbers show as the file's do";
  EXPECT_EQ(view->currentIndex(), view->model()->index(1, 2));
  TypeCells({"72708", "29773", "42935", "5.4", "", "", "Y"});
  EXPECT_EQ(form->grid().Cell(3, 1), "14");
  // A comma in whole pounds is kept, marked and explained, never merged.
  Keys("76,5");
  Key(Qt::Key_Return);
  EXPECT_EQ(form->grid().Cell(3, 3), "76,5");
  EXPECT_EQ(Text(form.get(), "GridStatus"), "Gross Weight takes whole pounds up to 99999");
  EXPECT_TRUE(view->model()->index(2, 2).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(h.messages.asked.empty()) << "no box while typing";
  Keys("30010");
  Key(Qt::Key_Tab);
  Keys("46870");
  Key(Qt::Key_Tab);
  Keys("100");
  EXPECT_EQ(Focus()->property("refusal").toString(), "Pct. Bitum. takes percent up to 99.999, three decimals at most");
  EXPECT_EQ(Text(form.get(), "GridStatus"), "Pct. Bitum. takes percent up to 99.999, three decimals at most");
  Key(Qt::Key_Escape);  // the cell as it was
  EXPECT_EQ(form->grid().Cell(3, 6), "");
  EXPECT_TRUE(form->isVisible());

  // Closing with a cell the book cannot keep asks first; No goes to the cell.
  Click(form.get(), "dataexit");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_TRUE(h.messages.asked[0].text.startsWith("Row 3, Gross Weight holds \"76,5\""));
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(view->currentIndex(), view->model()->index(2, 2));
  Keys("76500");
  Key(Qt::Key_Return);
  Click(form.get(), "dataexit");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)),
            "000012 03/15/2004 77756     30056     47700      5.600      \r\n"
            "000013 03/15/2004 72708     29773     42935      5.400     Y\r\n"
            "000014 03/15/2004 76500     30010     46870" + std::string(17, ' ') + "\r\n");
}

TEST_F(Entry, DatesGetSlashesMarksTakeTheirKeysAndNothingBlocksTyping) {
  auto form = OpenGrid(1, "BINDER", "1");
  auto* view = form->view();
  TypeCells({"7"});
  Keys("09282026");
  EXPECT_EQ(qobject_cast<QLineEdit*>(Focus())->text(), "09/28/2026");
  Key(Qt::Key_Tab);
  Key(Qt::Key_Escape);  // out of the gross weight's editor
  Key(Qt::Key_Left);
  Keys("13/45/2026");
  Key(Qt::Key_Tab);
  EXPECT_TRUE(h.messages.asked.empty());
  EXPECT_EQ(form->grid().Cell(1, 2), "13/45/2026") << "kept for correcting";
  EXPECT_EQ(Text(form.get(), "GridStatus"), "Date takes mm/dd/yyyy, from 01/01/1990 to 12/31/2100");
  EXPECT_EQ(view->currentIndex(), view->model()->index(0, 2)) << "the cursor is not held";
  Key(Qt::Key_Escape);
  Key(Qt::Key_Left);
  Keys("9/28/2026");
  Key(Qt::Key_Tab);
  EXPECT_EQ(form->grid().Cell(1, 2), "09/28/2026");
  Keys("23,455");
  Key(Qt::Key_Tab);
  EXPECT_EQ(form->grid().Cell(1, 3), "23.455") << "the comma is the decimal point";
  for (int i = 0; i < 4; ++i) Key(Qt::Key_Tab);
  ASSERT_EQ(view->currentIndex(), view->model()->index(0, 7));
  Keys("x");
  EXPECT_EQ(form->grid().Cell(1, 8), "");
  EXPECT_EQ(Text(form.get(), "GridStatus"), "Void takes Y, N, Space or Delete");
  Key(Qt::Key_Space);
  EXPECT_EQ(form->grid().Cell(1, 8), "Y");
  Key(Qt::Key_Space);
  EXPECT_EQ(form->grid().Cell(1, 8), "");
  Keys("y");
  EXPECT_EQ(form->grid().Cell(1, 8), "Y");
  Key(Qt::Key_Delete);
  EXPECT_EQ(form->grid().Cell(1, 8), "");
  form->close();  // the close box stores too
  EXPECT_EQ(h.session.rows[0][tonnage::TicketField::PageNo], "7");
}

TEST_F(Entry, MistakesAreMarkedAsTypedWithTotalsAndEveryChangeUndoes) {
  auto form = OpenGrid(2, "SURFACE COURSE", "0");
  auto* model = form->view()->model();
  TypeCells({"1201", "09/28/2026", "77756", "30056", "47701", "5.6", "", "", ""});
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "! 1");
  EXPECT_EQ(model->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(),
            "THEO = 47700.000  KP = 47701.000: Net Weight is not Gross Weight less Tare Weight");
  TypeCells({"30000", "64000"});
  EXPECT_TRUE(Text(form.get(), "GridStatus").contains("Gross Weight is less than Tare Weight"));
  EXPECT_EQ(Text(form.get(), "GridTotals"),
            "2 tickets   Net 47701 LBS = 23.851 TONS   09/28/2026: 23.851 TONS   Bitumen 0 GALS");

  // Each cell is one step, named in the Edit menu; Ctrl+Z and Ctrl+Y.
  QAction* undo = form->findChild<QAction*>("Mnu_Undo");
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(undo->text(), "Undo Typing in Tare Weight, Row 2");
  Key(Qt::Key_Escape);  // the net weight's editor has an undo of its own
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form->grid().Cell(2, 4), "");
  EXPECT_EQ(model->headerData(1, Qt::Vertical).toString(), "2");
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(form->grid().Cell(2, 4), "64000");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form->grid().Cell(2, 4), "64000") << "nothing more to redo";

  // Row operations are steps too.
  SelectRows(*form, 1, 1);
  Choose(*form, "Mnu_OptsInsert");
  EXPECT_EQ(form->grid().Cell(2, 1), "1201");
  EXPECT_EQ(undo->text(), "Undo Insert Blank Row");
  undo->trigger();
  EXPECT_EQ(form->grid().Cell(1, 1), "1201");
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "! 1");

  // A hundred and more steps are kept.
  for (int i = 0; i < 110; ++i) {
    form->view()->FinishEditing();
    form->view()->MoveTo(1, 1);
    Keys(QString::number(1300 + i));
    Key(Qt::Key_Return);
  }
  int steps = 0;
  while (form->undoStack()->canUndo()) {
    form->undoStack()->undo();
    ++steps;
  }
  EXPECT_GE(steps, 110);
  EXPECT_EQ(form->grid().Cell(1, 1), "");
}

TEST_F(Entry, RowMenuFromTheRowHeadersCopiesAndPastesAcrossBooks) {
  auto form = OpenGrid(1, "SURFACE COURSE", "0");
  tonnage::BookGrid& grid = const_cast<tonnage::BookGrid&>(form->grid());
  for (int row = 1; row <= 8; ++row)
    grid.Row(row).cells = {std::to_string(1200 + row), "09/28/2026", std::to_string(77000 + row * 37),
                           "30056", std::to_string(46944 + row * 37), "5.6", "", "", row == 6 ? "Y" : ""};
  const tonnage::TicketRow r5 = grid.Row(5), r6 = grid.Row(6), r7 = grid.Row(7);

  // Cells inside the grid open nothing; a whole-row selection does.
  QTest::mouseClick(form->view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    form->view()->visualRect(form->view()->model()->index(2, 2)).center());
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->rowMenu()->isVisible());
  SelectRows(*form, 5, 7);
  ASSERT_TRUE(form->rowMenu()->isVisible());
  EXPECT_EQ(rowMenu.SelFirstRow, 5);
  EXPECT_EQ(rowMenu.SelLastRow, 7);
  EXPECT_TRUE(Item(*form, "Mnu_OptsInsert")->isEnabled());
  EXPECT_FALSE(Item(*form, "Mnu_OptsPaste")->isEnabled());
  EXPECT_FALSE(Item(*form, "Mnu_OptsClipInsert")->isEnabled());
  EXPECT_EQ(Item(*form, "Mnu_OptsCancel")->text(), "Cancel");
  ASSERT_NE(form->rowMenu()->findChild<QAction*>("Mnu_Sep1"), nullptr);
  Choose(*form, "Mnu_OptsCopy");
  EXPECT_EQ(rowMenu.ClipRowCount, 3);
  EXPECT_EQ(clipboard.clears, 1);
  EXPECT_TRUE(clipboard.text.startsWith("1205\t09/28/2026\t77185\t30056\t47129\t5.6\t\t\t\n"));

  // Over used rows the question comes first; No (the default) changes nothing.
  SelectRows(*form, 2, 2);
  Choose(*form, "Mnu_OptsPaste");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Overwrite Existing Data");
  EXPECT_EQ(h.messages.asked[0].text, "Are You Sure You Want To Overwrite The Data");
  EXPECT_EQ(h.messages.asked[0].defaultButton, Button::No);
  EXPECT_EQ(form->grid().Cell(2, 1), "1202");

  // Insert from the clipboard pushes the rows below down.
  SelectRows(*form, 3, 3);
  Choose(*form, "Mnu_OptsClipInsert");
  EXPECT_EQ(form->grid().Row(3), r5);
  EXPECT_EQ(form->grid().Row(5), r7);
  EXPECT_EQ(form->grid().Cell(6, 1), "1203");
  EXPECT_EQ(form->view()->currentIndex(), form->view()->model()->index(2, 0));
  Click(form.get(), "dataexit");

  // Another book of the run: the rows arrive.
  auto other = OpenGrid(2, "LEVELING COURSE", "2");
  SelectRows(*other, 10, 10);
  EXPECT_TRUE(Item(*other, "Mnu_OptsPaste")->isEnabled());
  Choose(*other, "Mnu_OptsPaste");
  EXPECT_EQ(h.messages.asked.size(), 1u) << "free rows: no question";
  EXPECT_EQ(other->grid().Row(11), r6);

  // Text from elsewhere that does not fit is refused and the grid kept.
  clipboard.text = "1300\t09/28/2026\t812.6\n";
  const tonnage::BookRows before = other->grid().rows();
  SelectRows(*other, 30, 30);
  Choose(*other, "Mnu_OptsPaste");
  ASSERT_EQ(h.messages.asked.size(), 2u);
  EXPECT_EQ(h.messages.asked[1].title, "Paste Rows");
  EXPECT_TRUE(h.messages.asked[1].text.contains("Agg Weight"));
  EXPECT_EQ(other->grid().rows(), before);

  // Cut pulls the rows below up; row 200 opens no menu.
  SelectRows(*other, 10, 10);
  Choose(*other, "Mnu_OptsCut");
  EXPECT_EQ(other->grid().Row(10), r6);
  other->view()->scrollToBottom();
  SelectRows(*other, 200, 200);
  EXPECT_FALSE(other->rowMenu()->isVisible());
  Click(other.get(), "dataexit");
  const std::string lines = ReadFile(h.session.SectionPath(2));
  EXPECT_EQ(lines.substr(0, 60), "001206 09/28/2026 77222     30056     47166      5.600     Y");
}

TEST_F(Entry, SpreadsheetRowsAndCellsGoThroughTheClipboardWithTheKeyboard) {
  auto form = OpenGrid(4, "SURFACE COURSE", "0");
  clipboard.text = "Page No\tDate\tGross Weight\tTare Weight\tNet Weight\n"
                   "1201\t9/28/2026\t77756\t30056\t47700\n1202\t9/28/2026\t77,1\t30056\t47044,5\n";
  SelectRows(*form, 1, 1);
  EXPECT_TRUE(Item(*form, "Mnu_OptsPaste")->isEnabled()) << "rows from another program";
  form->rowMenu()->hide();
  form->view()->MoveTo(1, 1);
  form->view()->setFocus();
  Key(Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_TRUE(h.messages.asked[0].text.contains("Row 2 of the clipboard, Gross Weight"));
  EXPECT_TRUE(h.messages.asked[0].text.contains("Row 2 of the clipboard, Net Weight"));
  EXPECT_EQ(form->grid().Cell(1, 1), "") << "a refused paste changes nothing";
  clipboard.text.replace("77,1", "77100").replace("47044,5", "47044");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form->grid().Cell(2, 2), "09/28/2026");
  EXPECT_EQ(form->grid().Cell(2, 3), "77100");

  form->view()->selectionModel()->select(
      QItemSelection(form->view()->model()->index(1, 2), form->view()->model()->index(1, 3)),
      QItemSelectionModel::ClearAndSelect);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text, "77100\t30056\n");
  EXPECT_EQ(form->grid().Cell(2, 3), "");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form->grid().Cell(2, 3), "77100");
}

TEST_F(Entry, ABookOfAFixedTypeOpensFromTheListAndTheGridRemembersItsOptions) {
  h.session.Book(2) = {"BINDER COURSE", "0", "2.6500"};
  h.session.currentBook = 2;
  {
    gui::Dataform first(h.services.Entry(), rowMenu, nullptr);
    QAction* skip = first.findChild<QAction*>("Mnu_SkipMarks");
    ASSERT_NE(skip, nullptr);
    skip->setChecked(false);
    skip->trigger();  // on, and remembered
  }
  gui::SectList list(h.services.Entry(), rowMenu, nullptr);
  fakes::ModalDriver driver;
  bool skipping = false;
  driver.Then([](QWidget* w) {
    Activate(w);
    auto* entries = w->findChild<QListWidget*>("List1");
    entries->setCurrentRow(1);
    QTest::keyClick(entries, Qt::Key_Return);
    static_cast<QDialog*>(w)->reject();
  });
  driver.Then([&](QWidget* w) {
    Activate(w);
    skipping = w->findChild<QAction*>("Mnu_SkipMarks")->isChecked();
    TypeCells({"1201", "09/28/2026", "77756", "30056", "47700", "5.6"});
    auto* form = static_cast<gui::Dataform*>(w);
    EXPECT_EQ(form->view()->currentIndex(), form->view()->model()->index(1, 2)) << "the marks skipped";
    Key(Qt::Key_G, Qt::ControlModifier);
    Keys("1201");
    Key(Qt::Key_Return);
    EXPECT_EQ(form->view()->currentIndex(), form->view()->model()->index(0, 0));
    form->reject();
  });
  list.exec();
  EXPECT_EQ(driver.seen, (std::vector<QString>{"SectList", "Dataform"})) << "no Book Setup on the way";
  EXPECT_TRUE(skipping);
  QSettings(QSettings::IniFormat, QSettings::UserScope, "quarrendale-tonnage", "grid").clear();
}

TEST_F(Entry, BookSetupShowsAFixedTypeAndRefusesAGravityOfTen) {
  h.session.Book(5) = {"TONS BOOK", "1", "2.6500"};
  h.session.currentBook = 5;
  gui::BookForm setup(h.services.Entry(), rowMenu, nullptr);
  setup.show();
  Activate(&setup);
  EXPECT_EQ(setup.windowTitle(), "Book Setup");
  EXPECT_TRUE(Find<QRadioButton>(&setup, "dbtype1")->isChecked());
  EXPECT_FALSE(Find<QGroupBox>(&setup, "Frame1")->isEnabled());
  EXPECT_EQ(setup.ChosenTypeIndex(), 1);
  auto* gravity = setup.findChild<QLineEdit*>("dbspec_grav");
  EXPECT_EQ(Focus()->objectName(), "dbookhead");
  Key(Qt::Key_Return);
  EXPECT_EQ(Focus(), gravity) << "the type is fixed: straight to the gravity";
  gravity->clear();
  Keys("10");
  EXPECT_EQ(gravity->text(), "1");
  EXPECT_EQ(gravity->property("refusal").toString(), "Specific Gravity accepts 0 to 9.9999");
  EXPECT_EQ(Find<QLineEdit>(&setup, "dbookhead")->maxLength(), 35);
  Find<QLineEdit>(&setup, "dbookhead")->setText("CHANGED");
  Click(&setup, "ExitCmd");
  EXPECT_EQ(h.session.Book(5).comments, "TONS BOOK") << "Exit stores nothing";
  EXPECT_EQ(h.session.Book(5).specificGravity, "2.6500");
}

// Continue on a new book without a type says what is missing and opens no grid.
TEST_F(Entry, ContinueWithoutATypeSaysSoAndFocusesTheTypes) {
  h.session.currentBook = 6;
  gui::BookForm setup(h.services.Entry(), rowMenu, nullptr);
  setup.show();
  Activate(&setup);
  fakes::ModalDriver driver;
  Click(&setup, "CountinueCmd");
  EXPECT_TRUE(driver.seen.empty());
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_TRUE(h.messages.asked[0].text.contains("Type Of Data"));
  EXPECT_EQ(Focus()->objectName(), "dbtype0");
  EXPECT_TRUE(setup.isVisible());
}

// The question names the book, and Enter alone (No) deletes nothing.
TEST_F(Entry, DeleteBookNamesTheBookAndDefaultsToNo) {
  h.session.Book(3) = {"SURFACE COURSE SP 12.5", "0", "2.6500"};
  tonnage::testing::WriteFile(h.session.SectionPath(3),
                              "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
                              "001202 09/28/2026 72708     29773     42935      5.600      \r\n");
  gui::SectList list(h.services.Entry(), rowMenu, nullptr);
  list.show();
  Find<QListWidget>(&list, "List1")->setCurrentRow(2);
  Click(&list, "Bookdel");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].text, "Are You Sure\n\nBook 3   SURFACE COURSE SP 12.5\n2 tickets");
  EXPECT_EQ(h.messages.asked[0].defaultButton, Button::No);
  EXPECT_TRUE(h.session.Book(3).InUse());
}

TEST_F(Entry, IndexRecordShowsTodayForANewFileAndStoresOnAnyClose) {
  h.session.index.date = "01/02/2006";
  h.session.index.refNo = "4471";
  gui::Indexform index(h.session, h.messages, h.clock, h.help, nullptr);
  index.show();
  Activate(&index);
  EXPECT_EQ(index.windowTitle(), "Index Record");
  EXPECT_EQ(index.findChild<QLineEdit*>("DDate1")->text(), "07/14/2006") << "the clock's day";
  EXPECT_EQ(index.findChild<QLineEdit*>("DRefNum")->maxLength(), 7);
  EXPECT_EQ(index.findChild<QLineEdit*>("DProject")->maxLength(), 11);
  EXPECT_EQ(index.findChild<QLineEdit*>("DEng")->maxLength(), 26);
  Key(Qt::Key_End);
  Keys("-B");
  Key(Qt::Key_Return);
  Key(Qt::Key_Return);
  Keys("NH-0094-07X");
  EXPECT_EQ(index.findChild<QLineEdit*>("DProject")->text(), "NH-0094-07X");
  Keys("Y");
  EXPECT_EQ(index.findChild<QLineEdit*>("DProject")->text(), "NH-0094-07X") << "11 characters at most";
  Key(Qt::Key_Return);
  Keys("m. okafor");
  Key(Qt::Key_Return);
  EXPECT_EQ(Focus()->objectName(), "Idxexit");
  EXPECT_EQ(h.session.index.engineer, "") << "nothing stored before the window closes";
  index.close();
  EXPECT_EQ(h.session.index.refNo, "4471-B");
  EXPECT_EQ(h.session.index.date, "07/14/2006");
  EXPECT_EQ(h.session.index.projectNo, "NH-0094-07X");
  EXPECT_EQ(h.session.index.engineer, "m. okafor");

  h.session.dataFilePath = (h.root / "docs" / "NH0094.K81").string();
  h.session.index.date.clear();
  gui::Indexform opened(h.session, h.messages, h.clock, h.help, nullptr);
  EXPECT_EQ(opened.findChild<QLineEdit*>("DDate1")->text(), "") << "a saved file shows its own date";
}

TEST(EntryKeyboard, SetUpTypeCopyIndexSaveAndReopenWithTheKeyboardOnly) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  FakeClipboard clipboard;
  h.services.platform.clipboard = &clipboard;
  h.session.New();
  h.session.ChooseUnits("E");
  const std::string file = (h.root / "docs" / "NH0094.K81").string();
  h.files.saves = {file};

  gui::ProcForm process(h.services, nullptr);
  process.show();
  std::vector<QString> listShown;
  {
  fakes::ModalDriver driver;
  // The list: Enter with nothing selected does nothing; Home selects book 1;
  // after its grid, book 1 is still selected.
  auto list = [&](QWidget* w) {
    Activate(w);
    auto* entries = w->findChild<QListWidget*>("List1");
    listShown.push_back(QString::number(entries->selectedItems().size()));
    Key(Qt::Key_Return);
    Key(Qt::Key_Home);
    Key(Qt::Key_Return);  // book 1, until its grid closes
    Activate(w);
    listShown.push_back(entries->selectedItems().value(0) ? entries->selectedItems()[0]->text() : QString());
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);  // book 2
    Activate(w);
    listShown.push_back(entries->item(1)->text());
    Key(Qt::Key_Escape);
  };
  auto setup = [](const char* comments) {
    return [comments](QWidget* w) {
      Activate(w);
      Keys(QString::fromLatin1(comments));
      Key(Qt::Key_Return);  // to the first type
      Key(Qt::Key_Space);   // "Standard Weight Tickets"
      Key(Qt::Key_Return);  // to the gravity
      Keys("2.65");
      Key(Qt::Key_Return);  // to Continue
      Key(Qt::Key_Return);
    };
  };
  driver.Then(list)
      .Then(setup("HOT MIX"))
      .Then([&](QWidget* w) {
        Activate(w);
        TypeCells({"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""});
        for (int t = 2; t <= 10; ++t)
          TypeCells({std::to_string(77000 + t * 113).c_str(), "30056",
                     std::to_string(46944 + t * 113).c_str(), "5.6", "", "", ""});
        // Rows 2 to 4 copied from the keyboard.
        Key(Qt::Key_Home, Qt::ControlModifier);
        Key(Qt::Key_Down);
        Key(Qt::Key_Space, Qt::ShiftModifier);
        Key(Qt::Key_Down, Qt::ShiftModifier);
        Key(Qt::Key_Down, Qt::ShiftModifier);
        Key(Qt::Key_Menu);
        QMenu* menu = w->findChild<QMenu*>("Mnu_Opts");
        ASSERT_TRUE(menu->isVisible());
        MenuKeys(menu, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});  // Copy
        Key(Qt::Key_Escape);  // closes the grid, which stores it
      })
      .Then(setup("LEVELING COURSE"))
      .Then([](QWidget* w) {
        Activate(w);
        Key(Qt::Key_Space, Qt::ShiftModifier);
        Key(Qt::Key_Menu);
        QMenu* menu = w->findChild<QMenu*>("Mnu_Opts");
        ASSERT_TRUE(menu->isVisible());
        MenuKeys(menu, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});  // Paste
        Key(Qt::Key_Escape);
      });
  Click(&process, "BookCmd");
  ASSERT_TRUE(driver.unexpected.empty()) << driver.unexpected.size();
  EXPECT_EQ(driver.seen,
            (std::vector<QString>{"SectList", "BookForm", "Dataform", "BookForm", "Dataform"}));
  EXPECT_EQ(listShown, (std::vector<QString>{"0", "Book  1 HOT MIX", "Book  2 LEVELING COURSE"}));
  }
  EXPECT_EQ(h.session.Book(1).comments, "HOT MIX");
  EXPECT_EQ(h.session.Book(1).dataType, "0");
  EXPECT_EQ(h.session.Book(1).specificGravity, "2.65");
  EXPECT_EQ(h.session.Book(2).comments, "LEVELING COURSE");

  fakes::ModalDriver index;
  index.Then([](QWidget* w) {
    Activate(w);
    Keys("4471");
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);  // today's date kept
    Keys("NH-0094-07");
    Key(Qt::Key_Return);
    Keys("P. LINDQVIST");
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);  // OK
  });
  Click(&process, "IndexCmd");
  ASSERT_TRUE(index.unexpected.empty());
  EXPECT_EQ(index.seen, std::vector<QString>{"Indexform"});
  EXPECT_EQ(h.session.index.refNo, "4471");
  EXPECT_EQ(h.session.index.projectNo, "NH-0094-07");
  ASSERT_TRUE(h.session.SaveAs(file).ok());

  // Read back: every cell as typed, the copies in book 2.
  ASSERT_TRUE(h.session.Open(file).ok());
  EXPECT_EQ(h.session.index.date, "07/14/2006");
  EXPECT_EQ(h.session.index.engineer, "P. LINDQVIST");
  tonnage::BookGrid one, two;
  SetGridColumns(h.session, 1, one);
  LoadBookIntoGrid(h.session, 1, one);
  for (int t = 1; t <= 10; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(one.Cell(t, 1), std::to_string(1200 + t));
    EXPECT_EQ(one.Cell(t, 2), "09/28/2026");
    EXPECT_EQ(one.Cell(t, 3), t == 1 ? "77756" : std::to_string(77000 + t * 113));
    EXPECT_EQ(one.Cell(t, 6), "5.600");
  }
  EXPECT_EQ(one.Cell(11, 1), "");
  SetGridColumns(h.session, 2, two);
  LoadBookIntoGrid(h.session, 2, two);
  EXPECT_EQ(two.Row(1), one.Row(2));
  EXPECT_EQ(two.Row(3), one.Row(4));
  EXPECT_EQ(two.Cell(4, 1), "");
}

}  // namespace
