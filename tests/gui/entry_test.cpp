// The data-entry windows typed into with the keyboard: the book grid, its row
// menu, the list of books, Book Setup and the index record; the section files
// checked on disk.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "book_forms.h"
#include "book_grid_view.h"
#include "dataform.h"
#include "fakes.h"
#include "proc_form.h"

namespace {

namespace fs = std::filesystem;
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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Keys go where the keyboard focus is, as a user's would.
void Keys(const QString& text) {
  for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
// Cells typed one after the other, each ended with Tab.
void TypeCells(std::initializer_list<const char*> cells) {
  for (const char* cell : cells) {
    Keys(QString::fromLatin1(cell));
    Key(Qt::Key_Tab);
  }
}

void Click(QWidget* w, const char* name) {
  auto* b = w->findChild<QPushButton*>(QString::fromLatin1(name));
  ASSERT_NE(b, nullptr) << name;
  b->click();
}

class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    h.session.New();
    h.session.ChooseUnits("E");
    h.context.platform.clipboard = &clipboard;
  }

  // The grid window of `book`, shown and active, as Book Setup opens it.
  std::unique_ptr<gui::Dataform> OpenGrid(int book, const std::string& comments, const std::string& type) {
    h.session.Book(book).comments = comments;
    h.session.Book(book).dataType = type;
    h.session.currentBook = book;
    auto form = std::make_unique<gui::Dataform>(h.context, rowMenu, nullptr);
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
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
  EXPECT_EQ(form->findChild<QLabel*>("Label1")->text(), "Weights are in LBS");
  EXPECT_EQ(form->findChild<QLabel*>("Label2")->text(), "HOT MIX");
  EXPECT_EQ(form->findChild<QLabel*>("dcom2")->text(), "Book Comments");
  EXPECT_EQ(form->findChild<QPushButton*>("dataexit")->text(), "Exit  Data");
  auto* view = form->findChild<gui::BookGridView*>("Spread1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->model()->headerData(2, Qt::Horizontal).toString(), "Gross Weight");
  EXPECT_EQ(view->model()->headerData(199, Qt::Vertical).toInt(), 200);

  TypeCells({"12", "03/15/2004", "77756", "30056", "47700", "5.6", "", "", ""});
  // Past Note: page 13 and the date carried, the cursor on the gross weight.
  EXPECT_EQ(form->grid().Cell(2, 1), "13");
  EXPECT_EQ(form->grid().Cell(2, 2), "03/15/2004");
  EXPECT_EQ(view->currentIndex(), view->model()->index(1, 2));
  TypeCells({"72708", "29773", "42935", "5.4", "", "", "x"});
  EXPECT_EQ(form->grid().Cell(3, 1), "14");
  // Whole pounds: a period is refused, as is a percent of 100.
  Keys("76.5");
  Key(Qt::Key_Return);
  EXPECT_EQ(form->grid().Cell(3, 3), "765");
  Keys("30010");
  Key(Qt::Key_Tab);
  Keys("46870");
  Key(Qt::Key_Tab);
  Keys("100");
  EXPECT_EQ(QApplication::focusWidget()->property("refusal").toString(), "Pct. Bitum. accepts 0 to 99.999");
  Key(Qt::Key_Tab);
  EXPECT_EQ(form->grid().Cell(3, 6), "10");

  Click(form.get(), "dataexit");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)),
            "000012 03/15/2004 77756     30056     47700      5.600      \r\n"
            "000013 03/15/2004 72708     29773     42935      5.400     Y\r\n"
            "000014 03/15/2004   765     30010     46870     10.000      \r\n");
}

TEST_F(Entry, AShortDateIsRefusedOnLeavingAndDeleteEmptiesACell) {
  auto form = OpenGrid(1, "BINDER", "1");
  auto* view = form->view();
  TypeCells({"7"});
  Keys("03/15/200");
  Key(Qt::Key_Tab);
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].text, "Invalid date - reenter");
  EXPECT_EQ(h.messages.asked[0].buttons, std::vector<Button>{Button::Ok});
  EXPECT_EQ(view->currentIndex(), view->model()->index(0, 1)) << "the cursor stays in the date";
  EXPECT_EQ(form->grid().Cell(1, 2), "");
  Key(Qt::Key_Tab);
  EXPECT_EQ(h.messages.asked.size(), 1u) << "an empty date is left freely";
  Keys("23.455");
  Key(Qt::Key_Tab);
  EXPECT_EQ(form->grid().Cell(1, 3), "23.455");
  Key(Qt::Key_Escape);  // out of the tare editor
  Key(Qt::Key_Left);
  Key(Qt::Key_Delete);
  EXPECT_EQ(form->grid().Cell(1, 3), "");
  EXPECT_EQ(form->grid().Cell(1, 1), "7");
  form->close();  // the close box stores too
  EXPECT_EQ(h.session.rows[0][tonnage::TicketField::PageNo], "7");
}
}  // namespace
