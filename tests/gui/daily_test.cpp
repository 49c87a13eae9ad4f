// Daily Summary and Yield Entries as a user drives them. The day figures and
// the yield's are core's (tests/core/daily); here the windows show them.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include "daily/stored_yield_entries.h"
#include "daily_form.h"
#include "fakes.h"
#include "proc_form.h"
#include "yield_form.h"

namespace {

using namespace steps;

TEST(DailySummaryWindow, CalendarMarksTicketDatesAndEachDayOrRangeShowsAndSaves) {
  fakes::Harness h;
  h.session.keepHistory = false;  // the sample is only read: no store beside it
  ASSERT_TRUE(h.session.Open(kSample).ok());
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    auto* calendar = Find<QCalendarWidget>(w, "Cal_Date");
    // The last date with tickets comes first; dates with tickets are bold.
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 10, 3));
    EXPECT_TRUE(calendar->dateTextFormat(QDate(2026, 9, 28)).fontWeight() == QFont::Bold &&
                calendar->dateTextFormat(QDate(2026, 9, 27)).fontWeight() != QFont::Bold);
    calendar->setSelectedDate(QDate(2026, 9, 30));
    EXPECT_EQ(Cell(w, "Tbl_Days", 0, 4) + Cell(w, "Tbl_Days", 1, 0), "281.116<none>");  // the report's KP tons
    Find<QDateEdit>(w, "DThrough")->setDate(QDate(2026, 10, 2));
    EXPECT_EQ(Cell(w, "Tbl_Days", 2, 0), "10/02/2026");

    const std::string folder = h.root.string() + "/docs/";
    h.files.saves = {folder + "day", folder + "day.xlsx", folder + "day.pdf", std::string("/no/such/folder/x.csv")};
    for (const char* button : {"Cmd_SaveCsv", "Cmd_SaveXlsx", "Cmd_SavePdf"}) Click(w, button);
    EXPECT_NE(ReadFile(folder + "day.csv").find("\r\n10/02/2026,3,SHOULDERS SP 9.5"), std::string::npos);
    EXPECT_EQ(ReadFile(folder + "day.xlsx").substr(0, 2) + ReadFile(folder + "day.pdf").substr(0, 5) +
                  h.messages.Text(0).toStdString(),
              "PK%PDF-<none>");
    Click(w, "Cmd_SaveCsv");
    EXPECT_EQ(h.messages.Text(1) + h.messages.asked.at(0).title, "<none>Save Error");

    calendar->setSelectedDate(QDate(2026, 9, 27));
    EXPECT_EQ(Text(w, "Lbl_Status") + (Find<QPushButton>(w, "Cmd_SavePdf")->isEnabled() ? " enabled" : ""),
              "No ticket on 09/27/2026");
    Click(w, "Cmd_Exit");
  });
  Click(h.Make<gui::ProcForm>().get(), "DailyCmd");
  EXPECT_EQ(driver.seen, std::vector<QString>{"DailyForm"});
}

// A refused station is told; a stored entry shows in the summary. Reading
// it back and removing it is core's (StoredYieldTest in
// tests/core/daily/daily_summary_test.cpp).
TEST(YieldEntriesWindow, ARefusedStationIsToldAndAStoredEntryShowsInTheSummary) {
  fakes::Harness h;
  ASSERT_TRUE(h.session.Open(h.Copy("us-standard-tickets.K81")).ok());
  tonnage::daily::StoredYieldEntries entries(h.session);
  auto form = h.Make<gui::DailyForm>(entries);
  form->ShowDays(QDate(2026, 9, 29), QDate(2026, 9, 29));
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    EXPECT_EQ(Text(w, "Lbl_Date"), "Date: 09/29/2026");
    // clang-format off
    const char* fields[][2] = {{"DStaFrom", "12+50"}, {"DStaTo", "45+0x"}, {"DWidth", "12"}, {"DThickness", "2"}, {"DGmm", "2.540"}};
    // clang-format on
    for (const auto& [name, text] : fields) Find<QLineEdit>(w, name)->setText(text);
    Find<QRadioButton>(w, "Opt_Gmm")->setChecked(true);
    Click(w, "Cmd_Store");  // refused: no such station
    EXPECT_EQ(std::pair(h.messages.asked.size(), entries.Entries().size()), std::pair(std::size_t{1}, std::size_t{0}));
    Find<QLineEdit>(w, "DStaTo")->setText("45+00");
    // Book 1 placed 168.189 tons on 4333.3 SY: 77.6 lb/SY of 219.964.
    EXPECT_TRUE(Text(w, "Lbl_Figures").endsWith("35.3 % of target: BELOW TARGET"))
        << Text(w, "Lbl_Figures").toStdString();
    Click(w, "Cmd_Store");
    Click(w, "Cmd_Close");
  });
  Click(form.get(), "Cmd_Yield");
  ASSERT_TRUE(driver.unexpected.empty() && entries.Entries().size() == 1u);
  EXPECT_EQ(Cell(form.get(), "Tbl_Yield", 0, 10) + "|" + Cell(form.get(), "Tbl_Yield", 0, 12) + "|" +
                Cell(form.get(), "Tbl_Yield", 1, 0),
            "77.6|BELOW TARGET|<none>");
}

}  // namespace
