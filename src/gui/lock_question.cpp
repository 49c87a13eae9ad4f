#include "lock_question.h"

namespace gui {

QString HolderText(const tonnage::LockHolder& holder) {
  if (holder.pid <= 0) return QStringLiteral("a copy that cannot be told apart");
  QString text = QStringLiteral("process %1").arg(holder.pid);
  if (!holder.host.empty()) text += QStringLiteral(" on ") + Latin1(holder.host);
  return text;
}

bool MayUseFile(platform::Messages& messages, QWidget* parent, const std::string& path,
                const tonnage::LockAttempt& attempt, FileUse use) {
  switch (attempt.state) {
    case tonnage::LockState::Taken:
      return true;
    case tonnage::LockState::HeldElsewhere: {
      const QString consequence = use == FileUse::Open
                                      ? QStringLiteral(
                                            "Open it all the same? A save in either copy overwrites what the "
                                            "other saved.")
                                      : QStringLiteral(
                                            "Save over it all the same? The other copy's next save overwrites "
                                            "this one.");
      const platform::Message question{
          QStringLiteral("File In Use"),
          QStringLiteral("This file is open in another copy of the program\n\n%1\n\n(%2).\n\n%3")
              .arg(DisplayPath(path), HolderText(attempt.holder), consequence),
          {platform::Button::Yes, platform::Button::No},
          platform::Icon::Warning,
          platform::Button::No};
      return messages.Ask(parent, question) == platform::Button::Yes;
    }
    case tonnage::LockState::NotPossible:
      // Save As reports a folder it cannot write to by itself.
      if (use == FileUse::Open)
        platform::Tell(messages, parent, QStringLiteral("File Lock"),
                       QStringLiteral("Other copies of the program cannot be kept from this file:\n\n"
                                      "%1\n\nIt is opened all the same.")
                           .arg(DisplayPath(attempt.reason)),
                       platform::Icon::Information);
      return true;
  }
  return true;
}

}  // namespace gui
