#include "view_form.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "entry/report_ticket.h"
#include "io/file_writer.h"
#include "print/print_dialog.h"
#include "dataform.h"
#include "prtbox.h"
#include "spool_view.h"
#include "view_font.h"

namespace gui {

ViewForm::ViewForm(const Services& services, QWidget* parent)
    : ModalWindow(services.platform.help, help_id::kViewForm, parent), services_(services), session_(services.session) {
  setObjectName(QStringLiteral("ViewForm"));
  setWindowTitle(QStringLiteral("View Report"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(4);
  QMenuBar* bar = InstallMenuBar(layout);
  AddHelpMenu();
  QAction* print = bar->addAction(QStringLiteral("&Print"));
  print->setObjectName(QStringLiteral("Mnu_Print"));
  print->setParent(this);
  QAction* exit = bar->addAction(QStringLiteral("E&xit"));
  exit->setObjectName(QStringLiteral("Mnu_Exit"));
  exit->setParent(this);
  connect(print, &QAction::triggered, this, &ViewForm::Print);
  connect(exit, &QAction::triggered, this, &QDialog::accept);

  display_ = new SpoolView(this);
  display_->setObjectName(QStringLiteral("MhFileDisplay1"));
  layout->addWidget(display_, 1);

  findBar_ = new QWidget(this);
  findBar_->setObjectName(QStringLiteral("FindBar"));
  auto* findLayout = new QHBoxLayout(findBar_);
  findLayout->setContentsMargins(0, 0, 0, 0);
  auto* findLabel = new QLabel(QStringLiteral("Find:"), findBar_);
  findText_ = new QLineEdit(findBar_);
  findText_->setObjectName(QStringLiteral("FindText"));
  findLabel->setBuddy(findText_);
  auto* next = new QPushButton(QStringLiteral("&Next"), findBar_);
  next->setObjectName(QStringLiteral("FindNext"));
  auto* previous = new QPushButton(QStringLiteral("&Previous"), findBar_);
  previous->setObjectName(QStringLiteral("FindPrevious"));
  auto* close = new QPushButton(QStringLiteral("&Close"), findBar_);
  close->setObjectName(QStringLiteral("FindClose"));
  for (QPushButton* b : {next, previous, close}) b->setAutoDefault(false);
  findState_ = new QLabel(findBar_);
  findState_->setObjectName(QStringLiteral("FindState"));
  findLayout->addWidget(findLabel);
  findLayout->addWidget(findText_, 1);
  findLayout->addWidget(next);
  findLayout->addWidget(previous);
  findLayout->addWidget(findState_);
  findLayout->addWidget(close);
  layout->addWidget(findBar_);
  findBar_->hide();
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("ViewStatus"));
  status_->setText(
      QStringLiteral("Enter or a double-click on a ticket or error line opens its book's grid; "
                     "F5 runs the report again."));
  layout->addWidget(status_);

  auto* findKey = new QShortcut(QKeySequence::Find, this);
  connect(findKey, &QShortcut::activated, this, &ViewForm::ShowFind);
  // F3 and Shift+F3 only: some desktops also give Find Next Ctrl+G, which is
  // Go To Page here.
  auto* nextKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(nextKey, &QShortcut::activated, this, [this] { FindNext(false); });
  auto* previousKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(previousKey, &QShortcut::activated, this, [this] { FindNext(true); });
  connect(findText_, &QLineEdit::returnPressed, this, [this] { FindNext(false); });
  connect(next, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(close, &QPushButton::clicked, this, &ViewForm::CloseFind);
  // Escape in the find bar closes the bar, not the viewer.
  for (QWidget* w : std::initializer_list<QWidget*>{findText_, next, previous, close}) w->installEventFilter(this);
  auto* goToKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
  goToKey->setObjectName(QStringLiteral("GoToPageKey"));
  connect(goToKey, &QShortcut::activated, this, &ViewForm::GoToPage);

  connect(display_, &SpoolView::lineActivated, this, [this](std::size_t line) {
    // Enter after scrolling away from the caret would open a ticket out of sight.
    if (!display_->lineInView(line)) {
      status_->setText(QStringLiteral("Click a ticket or error line (or find one with Ctrl+F), then press Enter."));
      return;
    }
    OpenTicket(line);
  });
  auto* rerunKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
  rerunKey->setObjectName(QStringLiteral("RerunKey"));
  connect(rerunKey, &QShortcut::activated, this, &ViewForm::Rerun);

  // Wide enough for a report page at 10 points; the user may resize.
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  resize(std::min(800, area.width()), std::min(600, area.height() - 40));
  display_->setFocus();
}

void ViewForm::ApplyWindowSize() {
  // The rule works on the outer size, frame and menu bar included.
  const QRect outer = frameGeometry();
  const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
  const int displayTwips = PixelsToTwips(outer.width(), dpi) - kViewerWidthMargin;
  display_->setFontSize(FontSizeForDisplayWidth(displayTwips));
  display_->setFileName(session_.spoolPath);
}

void ViewForm::resizeEvent(QResizeEvent* event) {
  ModalWindow::resizeEvent(event);
  ApplyWindowSize();
}

void ViewForm::Print() {
  const std::string selFile = SelTextFilePath(session_);
  bool selTextReady = false;
  if (display_->selectionLength() > 10) {
    const tonnage::Outcome written = tonnage::print::WriteSelectedText(selFile, display_->selectedText());
    // Without the file the dialog offers no selected-text printing.
    selTextReady = written.ok();
  }
  {
    Prtbox box(services_.Print(), selTextReady, this);
    box.exec();
  }
  tonnage::io::RemoveQuietly(selFile);
  display_->setSelection(0, 0);
}

void ViewForm::Tell(const QString& text) {
  platform::Tell(*services_.platform.messages, this, QStringLiteral("View Report"), text, platform::Icon::Information);
}

void ViewForm::OpenTicket(std::size_t line) {
  const tonnage::report::SpoolTicket ticket = tonnage::report::LocateSpoolTicket(display_->lines(), line);
  if (!ticket.found()) {
    status_->setText(Latin1(ticket.error));
    return;
  }
  if (!rerun_) {
    Tell(QStringLiteral("This report was not made from the open data, so its tickets cannot be opened here."));
    return;
  }
  const tonnage::TicketRowPlace place = tonnage::FindTicketRow(session_, ticket);
  if (!place.found()) {
    Tell(Latin1(place.error));
    return;
  }
  status_->setText(QStringLiteral("Book %1, row %2").arg(place.book).arg(place.row));
  session_.currentBook = place.book;
  {
    Dataform grid(services_.Entry(), services_.rowMenu, this);
    grid.GoToCell(place.row, place.column);
    grid.exec();
  }
  const platform::Message again{QStringLiteral("View Report"),
                                QStringLiteral("Run the report again, to see the book as it is now?"),
                                {platform::Button::Yes, platform::Button::No},
                                platform::Icon::Question,
                                platform::Button::Yes};
  if (services_.platform.messages->Ask(this, again) == platform::Button::Yes) Rerun();
  display_->setFocus();
}

void ViewForm::Rerun() {
  if (!rerun_) {
    Tell(QStringLiteral("This report was not made from the open data, so it cannot be run again here."));
    return;
  }
  if (!rerun_(this)) return;  // the run told why
  display_->reload();
  status_->setText(QStringLiteral("The report was run again."));
  display_->setFocus();
}

bool ViewForm::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      findBar_->isVisible()) {
    CloseFind();
    return true;
  }
  return ModalWindow::eventFilter(object, event);
}

void ViewForm::CloseFind() {
  findBar_->hide();
  display_->setFocus();
}

void ViewForm::GoToPage() {
  QInputDialog ask(this);
  ask.setObjectName(QStringLiteral("GoToPage"));
  ask.setWindowTitle(QStringLiteral("Go To Page"));
  ask.setLabelText(QStringLiteral("Page (1 to %1):").arg(display_->pageCount()));
  ask.setInputMode(QInputDialog::IntInput);
  ask.setIntRange(1, static_cast<int>(display_->pageCount()));
  ask.setIntValue(static_cast<int>(display_->PageOfTop()));
  if (ask.exec() != QDialog::Accepted) return;
  display_->scrollToPage(static_cast<std::size_t>(ask.intValue()));
  display_->setFocus();
}

void ViewForm::ShowFind() {
  findBar_->show();
  findText_->setFocus();
  findText_->selectAll();
}

void ViewForm::FindNext(bool backward) {
  if (findText_->text().isEmpty()) return ShowFind();
  const bool found = display_->find(findText_->text(), backward);
  if (!found) return findState_->setText(QStringLiteral("Not found"));
  const auto [n, m] = display_->matchNumber(findText_->text());
  findState_->setText(QStringLiteral("match %1 of %2").arg(n).arg(m));
}

}  // namespace gui
