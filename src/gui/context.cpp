#include "context.h"

#include <QFile>

namespace gui {

std::string SelTextFilePath(const tonnage::Session& session) {
  return session.workFolder().File("SELTEXT.TXT");
}

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString DisplayPath(const std::string& path) { return QFile::decodeName(path.c_str()); }

}  // namespace gui
