#include "cups_printers.h"

#include <utility>

#include "io/file_writer.h"
#include "qt_line_printer.h"

namespace platform {

namespace {

constexpr const char* kJobTitle = "Tonnage Report";
constexpr const char* kJobFileName = "PRINTJOB.PDF";

tonnage::Outcome PrinterFailure(std::string message) {
  return tonnage::Outcome::Failure(tonnage::OutcomeKind::IoError, "Printer Error", std::move(message));
}

std::string Quoted(const std::string& printer) { return "\"" + printer + "\""; }

}  // namespace

// The current printer's documents: each one drawn into a PDF file and sent as
// one job when it ends.
class CupsJobPrinter final : public tonnage::print::LinePrinter {
 public:
  explicit CupsJobPrinter(CupsPrinterSystem& system) : system_(system), font_(ReportFont()) {}

  void SetFont(const std::string& name, int points) override {
    font_ = ReportFont(name, points);
    if (document_) document_->sheets().SetFont(font_);
  }
  void PrintLine(std::string_view line) override {
    if (SheetPainter* sheets = Sheets()) sheets->PrintLine(line);
  }
  void NewPage() override {
    if (SheetPainter* sheets = Sheets()) sheets->NewPage();
  }
  tonnage::Outcome EndDocument() override;
  // The job file is dropped unsent.
  void Abandon() override {
    open_ = false;
    if (!document_) return;
    const std::string path = document_->path();
    document_.reset();
    tonnage::io::RemoveQuietly(path);
  }

 private:
  // Starts the document at its first call; null when it cannot be drawn (no
  // printer, or no job file), which EndDocument then reports.
  SheetPainter* Sheets();

  CupsPrinterSystem& system_;
  QFont font_;
  bool open_ = false;
  CupsPrinterSystem::Job job_;
  std::string fileError_;
  std::unique_ptr<PdfDocument> document_;
};

SheetPainter* CupsJobPrinter::Sheets() {
  if (!open_) {
    open_ = true;
    // The printer's settings as they are when the document starts hold for
    // the whole document.
    job_ = system_.NextJob();
    fileError_.clear();
    if (!job_.queue.empty()) {
      const std::string file = system_.JobFile(fileError_);
      if (!file.empty()) document_ = std::make_unique<PdfDocument>(file, job_.sheet, false, font_);
    }
  }
  return document_ ? &document_->sheets() : nullptr;
}

tonnage::Outcome CupsJobPrinter::EndDocument() {
  if (!open_) {
    job_ = system_.NextJob();
    fileError_.clear();
  }
  open_ = false;
  std::unique_ptr<PdfDocument> document = std::move(document_);
  const std::string& printer = job_.queue;
  if (printer.empty()) return PrinterFailure(job_.noPrinter);
  const std::string cannotPrepare = "Cannot prepare the report for the printer " + Quoted(printer) + ": ";
  if (!fileError_.empty()) return PrinterFailure(cannotPrepare + fileError_);
  // A document without a line is no job: nothing comes out of the printer.
  if (!document || document->sheets().sheets() == 0) return tonnage::Outcome::Success();

  const std::string path = document->path();
  const tonnage::Outcome written = document->Finish();
  document.reset();
  if (!written) return PrinterFailure(cannotPrepare + written.message);

  tonnage::Outcome outcome = tonnage::Outcome::Success();
  // A stopped queue would take the job and hold it without a word: say so
  // instead, and send nothing.
  const cups::QueueStatus status = cups::ReadStatus(printer);
  if (!status.found) {
    outcome = PrinterFailure("The printer " + Quoted(printer) + " cannot be reached: " + status.message +
                             ". Nothing was printed.");
  } else if (status.stopped) {
    outcome = PrinterFailure("The printer " + Quoted(printer) + " is stopped" +
                             (status.message.empty() ? "" : " (" + status.message + ")") + ". Nothing was printed.");
  } else {
    const cups::JobResult job = cups::SubmitPdf(printer, path, kJobTitle, job_.options);
    if (job.jobId == 0)
      outcome = PrinterFailure("The printer " + Quoted(printer) + " refused the report: " + job.error);
  }
  tonnage::io::RemoveQuietly(path);
  return outcome;
}

// ---- the installed printers -------------------------------------------------

CupsPrinterSystem::CupsPrinterSystem(std::string jobFolder) : jobFolder_(std::move(jobFolder)) {}

CupsPrinterSystem::~CupsPrinterSystem() {
  printer_.reset();
  ownFolder_.Cleanup();
}

std::vector<std::string> CupsPrinterSystem::InstalledPrinters() {
  std::vector<std::string> names;
  for (const cups::QueueEntry& queue : cups::ListQueues().queues) names.push_back(queue.name);
  return names;
}

tonnage::print::PrinterState CupsPrinterSystem::Defaults(const cups::QueueEntry& queue) {
  tonnage::print::PrinterState state;
  state.deviceName = queue.name;
  state.port = queue.port;
  state.orientation = queue.orientation;
  if (const std::optional<QueueInfo> info = cups::ReadQueue(queue.name)) {
    if (info->defaultPaper >= 0)
      state.paperSize = info->papers[info->defaultPaper].number;
    else if (!info->papers.empty())
      state.paperSize = info->papers.front().number;
    if (info->defaultBin >= 0) state.paperBin = info->bins[info->defaultBin].number;
  }
  return state;
}

void CupsPrinterSystem::EnsureCurrent() {
  if (!current_.deviceName.empty()) return;
  // Until there is a printer, every look starts afresh: one may have been
  // added meanwhile.
  const cups::QueueList list = cups::ListQueues();
  listError_ = list.error;
  const cups::QueueEntry* first = nullptr;
  for (const cups::QueueEntry& queue : list.queues)
    if (queue.isDefault) {
      first = &queue;
      break;
    }
  if (!first && !list.queues.empty()) first = &list.queues.front();
  if (!first) return;
  current_ = Defaults(*first);
  Remember();
}

void CupsPrinterSystem::Remember() {
  if (!current_.deviceName.empty()) settings_[current_.deviceName] = current_;
}

tonnage::print::PrinterState CupsPrinterSystem::Current() {
  EnsureCurrent();
  return current_;
}

bool CupsPrinterSystem::MakeCurrent(const std::string& deviceName) {
  for (const cups::QueueEntry& queue : cups::ListQueues().queues) {
    if (queue.name != deviceName) continue;
    const auto known = settings_.find(deviceName);
    current_ = known != settings_.end() ? known->second : Defaults(queue);
    current_.port = queue.port;
    Remember();
    return true;
  }
  return false;
}

void CupsPrinterSystem::SetOrientation(int orientation) {
  EnsureCurrent();
  current_.orientation = orientation;
  Remember();
}

void CupsPrinterSystem::SetPaperSize(std::int16_t paper) {
  EnsureCurrent();
  current_.paperSize = paper;
  Remember();
}

void CupsPrinterSystem::SetPaperBin(std::int16_t bin) {
  EnsureCurrent();
  current_.paperBin = bin;
  Remember();
}

std::optional<tonnage::print::PrinterCapabilities> CupsPrinterSystem::Capabilities(const std::string& deviceName,
                                                                                   const std::string& /*port*/) {
  const std::optional<QueueInfo> queue = cups::ReadQueue(deviceName);
  if (!queue) return std::nullopt;
  return CapabilitiesOf(*queue);
}

tonnage::print::LinePrinter& CupsPrinterSystem::Printer() {
  if (!printer_) printer_ = std::make_unique<CupsJobPrinter>(*this);
  return *printer_;
}

CupsPrinterSystem::Job CupsPrinterSystem::NextJob() {
  EnsureCurrent();
  Job job;
  if (current_.deviceName.empty()) {
    job.sheet = SheetLayout(nullptr, current_.orientation);
    job.noPrinter = listError_.empty()
                        ? "No printer is installed. Add a printer in the system's printer settings, or save "
                          "the report with Print To File."
                        : "No printer can be used: the print service does not answer (" + listError_ +
                              "). Save the report with Print To File, or try again when the service runs.";
    return job;
  }
  job.queue = current_.deviceName;
  const std::optional<QueueInfo> queue = cups::ReadQueue(current_.deviceName);
  const QueuePaper* paper = nullptr;
  const QueueBin* bin = nullptr;
  if (queue) {
    paper = FindPaper(*queue, current_.paperSize);
    if (!paper && queue->defaultPaper >= 0) paper = &queue->papers[queue->defaultPaper];
    if (!paper && !queue->papers.empty()) paper = &queue->papers.front();
    bin = FindBin(*queue, current_.paperBin);
  }
  job.sheet = SheetLayout(paper, current_.orientation);
  if (paper) job.options.emplace_back("media", paper->keyword);
  if (bin) job.options.emplace_back(queue->fromPpd ? "InputSlot" : "media-source", bin->keyword);
  job.options.emplace_back("orientation-requested", current_.orientation == 2 ? "4" : "3");
  return job;
}

std::string CupsPrinterSystem::JobFile(std::string& error) {
  if (!jobFolder_.empty()) {
    std::string folder = jobFolder_;
    if (folder.back() != '/') folder += '/';
    return folder + kJobFileName;
  }
  if (!ownFolder_.valid()) {
    if (const tonnage::Outcome made = ownFolder_.Create(); !made) {
      error = made.message;
      return {};
    }
  }
  return ownFolder_.File(kJobFileName);
}

}  // namespace platform
