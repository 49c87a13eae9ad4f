#include "eng_met_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gui {

EngMet_Form::EngMet_Form(tonnage::Session& session, platform::Messages& messages, QWidget* parent)
    : ModalWindow(nullptr, 0, parent), session_(session), messages_(messages) {
  setObjectName(QStringLiteral("EngMet_Form"));
  setWindowTitle(QStringLiteral("Creating A New Data File"));

  auto* prompt = new QLabel(QStringLiteral("Choose the units of the new file's weights.\n"
                                           "They cannot be changed once the file is created."),
                            this);
  prompt->setObjectName(QStringLiteral("Lbl_Prompt"));

  auto* english = new QPushButton(QStringLiteral("Data Is &English"), this);
  english->setObjectName(QStringLiteral("Cmd_English"));
  english->setToolTip(QStringLiteral("Pounds, tons of 2000 pounds and gallons"));
  auto* metric = new QPushButton(QStringLiteral("Data Is &Metric"), this);
  metric->setObjectName(QStringLiteral("Cmd_Metric"));
  metric->setToolTip(QStringLiteral("Kilograms, metric tons and litres"));
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
  for (QPushButton* b : {english, metric, cancel}) {
    b->setAutoDefault(false);
    b->setMinimumHeight(34);
  }
  english->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(english);
  buttons->addWidget(metric);
  buttons->addSpacing(12);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 16);
  layout->setSpacing(14);
  layout->addWidget(prompt);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(english, &QPushButton::clicked, this, [this] { Choose("E"); });
  connect(metric, &QPushButton::clicked, this, [this] { Choose("M"); });
  // Cancel or closing the window leaves the unit system empty.
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void EngMet_Form::Choose(const char* unitSystem) {
  session_.ChooseUnits(unitSystem);
  TellIfStateNotKept(messages_, this, session_.TakeStateProblem());
  accept();
}

}  // namespace gui
