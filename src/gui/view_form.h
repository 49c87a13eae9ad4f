// The report viewer: the spool in a read-only display, Help, Print and Exit,
// a find bar (Ctrl+F), and the way back from a ticket or error line to the
// ticket's row in its book's grid (Enter or a double-click; F5 runs the
// report again).
#pragma once

#include <cstddef>
#include <functional>

#include "modal_window.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace gui {

class SpoolView;

class ViewForm : public ModalWindow {
  Q_OBJECT

 public:
  // `services` are handed on to the print dialog and to the grid a ticket
  // opens in.
  ViewForm(const Services& services, QWidget* parent);

  SpoolView* display() const { return display_; }
  // Applies the size rule for the window's current outer size.
  void ApplyWindowSize();
  void Print();
  // How the report is run again (F5, or after a ticket was edited); true
  // when the spool was written anew. Without it the viewer shows a report
  // it cannot make again, and its tickets are not opened.
  void SetRerun(std::function<bool(QWidget* parent)> rerun) { rerun_ = std::move(rerun); }
  void Rerun();
  // The grid of the ticket of spool line `line` (from 0).
  void OpenTicket(std::size_t line);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void ShowFind();
  void FindNext(bool backward);
  void CloseFind();
  void GoToPage();

  void Tell(const QString& text);

  const Services& services_;
  tonnage::Session& session_;
  std::function<bool(QWidget*)> rerun_;
  SpoolView* display_ = nullptr;
  QLabel* status_ = nullptr;
  QWidget* findBar_ = nullptr;
  QLineEdit* findText_ = nullptr;
  QLabel* findState_ = nullptr;
};

}  // namespace gui
