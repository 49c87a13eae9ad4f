#include "spool_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "io/line_reader.h"

namespace gui {

namespace {

QFont ReportFont(int points) {
  // Liberation Mono has Courier New's metrics; either one keeps the columns.
  QFont font(QStringLiteral("Liberation Mono"));
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"), QStringLiteral("Courier")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(points);
  return font;
}

std::string Latin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

SpoolView::SpoolView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(true);
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, Qt::black);
  viewport()->setPalette(pal);
  viewport()->setBackgroundRole(QPalette::Base);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!adjusting_) topLine_ = value;
  });
  UpdateMetrics();
}

void SpoolView::setFileName(const std::string& path) {
  const QFileInfo info(QFile::decodeName(path.c_str()));
  const long long size = info.exists() ? info.size() : -1;
  const long long time = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
  if (path == path_ && size == fileSize_ && time == fileTime_) return;
  path_ = path;
  fileSize_ = size;
  fileTime_ = time;
  tonnage::io::ReadResult read = tonnage::io::ReadWholeFile(path);
  text_ = tonnage::report::SpoolText(read.outcome ? std::move(read.bytes) : std::string());
  anchor_ = caret_ = 0;
  topLine_ = 0;
  UpdateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
  emit selectionChanged();
}

void SpoolView::reload() {
  const int top = firstVisibleLine();
  const std::size_t caret = caretLine();
  fileSize_ = -1;
  const std::string path = path_;
  setFileName(path);
  const std::size_t last = text_.lineCount() - 1;
  scrollToLine(std::min(static_cast<std::size_t>(std::max(top, 0)), last));
  setSelection(text_.lineStart(std::min(caret, last)), 0);
}

std::string_view SpoolView::lineText(std::size_t line) const {
  if (line >= text_.lineCount()) return {};
  return std::string_view(text_.bytes()).substr(text_.lineStart(line), text_.lineEnd(line) - text_.lineStart(line));
}

std::vector<std::string_view> SpoolView::lines() const {
  std::vector<std::string_view> all;
  all.reserve(text_.lineCount());
  for (std::size_t i = 0; i < text_.lineCount(); ++i) all.push_back(lineText(i));
  return all;
}

bool SpoolView::lineInView(std::size_t line) const {
  const auto first = static_cast<std::size_t>(std::max(firstVisibleLine(), 0));
  return line >= first && line < first + static_cast<std::size_t>(std::max(visibleLineCount(), 1));
}

void SpoolView::setFontSize(int points) {
  if (points == fontSize_) return;
  fontSize_ = points;
  UpdateMetrics();
}

void SpoolView::UpdateMetrics() {
  const QFont font = ReportFont(fontSize_);
  viewport()->setFont(font);
  const QFontMetrics metrics(font, viewport());
  const QFontMetricsF exact(font, viewport());
  charWidth_ = std::max<qreal>(1.0, exact.horizontalAdvance(QString(100, QLatin1Char('M'))) / 100.0);
  lineHeight_ = std::max(1, metrics.height());
  ascent_ = metrics.ascent();
  UpdateScrollBars();
  viewport()->update();
}

int SpoolView::visibleLineCount() const { return std::max(1, viewport()->height() / lineHeight_); }

int SpoolView::firstVisibleLine() const { return verticalScrollBar()->value(); }

void SpoolView::UpdateScrollBars() {
  const int lines = static_cast<int>(text_.lineCount());
  const int page = visibleLineCount();
  // A range that shrinks for a moment (while the window is resized) must
  // not lose the reader's place.
  adjusting_ = true;
  verticalScrollBar()->setRange(0, std::max(0, lines - page));
  verticalScrollBar()->setValue(topLine_);
  adjusting_ = false;
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(1);
  const int columns = std::max(1, static_cast<int>(viewport()->width() / charWidth_));
  horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(text_.widest()) + 1 - columns));
  horizontalScrollBar()->setPageStep(columns);
  horizontalScrollBar()->setSingleStep(1);
}

void SpoolView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void SpoolView::scrollToLine(std::size_t line) {
  verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(line, INT32_MAX)));
}

void SpoolView::scrollToPage(std::size_t page) { scrollToLine(text_.firstLineOfPage(page)); }

std::pair<std::size_t, std::size_t> SpoolView::matchNumber(const QString& text) const {
  return text_.MatchNumber(Latin1(text), selectionStart());
}

void SpoolView::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  const QRect area = event->rect();
  const QPalette& pal = viewport()->palette();
  p.fillRect(area, pal.color(QPalette::Base));

  const std::size_t first =
      static_cast<std::size_t>(firstVisibleLine()) + static_cast<std::size_t>(area.top() / lineHeight_);
  const std::size_t last = std::min(text_.lineCount() - 1, static_cast<std::size_t>(firstVisibleLine()) +
                                                               static_cast<std::size_t>(area.bottom() / lineHeight_));
  const int column0 = horizontalScrollBar()->value();
  const qreal x0 = 2 - column0 * charWidth_;
  const std::size_t selFrom = selectionStart();
  const std::size_t selTo = selFrom + selectionLength();
  const QColor highlight = pal.color(QPalette::Highlight);
  const QColor highlightText = pal.color(QPalette::HighlightedText);
  const QColor text = pal.color(QPalette::Text);
  QPen rule(QColor(0x7a, 0x8a, 0x9a), 1, Qt::DashLine);
  QFont small = viewport()->font();
  small.setPointSize(std::max(6, fontSize_ - 2));

  for (std::size_t line = first; line <= last; ++line) {
    const int y = static_cast<int>(line - static_cast<std::size_t>(firstVisibleLine())) * lineHeight_;
    const std::size_t start = text_.lineStart(line);
    const std::size_t end = text_.lineEnd(line);
    const std::size_t next = text_.nextStart(line);
    QRectF selRect;

    // The selection's part of this line, the line end shown as one cell.
    if (selTo > selFrom && selFrom < next && selTo > start) {
      const std::size_t a = std::max(selFrom, start) - start;
      const std::size_t b = std::min(selTo, end) - start;
      int cells = static_cast<int>(b > a ? b - a : 0);
      if (selTo > end && next > end) ++cells;
      selRect = QRectF(x0 + static_cast<qreal>(a) * charWidth_, y, cells * charWidth_, lineHeight_);
      p.fillRect(selRect, highlight);
    }

    if (text_.isPageBreak(line)) {
      // A page break is drawn as a rule with the number of the page it starts.
      p.setPen(rule);
      const int mid = y + lineHeight_ / 2;
      p.drawLine(0, mid, viewport()->width(), mid);
      p.setFont(small);
      const QString label = QStringLiteral(" page %1 ").arg(text_.pageOfLine(line) + 1);
      const int labelWidth = QFontMetrics(small).horizontalAdvance(label);
      const QRect box(viewport()->width() - labelWidth - 16, y, labelWidth, lineHeight_);
      p.fillRect(box, pal.color(QPalette::Base));
      p.setPen(QColor(0x5a, 0x6a, 0x7a));
      p.drawText(box, Qt::AlignCenter, label);
      p.setFont(viewport()->font());
    }

    // Only the columns that can be seen are turned into text.
    const std::size_t visibleFrom = start + std::min<std::size_t>(end - start, column0);
    const std::size_t visibleCols = static_cast<std::size_t>(viewport()->width() / charWidth_) + 2;
    const std::size_t visibleTo = std::min(end, visibleFrom + visibleCols);
    if (visibleTo <= visibleFrom) continue;
    QString chars =
        QString::fromLatin1(text_.bytes().data() + visibleFrom, static_cast<qsizetype>(visibleTo - visibleFrom));
    for (QChar& c : chars)
      if (c.unicode() < 0x20) c = QLatin1Char(' ');
    const qreal xText = x0 + static_cast<qreal>(visibleFrom - start) * charWidth_;
    // One run of text, drawn again clipped to the selection in its colours,
    // so selected characters stay exactly in their columns.
    p.setPen(text);
    p.drawText(QPointF(xText, y + ascent_), chars);
    if (!selRect.isEmpty()) {
      p.save();
      p.setClipRect(selRect);
      p.setPen(highlightText);
      p.drawText(QPointF(xText, y + ascent_), chars);
      p.restore();
    }
  }
}

std::size_t SpoolView::OffsetAt(const QPoint& point) const {
  const int row = point.y() < 0 ? -1 - (-point.y()) / lineHeight_ : point.y() / lineHeight_;
  const long long line = static_cast<long long>(firstVisibleLine()) + row;
  if (line < 0) return 0;
  if (line >= static_cast<long long>(text_.lineCount())) return text_.size();
  const std::size_t l = static_cast<std::size_t>(line);
  const qreal x = point.x() - 2 + horizontalScrollBar()->value() * charWidth_;
  const long long column = std::max(0LL, static_cast<long long>((x + charWidth_ / 2) / charWidth_));
  const std::size_t length = text_.lineEnd(l) - text_.lineStart(l);
  return text_.lineStart(l) + std::min<std::size_t>(length, static_cast<std::size_t>(column));
}

void SpoolView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const std::size_t at = OffsetAt(event->position().toPoint());
  caret_ = at;
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = at;
  viewport()->update();
  emit selectionChanged();
}

void SpoolView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  // Dragging past the edges scrolls.
  if (at.y() < 0) verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
  if (at.y() > viewport()->height()) verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
  caret_ = OffsetAt(at);
  viewport()->update();
  emit selectionChanged();
}

void SpoolView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || text_.size() == 0) return;
  // A word: the run of non-blank characters under the pointer.
  std::size_t at = OffsetAt(event->position().toPoint());
  const std::size_t line = lineOf(at);
  const std::size_t start = text_.lineStart(line);
  const std::size_t end = text_.lineEnd(line);
  const std::string& bytes = text_.bytes();
  auto blank = [&](std::size_t i) { return bytes[i] == ' ' || bytes[i] == '\f'; };
  std::size_t a = std::min(at, end), b = a;
  while (a > start && !blank(a - 1)) --a;
  while (b < end && !blank(b)) ++b;
  setSelection(a, b - a);
  emit lineActivated(line);
}

void SpoolView::keyPressEvent(QKeyEvent* event) {
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit lineActivated(caretLine());
  } else if (event->matches(QKeySequence::SelectAll)) {
    setSelection(0, text_.size());
  } else if (event->matches(QKeySequence::Copy)) {
    CopySelection();
  } else if (event->key() == Qt::Key_Up) {
    v->setValue(v->value() - 1);
  } else if (event->key() == Qt::Key_Down) {
    v->setValue(v->value() + 1);
  } else if (event->key() == Qt::Key_PageUp) {
    v->setValue(v->value() - v->pageStep());
  } else if (event->key() == Qt::Key_PageDown) {
    v->setValue(v->value() + v->pageStep());
  } else if (event->key() == Qt::Key_Home) {
    if (ctrl) v->setValue(0);
    h->setValue(0);
  } else if (event->key() == Qt::Key_End) {
    if (ctrl)
      v->setValue(v->maximum());
    else
      h->setValue(h->maximum());
  } else if (event->key() == Qt::Key_Left) {
    h->setValue(h->value() - 1);
  } else if (event->key() == Qt::Key_Right) {
    h->setValue(h->value() + 1);
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

std::string SpoolView::selectedText() const { return text_.bytes().substr(selectionStart(), selectionLength()); }

void SpoolView::setSelection(std::size_t start, std::size_t length) {
  start = std::min(start, text_.size());
  anchor_ = start;
  caret_ = std::min(text_.size(), start + length);
  viewport()->update();
  emit selectionChanged();
}

void SpoolView::CopySelection() const {
  if (selectionLength() == 0) return;
  const std::string bytes = selectedText();
  QApplication::clipboard()->setText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void SpoolView::EnsureVisible(std::size_t offset) {
  const std::size_t line = lineOf(offset);
  const int first = firstVisibleLine();
  const int page = visibleLineCount();
  if (static_cast<long long>(line) < first || static_cast<long long>(line) >= first + page)
    scrollToLine(line > static_cast<std::size_t>(page / 3) ? line - static_cast<std::size_t>(page / 3) : 0);
  const long long column = static_cast<long long>(offset - text_.lineStart(line));
  QScrollBar* h = horizontalScrollBar();
  if (column < h->value() || column >= h->value() + h->pageStep())
    h->setValue(static_cast<int>(std::max(0LL, column - 8)));
}

bool SpoolView::find(const QString& needleText, bool backward) {
  const std::string needle = Latin1(needleText);
  const std::size_t from = backward ? selectionStart() : selectionStart() + selectionLength();
  const std::optional<std::size_t> at = text_.Find(needle, from, backward);
  if (!at) return false;
  setSelection(*at, needle.size());
  EnsureVisible(*at);
  return true;
}

}  // namespace gui
