// The print service's queues, read and used through libcups. The server is
// the user's usual one, or the one named by CUPS_SERVER.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "print_queue.h"

namespace platform::cups {

struct QueueEntry {
  std::string name;
  bool isDefault = false;
  // The queue's device URI; its location when the URI is not given out.
  std::string port;
  int orientation = 1;  // the user's default for the queue: 1 portrait, 2 landscape
};

struct QueueList {
  std::vector<QueueEntry> queues;  // in the service's order
  std::string error;               // why the service could not be asked, if it could not
};

QueueList ListQueues();

// The queue's papers and bins, numbered; nothing when the queue cannot be
// reached or reports neither.
std::optional<QueueInfo> ReadQueue(const std::string& name);

struct QueueStatus {
  bool found = false;
  bool stopped = false;
  std::string message;  // the queue's state message, or why it was not found
};

QueueStatus ReadStatus(const std::string& name);

using JobOptions = std::vector<std::pair<std::string, std::string>>;

struct JobResult {
  int jobId = 0;
  std::string error;  // the service's reason when jobId is 0
};

// Sends the PDF file `path` to the queue as one job.
JobResult SubmitPdf(const std::string& queue, const std::string& path, const std::string& title,
                    const JobOptions& options);

}  // namespace platform::cups
