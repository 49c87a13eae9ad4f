#include "qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QShortcut>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <algorithm>
#include <QVBoxLayout>

namespace platform {

// ---- messages -------------------------------------------------------------

namespace {

QMessageBox::StandardButton ToQt(Button b) {
  switch (b) {
    case Button::Ok:
      return QMessageBox::Ok;
    case Button::Cancel:
      return QMessageBox::Cancel;
    case Button::Yes:
      return QMessageBox::Yes;
    case Button::No:
      return QMessageBox::No;
    case Button::Save:
      return QMessageBox::Save;
    case Button::Discard:
      return QMessageBox::Discard;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(Icon icon) {
  switch (icon) {
    case Icon::None:
      return QMessageBox::NoIcon;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::Warning:
      return QMessageBox::Warning;
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

bool Has(const std::vector<Button>& buttons, Button b) {
  for (Button x : buttons)
    if (x == b) return true;
  return false;
}

}  // namespace

Button QtMessages::Ask(QWidget* parent, const Message& message) {
  QMessageBox box(ToQt(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<Button> buttons = message.buttons;
  if (buttons.empty()) buttons.push_back(Button::Ok);
  for (Button b : buttons) {
    QPushButton* added = box.addButton(ToQt(b));
    // Says what it does, whatever the desktop's wording for Discard.
    if (b == Button::Discard) added->setText(QStringLiteral("Do&n't Save"));
  }
  box.setDefaultButton(ToQt(message.defaultButton));
  // The close box answers the way a cautious user would.
  Button escape = Has(buttons, Button::Cancel) ? Button::Cancel
                  : Has(buttons, Button::No)   ? Button::No
                                               : message.defaultButton;
  box.setEscapeButton(ToQt(escape));
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return escape;
  switch (box.standardButton(clicked)) {
    case QMessageBox::Ok:
      return Button::Ok;
    case QMessageBox::Cancel:
      return Button::Cancel;
    case QMessageBox::Yes:
      return Button::Yes;
    case QMessageBox::No:
      return Button::No;
    case QMessageBox::Save:
      return Button::Save;
    case QMessageBox::Discard:
      return Button::Discard;
    default:
      return escape;
  }
}

// ---- file choosers --------------------------------------------------------

QString QtNameFilters(const std::string& pipeFilter) {
  const QStringList parts = QString::fromLatin1(pipeFilter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QStringList patterns;
    for (const QString& raw : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      QString pattern = raw.trimmed();
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
      if (!patterns.contains(pattern)) patterns << pattern;
      for (const QString& other : {pattern.toUpper(), pattern.toLower()})
        if (!patterns.contains(other)) patterns << other;
    }
    // A description that already names its patterns in brackets keeps only its
    // words, so the dialog does not show the patterns twice.
    const qsizetype bracket = description.lastIndexOf(QLatin1Char('('));
    if (bracket > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(bracket).trimmed();
    filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {

std::optional<std::string> RunFileDialog(QWidget* parent, const FileRequest& request, bool save) {
  QFileDialog dialog(parent, request.title, QFile::decodeName(request.initialFolder.c_str()));
  dialog.setNameFilters(QtNameFilters(request.filter).split(QStringLiteral(";;")));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  // No default suffix: a name typed without an extension is used as typed.
  dialog.setDefaultSuffix(QString());
  if (!request.proposedName.empty()) dialog.selectFile(QFile::decodeName(request.proposedName.c_str()));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return std::string(QFile::encodeName(chosen.first()).constData());
}

}  // namespace

std::optional<std::string> QtFileChooser::OpenExisting(QWidget* parent, const FileRequest& request) {
  return RunFileDialog(parent, request, false);
}

std::optional<std::string> QtFileChooser::SaveAs(QWidget* parent, const FileRequest& request) {
  return RunFileDialog(parent, request, true);
}

// ---- help -----------------------------------------------------------------

class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quarrendale Tonnage Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    contents->setObjectName(QStringLiteral("HelpContents"));
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    connect(contents, &QPushButton::clicked, this, [this] { Open(contentsUrl_); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
    back->setEnabled(false);
    resize(640, 520);
  }

  void SetContentsUrl(const QUrl& url) { contentsUrl_ = url; }
  void Open(const QUrl& url) { browser_->setSource(url); }
  QUrl current() const { return browser_->source(); }

 private:
  QTextBrowser* browser_ = nullptr;
  QUrl contentsUrl_;
};

QtHelp::QtHelp(QString root) : root_(std::move(root)) {}

QtHelp::~QtHelp() { delete window_.data(); }

QWidget* QtHelp::window() const { return window_.data(); }

void QtHelp::ShowTopic(int contextId) {
  const QString page = QStringLiteral("topic_%1.html").arg(contextId);
  // An id without a topic of its own falls back to the contents.
  QString local = root_ + page;
  if (local.startsWith(QLatin1String("qrc:"))) local = local.mid(3);
  Show(QFile::exists(local) ? page : QStringLiteral("contents.html"));
}

void QtHelp::ShowContents() { Show(QStringLiteral("contents.html")); }

void QtHelp::Quit() {
  if (window_) window_->close();
}

namespace {

// Beside the window it explains (right, else left, else over it), the same
// top, wholly on its screen with its title bar, so it can be moved.
void PlaceBeside(QWidget* help, const QWidget* anchor) {
  QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // A window never shown has no frame yet: the anchor's is as good a guess.
  const QWidget* framed = anchor ? anchor : help;
  const QMargins frame(framed->geometry().left() - framed->frameGeometry().left(),
                       framed->geometry().top() - framed->frameGeometry().top(),
                       framed->frameGeometry().right() - framed->geometry().right(),
                       framed->frameGeometry().bottom() - framed->geometry().bottom());
  const QSize room = area.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  const QSize size = help->size().boundedTo(room);
  const QRect near = anchor ? anchor->frameGeometry() : QRect(area.center(), QSize(1, 1));
  const int outer = size.width() + frame.left() + frame.right();
  int left = near.right() + 1;                                      // beside, on the right
  if (left + outer > area.right() + 1) left = near.left() - outer;  // else on the left
  if (left < area.left()) left = near.left();                       // else over it
  left = std::clamp(left, area.left(), area.right() + 1 - outer);
  const int top = std::clamp(near.top(), area.top(), area.bottom() + 1 - size.height() - frame.top() - frame.bottom());
  help->setGeometry(left + frame.left(), top + frame.top(), size.width(), size.height());
}

}  // namespace

void QtHelp::Show(const QString& page) {
  // A window outside the modal window in front could not be used, so the help
  // window belongs to whichever window is modal now.
  QWidget* owner = QApplication::activeModalWidget();
  if (!window_) window_ = new HelpWindow;
  if (window_->parentWidget() != owner) window_->setParent(owner, Qt::Window);
  if (!window_->isVisible()) PlaceBeside(window_, owner ? owner : QApplication::activeWindow());
  window_->SetContentsUrl(QUrl(root_ + QStringLiteral("contents.html")));
  window_->Open(QUrl(root_ + page));
  window_->show();
  window_->raise();
  window_->activateWindow();
}

// ---- pointer and clock ----------------------------------------------------

void QtBusyPointer::Begin() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtBusyPointer::End() { QApplication::restoreOverrideCursor(); }

QtProgress::QtProgress() = default;
QtProgress::~QtProgress() = default;

bool QtProgress::Step(QWidget* parent, const QString& title, std::int64_t done, std::int64_t total) {
  if (!dialog_) {
    dialog_ = std::make_unique<QProgressDialog>(parent);
    dialog_->setObjectName(QStringLiteral("ProgressBox"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setCancelButtonText(QStringLiteral("&Stop"));
    // A short job finishes before the window would be worth seeing.
    dialog_->setMinimumDuration(400);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
  }
  dialog_->setWindowTitle(title);
  dialog_->setLabelText(QStringLiteral("Page %1 of %2").arg(done).arg(total));
  dialog_->setMaximum(static_cast<int>(std::clamp<std::int64_t>(total, 1, 1 << 30)));
  // A window-modal dialog handles the pending events here: the program stays
  // painted and the Stop button is heard.
  dialog_->setValue(static_cast<int>(std::clamp<std::int64_t>(done, 0, 1 << 30)));
  return !dialog_->wasCanceled() && !stopped_;
}

void QtProgress::Finish() { dialog_.reset(); }

LocalTime QtClock::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

QString QtClipboard::Text() const { return QGuiApplication::clipboard()->text(); }
void QtClipboard::SetText(const QString& text) { QGuiApplication::clipboard()->setText(text); }
void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

QtPlatform::QtPlatform() = default;

Platform QtPlatform::get() {
  return Platform{&messages_, &files_, &help_, &busy_, &clock_, &clipboard_, &printing_, &progress_};
}

}  // namespace platform
