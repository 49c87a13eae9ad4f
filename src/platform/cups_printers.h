// The installed printers of the print service, and the current one, for the
// program's printing. The current printer starts as the service's default
// (or the first queue, or none); each printer keeps the orientation, paper and
// bin chosen for it until the program ends.
//
// A document is drawn into a PDF file in a private folder and sent as one job
// with the printer's paper (media), bin (InputSlot, or media-source for a
// queue without a driver description) and orientation (orientation-requested).
// Copies are separate documents: no job ever carries a copy count.
#pragma once

#include <QPageLayout>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cups_queues.h"
#include "data/work_folder.h"
#include "print/printer.h"

namespace platform {

class CupsJobPrinter;

class CupsPrinterSystem final : public tonnage::print::PrinterSystem {
 public:
  // Job files go into `jobFolder`; when empty, into a private folder made at
  // the first job and removed with this object.
  explicit CupsPrinterSystem(std::string jobFolder = {});
  ~CupsPrinterSystem() override;

  std::vector<std::string> InstalledPrinters() override;
  tonnage::print::PrinterState Current() override;
  bool MakeCurrent(const std::string& deviceName) override;
  void SetOrientation(int orientation) override;
  void SetPaperSize(std::int16_t paper) override;
  void SetPaperBin(std::int16_t bin) override;
  // The port plays no part: the queue's name finds it.
  std::optional<tonnage::print::PrinterCapabilities> Capabilities(const std::string& deviceName,
                                                                  const std::string& port) override;
  tonnage::print::LinePrinter& Printer() override;

  // What the next document on the current printer goes out with.
  struct Job {
    std::string queue;      // empty: no printer to print on
    std::string noPrinter;  // why, for the user, when there is none
    QPageLayout sheet;
    cups::JobOptions options;
  };
  Job NextJob();
  // The current printer's sheet: its paper (or the queue's default paper when
  // the current number is none of the queue's) turned to its orientation.
  QPageLayout CurrentSheet() { return NextJob().sheet; }

  // The file a job is drawn into; empty, with `error` set, when the folder
  // cannot be made.
  std::string JobFile(std::string& error);

 private:
  void EnsureCurrent();
  tonnage::print::PrinterState Defaults(const cups::QueueEntry& queue);
  void Remember();

  std::string jobFolder_;
  tonnage::WorkFolder ownFolder_;
  tonnage::print::PrinterState current_;  // device name empty: none
  std::string listError_;
  std::map<std::string, tonnage::print::PrinterState> settings_;
  std::unique_ptr<CupsJobPrinter> printer_;
};

}  // namespace platform
