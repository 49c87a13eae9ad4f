// Help ids reach the help service from every window and key; the real help
// window finds a built-in topic for each id; the topics, made from the user's
// guide, name only captions that are on their windows.
#include <gtest/gtest.h>

#include <QDialog>
#include <QScreen>

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
#include "report/run_tonnage_report.h"
#include "yield_form.h"
#include "reason_form.h"
#include "prtbox.h"
#include "reconcile_form.h"
#include "signal_exit.h"
#include "view_form.h"

namespace {

TEST(HelpIds, EveryWindowSendsItsOwnTopicByMenuAndF1) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  h.session.New();
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  QApplication::setActiveWindow(&main);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  QTest::keyClick(&main, Qt::Key_F1);
  main.findChild<QPushButton*>("Cmd_Help")->click();
  EXPECT_EQ(h.help.calls, (std::vector<std::string>{"topic 10", "contents"}));

  // Printer setup has no menu: F1 only. The unit choice and the about box
  // have no topic (id 0): F1 there does nothing.
  auto check = [&](QWidget& window, int id, bool menu = true) {
    h.help.calls.clear();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QAction* help = window.findChild<QAction*>("Mnu_Help");
    ASSERT_EQ(help != nullptr, menu && id != 0) << window.objectName().toStdString();
    if (help) help->trigger();
    QTest::keyClick(&window, Qt::Key_F1);
    const std::string topic = "topic " + std::to_string(id);
    EXPECT_EQ(h.help.calls, std::vector<std::string>(id == 0 ? 0 : menu ? 2 : 1, topic))
        << window.objectName().toStdString();
    window.hide();
  };
  gui::ProcForm process(h.services, nullptr);
  check(process, 770);
  gui::EnddataForm save(h.services.Files(), nullptr);
  check(save, 1810);
  gui::ViewForm view(h.services, nullptr);
  check(view, 1850);
  gui::Prtbox box(h.services.Print(), false, nullptr);
  box.setWindowModality(Qt::NonModal);
  check(box, 1830);
  gui::NTSetup setup(h.busy, h.printing.system, h.help, nullptr);
  check(setup, 1870, false);
  gui::EngMet_Form units(h.session, h.messages, nullptr);
  check(units, 0);
  gui::AboutBox about(nullptr);
  check(about, 0);
}

// The context ids that have a topic among the built-in pages.
std::set<int> TopicIds() {
  std::set<int> ids;
  for (const QString& name : QDir(QStringLiteral(":/help")).entryList({QStringLiteral("topic_*.html")}))
    ids.insert(name.mid(6, name.size() - 11).toInt());
  return ids;
}

TEST(HelpWindow, OpensTheTopicOfEachIdTheContentsAndClosesOnQuit) {
  platform::QtHelp help;
  for (int id : TopicIds()) {
    help.ShowTopic(id);
    ASSERT_NE(help.window(), nullptr);
    auto* browser = help.window()->findChild<QTextBrowser*>("HelpBrowser");
    EXPECT_EQ(browser->source().toString(), QStringLiteral("qrc:/help/topic_%1.html").arg(id));
    EXPECT_FALSE(browser->document()->toPlainText().trimmed().isEmpty());
  }
  // An id without a topic, and the contents, show the contents page.
  help.ShowTopic(4242);
  auto* browser = help.window()->findChild<QTextBrowser*>("HelpBrowser");
  EXPECT_EQ(browser->source().toString(), "qrc:/help/contents.html");
  EXPECT_TRUE(browser->document()->toPlainText().contains("Process Options"));
  help.ShowContents();
  EXPECT_EQ(browser->source().toString(), "qrc:/help/contents.html");
  EXPECT_TRUE(help.window()->isVisible());
  help.Quit();
  QCoreApplication::processEvents();
  EXPECT_EQ(help.window(), nullptr);
}

// From any window, the help opens at that window's top, wholly on screen.
TEST(HelpWindow, OpensAtTheTopOfTheWindowItExplainsWhollyOnScreen) {
  QDialog explained;
  explained.setGeometry(100, 60, 240, 160);
  explained.setWindowModality(Qt::ApplicationModal);
  explained.show();
  platform::QtHelp help;
  help.ShowTopic(770);
  ASSERT_NE(help.window(), nullptr);
  const QRect shown = help.window()->frameGeometry();
  EXPECT_TRUE(help.window()->screen()->availableGeometry().contains(shown));
  EXPECT_EQ(shown.top(), explained.frameGeometry().top());
  help.Quit();
}

TEST(PlatformFilters, PipeListsBecomeQtNameFilters) {
  EXPECT_EQ(platform::QtNameFilters("Default (*.K81)|*.K81|Any File (*.*)|*.*"),
            "Default (*.K81 *.k81);;Any File (*)");
  EXPECT_EQ(platform::QtNameFilters("Text|*.txt;*.PRN"), "Text (*.txt *.TXT *.PRN *.prn)");
  // A description without its pattern, or left alone, keeps what can be kept.
  EXPECT_EQ(platform::QtNameFilters("Odd"), "");
}

TEST(SignalExit, ATermSignalReachesTheEventLoop) {
  int received = 0;
  {
    gui::SignalExit watcher([&](int signal) { received = signal; });
    ASSERT_EQ(::raise(SIGTERM), 0);
    for (int i = 0; i < 100 && received == 0; ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QTest::qWait(5);
    }
  }
  EXPECT_EQ(received, SIGTERM);
}

namespace captions {

// A caption as the user reads it: without the access-key mark and the blanks
// around it.
QString Clean(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  return text.trimmed();
}

// Every text the user reads on a window: its title, buttons, labels, frames,
// menus and their items, and the column titles of its grids and lists.
QSet<QString> OnWindow(QWidget* window) {
  // A title's trailing '*' marks unsaved changes, not part of its caption.
  QString title = window->windowTitle();
  if (title.endsWith(QLatin1Char('*'))) title.chop(1);
  QSet<QString> texts{Clean(title)};
  for (auto* b : window->findChildren<QAbstractButton*>()) texts.insert(Clean(b->text()));
  for (auto* l : window->findChildren<QLabel*>()) texts.insert(Clean(l->text()));
  for (auto* g : window->findChildren<QGroupBox*>()) texts.insert(Clean(g->title()));
  for (auto* m : window->findChildren<QMenu*>()) texts.insert(Clean(m->title()));
  for (auto* a : window->findChildren<QAction*>()) texts.insert(Clean(a->text()));
  for (auto* v : window->findChildren<QAbstractItemView*>()) {
    if (!v->model()) continue;
    for (int c = 0; c < v->model()->columnCount(); ++c)
      texts.insert(Clean(v->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
  }
  texts.remove(QString());
  return texts;
}

QString ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// The page's own markup holds no other entities than these.
QString Unescape(QString text) {
  text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  text.replace(QStringLiteral("&#x27;"), QStringLiteral("'"));
  text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  return text;
}

// The captions a topic names: its bold texts.
QStringList InTopic(int id) {
  const QString page = ReadResource(QStringLiteral(":/help/topic_%1.html").arg(id));
  QStringList names;
  static const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"),
                                       QRegularExpression::DotMatchesEverythingOption);
  for (auto it = bold.globalMatch(page); it.hasNext();) {
    QString text = it.next().captured(1);
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    names << Unescape(text).trimmed();
  }
  return names;
}

// A window of the program with the windows it opens that have no topic of
// their own (the unit choice and the about box belong to the main window's).
using Windows = std::vector<std::unique_ptr<QWidget>>;

// A new file of the given units with book 1 of the given type, open in the grid.
std::unique_ptr<QWidget> Grid(fakes::Harness& h, tonnage::RowMenuState& rows, const char* units,
                              const char* type) {
  h.session.New();
  h.session.ChooseUnits(units);
  h.session.Book(1) = {"SURFACE COURSE", type, "2.6500"};
  h.session.currentBook = 1;
  return std::make_unique<gui::Dataform>(h.services.Entry(), rows, nullptr);
}

}  // namespace captions

// Every id a window of the program uses has its topic, and every topic
// belongs to a window; each window's topic names only captions that are on
// that window (or on a window it opens that has no topic of its own).
TEST(HelpTopics, EveryWindowHasItsTopicAndEveryCaptionItNamesIsOnTheWindow) {
  using captions::Windows;
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  tonnage::RowMenuState rows;
  h.session.New();
  h.session.ChooseUnits("E");

  std::map<int, Windows> windows;
  windows[gui::help_id::kMainForm].push_back(std::make_unique<gui::MainForm1>(h.services, h.quit));
  windows[gui::help_id::kMainForm].push_back(std::make_unique<gui::EngMet_Form>(h.session, h.messages, nullptr));
  windows[gui::help_id::kMainForm].push_back(std::make_unique<gui::AboutBox>(nullptr));
  windows[gui::help_id::kProcForm].push_back(std::make_unique<gui::ProcForm>(h.services, nullptr));
  windows[gui::help_id::kEnddataForm].push_back(std::make_unique<gui::EnddataForm>(h.services.Files(), nullptr));
  windows[gui::help_id::kEnddataForm].push_back(std::make_unique<gui::ReasonForm>(
      h.help, std::vector<tonnage::store::Change>{{"ticket removed", 1, 1, "001202", "", "", ""}}, "", nullptr));
  windows[gui::help_id::kHistoryForm].push_back(std::make_unique<gui::HistoryForm>(h.session, h.messages, h.files, h.printing, h.help, nullptr));
  windows[gui::help_id::kSectList].push_back(std::make_unique<gui::SectList>(h.services.Entry(), rows, nullptr));
  h.session.currentBook = 1;
  windows[gui::help_id::kBookForm].push_back(std::make_unique<gui::BookForm>(h.services.Entry(), rows, nullptr));
  windows[gui::help_id::kIndexform].push_back(std::make_unique<gui::Indexform>(h.session, h.messages, h.clock, h.help, nullptr));
  windows[gui::help_id::kViewForm].push_back(std::make_unique<gui::ViewForm>(h.services, nullptr));
  tonnage::daily::HeldYieldEntries yield;
  auto daily = std::make_unique<gui::DailyForm>(h.services.Files(), yield, nullptr);
  windows[gui::help_id::kYieldForm].push_back(std::make_unique<gui::YieldForm>(h.messages, h.help, yield, daily->summary(), nullptr));
  windows[gui::help_id::kDailyForm].push_back(std::move(daily));
  const std::string csv = (h.root / "loads.csv").string();
  tonnage::testing::WriteFile(csv, "Ticket,Date,Net (lb)\n1201,10/01/2026,40000\n");
  h.session.Book(2) = {"SURFACE COURSE", "0", "0"};
  const std::string layouts = (h.root / "layouts.txt").string();
  windows[gui::help_id::kImportForm].push_back(std::make_unique<gui::ImportForm>(h.session, h.messages, h.help, csv, layouts, nullptr));
  windows[gui::help_id::kReconcileForm].push_back(
      std::make_unique<gui::ReconcileForm>(h.session, h.messages, h.files, h.printing, h.help, csv, layouts, nullptr));
  // The grid's titles and unit line follow the book's type and the file's units.
  for (const auto& [units, type] : {std::pair{"E", "0"}, {"E", "1"}, {"E", "2"}, {"M", "0"}, {"M", "1"}})
    windows[gui::help_id::kDataform].push_back(captions::Grid(h, rows, units, type));

  // Each window carries the id it is listed under (or none, for the windows
  // that share their opener's topic), and the ids in use are those with topics.
  std::set<int> used{gui::help_id::kPrtbox, gui::help_id::kNTSetup};
  for (const auto& [id, list] : windows) {
    used.insert(id);
    for (const auto& w : list) {
      const auto* modal = qobject_cast<const gui::ModalWindow*>(w.get());
      if (modal && modal->helpId() != 0) {
        EXPECT_EQ(modal->helpId(), id) << w->objectName().toStdString();
      }
    }
  }
  EXPECT_EQ(TopicIds(), used) << "a window without a topic, or a topic without a window";

  for (const auto& [id, list] : windows) {
    QSet<QString> shown;
    for (const auto& w : list) shown.unite(captions::OnWindow(w.get()));
    const QStringList named = captions::InTopic(id);
    EXPECT_GE(named.size(), 3) << "topic " << id << " names almost none of its window's captions";
    for (const QString& caption : named) {
      EXPECT_TRUE(shown.contains(caption))
          << "topic " << id << " names \"" << caption.toStdString() << "\", which is not on "
          << list.front()->objectName().toStdString();
    }
  }
}

// The print dialog and printer setup come with the printing part of the
// program: their topics are checked as soon as the program can show them.
TEST(HelpTopics, ThePrintWindowsShowEveryCaptionTheirTopicsName) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  platform::QtPlatform services;
  if (!h.services.platform.printing) h.services.platform.printing = services.get().printing;
  h.session.New();
  h.session.ChooseUnits("E");
  ASSERT_TRUE(h.session.WriteWorkFile());
  ASSERT_TRUE(tonnage::report::RunTonnageReport(h.session.workFolder().path(),
                                                tonnage::report::MakeRunStamp(2006, 7, 14, 9, 30, 5)));

  QSet<QString> dialog, setup;
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* prtbox) {
        dialog = captions::OnWindow(prtbox);
        if (auto* button = prtbox->findChild<QPushButton*>(QStringLiteral("Cmd_Setup"))) button->click();
        if (auto* d = qobject_cast<QDialog*>(prtbox)) d->reject();
      })
      .Then([&](QWidget* ntsetup) {
        setup = captions::OnWindow(ntsetup);
        if (auto* d = qobject_cast<QDialog*>(ntsetup)) d->reject();
      });
  gui::ViewForm viewer(h.services, nullptr);
  viewer.Print();
  EXPECT_TRUE(driver.done()) << "the print dialog or printer setup did not open";
  for (const auto& [id, shown] : {std::pair{gui::help_id::kPrtbox, dialog}, {gui::help_id::kNTSetup, setup}}) {
    for (const QString& caption : captions::InTopic(id)) {
      EXPECT_TRUE(shown.contains(caption)) << "topic " << id << " names \"" << caption.toStdString()
                                           << "\", which is not on its window";
    }
  }
}

// Every link and picture of the built-in pages leads to a page or picture
// that is built in as well.
TEST(HelpTopics, LinksAndPicturesOfEveryPageAreBuiltIn) {
  const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
  ASSERT_TRUE(pages.contains(QStringLiteral("contents.html")));
  static const QRegularExpression target(QStringLiteral("(href|src)=\"([^\"#]*)(#[^\"]*)?\""));
  int pictures = 0;
  for (const QString& page : pages) {
    const QString text = captions::ReadResource(QStringLiteral(":/help/") + page);
    for (auto it = target.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      const QString file = m.captured(2).isEmpty() ? page : m.captured(2);
      EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + file))
          << page.toStdString() << " leads to " << m.captured(0).toStdString();
      if (m.captured(1) == QLatin1String("src")) ++pictures;
      const QString anchor = m.captured(3).mid(1);
      if (!anchor.isEmpty()) {
        const QString into = captions::ReadResource(QStringLiteral(":/help/") + file);
        EXPECT_TRUE(into.contains(QStringLiteral("<a name=\"%1\">").arg(anchor)))
            << page.toStdString() << " leads to the missing place " << m.captured(0).toStdString();
      }
    }
  }
  EXPECT_GT(pictures, 0) << "the help shows none of the guide's pictures";
}

}  // namespace
