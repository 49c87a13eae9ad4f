#include "icons.h"

#include <QPainter>
#include <QPainterPath>

namespace gui {

// The packaged icon (packaging/icons), drawn at any size by Qt's SVG plugin.
QIcon ProgramIcon() { return QIcon(QStringLiteral(":/icons/quarrendale-tonnage.svg")); }

QPixmap ProgramPixmap(int size) { return ProgramIcon().pixmap(size, size); }

QPixmap SavedMark(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2e, 0x9e, 0x4f));
  p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
  QPen tick(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(tick);
  QPainterPath path;
  path.moveTo(s * 0.28, s * 0.52);
  path.lineTo(s * 0.44, s * 0.68);
  path.lineTo(s * 0.73, s * 0.36);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  return pixmap;
}

}  // namespace gui
