// A FileWriter whose writes run on a thread of their own, so the caller goes
// on computing while the system copies the bytes. For the report's large
// files; the file itself is written, synced and put in place exactly as the
// FileWriter does (and fails the same way, fault hook included).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "io/file_writer.h"

namespace tonnage::io {

class AsyncFileWriter {
 public:
  explicit AsyncFileWriter(std::string path, WriteMode mode = WriteMode::Replace);
  ~AsyncFileWriter();  // without Commit, the target is left untouched
  AsyncFileWriter(const AsyncFileWriter&) = delete;
  AsyncFileWriter& operator=(const AsyncFileWriter&) = delete;

  void Write(std::string_view bytes);
  void WriteLine(std::string_view line);
  // Waits for the writes handed on, then commits as FileWriter::Commit does.
  Outcome Commit();

  bool failed() const { return failed_.load(std::memory_order_relaxed); }

 private:
  void HandOn();
  void Finish();
  void Run();

  FileWriter file_;
  std::string filling_;  // the caller's block
  std::string handed_;   // the block the thread writes
  bool busy_ = false;    // handed_ not yet written
  bool stop_ = false;
  bool finished_ = false;
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::condition_variable handed_ready_;    // a block for the thread, or stop_
  std::condition_variable handed_written_;  // busy_ cleared
  std::thread thread_;
};

}  // namespace tonnage::io
