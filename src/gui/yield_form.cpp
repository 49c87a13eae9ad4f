#include "yield_form.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "daily/daily_tables.h"
#include "platform/messages.h"
#include "text/fixed_width.h"

namespace gui {

namespace daily = tonnage::daily;

namespace {

double NumberOf(const QLineEdit* edit) {
  const std::string text = FromLatin1(edit->text().trimmed());
  return text.empty() ? 0 : tonnage::ParseLeadingNumber(text);
}

QString Plain(double v) { return v == 0 ? QString() : QString::number(v, 'g', 10); }

QLineEdit* Field(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}

}  // namespace

YieldForm::YieldForm(platform::Messages& messages, platform::Help& help, daily::YieldEntryStore& store,
                     const daily::DailySummary& summary, QWidget* parent)
    : ModalWindow(&help, help_id::kYieldForm, parent), messages_(messages), store_(store), summary_(summary) {
  setObjectName(QStringLiteral("YieldForm"));
  setWindowTitle(QStringLiteral("Yield Entries"));
  const daily::UnitWords u = daily::UnitsOf(summary.metric);
  auto* layout = new QVBoxLayout(this);
  InstallMenuBar(layout);
  AddHelpMenu();
  dateKey_ = summary.days.empty() ? summary.fromKey : summary.days.front().key;
  auto* date = new QLabel(QStringLiteral("Date: ") + Latin1(daily::ShowDay(dateKey_)), this);
  date->setObjectName(QStringLiteral("Lbl_Date"));
  layout->addWidget(date);

  auto* form = new QFormLayout;
  book_ = new QComboBox(this);
  book_->setObjectName(QStringLiteral("Cbo_Book"));
  if (!summary.days.empty())
    for (const daily::BookDay& b : summary.days.front().books)
      if (b.loads > b.privateLoads)
        book_->addItem(QStringLiteral("Book %1  %2").arg(b.book).arg(Latin1(b.comments)), b.book);
  form->addRow(QStringLiteral("Book"), book_);
  from_ = Field(this, "DStaFrom");
  to_ = Field(this, "DStaTo");
  from_->setPlaceholderText(summary.metric ? QStringLiteral("1+250") : QStringLiteral("12+50"));
  to_->setPlaceholderText(summary.metric ? QStringLiteral("1+850") : QStringLiteral("45+00"));
  auto* stations = new QHBoxLayout;
  stations->addWidget(from_);
  stations->addWidget(new QLabel(QStringLiteral("to"), this));
  stations->addWidget(to_);
  form->addRow(QStringLiteral("Stations"), stations);
  length_ = Field(this, "DLength");
  length_->setPlaceholderText(QStringLiteral("when there are no stations"));
  form->addRow(QStringLiteral("Length (%1)").arg(u.length), length_);
  width_ = Field(this, "DWidth");
  form->addRow(QStringLiteral("Width (%1)").arg(u.length), width_);
  thickness_ = Field(this, "DThickness");
  form->addRow(QStringLiteral("Thickness (%1)").arg(u.thickness), thickness_);
  byRate_ = new QRadioButton(QStringLiteral("Target rate"), this);
  byRate_->setObjectName(QStringLiteral("Opt_Rate"));
  byGmm_ = new QRadioButton(QStringLiteral("From Gmm"), this);
  byGmm_->setObjectName(QStringLiteral("Opt_Gmm"));
  rate_ = Field(this, "DRate");
  gmm_ = Field(this, "DGmm");
  form->addRow(byRate_, rate_);
  form->addRow(byGmm_, gmm_);
  form->addRow(QString(), new QLabel(QStringLiteral("Target rate in %1 per %2; from Gmm: %3")
                                         .arg(u.rate, u.thickness,
                                              summary.metric ? QStringLiteral("0.925 x Gmm x mm")
                                                             : QStringLiteral("43.3 x Gmm x inches")),
                                     this));
  layout->addLayout(form);
  figures_ = new QLabel(this);
  figures_->setObjectName(QStringLiteral("Lbl_Figures"));
  figures_->setWordWrap(true);
  figures_->setMinimumHeight(48);
  layout->addWidget(figures_);

  auto* buttons = new QHBoxLayout;
  auto* store_button = new QPushButton(QStringLiteral("&Store"), this);
  store_button->setObjectName(QStringLiteral("Cmd_Store"));
  auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
  remove->setObjectName(QStringLiteral("Cmd_Remove"));
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("Cmd_Close"));
  for (QPushButton* b : {store_button, remove, close}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(book_, &QComboBox::currentIndexChanged, this, &YieldForm::LoadBook);
  for (QLineEdit* e : {from_, to_, length_, width_, thickness_, rate_, gmm_})
    connect(e, &QLineEdit::textChanged, this, &YieldForm::ShowFigures);
  connect(byRate_, &QRadioButton::toggled, this, &YieldForm::ShowFigures);
  connect(store_button, &QPushButton::clicked, this, &YieldForm::Store);
  connect(remove, &QPushButton::clicked, this, &YieldForm::Remove);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  LoadBook();
}

daily::YieldEntry YieldForm::Typed() const {
  daily::YieldEntry e;
  e.book = book_->currentData().toInt();
  e.dateKey = dateKey_;
  e.stationFrom = FromLatin1(from_->text().trimmed());
  e.stationTo = FromLatin1(to_->text().trimmed());
  e.length = NumberOf(length_);
  e.width = NumberOf(width_);
  e.thickness = NumberOf(thickness_);
  if (byGmm_->isChecked())
    e.gmm = NumberOf(gmm_);
  else
    e.targetRate = NumberOf(rate_);
  return e;
}

void YieldForm::LoadBook() {
  const int book = book_->currentData().toInt();
  daily::YieldEntry e;
  e.targetRate = daily::DefaultTargetRate(summary_.metric);
  for (const daily::YieldEntry& stored : store_.Entries())
    if (stored.book == book && stored.dateKey == dateKey_) e = stored;
  from_->setText(Latin1(e.stationFrom));
  to_->setText(Latin1(e.stationTo));
  length_->setText(Plain(e.length));
  width_->setText(Plain(e.width));
  thickness_->setText(Plain(e.thickness));
  rate_->setText(Plain(e.gmm > 0 ? daily::DefaultTargetRate(summary_.metric) : e.targetRate));
  gmm_->setText(Plain(e.gmm));
  (e.gmm > 0 ? byGmm_ : byRate_)->setChecked(true);
  ShowFigures();
}

void YieldForm::ShowFigures() {
  if (book_->count() == 0) {
    figures_->setText(QStringLiteral("No book has project loads on this date."));
    return;
  }
  const daily::YieldEntry e = Typed();
  const auto tons = summary_.projectTons.find({e.book, e.dateKey});
  const daily::YieldResult r =
      daily::ComputeYield(e, tons == summary_.projectTons.end() ? 0 : tons->second, summary_.metric);
  if (!r.error.empty()) {
    figures_->setText(Latin1(r.error));
    return;
  }
  const daily::UnitWords u = daily::UnitsOf(summary_.metric);
  const daily::YieldFigures& f = r.figures;
  QString text = QStringLiteral("Area %1 %2, target %3 %4, planned %5 %6; placed %7 %6 at %8 %4 = %9 % of target")
                     .arg(f.area, 0, 'f', 1)
                     .arg(u.area)
                     .arg(f.target, 0, 'f', 1)
                     .arg(u.rate)
                     .arg(f.plannedTons, 0, 'f', 3)
                     .arg(Latin1(u.tons).toLower())
                     .arg(f.tonsPlaced, 0, 'f', 3)
                     .arg(f.spreadRate, 0, 'f', 1)
                     .arg(f.percentOfTarget, 0, 'f', 1);
  if (f.offTarget)
    text += f.percentOfTarget > 100 ? QStringLiteral(": ABOVE TARGET") : QStringLiteral(": BELOW TARGET");
  figures_->setText(text);
}

void YieldForm::Store() {
  if (book_->count() == 0) return;
  const daily::YieldEntry e = Typed();
  const daily::YieldResult r = daily::ComputeYield(e, 0, summary_.metric);
  tonnage::Outcome stored;
  if (r.error.empty()) stored = store_.Put(e);
  if (!r.error.empty() || !stored)
    platform::Tell(messages_, this, QStringLiteral("Yield Entries"), Latin1(r.error.empty() ? stored.message : r.error),
                   platform::Icon::Warning);
}

void YieldForm::Remove() {
  if (book_->count() == 0) return;
  const tonnage::Outcome removed = store_.Remove(book_->currentData().toInt(), dateKey_);
  if (!removed)
    platform::Tell(messages_, this, QStringLiteral("Yield Entries"), Latin1(removed.message), platform::Icon::Warning);
  LoadBook();
}

}  // namespace gui
