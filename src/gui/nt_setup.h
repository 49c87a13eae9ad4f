// Printer setup: the installed printers, and the chosen one's paper sizes,
// bins and orientation. Choosing a printer makes it current at once; OK
// applies paper, bin and orientation; Cancel gives back the printer of the
// opening with its settings.
#pragma once

#include "modal_window.h"
#include "print/printer_setup.h"

class QComboBox;
class QRadioButton;

namespace gui {

class NTSetup : public ModalWindow {
  Q_OBJECT

 public:
  NTSetup(platform::BusyPointer& busy, tonnage::print::PrinterSystem& printers, platform::Help& help, QWidget* parent);

  // Cancel, Escape and closing the window all restore the opening printer.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowSetup();
  void ChoosePrinter(const QString& name);
  void Ok();

  platform::BusyPointer& busy_;
  tonnage::print::PrinterSetup setup_;
  QComboBox* printers_ = nullptr;
  QComboBox* papers_ = nullptr;
  QComboBox* bins_ = nullptr;
  QRadioButton* portrait_ = nullptr;
  QRadioButton* landscape_ = nullptr;
  bool placed_ = false;
};

}  // namespace gui
