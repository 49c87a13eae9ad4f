#include "daily_pdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

#include "daily/daily_tables.h"
#include "daily_charts.h"
#include "io/file_writer.h"

namespace tonnage::charts {
namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Lays the pages out top to bottom in points (the writer runs at 72 dpi).
class PdfPages {
 public:
  PdfPages(QPdfWriter& writer, QString footer) : writer_(writer), p_(&writer), footer_(std::move(footer)) {
    body_ = QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height() - 18));
    y_ = body_.top();
    Footer();
  }
  void Finish() { p_.end(); }
  QPainter& painter() { return p_; }

  void NewPage() {
    writer_.newPage();
    y_ = body_.top();
    Footer();
  }
  // Room for `height` more points, on a new page when this one is full.
  void Need(double height) {
    if (y_ + height > body_.bottom() && y_ > body_.top()) NewPage();
  }

  void Heading(const QString& text, double size) {
    QFont f("Liberation Sans");
    f.setPointSizeF(size);
    f.setBold(true);
    const double h = QFontMetricsF(f, &writer_).height() * 1.3;
    Need(h * 2);
    p_.setFont(f);
    p_.setPen(Qt::black);
    p_.drawText(QRectF(body_.left(), y_, body_.width(), h), Qt::AlignLeft | Qt::AlignVCenter, text);
    y_ += h;
  }

  void Line(const QString& text) {
    QFont f("Liberation Sans");
    f.setPointSizeF(8.5);
    const double h = QFontMetricsF(f, &writer_).height() * 1.2;
    Need(h);
    p_.setFont(f);
    p_.drawText(QRectF(body_.left(), y_, body_.width(), h), Qt::AlignLeft | Qt::AlignVCenter, text);
    y_ += h;
  }

  void Chart(const daily::DailySummary& s, DailyChart which) {
    const double h = std::min(250.0, body_.height());
    Need(h + 8);
    DrawDailyChart(p_, QRectF(body_.left(), y_, body_.width(), h), s, which);
    y_ += h + 8;
  }

  void Table(const daily::Table& t) {
    Heading(Latin1(t.title), 10);
    QFont f("Liberation Sans");
    f.setPointSizeF(6.5);
    QFont bold = f;
    bold.setBold(true);
    const QFontMetricsF fm(f, &writer_), bm(bold, &writer_);
    const double pad = 4, rowH = fm.height() * 1.25;
    std::vector<double> widths(t.headings.size(), 0);
    for (std::size_t c = 0; c < t.headings.size(); ++c) {
      double cells = 0;
      for (const auto& row : t.rows)
        if (c < row.size()) cells = std::max(cells, fm.horizontalAdvance(Latin1(row[c].text)));
      const double heading = bm.horizontalAdvance(Latin1(t.headings[c]));
      widths[c] = std::max(cells, std::min(heading, std::max(cells, 52.0))) + pad * 2;
    }
    double total = 0;
    for (double w : widths) total += w;
    const double scale = std::min(1.0, body_.width() / total);
    const double headH = bm.height() * 3.3;
    if (t.rows.empty()) {
      Line("(none)");
      y_ += 4;
      return;
    }
    auto header = [&] {
      Need((headH + rowH * 2) * scale);
      p_.save();
      p_.translate(body_.left(), y_);
      p_.scale(scale, scale);
      p_.setFont(bold);
      double x = 0;
      p_.fillRect(QRectF(0, 0, total, headH), QColor(232, 236, 242));
      for (std::size_t c = 0; c < widths.size(); ++c) {
        p_.drawText(QRectF(x + pad, 0, widths[c] - pad * 2, headH), Qt::AlignBottom | Qt::AlignLeft | Qt::TextWordWrap,
                    Latin1(t.headings[c]));
        x += widths[c];
      }
      p_.restore();
      y_ += headH * scale;
    };
    header();
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      if (y_ + rowH * scale > body_.bottom()) {
        NewPage();
        header();
      }
      p_.save();
      p_.translate(body_.left(), y_);
      p_.scale(scale, scale);
      p_.setFont(f);
      if (r % 2 == 1) p_.fillRect(QRectF(0, 0, total, rowH), QColor(246, 246, 246));
      double x = 0;
      for (std::size_t c = 0; c < widths.size() && c < t.rows[r].size(); ++c) {
        const daily::TableCell& cell = t.rows[r][c];
        p_.drawText(QRectF(x + pad, 0, widths[c] - pad * 2, rowH),
                    (cell.isNumber ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, Latin1(cell.text));
        x += widths[c];
      }
      p_.restore();
      y_ += rowH * scale;
    }
    y_ += 10;
  }

 private:
  void Footer() {
    ++page_;
    QFont f("Liberation Sans");
    f.setPointSizeF(7);
    p_.setFont(f);
    p_.setPen(Qt::darkGray);
    p_.drawText(QRectF(body_.left(), body_.bottom() + 4, body_.width(), 12), Qt::AlignLeft, footer_);
    p_.drawText(QRectF(body_.left(), body_.bottom() + 4, body_.width(), 12), Qt::AlignRight,
                QString("Page %1").arg(page_));
    p_.setPen(Qt::black);
  }

  QPdfWriter& writer_;
  QPainter p_;
  QString footer_;
  QRectF body_;
  double y_ = 0;
  int page_ = 0;
};

}  // namespace

QByteArray DailyPdf(const daily::DailySummary& s) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setTitle(Latin1(daily::SummaryTitle(s)));
    writer.setCreator("Quarrendale Tonnage");
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 36, 36, 30),
                                     QPageLayout::Point));
    const QString title = Latin1(daily::SummaryTitle(s));
    const QString who = Latin1("Ref. No. " + s.refNo + "    Project No. " + s.projectNo + "    Engineer " + s.engineer +
                               "    Data is " + (s.metric ? "metric" : "English"));
    PdfPages pages(writer, title + "    " + who);
    pages.Heading(title, 15);
    pages.Line(who);
    const std::vector<daily::Table> tables = daily::DailyTables(s);
    auto table = [&](daily::Section which) { pages.Table(tables[static_cast<std::size_t>(which)]); };
    table(daily::Section::Days);
    table(daily::Section::Books);
    pages.Chart(s, DailyChart::TonsPerDay);
    pages.Chart(s, DailyChart::TicketBitumen);
    table(daily::Section::Yield);
    pages.Chart(s, DailyChart::SpreadRate);
    table(daily::Section::Hours);
    table(daily::Section::Tickets);
    pages.Finish();
  }
  return bytes;
}

Outcome WriteDailyPdf(const std::string& path, const daily::DailySummary& s) {
  const QByteArray bytes = DailyPdf(s);
  return io::WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tonnage::charts
