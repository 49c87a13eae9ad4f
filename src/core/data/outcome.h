// What an operation tells its caller: success, or a message for the user with
// the title of its box and whether the operation cannot go on.
#pragma once

#include <string>
#include <utility>

namespace tonnage {

enum class OutcomeKind {
  Ok,
  InvalidFile,   // not a data file; the user may pick another
  TooManyBooks,  // a limit of the format; the program ends
  TooManyPages,
  BadLine,    // a line the reader cannot place
  IoError,    // the system refused a read or a write
  Cancelled,  // the user stopped it; nothing was written
};

struct [[nodiscard]] Outcome {
  OutcomeKind kind = OutcomeKind::Ok;
  std::string title;
  std::string message;
  bool critical = false;

  bool ok() const { return kind == OutcomeKind::Ok; }
  explicit operator bool() const { return ok(); }

  static Outcome Success() { return {}; }
  static Outcome Failure(OutcomeKind kind, std::string title, std::string message, bool critical = false) {
    return {kind, std::move(title), std::move(message), critical};
  }
  // A failed read or write, with the path and the system's reason in `message`.
  static Outcome Io(std::string message) { return {OutcomeKind::IoError, "File Error", std::move(message), false}; }
};

}  // namespace tonnage
