#include "daily_form.h"

#include "import/ticket_details.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include "daily/daily_csv.h"
#include "daily/daily_tables.h"
#include "daily/daily_xlsx.h"
#include "daily_charts.h"
#include "daily_pdf.h"
#include "data/work_folder.h"
#include "io/line_reader.h"
#include "platform/busy.h"
#include "platform/file_chooser.h"
#include "platform/messages.h"
#include "yield_form.h"

namespace gui {

namespace daily = tonnage::daily;

namespace {

QDate DateOfKey(const std::string& key) {
  return QDate::fromString(QString::fromLatin1(key.c_str()), QStringLiteral("yyyyMMdd"));
}

std::string KeyOf(const QDate& date) { return date.toString(QStringLiteral("yyyyMMdd")).toStdString(); }

QTableWidget* MakeTable(const daily::Table& t, QWidget* parent) {
  auto* table = new QTableWidget(static_cast<int>(t.rows.size()), static_cast<int>(t.headings.size()), parent);
  table->setObjectName(QStringLiteral("Tbl_") + Latin1(t.name).remove(QLatin1Char(' ')));
  QStringList headings;
  for (const std::string& h : t.headings) headings << Latin1(h);
  table->setHorizontalHeaderLabels(headings);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  table->setAlternatingRowColors(true);
  for (std::size_t r = 0; r < t.rows.size(); ++r)
    for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
      const daily::TableCell& cell = t.rows[r][c];
      auto* item = new QTableWidgetItem(Latin1(cell.text));
      if (cell.isNumber) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  table->resizeColumnsToContents();
  return table;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

DailyChartView::DailyChartView(const daily::DailySummary& summary, int which, QWidget* parent)
    : QWidget(parent), summary_(summary), which_(which) {
  setMinimumSize(560, 260);
}

void DailyChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  tonnage::charts::DrawDailyChart(p, QRectF(rect()), summary_, static_cast<tonnage::charts::DailyChart>(which_));
}

DailyForm::DailyForm(const FileServices& services, daily::YieldEntryStore& yield, QWidget* parent)
    : ModalWindow(&services.help, help_id::kDailyForm, parent),
      services_(services),
      session_(services.session),
      yield_(yield) {
  setObjectName(QStringLiteral("DailyForm"));
  setWindowTitle(QStringLiteral("Daily Summary"));
  auto* layout = new QVBoxLayout(this);
  InstallMenuBar(layout);
  AddHelpMenu();

  auto* body = new QHBoxLayout;
  auto* side = new QVBoxLayout;
  calendar_ = new QCalendarWidget(this);
  calendar_->setObjectName(QStringLiteral("Cal_Date"));
  calendar_->setGridVisible(true);
  side->addWidget(calendar_);
  auto* throughRow = new QHBoxLayout;
  auto* throughLabel = new QLabel(QStringLiteral("Through"), this);
  through_ = new QDateEdit(this);
  through_->setObjectName(QStringLiteral("DThrough"));
  through_->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
  through_->setCalendarPopup(true);
  throughLabel->setBuddy(through_);
  throughRow->addWidget(throughLabel);
  throughRow->addWidget(through_, 1);
  side->addLayout(throughRow);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("Lbl_Status"));
  status_->setWordWrap(true);
  side->addWidget(status_);
  auto* yieldButton = Button(this, "Cmd_Yield", QStringLiteral("&Yield Entries..."));
  auto* pdf = Button(this, "Cmd_SavePdf", QStringLiteral("Save as &PDF..."));
  auto* xlsx = Button(this, "Cmd_SaveXlsx", QStringLiteral("Save as &XLSX..."));
  auto* csv = Button(this, "Cmd_SaveCsv", QStringLiteral("Save as &CSV..."));
  auto* exit = Button(this, "Cmd_Exit", QStringLiteral("&Exit"));
  for (QPushButton* b : {yieldButton, pdf, xlsx, csv}) side->addWidget(b);
  side->addStretch(1);
  side->addWidget(exit);
  body->addLayout(side);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("Tab_Sections"));
  body->addWidget(tabs_, 1);
  layout->addLayout(body, 1);
  resize(1100, 720);

  // A date clicked is one day; Through then widens it to a range.
  connect(calendar_, &QCalendarWidget::selectionChanged, this,
          [this] { ShowDays(calendar_->selectedDate(), calendar_->selectedDate()); });
  connect(through_, &QDateEdit::dateChanged, this, [this](const QDate& to) {
    if (to >= calendar_->selectedDate()) ShowDays(calendar_->selectedDate(), to);
  });
  connect(yieldButton, &QPushButton::clicked, this, &DailyForm::EditYield);
  connect(pdf, &QPushButton::clicked, this, [this] { Save("Save as PDF", "PDF (*.pdf)|*.pdf", ".pdf"); });
  connect(xlsx, &QPushButton::clicked, this, [this] { Save("Save as XLSX", "Spreadsheet (*.xlsx)|*.xlsx", ".xlsx"); });
  connect(csv, &QPushButton::clicked, this, [this] { Save("Save as CSV", "CSV (*.csv)|*.csv", ".csv"); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  // The data as they stand now, saved or not, read once.
  tonnage::Outcome made;
  {
    platform::BusyScope busy(services_.busy);
    made = session_.WriteWorkFile();
    if (made) {
      tonnage::io::ReadResult read = tonnage::io::ReadWholeFile(session_.workFolder().File(tonnage::kWorkFileName));
      made = read.outcome;
      image_ = std::move(read.bytes);
    }
  }
  loaded_ = made.ok();
  if (!loaded_) {
    status_->setText(QStringLiteral("The data could not be read: ") + DisplayPath(made.message));
    return;
  }
  // Mark the dates that have tickets and start on the last of them.
  Refresh();
  QTextCharFormat marked;
  marked.setFontWeight(QFont::Bold);
  marked.setBackground(QColor(198, 234, 198));
  for (const std::string& key : summary_.dates)
    if (const QDate d = DateOfKey(key); d.isValid()) calendar_->setDateTextFormat(d, marked);
  QDate last;
  for (auto it = summary_.dates.rbegin(); it != summary_.dates.rend() && !last.isValid(); ++it) last = DateOfKey(*it);
  if (last.isValid()) {
    QSignalBlocker quiet(calendar_);
    calendar_->setSelectedDate(last);
  }
  ShowDays(calendar_->selectedDate(), calendar_->selectedDate());
}

void DailyForm::ShowDays(const QDate& from, const QDate& to) {
  {
    QSignalBlocker quiet(calendar_);
    calendar_->setSelectedDate(from);
  }
  {
    QSignalBlocker quiet(through_);
    through_->setDate(to);
  }
  summary_.fromKey = KeyOf(from);
  summary_.toKey = KeyOf(to);
  Refresh();
}

void DailyForm::Refresh() {
  if (!loaded_) return;
  const std::string from = summary_.fromKey.empty() ? "00000000" : summary_.fromKey;
  const std::string to = summary_.toKey.empty() ? "00000000" : summary_.toKey;
  daily::DailyExtras extras;
  extras.yieldEntries = yield_.Entries();
  extras.loadTimes = tonnage::import::StoredLoadTimes(session_.store());
  tonnage::io::StringLineSource work(image_);
  daily::DailyResult r = daily::SummarizeDays(work, from, to, extras);
  summary_ = std::move(r.summary);
  const int current = tabs_->currentIndex();
  while (tabs_->count() > 0) {
    QWidget* page = tabs_->widget(0);
    tabs_->removeTab(0);
    delete page;
  }
  const std::vector<daily::Table> tables = daily::DailyTables(summary_);
  auto add = [&](daily::Section which) {
    const daily::Table& t = tables[static_cast<std::size_t>(which)];
    tabs_->addTab(MakeTable(t, tabs_), Latin1(t.name));
  };
  add(daily::Section::Days);
  add(daily::Section::Books);
  auto* charts = new QWidget;
  charts->setObjectName(QStringLiteral("Pnl_Charts"));
  auto* chartLayout = new QVBoxLayout(charts);
  for (int c = 0; c < 3; ++c) chartLayout->addWidget(new DailyChartView(summary_, c, charts));
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setWidget(charts);
  tabs_->addTab(scroll, QStringLiteral("Charts"));
  add(daily::Section::Yield);
  add(daily::Section::Hours);
  add(daily::Section::Tickets);
  if (current >= 0) tabs_->setCurrentIndex(current);

  const QString when =
      Latin1(daily::ShowDay(from)) + (from == to ? QString() : QStringLiteral(" to ") + Latin1(daily::ShowDay(to)));
  if (!r.outcome.ok()) {
    status_->setText(Latin1(r.outcome.message));
  } else if (summary_.days.empty()) {
    status_->setText(QStringLiteral("No ticket on ") + when);
  } else {
    int loads = 0;
    double tons = 0;
    for (const daily::Day& d : summary_.days) {
      loads += d.loads;
      tons += d.project.kpTons;
    }
    status_->setText(QStringLiteral("%1: %2 %3, %4 %5 of project material")
                         .arg(when)
                         .arg(loads)
                         .arg(loads == 1 ? QStringLiteral("load") : QStringLiteral("loads"))
                         .arg(tons, 0, 'f', 3)
                         .arg(Latin1(daily::UnitsOf(summary_.metric).tons).toLower()));
  }
  const bool any = !summary_.days.empty();
  for (const char* name : {"Cmd_SavePdf", "Cmd_SaveXlsx", "Cmd_SaveCsv", "Cmd_Yield"})
    findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(any);
}

void DailyForm::Save(const char* title, const char* filter, const char* extension) {
  platform::FileRequest request{QString::fromLatin1(title), session_.dataFolder, filter, {}};
  std::optional<std::string> path = services_.files.SaveAs(this, request);
  if (!path) return;
  const std::string ext = extension;
  if (path->size() < ext.size() || path->compare(path->size() - ext.size(), ext.size(), ext) != 0) *path += ext;
  tonnage::Outcome written;
  {
    platform::BusyScope busy(services_.busy);
    if (ext == ".pdf")
      written = tonnage::charts::WriteDailyPdf(*path, summary_);
    else if (ext == ".xlsx")
      written = daily::WriteDailyXlsx(*path, summary_);
    else
      written = daily::WriteDailyCsv(*path, summary_);
  }
  if (!written)
    platform::Tell(services_.messages, this, QStringLiteral("Save Error"),
                   QStringLiteral("The daily summary could not be saved.\n\n") + DisplayPath(written.message),
                   platform::Icon::Critical);
}

void DailyForm::EditYield() {
  YieldForm form(services_.messages, services_.help, yield_, summary_, this);
  form.exec();
  Refresh();
}

}  // namespace gui
