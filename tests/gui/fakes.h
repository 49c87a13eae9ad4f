// Test doubles of the platform services, and a driver that answers the modal
// windows a click opens, so no test waits on a real window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../core/print/recording_printer.h"
#include "context.h"
#include "platform/platform.h"

namespace fakes {

class Messages final : public platform::Messages {
 public:
  platform::Button Ask(QWidget*, const platform::Message& message) override {
    asked.push_back(message);
    if (answers.empty()) return message.defaultButton;
    const platform::Button answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<platform::Button> answers;
  std::vector<platform::Message> asked;
};

class Files final : public platform::FileChooser {
 public:
  std::optional<std::string> OpenExisting(QWidget*, const platform::FileRequest& r) override {
    openRequests.push_back(r);
    return Next(opens);
  }
  std::optional<std::string> SaveAs(QWidget*, const platform::FileRequest& r) override {
    saveRequests.push_back(r);
    return Next(saves);
  }
  std::deque<std::optional<std::string>> opens, saves;
  std::vector<platform::FileRequest> openRequests, saveRequests;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

class Help final : public platform::Help {
 public:
  void ShowTopic(int id) override { calls.push_back("topic " + std::to_string(id)); }
  void ShowContents() override { calls.push_back("contents"); }
  void Quit() override { calls.push_back("quit"); }
  std::vector<std::string> calls;
};

class Busy final : public platform::BusyPointer {
 public:
  void Begin() override { ++depth, ++begins; }
  void End() override { --depth; }
  int depth = 0;
  int begins = 0;
};

class Clock final : public platform::Clock {
 public:
  platform::LocalTime Now() const override { return {2006, 7, 14, 9, 30, 5}; }
};

// Printing on made-up printers: the current printer's documents, the PDF
// files' and the previews' documents, each on a recording printer.
class Printing final : public platform::Printing {
 public:
  tonnage::print::PrinterSystem& printers() override { return system; }
  std::unique_ptr<tonnage::print::LinePrinter> PdfPrinter(const std::string& path) override {
    pdfPaths.push_back(path);
    return std::make_unique<Forward>(pdf);
  }
  void Preview(QWidget*, const std::function<void(tonnage::print::LinePrinter&)>& render) override {
    render(preview);
  }
  tonnage::testing::FakePrinterSystem system = tonnage::testing::OfficePrinters();
  tonnage::testing::RecordingPrinter pdf;
  tonnage::testing::RecordingPrinter preview;
  std::vector<std::string> pdfPaths;

 private:
  struct Forward final : tonnage::print::LinePrinter {
    explicit Forward(LinePrinter& to) : to(to) {}
    void SetFont(const std::string& name, int points) override { to.SetFont(name, points); }
    void PrintLine(std::string_view line) override { to.PrintLine(line); }
    void NewPage() override { to.NewPage(); }
    tonnage::Outcome EndDocument() override { return to.EndDocument(); }
    LinePrinter& to;
  };
};

// Answers each modal window as it appears, in order. A window with no step
// left is recorded as unexpected and rejected, so a wrong turn fails the test
// instead of hanging it.
class ModalDriver : public QObject {
 public:
  using Step = std::function<void(QWidget*)>;

  ModalDriver() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::Tick);
    timer_.start();
  }
  ModalDriver& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }

  std::vector<QString> seen;        // object names, in the order they appeared
  std::vector<QString> unexpected;  // windows no step was left for
  bool done() const { return steps_.empty(); }

 private:
  void Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    for (const QPointer<QWidget>& p : handled_)
      if (p == modal) return;
    handled_.emplace_back(modal);
    seen.push_back(modal->objectName());
    if (steps_.empty()) {
      unexpected.push_back(modal->objectName());
      if (auto* d = qobject_cast<QDialog*>(modal)) d->done(QDialog::Rejected);
      return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // Run the step outside this timer: it may open the next modal window.
    QPointer<QWidget> target(modal);
    QTimer::singleShot(0, modal, [step, target] {
      if (target) step(target);
    });
  }

  QTimer timer_;
  std::deque<Step> steps_;
  std::vector<QPointer<QWidget>> handled_;
};

// One session in a fresh folder with doubles for every service.
struct Harness {
  Harness() {
    root = std::filesystem::temp_directory_path() /
           ("tonnage-gui-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "docs");
    std::filesystem::create_directories(root / "tmp");
    started = session.Start((root / "docs").string(), (root / "tmp").string()).ok();
    context.hooks.quitProgram = [this] { ++quits; };
  }
  ~Harness() {
    session.Cleanup();
    std::filesystem::remove_all(root);
  }
  std::string Work(const std::string& name) const { return session.workFolder().File(name); }

  static inline int counter = 0;
  std::filesystem::path root;
  tonnage::Session session;
  bool started = false;
  int quits = 0;
  Messages messages;
  Files files;
  Help help;
  Busy busy;
  Clock clock;
  Printing printing;
  gui::Context context{session, {&messages, &files, &help, &busy, &clock, nullptr, &printing}, {}, false};
};

}  // namespace fakes
