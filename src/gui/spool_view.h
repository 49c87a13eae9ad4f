// A read-only view of a report spool. The file is held once in memory with an
// index of its lines (report::SpoolText, which also pages and finds), and
// only the lines on screen are drawn, so a report of hundreds of thousands of
// lines opens and scrolls as fast as a short one. Positions are character
// offsets into the file, line ends included.
#pragma once

#include <QAbstractScrollArea>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/spool_text.h"

namespace gui {

class SpoolView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit SpoolView(QWidget* parent = nullptr);

  // Shows `path`; the same unchanged file is not read again. A file that
  // cannot be read shows nothing.
  void setFileName(const std::string& path);
  const std::string& fileName() const { return path_; }
  // Reads the file again, changed or not (a new report can be as long as the
  // old one and written within the same clock tick), and keeps the line at
  // the top and the caret's line.
  void reload();

  void setFontSize(int points);
  int fontSize() const { return fontSize_; }

  std::size_t selectionStart() const { return std::min(anchor_, caret_); }
  std::size_t selectionLength() const { return anchor_ > caret_ ? anchor_ - caret_ : caret_ - anchor_; }
  // The selected bytes, line ends included.
  std::string selectedText() const;
  void setSelection(std::size_t start, std::size_t length);

  std::size_t lineCount() const { return text_.lineCount(); }
  // A line without its end; every line of the text.
  std::string_view lineText(std::size_t line) const;
  std::vector<std::string_view> lines() const;
  std::size_t caretLine() const { return lineOf(caret_); }
  bool lineInView(std::size_t line) const;
  int firstVisibleLine() const;
  int visibleLineCount() const;
  // Line of an offset (the last line for the end of the text).
  std::size_t lineOf(std::size_t offset) const { return text_.lineOf(offset); }
  void scrollToLine(std::size_t line);
  std::size_t pageCount() const { return text_.pageCount(); }
  // The page of the line at the top, from 1.
  std::size_t PageOfTop() const { return text_.pageOfLine(static_cast<std::size_t>(firstVisibleLine())); }
  // Brings page `page` (from 1) to the top.
  void scrollToPage(std::size_t page);
  // Which match of `text` (ignoring case) the selection is, from 1, and how
  // many there are.
  std::pair<std::size_t, std::size_t> matchNumber(const QString& text) const;

  // Finds `text` ignoring case, after the selection (or before it), wrapping
  // round the end; selects it and brings it into view. False when absent.
  bool find(const QString& text, bool backward);

 signals:
  void selectionChanged();
  // Enter (on the caret's line) or a double-click on a line.
  void lineActivated(std::size_t line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void UpdateMetrics();
  void UpdateScrollBars();
  std::size_t OffsetAt(const QPoint& viewportPoint) const;
  void EnsureVisible(std::size_t offset);
  void CopySelection() const;

  std::string path_;
  long long fileSize_ = -1;
  long long fileTime_ = 0;
  tonnage::report::SpoolText text_;
  int fontSize_ = 8;
  qreal charWidth_ = 8;  // fractional: the font's true advance keeps columns exact
  int lineHeight_ = 16;
  int ascent_ = 12;
  std::size_t anchor_ = 0;
  std::size_t caret_ = 0;
  // The line the reader put at the top; a font or size change keeps it there.
  int topLine_ = 0;
  bool adjusting_ = false;
};

}  // namespace gui
