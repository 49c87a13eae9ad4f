#include "icons.h"

#include <QPainter>
#include <QPainterPath>

namespace gui {

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // Sky-blue tile.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2f, 0x6f, 0xa8));
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
  // The road: a dark band with a yellow centre line.
  QPainterPath road;
  road.moveTo(s * 0.0, s * 1.0);
  road.lineTo(s * 0.38, s * 0.62);
  road.lineTo(s * 0.62, s * 0.62);
  road.lineTo(s * 1.0, s * 1.0);
  road.closeSubpath();
  p.save();
  p.setClipPath([&] {
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
    return clip;
  }());
  p.setBrush(QColor(0x33, 0x33, 0x36));
  p.drawPath(road);
  p.setBrush(QColor(0xf2, 0xc2, 0x1b));
  for (int i = 0; i < 3; ++i) {
    const qreal y = s * (0.66 + 0.11 * i);
    const qreal w = s * (0.02 + 0.012 * i);
    p.drawRect(QRectF(s * 0.5 - w, y, 2 * w, s * 0.06));
  }
  p.restore();
  // A pile of asphalt on the road.
  QPainterPath pile;
  pile.moveTo(s * 0.18, s * 0.60);
  pile.cubicTo(s * 0.30, s * 0.22, s * 0.70, s * 0.22, s * 0.82, s * 0.60);
  pile.closeSubpath();
  p.setBrush(QColor(0x1c, 0x1c, 0x1e));
  p.drawPath(pile);
  p.setBrush(QColor(0x55, 0x55, 0x5a));
  for (const QPointF& c : {QPointF(0.40, 0.46), QPointF(0.55, 0.40), QPointF(0.62, 0.52),
                           QPointF(0.33, 0.55), QPointF(0.48, 0.54)})
    p.drawEllipse(QPointF(c.x() * s, c.y() * s), s * 0.025, s * 0.025);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(ProgramPixmap(size));
  return icon;
}

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
