// The platform services on Qt Widgets.
#pragma once

#include <QPointer>
#include <memory>

#include "platform.h"
#include "qt_printing.h"

class QProgressDialog;
class QTextBrowser;
class QWidget;

namespace platform {

class QtMessages final : public Messages {
 public:
  Button Ask(QWidget* parent, const Message& message) override;
};

class QtFileChooser final : public FileChooser {
 public:
  std::optional<std::string> OpenExisting(QWidget* parent, const FileRequest& request) override;
  std::optional<std::string> SaveAs(QWidget* parent, const FileRequest& request) override;
};

class HelpWindow;

// Help topics are HTML pages in the resources: `root` + "contents.html" and
// `root` + "topic_<id>.html". One help window at a time, kept above whichever
// modal window asked for it so it can be read and used there.
class QtHelp final : public Help {
 public:
  explicit QtHelp(QString root = QStringLiteral("qrc:/help/"));
  ~QtHelp() override;
  void ShowTopic(int contextId) override;
  void ShowContents() override;
  void Quit() override;

  // The window, when one is showing (for tests and screenshots).
  QWidget* window() const;

 private:
  void Show(const QString& page);

  QString root_;
  QPointer<HelpWindow> window_;
};

class QtBusyPointer final : public BusyPointer {
 public:
  void Begin() override;
  void End() override;
};

class QtProgress final : public Progress {
 public:
  QtProgress();
  ~QtProgress() override;
  bool Step(QWidget* parent, const QString& title, std::int64_t done, std::int64_t total) override;
  void Finish() override;
  void Stop() override { stopped_ = true; }

 private:
  std::unique_ptr<QProgressDialog> dialog_;
  bool stopped_ = false;
};

class QtClock final : public Clock {
 public:
  LocalTime Now() const override;
};

class QtClipboard final : public Clipboard {
 public:
  QString Text() const override;
  void SetText(const QString& text) override;
  void Clear() override;
};

// Owns one of each and hands them out as a Platform.
class QtPlatform {
 public:
  QtPlatform();
  Platform get();
  QtHelp& help() { return help_; }
  QtPrinting& printing() { return printing_; }

 private:
  QtMessages messages_;
  QtFileChooser files_;
  QtHelp help_;
  QtBusyPointer busy_;
  QtProgress progress_;
  QtClock clock_;
  QtClipboard clipboard_;
  QtPrinting printing_;
};

}  // namespace platform
