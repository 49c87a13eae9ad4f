#include "daily_charts.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QString>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "daily/daily_tables.h"

namespace tonnage::charts {
namespace {

using daily::DailySummary;

const QColor kPalette[] = {QColor(31, 119, 180),  QColor(255, 127, 14), QColor(44, 160, 44),   QColor(214, 39, 40),
                           QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127)};
QColor BookColor(std::size_t i) { return kPalette[i % (sizeof kPalette / sizeof kPalette[0])]; }
const QColor kLineColor(20, 20, 20);
const QColor kBandColor(44, 160, 44, 60);

// An axis from lo to hi in round steps.
struct Axis {
  double lo = 0, hi = 1, step = 1;
};
Axis NiceAxis(double lo, double hi) {
  if (!(hi > lo)) hi = lo + 1;
  const double raw = (hi - lo) / 5;
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double step = mag;
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= m * mag) {
      step = m * mag;
      break;
    }
  return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

QString Number(double v, double step) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
  return QString::number(v, 'f', decimals);
}

struct LegendItem {
  QColor color;
  QString text;
  enum Kind { Box, Line, Dot } kind;
};

// Title, axes, grid and legend; gives the plot area and the value mappers.
class Frame {
 public:
  Frame(QPainter& p, const QRectF& area, const QString& title, const QString& unit, Axis left,
        const std::vector<QString>& labels, const std::vector<LegendItem>& legend, const Axis* right = nullptr,
        const QString& rightUnit = {})
      : p_(p), left_(left), n_(std::max<std::size_t>(labels.size(), 1)) {
    p.save();
    QFont font = p.font();
    font.setPointSizeF(8);
    p.setFont(font);
    const QFontMetricsF fm(font, p.device());
    const double line = fm.height();
    p.fillRect(area, Qt::white);
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(9.5);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), area.width(), line * 1.5), Qt::AlignCenter, title);
    p.setFont(font);
    const double leftRoom = fm.horizontalAdvance("00000.0") + line * 1.2;
    const double rightRoom = right ? leftRoom : line;
    const double legendRows = legend.empty() ? 0 : 1;
    plot_ = QRectF(area.left() + leftRoom, area.top() + line * 1.8, area.width() - leftRoom - rightRoom,
                   area.height() - line * (1.8 + 2.6 + legendRows * 1.3));
    // Grid and left axis.
    for (double v = left.lo; v <= left.hi + left.step / 2; v += left.step) {
      const double y = Y(v);
      p.setPen(QPen(QColor(225, 225, 225), 0));
      p.drawLine(QPointF(plot_.left(), y), QPointF(plot_.right(), y));
      p.setPen(Qt::black);
      p.drawText(QRectF(plot_.left() - leftRoom, y - line / 2, leftRoom - line * 0.3, line),
                 Qt::AlignRight | Qt::AlignVCenter, Number(v, left.step));
    }
    if (right) {
      right_ = *right;
      for (double v = right->lo; v <= right->hi + right->step / 2; v += right->step)
        p.drawText(QRectF(plot_.right() + line * 0.3, YRight(v) - line / 2, rightRoom, line),
                   Qt::AlignLeft | Qt::AlignVCenter, Number(v, right->step));
      p.save();
      p.translate(area.right() - line * 0.2, plot_.center().y());
      p.rotate(90);
      p.drawText(QRectF(-plot_.height() / 2, 0, plot_.height(), line), Qt::AlignCenter, rightUnit);
      p.restore();
    }
    p.save();
    p.translate(area.left(), plot_.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot_.height() / 2, 0, plot_.height(), line), Qt::AlignCenter, unit);
    p.restore();
    p.setPen(QPen(Qt::black, 0));
    p.drawRect(plot_);
    // Category labels, thinned to what fits.
    const double widest = [&] {
      double w = 1;
      for (const QString& l : labels) w = std::max(w, fm.horizontalAdvance(l));
      return w + line * 0.5;
    }();
    const std::size_t every = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(widest / Slot())));
    for (std::size_t i = 0; i < labels.size(); i += every)
      p.drawText(QRectF(X(i) - widest / 2, plot_.bottom() + line * 0.2, widest, line), Qt::AlignCenter, labels[i]);
    // Legend.
    double x = plot_.left();
    const double y = plot_.bottom() + line * 1.6;
    for (const LegendItem& item : legend) {
      const QRectF mark(x, y + line * 0.2, line * 1.2, line * 0.6);
      if (item.kind == LegendItem::Box) p.fillRect(mark, item.color);
      if (item.kind == LegendItem::Line) {
        p.setPen(QPen(item.color, 1.5));
        p.drawLine(QPointF(mark.left(), mark.center().y()), QPointF(mark.right(), mark.center().y()));
      }
      if (item.kind == LegendItem::Dot) {
        p.setBrush(item.color);
        p.setPen(Qt::NoPen);
        p.drawEllipse(mark.center(), line * 0.22, line * 0.22);
        p.setBrush(Qt::NoBrush);
      }
      p.setPen(Qt::black);
      const double w = fm.horizontalAdvance(item.text);
      p.drawText(QRectF(mark.right() + line * 0.3, y, w + 2, line), Qt::AlignLeft | Qt::AlignVCenter, item.text);
      x = mark.right() + line * 0.3 + w + line;
    }
  }
  ~Frame() { p_.restore(); }

  double Slot() const { return plot_.width() / static_cast<double>(n_); }
  double X(std::size_t i) const { return plot_.left() + (static_cast<double>(i) + 0.5) * Slot(); }
  double Y(double v) const { return plot_.bottom() - (v - left_.lo) / (left_.hi - left_.lo) * plot_.height(); }
  double YRight(double v) const { return plot_.bottom() - (v - right_.lo) / (right_.hi - right_.lo) * plot_.height(); }
  const QRectF& plot() const { return plot_; }
  QPainter& painter() { return p_; }

 private:
  QPainter& p_;
  Axis left_, right_;
  std::size_t n_;
  QRectF plot_;
};

QString ShortDay(const std::string& key) { return QString::fromLatin1(daily::ShowDay(key).substr(0, 5).c_str()); }

void NoData(QPainter& p, const QRectF& area, const QString& title, const QString& why) {
  p.save();
  p.fillRect(area, Qt::white);
  p.setPen(Qt::black);
  p.drawText(area.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop, title);
  p.setPen(Qt::darkGray);
  p.drawText(area, Qt::AlignCenter, why);
  p.restore();
}

void Dot(QPainter& p, QPointF at, const QColor& color, double r) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawEllipse(at, r, r);
  p.setBrush(Qt::NoBrush);
}

void TonsPerDay(QPainter& p, const QRectF& area, const DailySummary& s) {
  const daily::UnitWords u = daily::UnitsOf(s.metric);
  const QString title = QString::fromLatin1(u.tons) + " per day by book, with the job's cumulative total";
  if (s.tonsByDay.empty()) return NoData(p, area, title, "No tons on these dates");
  std::vector<int> books;
  double top = 0, cumulative = 0, low = s.tonsByDay.front().cumulative;
  for (const daily::DayTons& d : s.tonsByDay) {
    double stack = 0;
    for (const auto& [book, tons] : d.books) {
      if (std::find(books.begin(), books.end(), book) == books.end()) books.push_back(book);
      stack += std::max(0.0, tons);
    }
    top = std::max(top, stack);
    cumulative = std::max(cumulative, d.cumulative);
    low = std::min(low, d.cumulative);
  }
  std::sort(books.begin(), books.end());
  std::vector<QString> labels;
  for (const daily::DayTons& d : s.tonsByDay) labels.push_back(ShortDay(d.key));
  std::vector<LegendItem> legend;
  for (std::size_t i = 0; i < books.size() && i < 8; ++i)
    legend.push_back({BookColor(i), QString("Book %1").arg(books[i]), LegendItem::Box});
  legend.push_back({kLineColor, "Cumulative", LegendItem::Line});
  const Axis right = NiceAxis(0, cumulative);
  Frame f(p, area, title, QString::fromLatin1(u.tons), NiceAxis(0, top), labels, legend, &right,
          QString("Cumulative ") + u.tons);
  const double barWidth = f.Slot() * 0.6;
  QPolygonF line;
  for (std::size_t i = 0; i < s.tonsByDay.size(); ++i) {
    const daily::DayTons& d = s.tonsByDay[i];
    double base = 0;
    for (const auto& [book, tons] : d.books) {
      const std::size_t color = static_cast<std::size_t>(std::find(books.begin(), books.end(), book) - books.begin());
      const double t = std::max(0.0, tons);
      p.fillRect(QRectF(QPointF(f.X(i) - barWidth / 2, f.Y(base + t)), QPointF(f.X(i) + barWidth / 2, f.Y(base))),
                 BookColor(color));
      base += t;
    }
    line << QPointF(f.X(i), f.YRight(d.cumulative));
  }
  p.setPen(QPen(kLineColor, 1.5));
  p.drawPolyline(line);
  for (const QPointF& pt : line) Dot(p, pt, kLineColor, 2.2);
}

void TicketBitumen(QPainter& p, const QRectF& area, const DailySummary& s) {
  const QString title = "Percent bitumen of each ticket against the day's mean";
  std::vector<std::pair<const daily::Day*, const daily::TicketPercent*>> points;
  double lo = 1e9, hi = -1e9;
  for (const daily::Day& d : s.days)
    for (const daily::TicketPercent& t : d.tickets) {
      points.emplace_back(&d, &t);
      lo = std::min({lo, t.pct, d.meanPct});
      hi = std::max({hi, t.pct, d.meanPct});
    }
  if (points.empty()) return NoData(p, area, title, "No ticket with a percent bitumen on these dates");
  std::vector<QString> labels;
  for (const auto& [d, t] : points) labels.push_back(QString::number(t->pageNo));
  const double pad = std::max(0.1, (hi - lo) * 0.15);
  Frame f(p, area, title, "% bitumen", NiceAxis(std::max(0.0, lo - pad), hi + pad), labels,
          {{BookColor(0), "Ticket", LegendItem::Dot}, {kLineColor, "Day's mean", LegendItem::Line}});
  // The mean as a level line across each day's tickets.
  std::size_t start = 0;
  for (std::size_t i = 1; i <= points.size(); ++i) {
    if (i < points.size() && points[i].first == points[start].first) continue;
    const double y = f.Y(points[start].first->meanPct);
    p.setPen(QPen(kLineColor, 1.5));
    p.drawLine(QPointF(f.X(start) - f.Slot() / 2, y), QPointF(f.X(i - 1) + f.Slot() / 2, y));
    if (start > 0) {
      p.setPen(QPen(Qt::gray, 0, Qt::DashLine));
      p.drawLine(QPointF(f.X(start) - f.Slot() / 2, f.plot().top()),
                 QPointF(f.X(start) - f.Slot() / 2, f.plot().bottom()));
    }
    start = i;
  }
  const double r = std::clamp(f.Slot() * 0.3, 1.2, 3.0);
  for (std::size_t i = 0; i < points.size(); ++i) Dot(p, QPointF(f.X(i), f.Y(points[i].second->pct)), BookColor(0), r);
}

void SpreadRate(QPainter& p, const QRectF& area, const DailySummary& s) {
  const daily::UnitWords u = daily::UnitsOf(s.metric);
  const QString title = "Spread rate placed against its target (band: plus or minus 5 %)";
  std::vector<const daily::YieldLine*> lines;
  double lo = 1e9, hi = -1e9;
  for (const daily::YieldLine& y : s.yield)
    if (y.error.empty()) {
      lines.push_back(&y);
      lo = std::min({lo, y.figures.spreadRate, y.figures.target * (1 - daily::kYieldTolerance)});
      hi = std::max({hi, y.figures.spreadRate, y.figures.target * (1 + daily::kYieldTolerance)});
    }
  if (lines.empty()) return NoData(p, area, title, "No yield entries for these dates");
  std::vector<QString> labels;
  for (const daily::YieldLine* y : lines)
    labels.push_back(ShortDay(y->entry.dateKey) + QString(" B%1").arg(y->entry.book));
  const double pad = (hi - lo) * 0.15 + 1;
  Frame f(p, area, title, QString::fromLatin1(u.rate), NiceAxis(std::max(0.0, lo - pad), hi + pad), labels,
          {{kBandColor, "Target band", LegendItem::Box},
           {kLineColor, "Target", LegendItem::Line},
           {BookColor(0), "Placed", LegendItem::Dot},
           {BookColor(3), "Off target", LegendItem::Dot}});
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const daily::YieldFigures& y = lines[i]->figures;
    const double x0 = f.X(i) - f.Slot() * 0.4, x1 = f.X(i) + f.Slot() * 0.4;
    p.fillRect(QRectF(QPointF(x0, f.Y(y.target * (1 + daily::kYieldTolerance))),
                      QPointF(x1, f.Y(y.target * (1 - daily::kYieldTolerance)))),
               kBandColor);
    p.setPen(QPen(kLineColor, 1.5));
    p.drawLine(QPointF(x0, f.Y(y.target)), QPointF(x1, f.Y(y.target)));
    Dot(p, QPointF(f.X(i), f.Y(y.spreadRate)), y.offTarget ? BookColor(3) : BookColor(0),
        std::clamp(f.Slot() * 0.15, 2.0, 4.0));
  }
}

}  // namespace

void DrawDailyChart(QPainter& p, const QRectF& area, const DailySummary& s, DailyChart which) {
  switch (which) {
    case DailyChart::TonsPerDay:
      return TonsPerDay(p, area, s);
    case DailyChart::TicketBitumen:
      return TicketBitumen(p, area, s);
    case DailyChart::SpreadRate:
      return SpreadRate(p, area, s);
  }
}

}  // namespace tonnage::charts
