// The print dialog: the report's pages, a range of them or the viewer's
// selection on the current printer in copies, or the whole report saved to a
// file; a preview and a PDF of the same pages; Setup for the printer.
#pragma once

#include <optional>
#include <string>

#include "modal_window.h"
#include "print/print_dialog.h"
#include "print/printer.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace gui {

inline constexpr const char* kReportFileFilter = "Saved Report (*.PRN)|*.PRN|Any File (*.*)|*.*";
inline constexpr const char* kPdfFileFilter = "PDF File (*.PDF)|*.PDF|Any File (*.*)|*.*";

class Prtbox : public ModalWindow {
  Q_OBJECT

 public:
  // `selTextReady`: the viewer wrote its selection to SelTextFilePath, so
  // the selected text can be printed.
  Prtbox(const PrintServices& services, bool selTextReady, QWidget* parent);

  const tonnage::print::PrintDialog& state() const { return state_; }

 private:
  tonnage::print::PrinterSystem& printers();
  void ShowPrinter();
  void ShowState();
  void TakeFields();
  void ChooseRange(int index);
  void TogglePrintToFile(bool ticked);
  void Print();
  void SaveToFile();
  void Setup();
  void Preview();
  void SaveAsPdf();
  bool RangeCanBePrinted();
  // The chooser for a report file named like the data file, with `extension`.
  std::optional<std::string> ChooseReportFile(const QString& title, const char* filter, const std::string& extension);
  void ShowWritten(const std::string& path);
  // The progress of a long job in the progress window, when there is one.
  tonnage::print::PageProgress JobProgress(const QString& title);
  // After a job: a stop is told in the window's status line, a failure in a
  // box headed `title` starting with `what`; true when the job got through.
  bool Told(const tonnage::Outcome& outcome, const QString& title, const QString& what);
  void Tell(const QString& title, const QString& text);

  PrintServices services_;
  tonnage::Session& session_;
  tonnage::print::PrintDialog state_;
  QLabel* printerLine_ = nullptr;
  QLabel* paperLine_ = nullptr;
  QLabel* binLine_ = nullptr;
  QGroupBox* rangeFrame_ = nullptr;
  QRadioButton* ranges_[3] = {};
  QFrame* pagesFrame_ = nullptr;
  QSpinBox* pageFrom_ = nullptr;
  QSpinBox* pageTo_ = nullptr;
  QLabel* copiesLabel_ = nullptr;
  QLineEdit* copies_ = nullptr;
  QCheckBox* toFile_ = nullptr;
  QPushButton* setup_ = nullptr;
  QPushButton* preview_ = nullptr;
  QPushButton* pdf_ = nullptr;
  QLabel* written_ = nullptr;
};

// The printers of the printing service, or none at all without one.
tonnage::print::PrinterSystem& PrintersOf(platform::Printing* printing);

}  // namespace gui
