#include "io/async_file_writer.h"

namespace tonnage::io {
namespace {

// Two blocks of this size are the writer's whole memory.
constexpr std::size_t kBlockSize = 1 << 18;

}  // namespace

AsyncFileWriter::AsyncFileWriter(std::string path, WriteMode mode) : file_(std::move(path), mode) {
  failed_ = file_.failed();
  filling_.reserve(kBlockSize);
  handed_.reserve(kBlockSize);
  thread_ = std::thread([this] { Run(); });
}

AsyncFileWriter::~AsyncFileWriter() { Finish(); }

void AsyncFileWriter::Run() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      handed_ready_.wait(lock, [this] { return busy_ || stop_; });
      if (!busy_) return;
    }
    // handed_ is this thread's alone while busy_ is set.
    file_.Write(handed_);
    failed_ = file_.failed();
    handed_.clear();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      busy_ = false;
    }
    // Woken outside the lock, so the caller does not wake only to wait
    // for the mutex: each wake-up costs dearly on a virtual machine.
    handed_written_.notify_one();
  }
}

void AsyncFileWriter::HandOn() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    handed_written_.wait(lock, [this] { return !busy_; });
    handed_.swap(filling_);
    busy_ = true;
  }
  handed_ready_.notify_one();
}

void AsyncFileWriter::Write(std::string_view bytes) {
  if (failed()) return;
  filling_.append(bytes);
  if (filling_.size() >= kBlockSize) HandOn();
}

void AsyncFileWriter::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void AsyncFileWriter::Finish() {
  if (finished_) return;
  finished_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  handed_ready_.notify_one();
  thread_.join();
}

Outcome AsyncFileWriter::Commit() {
  if (!failed() && !filling_.empty()) HandOn();
  Finish();
  return file_.Commit();
}

}  // namespace tonnage::io
