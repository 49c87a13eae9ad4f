// Help ids reach the help service from every window and key; the real help
// window finds a built-in topic for each id.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <csignal>

#include "about_box.h"
#include "enddata_form.h"
#include "eng_met_form.h"
#include "fakes.h"
#include "main_form.h"
#include "platform/qt_platform.h"
#include "proc_form.h"
#include "signal_exit.h"
#include "view_form.h"

namespace {

TEST(HelpIds, EveryWindowSendsItsOwnTopicByMenuAndF1) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  h.session.New();
  gui::MainForm1 main(h.context);
  main.show();
  QApplication::setActiveWindow(&main);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  QTest::keyClick(&main, Qt::Key_F1);
  main.findChild<QPushButton*>("Cmd_Help")->click();
  EXPECT_EQ(h.help.calls, (std::vector<std::string>{"topic 10", "contents"}));

  auto check = [&](QWidget& window, int id) {
    h.help.calls.clear();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QAction* menu = window.findChild<QAction*>("Mnu_Help");
    ASSERT_NE(menu, nullptr) << window.objectName().toStdString();
    EXPECT_EQ(menu->text(), "Help");
    menu->trigger();
    QTest::keyClick(&window, Qt::Key_F1);
    const std::string topic = "topic " + std::to_string(id);
    EXPECT_EQ(h.help.calls, (std::vector<std::string>{topic, topic}))
        << window.objectName().toStdString();
    window.hide();
  };
  gui::ProcForm process(h.context, nullptr);
  check(process, 770);
  gui::EnddataForm save(h.context, nullptr);
  check(save, 1810);
  gui::ViewForm view(h.context, nullptr);
  check(view, 1850);

  // The unit choice and the about box have no topic: F1 there does nothing.
  h.help.calls.clear();
  gui::EngMet_Form units(h.context, nullptr);
  gui::AboutBox about(h.context, nullptr);
  for (QWidget* w : {static_cast<QWidget*>(&units), static_cast<QWidget*>(&about)}) {
    w->show();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F1);
    EXPECT_EQ(w->findChild<QAction*>("Mnu_Help"), nullptr);
  }
  EXPECT_TRUE(h.help.calls.empty());
}

TEST(HelpWindow, OpensTheTopicOfEachIdTheContentsAndClosesOnQuit) {
  platform::QtHelp help;
  for (int id : {10, 650, 660, 770, 780, 1810, 1820, 1830, 1850, 1870}) {
    const QString page = QStringLiteral(":/help/topic_%1.html").arg(id);
    ASSERT_TRUE(QFile::exists(page)) << id;
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

TEST(PlatformFilters, PipeListsBecomeQtNameFilters) {
  EXPECT_EQ(platform::QtNameFilters("Default (*.K81)|*.K81|Any File (*.*)|*.*"),
            "Default (*.K81 *.k81);;Any File (*)");
  EXPECT_EQ(platform::QtNameFilters("Saved Report (*.PRN)|*.PRN|Any File (*.*)|*.*"),
            "Saved Report (*.PRN *.prn);;Any File (*)");
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

}  // namespace
