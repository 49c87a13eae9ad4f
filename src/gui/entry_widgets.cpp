#include "entry_widgets.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

#include "entry/book_list.h"
#include "modal_window.h"

namespace gui {

bool IsEnter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
         (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& tip) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  b->setAutoDefault(true);
  b->setMinimumSize(110, 32);
  return b;
}

QLineEdit* Field(QWidget* parent, const char* name, int maxLength) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(maxLength);
  f->setMinimumWidth(f->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('M'))) * 3 / 4);
  return f;
}

QValidator::State GravityValidator::validate(QString& input, int&) const {
  for (QChar c : input)
    if (c.unicode() > 0x7F) return Invalid;
  const tonnage::GravityCheck check = tonnage::CheckSpecificGravity(FromLatin1(input));
  if (check.state == tonnage::GravityInput::Acceptable) return Acceptable;
  if (check.state == tonnage::GravityInput::Intermediate) return Intermediate;
  field_->setProperty("refusal", Latin1(check.reason));
  QToolTip::showText(field_->mapToGlobal(QPoint(0, field_->height())), Latin1(check.reason), field_);
  return Invalid;
}

}  // namespace gui
