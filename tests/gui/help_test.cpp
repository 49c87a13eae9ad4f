// Every window sends its own help topic with F1 and its Help menu, the topic
// names only captions that are on that window, and the real help window
// finds a built-in page for each; every button has its own access key.
#include <gtest/gtest.h>

#include <QDialog>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <csignal>
#include <map>
#include <set>
#include <memory>

#include "about_box.h"
#include "book_form.h"
#include "index_form.h"
#include "sect_list.h"
#include "daily_form.h"
#include "dataform.h"
#include "enddata_form.h"
#include "eng_met_form.h"
#include "fakes.h"
#include "history_form.h"
#include "import_form.h"
#include "main_form.h"
#include "nt_setup.h"
#include "platform/qt_platform.h"
#include "proc_form.h"
#include "yield_form.h"
#include "reason_form.h"
#include "prtbox.h"
#include "reconcile_form.h"
#include "signal_exit.h"
#include "view_form.h"

namespace {

// The context ids that have a topic among the built-in pages.
std::set<int> TopicIds() {
  std::set<int> ids;
  for (const QString& name : QDir(":/help").entryList({"topic_*.html"}))
    ids.insert(name.mid(6, name.size() - 11).toInt());
  return ids;
}

// A caption as the user reads it: without the access-key mark and the blanks around it.
QString Clean(QString text) {
  return text.replace("&&", "\x01").remove(QLatin1Char('&')).replace("\x01", "&").trimmed();
}

// Every text the user reads on a window: its title (without the '*' of
// unsaved changes), buttons, labels, frames, menus and their items, and the
// column titles of its grids and lists.
QSet<QString> OnWindow(QWidget* w) {
  QSet<QString> texts{Clean(w->windowTitle().remove(QRegularExpression("\\*$")))};
  for (auto* b : w->findChildren<QAbstractButton*>()) texts << Clean(b->text());
  for (auto* l : w->findChildren<QLabel*>()) texts << Clean(l->text());
  for (auto* g : w->findChildren<QGroupBox*>()) texts << Clean(g->title());
  for (auto* m : w->findChildren<QMenu*>()) texts << Clean(m->title());
  for (auto* a : w->findChildren<QAction*>()) texts << Clean(a->text());
  for (auto* v : w->findChildren<QAbstractItemView*>())
    for (int c = 0; v->model() && c < v->model()->columnCount(); ++c)
      texts << Clean(v->model()->headerData(c, Qt::Horizontal).toString());
  texts.remove(QString());
  return texts;
}

// The captions a topic names: its bold texts, as the page shows them.
QStringList InTopic(int id) {
  QStringList names;
  static const QRegularExpression bold("<b>(.*?)</b>", QRegularExpression::DotMatchesEverythingOption), tag("<[^>]*>");
  QFile page(QStringLiteral(":/help/topic_%1.html").arg(id));
  EXPECT_TRUE(page.open(QIODevice::ReadOnly)) << id;
  for (auto it = bold.globalMatch(QString::fromUtf8(page.readAll())); it.hasNext();) {
    QString text = it.next().captured(1).remove(tag);
    // The page's own markup holds no other entities than these.
    for (const auto& [entity, c] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#x27;", "'"}, {"&amp;", "&"}})
      text.replace(QLatin1String(entity), QLatin1String(c));
    names << text.trimmed();
  }
  return names;
}

// Each window of the program under the topic it belongs to. F1 and its Help
// menu send that topic (the reason asked on a save sends the save window's),
// or nothing where the window shares its opener's (the unit choice and the
// about box the main window's). Every topic names only captions on its windows, and the topics
// are exactly those of the windows. Every button has an access key of its own
// in its window, and the first window shows the keyboard focus from the start.
TEST(EveryWindow, SendsItsHelpTopicShowsTheCaptionsItNamesAndHasAccessKeys) {
  fakes::Harness h;
  h.session.New();
  h.session.ChooseUnits("E");
  h.session.dataFilePath = "/home/inspector/JOB.K81";
  std::map<int, std::vector<std::unique_ptr<QWidget>>> windows;
  const auto add = [&](int id, std::unique_ptr<QWidget> w) { windows[id].push_back(std::move(w)); };
  add(gui::help_id::kMainForm, h.Make<gui::MainForm1>());
  add(gui::help_id::kMainForm, h.Make<gui::EngMet_Form>(h.session, h.messages));
  add(gui::help_id::kMainForm, h.Make<gui::AboutBox>());
  add(gui::help_id::kProcForm, h.Make<gui::ProcForm>());
  add(gui::help_id::kEnddataForm, h.Make<gui::EnddataForm>());
  add(gui::help_id::kEnddataForm,
      h.Make<gui::ReasonForm>(h.help,
                              std::vector<tonnage::store::Change>{{"ticket removed", 1, 1, "001202", "", "", ""}}, ""));
  add(gui::help_id::kHistoryForm, h.Make<gui::HistoryForm>(h.session, h.messages, h.files, h.printing, h.help));
  add(gui::help_id::kSectList, h.Make<gui::SectList>(h.rowMenu));
  h.session.currentBook = 1;
  add(gui::help_id::kBookForm, h.Make<gui::BookForm>(h.rowMenu));
  add(gui::help_id::kIndexform, h.Make<gui::Indexform>(h.session, h.messages, h.clock, h.help));
  add(gui::help_id::kViewForm, h.Make<gui::ViewForm>());
  add(gui::help_id::kPrtbox, h.Make<gui::Prtbox>(false));
  add(gui::help_id::kNTSetup, h.Make<gui::NTSetup>(h.busy, h.printing.system, h.help));
  tonnage::daily::HeldYieldEntries yield;
  auto daily = h.Make<gui::DailyForm>(yield);
  add(gui::help_id::kYieldForm, h.Make<gui::YieldForm>(h.messages, h.help, yield, daily->summary()));
  add(gui::help_id::kDailyForm, std::move(daily));
  const std::string csv = (h.root / "loads.csv").string(), layouts = (h.root / "layouts.txt").string();
  tonnage::testing::WriteFile(csv, "Ticket,Date,Net (lb)\n1201,10/01/2026,40000\n");
  h.session.Book(2) = {"SURFACE COURSE", "0", "0"};
  add(gui::help_id::kImportForm, h.Make<gui::ImportForm>(h.session, h.messages, h.help, csv, layouts));
  add(gui::help_id::kReconcileForm,
      h.Make<gui::ReconcileForm>(h.session, h.messages, h.files, h.printing, h.help, csv, layouts));
  // The grid's titles and unit line follow the book's type and the file's units.
  for (const auto& [units, type] : {std::pair{"E", "0"}, {"E", "1"}, {"E", "2"}, {"M", "0"}, {"M", "1"}}) {
    h.session.New();
    h.session.ChooseUnits(units);
    h.session.currentBook = 1;
    h.session.Book(1) = {"SURFACE COURSE", type, "2.6500"};
    add(gui::help_id::kDataform, h.Make<gui::Dataform>(h.rowMenu));
  }

  std::set<int> ids;
  for (const auto& [id, list] : windows) {
    ids.insert(id);
    QSet<QString> shown;
    for (const auto& w : list) {
      const std::string name = w->objectName().toStdString();
      // The unit choice and the about box show their opener's topic.
      const auto sent = name == "EngMet_Form" || name == "AboutBox" ? std::vector<std::string>{}
                                                                    : std::vector{"topic " + std::to_string(id)};
      h.help.calls.clear();
      w->setWindowModality(Qt::NonModal);
      w->show();
      // The first window shows the keyboard focus from the start.
      EXPECT_TRUE(name != "MainForm1" || (w->focusWidget() == w->findChild<QWidget*>("Cmd_New") &&
                                          w->testAttribute(Qt::WA_KeyboardFocusChange)));
      QApplication::setActiveWindow(w.get());
      ASSERT_TRUE(QTest::qWaitForWindowActive(w.get())) << name;
      QTest::keyClick(w.get(), Qt::Key_F1);
      EXPECT_EQ(h.help.calls, sent) << name << " F1";
      if (auto* menu = w->findChild<QAction*>("Mnu_Help")) {
        h.help.calls.clear();
        menu->trigger();
      }
      EXPECT_EQ(h.help.calls, sent) << name << " F1 and the Help menu";
      w->hide();
      shown.unite(OnWindow(w.get()));
      // Every button has an access key of its own in its window.
      std::set<QChar> keys;
      for (auto* b : w->findChildren<QPushButton*>()) {
        const QString text = b->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        EXPECT_TRUE(b->parentWidget()->inherits("QDialogButtonBox") ||
                    (amp >= 0 && amp + 1 < text.size() && keys.insert(text[amp + 1].toUpper()).second))
            << name << ": " << text.toStdString();
      }
    }
    const QStringList named = InTopic(id);
    EXPECT_GE(named.size(), 3) << "topic " << id << " names almost none of its window's captions";
    for (const QString& caption : named)
      EXPECT_TRUE(shown.contains(caption)) << "topic " << id << " names \"" << caption.toStdString()
                                           << "\", which is not on " << list.front()->objectName().toStdString();
  }
  EXPECT_EQ(TopicIds(), ids) << "a window without a topic, or a topic without a window";
  steps::Click(windows[gui::help_id::kMainForm].front().get(), "Cmd_Help");
  EXPECT_EQ(h.help.calls.back(), "contents");
}

// The help window finds the page of each topic, shows the contents for any
// other id, opens at the top of the window it explains, and closes on Quit.
// Where the pages' links lead is the help generator's (make_help_test, and
// the build refuses a guide with a link to nowhere); the guide's pictures are
// built in beside the pages.
TEST(HelpWindow, OpensEachTopicBesideItsWindowAndClosesOnQuit) {
  QDialog explained;
  explained.setGeometry(100, 60, 240, 160);
  explained.setWindowModality(Qt::ApplicationModal);
  explained.show();
  platform::QtHelp help;
  const auto browser = [&] { return help.window()->findChild<QTextBrowser*>("HelpBrowser"); };
  for (int id : TopicIds()) {
    help.ShowTopic(id);
    EXPECT_TRUE(browser()->source().toString() == QStringLiteral("qrc:/help/topic_%1.html").arg(id) &&
                !browser()->document()->toPlainText().trimmed().isEmpty())
        << id;
  }
  EXPECT_EQ(help.window()->frameGeometry().top(), explained.frameGeometry().top());
  EXPECT_FALSE(QDir(":/help/screenshots").isEmpty()) << "the help shows none of the guide's pictures";
  help.ShowTopic(4242);
  EXPECT_TRUE(browser()->source().toString() == "qrc:/help/contents.html" &&
              browser()->document()->toPlainText().contains("Process Options"));
  help.Quit();
  QCoreApplication::processEvents();
  EXPECT_EQ(help.window(), nullptr);
}

TEST(SignalExit, ATermSignalReachesTheEventLoop) {
  int received = 0;
  gui::SignalExit watcher([&](int signal) { received = signal; });
  ASSERT_EQ(::raise(SIGTERM), 0);
  for (int i = 0; i < 100 && received == 0; ++i) QTest::qWait(10);
  EXPECT_EQ(received, SIGTERM);
}

}  // namespace
