// The report viewer: the spool in a read-only display, Help, Print and Exit,
// and a find bar (Ctrl+F).
#pragma once

#include "modal_window.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace gui {

class SpoolView;

class ViewForm : public ModalWindow {
  Q_OBJECT

 public:
  ViewForm(Context& context, QWidget* parent);

  SpoolView* display() const { return display_; }
  // Applies the size rule for the window's current outer size.
  void ApplyWindowSize();
  void Print();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void ShowFind();
  void FindNext(bool backward);
  void CloseFind();
  void GoToPage();

  SpoolView* display_ = nullptr;
  QWidget* findBar_ = nullptr;
  QLineEdit* findText_ = nullptr;
  QLabel* findState_ = nullptr;
};

}  // namespace gui
