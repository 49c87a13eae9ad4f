#include "io/async_file_writer.h"

namespace tonnage::io {
namespace {

// Two blocks of this size are the writer's whole memory.
constexpr std::size_t kBlockSize = 1 << 17;

}  // namespace

AsyncFileWriter::AsyncFileWriter(std::string path, WriteMode mode) : file_(std::move(path), mode) {
  failed_ = file_.failed();
  filling_.reserve(kBlockSize);
  handed_.reserve(kBlockSize);
  thread_ = std::thread([this] { Run(); });
}

AsyncFileWriter::~AsyncFileWriter() { Finish(); }

void AsyncFileWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stop_; });
    if (!busy_) return;
    lock.unlock();
    file_.Write(handed_);
    failed_ = file_.failed();
    lock.lock();
    handed_.clear();
    busy_ = false;
    changed_.notify_all();
  }
}

void AsyncFileWriter::HandOn() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  handed_.swap(filling_);
  busy_ = true;
  changed_.notify_all();
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
  changed_.notify_all();
  thread_.join();
}

Outcome AsyncFileWriter::Commit() {
  if (!failed() && !filling_.empty()) HandOn();
  Finish();
  return file_.Commit();
}

}  // namespace tonnage::io
