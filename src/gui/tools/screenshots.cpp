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
#include <utility>

#include "about_box.h"
#include "enddata_form.h"
#include "entry_screenshots.h"
#include "eng_met_form.h"
#include "main_form.h"
#include "print_screenshots.h"
#include "platform/qt_platform.h"
#include "proc_form.h"
#include "report/run_tonnage_report.h"
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

// The pictures show one moment of a working day, the same at every run.
class ScreenshotClock final : public platform::Clock {
 public:
  platform::LocalTime Now() const override { return {2026, 10, 6, 16, 35, 12}; }
};

// The run's own home folder shows as /home/<its name>, as a user's would.
void ShowHomeAsAUsers() {
  std::string home(QFile::encodeName(QDir::homePath()).constData());
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  ShowFolderAs(home, "/home/" + std::string(QFile::encodeName(QDir(QDir::homePath()).dirName()).constData()));
}

// For the length of the run: that clock, and the home folder shown as a
// user's (/home/<its name>) instead of where the run made it.
class ScreenshotSetting {
 public:
  explicit ScreenshotSetting(Services& services)
      : services_(services), clock_(std::exchange(services.platform.clock, &fixed_)) {
    ShowHomeAsAUsers();
  }
  ~ScreenshotSetting() {
    services_.platform.clock = clock_;
    ShowFolderAs({}, {});
  }
  ScreenshotSetting(const ScreenshotSetting&) = delete;
  ScreenshotSetting& operator=(const ScreenshotSetting&) = delete;

 private:
  Services& services_;
  ScreenshotClock fixed_;
  platform::Clock* clock_;
};

}  // namespace

int RunScreenshots(Services& services, MainForm1& main, platform::QtHelp& help, const QString& folder,
                   const std::string& sample) {
  if (!QDir().mkpath(folder)) return 1;
  tonnage::Session& session = services.session;
  const ScreenshotSetting setting(services);
  bool ok = true;

  main.show();
  ok &= Save(&main, folder, QStringLiteral("main-window"));

  {
    EngMet_Form units(session, *services.platform.messages, &main);
    units.show();
    ok &= Save(&units, folder, QStringLiteral("new-file-units"));
  }
  {
    AboutBox about(&main);
    about.show();
    ok &= Save(&about, folder, QStringLiteral("about"));
  }

  // The data file is opened and saved where it is, as a user's would be:
  // the screenshot script hands over a copy in a home folder of its own.
  if (sample.empty() || !session.Open(sample)) {
    session.New();
    session.ChooseUnits("E");
  }

  ProcForm process(services, &main);
  process.show();
  ok &= Save(&process, folder, QStringLiteral("process-options"));
  {
    EnddataForm save(services.Files(), &process);
    save.show();
    ok &= Save(&save, folder, QStringLiteral("save-data"));
    if (auto* button = save.findChild<QPushButton*>(QStringLiteral("Endsave")); button && !button->isHidden())
      button->click();
    ok &= Save(&save, folder, QStringLiteral("save-data-saved"));
  }
  {
    QMessageBox question(QMessageBox::Question, QStringLiteral("Save Data"),
                         QStringLiteral("Do You Want To Save The Data\n\n") + DisplayPath(session.dataFilePath),
                         QMessageBox::Yes | QMessageBox::No, &process);
    question.setDefaultButton(QMessageBox::Yes);
    question.show();
    ok &= Save(&question, folder, QStringLiteral("save-question"));
  }

  tonnage::Outcome spool = session.WriteWorkFile();
  if (spool) {
    const platform::LocalTime now = services.platform.clock->Now();
    spool = tonnage::report::RunTonnageReport(
        session.workFolder().path(),
        tonnage::report::MakeRunStamp(now.year, now.month, now.day, now.hour, now.minute, now.second));
  }
  if (spool) {
    ViewForm viewer(services, &process);
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
    ok &= SavePrintScreenshots(services.Print(), &viewer, folder);
  } else {
    std::fprintf(stderr, "no report: %s\n", spool.message.c_str());
    ok = false;
  }

  // The data-entry windows.
  ok &= SaveEntryScreenshots(services.Entry(), *services.platform.clock, &process, folder);

  help.ShowTopic(help_id::kProcForm);
  if (QWidget* window = help.window()) ok &= Save(window, folder, QStringLiteral("help"));
  help.Quit();
  return ok ? 0 : 1;
}

}  // namespace gui
