#include "cups_queues.h"

#include <cups/cups.h>
#include <unistd.h>

#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <cstring>
#include <memory>

// The driver description (PPD) is the only place that names a queue's papers
// and slots for people; libcups marks its reader deprecated but still ships it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace platform::cups {

namespace {

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;

// The service speaks UTF-8; the program's text is single-byte.
std::string Latin1(const char* utf8) {
  if (!utf8) return {};
  return QString::fromUtf8(utf8).toLatin1().toStdString();
}

std::string Option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? value : "";
}

int StandardPaperNumber(double width, double length) {
  const QPageSize::PageSizeId id = QPageSize::id(QSizeF(width, length), QPageSize::Point, QPageSize::FuzzyMatch);
  return id == QPageSize::Custom ? 0 : QPageSize::windowsId(id);
}

void Number(QueueInfo& queue) {
  std::vector<int> standard;
  for (const QueuePaper& paper : queue.papers) standard.push_back(StandardPaperNumber(paper.width, paper.length));
  const std::vector<std::int16_t> paperNumbers = NumberPapers(standard);
  for (std::size_t i = 0; i < queue.papers.size(); ++i) queue.papers[i].number = paperNumbers[i];

  std::vector<std::string> keywords;
  for (const QueueBin& bin : queue.bins) keywords.push_back(bin.keyword);
  const std::vector<std::int16_t> binNumbers = NumberBins(keywords);
  for (std::size_t i = 0; i < queue.bins.size(); ++i) queue.bins[i].number = binNumbers[i];
}

struct DestDeleter {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;

DestPtr NamedDest(const std::string& name) {
  // No name would mean the service's default queue: that is no queue here.
  if (name.empty()) return nullptr;
  return DestPtr(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr));
}

// From the queue's driver description, when it has one.
std::optional<QueueInfo> ReadPpd(const std::string& name) {
  const char* file = cupsGetPPD2(CUPS_HTTP_DEFAULT, name.c_str());
  if (!file) return std::nullopt;
  const std::string path = file;  // a temporary copy that is ours to remove
  ppd_file_t* ppd = ppdOpenFile(path.c_str());
  ::unlink(path.c_str());
  if (!ppd) return std::nullopt;

  QueueInfo queue;
  queue.fromPpd = true;
  if (ppd_option_t* sizes = ppdFindOption(ppd, "PageSize")) {
    for (int i = 0; i < sizes->num_choices; ++i) {
      const ppd_choice_t& choice = sizes->choices[i];
      if (std::strncmp(choice.choice, "Custom", 6) == 0) continue;  // no fixed size
      const ppd_size_t* size = ppdPageSize(ppd, choice.choice);
      if (!size || size->width <= 0 || size->length <= 0) continue;
      QueuePaper paper;
      paper.keyword = choice.choice;
      paper.name = Latin1(choice.text[0] ? choice.text : choice.choice);
      paper.width = size->width;
      paper.length = size->length;
      paper.margins = {size->left, size->length - size->top, size->width - size->right, size->bottom};
      if (std::strcmp(choice.choice, sizes->defchoice) == 0) queue.defaultPaper = static_cast<int>(queue.papers.size());
      queue.papers.push_back(std::move(paper));
    }
  }
  if (ppd_option_t* inputSlots = ppdFindOption(ppd, "InputSlot")) {
    for (int i = 0; i < inputSlots->num_choices; ++i) {
      const ppd_choice_t& choice = inputSlots->choices[i];
      if (std::strcmp(choice.choice, inputSlots->defchoice) == 0)
        queue.defaultBin = static_cast<int>(queue.bins.size());
      queue.bins.push_back({choice.choice, Latin1(choice.text[0] ? choice.text : choice.choice), 0});
    }
  }
  ppdClose(ppd);
  return queue;
}

// From what the printer itself reports, for queues without a description.
std::optional<QueueInfo> ReadIpp(cups_dest_t* dest) {
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (!info) return std::nullopt;
  QueueInfo queue;
  cups_size_t fallback{};
  const bool hasDefault = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &fallback);
  const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
  for (int i = 0; i < count; ++i) {
    cups_size_t size{};
    if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size)) continue;
    if (size.width <= 0 || size.length <= 0) continue;
    const char* shown = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size);
    QueuePaper paper;
    paper.keyword = size.media;
    paper.name = Latin1(shown ? shown : size.media);
    paper.width = size.width * kPointsPerHundredthMm;
    paper.length = size.length * kPointsPerHundredthMm;
    paper.margins = {size.left * kPointsPerHundredthMm, size.top * kPointsPerHundredthMm,
                     size.right * kPointsPerHundredthMm, size.bottom * kPointsPerHundredthMm};
    if (hasDefault && std::strcmp(size.media, fallback.media) == 0)
      queue.defaultPaper = static_cast<int>(queue.papers.size());
    queue.papers.push_back(std::move(paper));
  }
  ipp_attribute_t* defaultSource = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-source");
  const char* defaultKeyword = defaultSource ? ippGetString(defaultSource, 0, nullptr) : nullptr;
  if (ipp_attribute_t* sources = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source")) {
    for (int i = 0; i < ippGetCount(sources); ++i) {
      const char* keyword = ippGetString(sources, i, nullptr);
      if (!keyword) continue;
      const char* shown = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, "media-source", keyword);
      if (defaultKeyword && std::strcmp(keyword, defaultKeyword) == 0)
        queue.defaultBin = static_cast<int>(queue.bins.size());
      queue.bins.push_back({keyword, Latin1(shown ? shown : keyword), 0});
    }
  }
  cupsFreeDestInfo(info);
  if (queue.papers.empty() && queue.bins.empty()) return std::nullopt;
  return queue;
}

const char* Text(ipp_t* response, const char* name) {
  ipp_attribute_t* attr = ippFindAttribute(response, name, IPP_TAG_ZERO);
  return attr ? ippGetString(attr, 0, nullptr) : nullptr;
}

}  // namespace

QueueList ListQueues() {
  QueueList list;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  // "Not found" is a service without queues; server errors mean no service.
  if (count == 0 && cupsLastError() >= IPP_STATUS_ERROR_INTERNAL) list.error = Latin1(cupsLastErrorString());
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& dest = dests[i];
    // A saved set of options of a queue (an instance) is not a printer of its own.
    if (dest.instance) {
      if (dest.is_default)
        for (QueueEntry& entry : list.queues)
          if (entry.name == dest.name) entry.isDefault = true;
      continue;
    }
    QueueEntry entry;
    entry.name = Latin1(dest.name);
    entry.isDefault = dest.is_default != 0;
    std::string port = Option(dest, "device-uri");
    if (port.empty()) port = Option(dest, "printer-location");
    entry.port = Latin1(WithoutCredentials(port).c_str());
    const std::string orientation = Option(dest, "orientation-requested");
    const bool landscape = orientation == "4" || orientation == "5" ||
                           cupsGetOption("landscape", dest.num_options, dest.options) != nullptr;
    entry.orientation = landscape ? 2 : 1;
    list.queues.push_back(std::move(entry));
  }
  cupsFreeDests(count, dests);
  return list;
}

std::optional<QueueInfo> ReadQueue(const std::string& name) {
  DestPtr dest = NamedDest(name);
  if (!dest) return std::nullopt;
  std::optional<QueueInfo> queue = ReadPpd(name);
  if (!queue || (queue->papers.empty() && queue->bins.empty())) queue = ReadIpp(dest.get());
  if (queue) Number(*queue);
  return queue;
}

QueueStatus ReadStatus(const std::string& name) {
  QueueStatus status;
  DestPtr dest = NamedDest(name);
  if (!dest) {
    status.message = cupsLastErrorString();
    return status;
  }
  status.found = true;
  const std::string uri = Option(*dest, "printer-uri-supported");
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
  static const char* const kWanted[] = {"printer-state", "printer-state-message", "printer-state-reasons"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, kWanted);
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  if (!response) {
    // The list said what it knows; go by that.
    status.stopped = Option(*dest, "printer-state") == std::to_string(IPP_PSTATE_STOPPED);
    status.message = Option(*dest, "printer-state-reasons");
    return status;
  }
  ipp_attribute_t* state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
  status.stopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
  const char* message = Text(response, "printer-state-message");
  if (!message || !*message) message = Text(response, "printer-state-reasons");
  status.message = Latin1(message);
  ippDelete(response);
  return status;
}

JobResult SubmitPdf(const std::string& queue, const std::string& path, const std::string& title,
                    const JobOptions& options) {
  cups_option_t* list = nullptr;
  int count = 0;
  for (const auto& [name, value] : options) count = cupsAddOption(name.c_str(), value.c_str(), count, &list);
  JobResult result;
  result.jobId = cupsPrintFile(queue.c_str(), path.c_str(), title.c_str(), count, list);
  if (result.jobId == 0) result.error = Latin1(cupsLastErrorString());
  cupsFreeOptions(count, list);
  return result;
}

}  // namespace platform::cups

#pragma GCC diagnostic pop
