#include "screenshots.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "about_box.h"
#include "enddata_form.h"
#include "entry_screenshots.h"
#include "eng_met_form.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "main_form.h"
#include "print_screenshots.h"
#include "platform/qt_platform.h"
#include "proc_form.h"
#include "spool_view.h"
#include "view_form.h"

namespace gui {

bool SaveWindowPicture(QWidget* window, const QString& folder, const QString& name) {
  for (int i = 0; i < 5; ++i) {
    QEventLoop wait;
    QTimer::singleShot(20, &wait, &QEventLoop::quit);
    wait.exec();
  }
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  const bool ok = window->grab().save(path);
  std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
  return ok;
}

namespace {

bool Save(QWidget* window, const QString& folder, const QString& name) {
  return SaveWindowPicture(window, folder, name);
}

// Without the report in this build, the viewer is shown over the data file's
// own lines cut into pages, so its page rules can still be seen.
tonnage::Outcome StandInSpool(tonnage::Session& session) {
  tonnage::io::ReadResult work = tonnage::io::ReadWholeFile(session.workFolder().File("WORK.TMP"));
  if (!work.outcome) return work.outcome;
  std::string spool;
  int n = 0;
  for (const std::string& line : tonnage::io::SplitLines(work.bytes)) {
    if (n > 0 && n % 24 == 0) spool += "\f\r\n";
    spool += line + "\r\n";
    ++n;
  }
  return tonnage::io::WriteWholeFile(session.spoolPath, spool);
}

}  // namespace

int RunScreenshots(Context& context, MainForm1& main, platform::QtHelp& help,
                   const QString& folder, const std::string& sample) {
  if (!QDir().mkpath(folder)) return 1;
  tonnage::Session& session = context.session;
  bool ok = true;

  main.show();
  ok &= Save(&main, folder, QStringLiteral("main-window"));

  {
    EngMet_Form units(context, &main);
    units.show();
    ok &= Save(&units, folder, QStringLiteral("new-file-units"));
  }
  {
    AboutBox about(context, &main);
    about.show();
    ok &= Save(&about, folder, QStringLiteral("about"));
  }

  // The sample, copied into the work folder so that saving leaves it alone.
  std::string copy = session.workFolder().File("SAMPLE.K81");
  if (!sample.empty()) {
    tonnage::io::ReadResult bytes = tonnage::io::ReadWholeFile(sample);
    if (!bytes.outcome || !tonnage::io::WriteWholeFile(copy, bytes.bytes)) copy.clear();
  }
  if (copy.empty() || !session.Open(copy)) {
    session.New();
    session.ChooseUnits("E");
  }

  ProcForm process(context, &main);
  process.show();
  ok &= Save(&process, folder, QStringLiteral("process-options"));
  {
    EnddataForm save(context, &process);
    save.show();
    ok &= Save(&save, folder, QStringLiteral("save-data"));
    if (auto* button = save.findChild<QPushButton*>(QStringLiteral("Endsave")); button && !button->isHidden())
      button->click();
    ok &= Save(&save, folder, QStringLiteral("save-data-saved"));
  }
  {
    QMessageBox question(QMessageBox::Question, QStringLiteral("Save Data"),
                         QStringLiteral("Do You Want To Save The Data\n\n") +
                             DisplayPath(session.dataFilePath),
                         QMessageBox::Yes | QMessageBox::No, &process);
    question.setDefaultButton(QMessageBox::Yes);
    question.show();
    ok &= Save(&question, folder, QStringLiteral("save-question"));
  }

  tonnage::Outcome spool = session.WriteWorkFile();
  if (spool) {
    spool = context.hooks.runReport ? context.hooks.runReport(session, *context.platform.clock)
                                    : StandInSpool(session);
  }
  if (spool) {
    ViewForm viewer(context, &process);
    viewer.show();
    ok &= Save(&viewer, folder, QStringLiteral("view-report"));
    viewer.display()->setSelection(0, 0);
    if (auto* find = viewer.findChild<QLineEdit*>(QStringLiteral("FindText"))) {
      viewer.findChild<QWidget*>(QStringLiteral("FindBar"))->show();
      find->setText(QStringLiteral("09/29"));
      viewer.findChild<QPushButton*>(QStringLiteral("FindNext"))->click();
    }
    ok &= Save(&viewer, folder, QStringLiteral("view-report-find"));
    viewer.resize(1100, 700);
    ok &= Save(&viewer, folder, QStringLiteral("view-report-wide"));
    ok &= SavePrintScreenshots(context, &viewer, folder);
  } else {
    std::fprintf(stderr, "no report: %s\n", spool.message.c_str());
    ok = false;
  }

  // The data-entry windows.
  ok &= SaveEntryScreenshots(context, &process, folder);

  help.ShowTopic(help_id::kProcForm);
  if (QWidget* window = help.window()) ok &= Save(window, folder, QStringLiteral("help"));
  help.Quit();
  return ok ? 0 : 1;
}

}  // namespace gui
