// One private folder per fuzzing process for the files a target writes.
#pragma once

#include <cstdlib>
#include <string>

#include "data/work_folder.h"

namespace tonnage::fuzz {

inline const std::string& Scratch() {
  static const std::string path = [] {
    static WorkFolder folder;
    if (!folder.Create()) std::abort();
    std::atexit([] { folder.Cleanup(); });
    return folder.path();
  }();
  return path;
}

}  // namespace tonnage::fuzz
