#include "context.h"

#include <QFile>

#include "platform/messages.h"

namespace gui {

namespace {

struct ShownHome {
  std::string home;
  std::string shown;
};

ShownHome& Shown() {
  static ShownHome shown;
  return shown;
}

}  // namespace

std::string SelTextFilePath(const tonnage::Session& session) { return session.workFolder().File("SELTEXT.TXT"); }

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString DisplayPath(const std::string& path) {
  const ShownHome& alias = Shown();
  const std::size_t n = alias.home.size();
  if (n > 0 && path.compare(0, n, alias.home) == 0 && (path.size() == n || path[n] == '/'))
    return QFile::decodeName((alias.shown + path.substr(n)).c_str());
  return QFile::decodeName(path.c_str());
}

void TellIfStateNotKept(platform::Messages& messages, QWidget* parent, const tonnage::Outcome& kept) {
  if (kept) return;
  platform::Tell(messages, parent, Latin1(kept.title),
                 QStringLiteral("The recovery copy of the data could not be written:\n\n%1\n\n"
                                "Should the program end unexpectedly, the latest changes could not be brought back.")
                     .arg(DisplayPath(kept.message)),
                 platform::Icon::Warning);
}

void ShowFolderAs(const std::string& folder, const std::string& shown) { Shown() = {folder, shown}; }

}  // namespace gui
