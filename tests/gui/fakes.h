// Test doubles of the platform services, a driver that answers the modal
// windows a click opens (so no test waits on a real window), and what the
// tests do to a window as a user would: find a control by its object name,
// click it, type where the keyboard focus is.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "../core/print/recording_printer.h"
#include "../core/test_files.h"
#include "context.h"
#include "entry/row_menu.h"
#include "platform/platform.h"

// Failed checks show texts of the windows as text, not as code units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace fakes {

// The next of `queue`, or `otherwise` when it is empty.
template <typename T>
T Next(std::deque<T>& queue, T otherwise) {
  if (!queue.empty()) {
    otherwise = std::move(queue.front());
    queue.pop_front();
  }
  return otherwise;
}

// Answers each question with the next answer queued, or its default.
struct Messages final : platform::Messages {
  platform::Button Ask(QWidget*, const platform::Message& m) override {
    asked.push_back(m);
    return Next(answers, m.defaultButton);
  }
  // The text of the i-th question, or "<none>" when fewer were asked.
  QString Text(std::size_t i) const { return i < asked.size() ? asked[i].text : QStringLiteral("<none>"); }
  std::deque<platform::Button> answers;
  std::vector<platform::Message> asked;
};

// Answers each chooser with the next path queued, or as cancelled.
struct Files final : platform::FileChooser {
  std::optional<std::string> OpenExisting(QWidget*, const platform::FileRequest& r) override {
    openRequests.push_back(r);
    return Next(opens, {});
  }
  std::optional<std::string> SaveAs(QWidget*, const platform::FileRequest& r) override {
    saveRequests.push_back(r);
    return Next(saves, {});
  }
  std::deque<std::optional<std::string>> opens, saves;
  std::vector<platform::FileRequest> openRequests, saveRequests;
};

struct Help final : platform::Help {
  void ShowTopic(int id) override { calls.push_back("topic " + std::to_string(id)); }
  void ShowContents() override { calls.push_back("contents"); }
  void Quit() override { calls.push_back("quit"); }
  std::vector<std::string> calls;
};

struct Busy final : platform::BusyPointer {
  void Begin() override { ++begins; }
  void End() override { ++ends; }
  int depth() const { return begins - ends; }
  int begins = 0, ends = 0;
};

// A long job goes on until the program stops it (a PDF being saved when the program ends).
struct Progress final : platform::Progress {
  bool Step(QWidget*, const QString&, std::int64_t, std::int64_t) override { return !stopped; }
  void Finish() override {}
  void Stop() override { stopped = true; }
  bool stopped = false;
};

struct Clock final : platform::Clock {
  platform::LocalTime Now() const override { return {2006, 7, 14, 9, 30, 5}; }
};

struct Clipboard final : platform::Clipboard {
  QString Text() const override { return text; }
  void SetText(const QString& t) override { text = t; }
  void Clear() override { text.clear(); }
  QString text;
};

// What a printer given out is told goes on to a recording printer kept here.
struct Forward final : tonnage::print::LinePrinter {
  explicit Forward(LinePrinter& to) : to(to) {}
  void SetFont(const std::string& name, int points) override { to.SetFont(name, points); }
  void PrintLine(std::string_view line) override { to.PrintLine(line); }
  void NewPage() override { to.NewPage(); }
  tonnage::Outcome EndDocument() override { return to.EndDocument(); }
  void Abandon() override { to.Abandon(); }
  LinePrinter& to;
};

// Printing on made-up printers: the current printer's documents, the PDF
// files' and the previews' documents, each on a recording printer.
struct Printing final : platform::Printing {
  tonnage::print::PrinterSystem& printers() override { return system; }
  std::unique_ptr<tonnage::print::LinePrinter> PdfPrinter(const std::string& path) override {
    pdfPaths.push_back(path);
    return std::make_unique<Forward>(pdf);
  }
  void Preview(QWidget*, const std::function<void(tonnage::print::LinePrinter&)>& render) override { render(preview); }
  tonnage::testing::FakePrinterSystem system = tonnage::testing::OfficePrinters();
  tonnage::testing::RecordingPrinter pdf, preview;
  std::vector<std::string> pdfPaths;
};

// Answers each modal window as it appears, in order. A window with no step
// left is recorded as unexpected and rejected, so a wrong turn fails the test
// instead of hanging it.
class ModalDriver : public QObject {
 public:
  using Step = std::function<void(QWidget*)>;

  ModalDriver() {
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::Tick);
    timer_.start(5);
  }
  ModalDriver& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }

  std::vector<QString> seen;        // object names, in the order they appeared
  std::vector<QString> unexpected;  // windows no step was left for

 private:
  void Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || std::find(handled_.begin(), handled_.end(), modal) != handled_.end()) return;
    // Nor are the windows under it ever answered: between two questions the
    // timer may see the test's own window as the modal one.
    for (QWidget* w = modal; w; w = w->parentWidget()) handled_.emplace_back(w->window());
    seen.push_back(modal->objectName());
    if (steps_.empty()) {
      unexpected.push_back(modal->objectName());
      if (auto* d = qobject_cast<QDialog*>(modal)) d->done(QDialog::Rejected);
      return;
    }
    // Run the step outside this timer: it may open the next modal window.
    QTimer::singleShot(0, modal, [step = Next(steps_, Step()), target = QPointer<QWidget>(modal)] {
      if (target) step(target);
    });
  }

  QTimer timer_;
  std::deque<Step> steps_;
  std::vector<QPointer<QWidget>> handled_;
};

// One session in a fresh folder with doubles for every service. Windows are
// made through Make, so every test builds them the same way.
struct Harness {
  Harness() {
    for (const char* folder : {"docs", "tmp"}) std::filesystem::create_directories(root / folder);
    EXPECT_TRUE(session.Start((root / "docs").string(), (root / "tmp").string()).ok());
  }
  ~Harness() { session.Cleanup(); }
  std::string Work(const std::string& name) const { return session.workFolder().File(name); }
  // A copy of `sample` in the documents folder as `name`, not yet opened.
  std::string Copy(const std::string& sample, const std::string& name = "JOB.K81") const {
    std::filesystem::copy_file(tonnage::testing::SamplePath(sample), root / "docs" / name);
    return (root / "docs" / name).string();
  }
  // The window `W` given the services it takes from this harness; `args` are
  // what it takes besides (all of them for the windows given their services
  // one by one).
  template <typename W, typename... Args>
  std::unique_ptr<W> Make(Args&&... args) {
    if constexpr (std::is_constructible_v<W, const gui::Services&, std::function<void()>, QWidget*>)
      return std::make_unique<W>(services, quit, nullptr);
    else if constexpr (std::is_constructible_v<W, const gui::Services&, Args..., QWidget*>)
      return std::make_unique<W>(services, std::forward<Args>(args)..., nullptr);
    else if constexpr (std::is_constructible_v<W, const gui::EntryServices&, Args..., QWidget*>)
      return std::make_unique<W>(services.Entry(), std::forward<Args>(args)..., nullptr);
    else if constexpr (std::is_constructible_v<W, const gui::FileServices&, Args..., QWidget*>)
      return std::make_unique<W>(services.Files(), std::forward<Args>(args)..., nullptr);
    else if constexpr (std::is_constructible_v<W, const gui::PrintServices&, Args..., QWidget*>)
      return std::make_unique<W>(services.Print(), std::forward<Args>(args)..., nullptr);
    else
      return std::make_unique<W>(std::forward<Args>(args)..., nullptr);
  }

  tonnage::testing::ScratchFolder scratch;
  std::filesystem::path root{scratch.path()};
  tonnage::Session session;
  int quits = 0;
  Messages messages;
  Files files;
  Help help;
  Busy busy;
  Clock clock;
  Clipboard clipboard;
  Printing printing;
  Progress progress;
  tonnage::RowMenuState rowMenu;
  // The services every window is handed, as the program hands them on.
  gui::Services services{session, {&messages, &files, &help, &busy, &clock, &clipboard, &printing, &progress}, rowMenu};
  // The main window's end of the run: counted, the test goes on.
  std::function<void()> quit = [this] { ++quits; };
};

}  // namespace fakes

namespace steps {

using tonnage::testing::ReadFile;
inline const std::string kSample = tonnage::testing::SamplePath("us-standard-tickets.K81");

// The child `name` of `window`; a failure (and null) when there is none.
template <typename T>
T* Find(QWidget* window, const char* name) {
  T* child = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline void Click(QWidget* window, const char* name) {
  if (auto* button = Find<QPushButton>(window, name)) button->click();
}

inline QString Text(QWidget* window, const char* label) { return Find<QLabel>(window, label)->text(); }
inline bool Shown(QWidget* window, const char* name) { return !Find<QWidget>(window, name)->isHidden(); }
// The text of a cell of the table `name`, "<none>" for a cell never filled.
inline QString Cell(QWidget* window, const char* name, int row, int column) {
  QTableWidgetItem* item = Find<QTableWidget>(window, name)->item(row, column);
  return item ? item->text() : QStringLiteral("<none>");
}

// Keys go where the keyboard focus is; a window that leaves none fails the test.
inline QWidget* Focus() {
  QWidget* focus = QApplication::focusWidget();
  EXPECT_NE(focus, nullptr) << "no keyboard focus";
  return focus;
}
inline void Keys(const QString& text) {
  for (QChar c : text) QTest::keyClicks(Focus(), QString(c));
}
inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(Focus(), key, modifiers); }

// Cells typed one after the other, each ended with Tab.
inline void TypeCells(std::initializer_list<const char*> cells) {
  for (const char* cell : cells) {
    Keys(QString::fromLatin1(cell));
    Key(Qt::Key_Tab);
  }
}

// A window is made active before it is typed into.
inline void Activate(QWidget* w) {
  w->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(w));
}

}  // namespace steps
