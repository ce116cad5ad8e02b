#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "base/times.h"

namespace olbrax {
namespace {

struct TimeCase {
  int format;
  std::int32_t seconds;
  const char* text;
};

class TimeTextCases : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTextCases, Formats) {
  const auto& c = GetParam();
  EXPECT_EQ(TimeText(c.format, c.seconds), c.text) << "format " << c.format << " t " << c.seconds;
}

INSTANTIATE_TEST_SUITE_P(
    All, TimeTextCases,
    ::testing::Values(TimeCase{1, 3725, "01:02"}, TimeCase{9, 3725, "062:05"}, TimeCase{4, 3720, "062"},
                      TimeCase{4, 3725, "062:05"}, TimeCase{6, 90061, "01:01:01"},
                      TimeCase{1, 86400 + 3600, "01:00"}, TimeCase{1, 2 * 86400 + 60, "24:01"},
                      TimeCase{9, -65, "-01:05"}, TimeCase{1, -300, "-0:05"}, TimeCase{15, 5400, "1.50"},
                      TimeCase{16, 5400, "01.50"}, TimeCase{0, 60, ""}, TimeCase{0, 30, "00:00"},
                      TimeCase{0, 86400 + 10, "00:00"}, TimeCase{2, 120, "000002"},
                      TimeCase{2, 125, "000002:05"}, TimeCase{3, 125, "0002:05"}, TimeCase{3, 120, "0002"},
                      TimeCase{5, 90061, "01:01:01:0"}, TimeCase{5, 90060, "01:01"},
                      TimeCase{6, 3660, "01:01"}, TimeCase{7, 65, "000001:05"}, TimeCase{8, 65, "0001:05"},
                      TimeCase{10, 90061, "01:01:01:0"}, TimeCase{11, 90061, "01:01:01"},
                      TimeCase{11, 0, "00:00:00"}, TimeCase{12, 100, ""}, TimeCase{13, 100, ""},
                      TimeCase{14, 100, ""}, TimeCase{17, 100, ""}, TimeCase{9, 600000, "10000:00"},
                      TimeCase{9, 6000000, "100000:00"}, TimeCase{1, 0, "00:00"}, TimeCase{0, -30, "-0:00"}));

TEST(ParseTime, ReadsGroupsByFormat) {
  EXPECT_EQ(ParseTime(4, "062:05"), 3725);
  EXPECT_EQ(ParseTime(1, "1:30"), 5400);
  EXPECT_EQ(ParseTime(15, "1.50"), 5400);
  EXPECT_EQ(ParseTime(2, "10:00"), 0);
  EXPECT_EQ(ParseTime(6, "1:01:01"), 3661);
  EXPECT_EQ(ParseTime(3, "-2:30"), -150);
  EXPECT_EQ(ParseTime(1, ""), 0);
  EXPECT_EQ(ParseTime(1, "abc"), 0);
  EXPECT_EQ(ParseTime(1, "  9"), 9 * 3600);
  // Only the first ten characters count.
  EXPECT_EQ(ParseTime(6, "0000000001:02:03"), 3600);
}

TEST(ParseTime, InvertsTimeTextForItsFormats) {
  for (std::int32_t t : {0, 59, 60, 3599, 3600, 5400, 36000, 86399}) {
    EXPECT_EQ(ParseTime(6, TimeText(6, t)), t) << t;
    EXPECT_EQ(ParseTime(1, TimeText(1, t)), t / 60 * 60) << t;
    EXPECT_EQ(ParseTime(4, TimeText(9, t)), t) << t;
  }
}

TEST(AddDays, MovesOverMonthAndYearEnds) {
  EXPECT_EQ(AddDays("Fredag  2024-02-28"_w, 1), "Lördag  2024-02-29"_w);
  EXPECT_EQ(AddDays("Fredag  2024-02-28"_w, 2), "Söndag  2024-03-01"_w);
  EXPECT_EQ(AddDays("Fredag  2023-02-28"_w, 1), "Lördag  2023-03-01"_w);
  EXPECT_EQ(AddDays("Tisdag  2024-12-31"_w, 1), "Onsdag  2025-01-01"_w);
  EXPECT_EQ(AddDays("fredag 2024-02-28", 0), "Fredag  2024-02-28");
  EXPECT_EQ(AddDays("Lördag 1999-12-31"_w, 1), "Söndag  2000-01-01"_w);
}

// Every day of a common year, a leap year and the century years 2000 (leap) and 2100 (common),
// against the calendar of the standard library: each month ends on its own last day.
TEST(AddDays, AgreesWithTheCalendarOnEveryDayOfTheYear) {
  using namespace std::chrono;
  const std::string_view names[7] = {"Söndag  "_w, "Måndag  "_w, "Tisdag  "_w, "Onsdag  "_w,
                                "Torsdag "_w, "Fredag  "_w, "Lördag  "_w};
  auto text = [&](sys_days d) {
    year_month_day ymd{d};
    char date[11];
    std::snprintf(date, sizeof date, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()));
    return std::string(names[weekday{d}.c_encoding()]) + date;
  };
  for (int y : {2023, 2024, 2000, 2100}) {
    const sys_days first = year{y} / January / 1;
    for (int n = 0; n <= 366; ++n) {
      ASSERT_EQ(AddDays(text(first), n), text(first + days{n})) << y << " + " << n;
    }
  }
}

ClockReading g_fake{2024, 5, 11, 6, 9, 5, 7, 0};
ClockReading FakeClock() { return g_fake; }

class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fake = {2024, 5, 11, 6, 9, 5, 7, 0};
    SetClockSource(FakeClock);
    ResetTimers();
  }
  void TearDown() override {
    SetClockSource(nullptr);
    ResetTimers();
  }
};

TEST_F(ClockTest, NowTextAndDateParts) {
  EXPECT_EQ(RefreshNow(), 9 * 3600 + 5 * 60 + 7);
  EXPECT_EQ(NowText, "Lördag  2024-05-11 09:05:07"_w);
  EXPECT_EQ(DatePart(12), "2024-05");
  EXPECT_EQ(DatePart(13), "240511");
  EXPECT_EQ(DatePart(14), NowText);
  EXPECT_EQ(DatePart(17), "Lördag  240511"_w);
  EXPECT_EQ(DatePart(18), "2024-00");
  EXPECT_EQ(DatePart(19), "2024-05-11");
  EXPECT_EQ(DatePart(20), "09");
  EXPECT_EQ(DatePart(21), "2024-05-11 09:05:07");
  EXPECT_EQ(DatePart(22), "Lördag  "_w);
  EXPECT_EQ(DatePart(23), "2024-04");
  EXPECT_EQ(DatePart(24), "2023-00");
  EXPECT_EQ(DatePart(15), "");
}

TEST_F(ClockTest, PreviousMonthOfJanuaryIsDecember) {
  g_fake = {2024, 1, 7, 7, 0, 0, 0, 0};
  RefreshNow();
  EXPECT_EQ(NowText.substr(0, 8), "Söndag  "_w);
  EXPECT_EQ(DatePart(23), "2023-12");
}

TEST_F(ClockTest, AddDaysWithoutAYearUsesToday) {
  // No day name matched: the weekday index starts at 0 (Söndag) whatever today is.
  EXPECT_EQ(AddDays("Idag", 1), "Måndag  2024-05-12"_w);
}

TEST_F(ClockTest, StopwatchAcrossMidnight) {
  g_fake = {2024, 5, 11, 6, 23, 59, 50, 0};
  EXPECT_EQ(StartTimer(), 1);
  g_fake = {2024, 5, 12, 7, 0, 0, 10, 0};
  EXPECT_EQ(StopTimer(11), "00:00:20");
}

TEST_F(ClockTest, StopwatchStackIs25Deep) {
  for (int i = 1; i <= 25; ++i) EXPECT_EQ(StartTimer(), i);
  EXPECT_EQ(StartTimer(), 25);  // the top entry is overwritten
  g_fake.seconds += 30;
  EXPECT_EQ(ElapsedText(11, 3), "00:00:30");
  EXPECT_EQ(ElapsedText(11, 0), "00:00:30");
  StopTimer(11);
  EXPECT_EQ(StartTimer(), 25);
}

TEST_F(ClockTest, PartsOfTheClock) {
  DateParts d = TodayParts();
  EXPECT_EQ(d.year, 2024);
  EXPECT_EQ(d.weekday, 6);
  TimeParts t = ClockParts();
  EXPECT_EQ(t.minutes, 5);
}

}  // namespace
}  // namespace olbrax
