// The clock, time formats and date arithmetic.
//
// Times are signed whole seconds. TimeText and ParseTime convert them by a format number:
//   0 "00:00" for under a minute      1 hh:mm            2/3/4 minutes in 6/4/3 digits [":ss"]
//   5 dd:hh:mm:ss (hh:mm without s)   6 hh:mm[:ss]       7/8/9 minutes in 6/4/3 digits ":ss"
//   10 dd:hh:mm:ss                    11 hh:mm:ss        15/16 decimal hours in 4/5 characters
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace olbrax {

// "Lördag  2024-05-11 09:05:07": day name (8), date, blank, time; built by RefreshNow.
extern Text NowText;
// Seconds since midnight when NowText was built.
extern std::int32_t NowSecs;

struct ClockReading {
  int year, month, day;
  int weekday;  // 1 = Monday ... 7 = Sunday
  int hours, minutes, seconds, hundredths;
};

// Reads the clock, rebuilds NowText and NowSecs, returns NowSecs.
std::int32_t RefreshNow();
// A piece of NowText by code 12, 13, 14, 17..24; other codes give an empty text.
Text DatePart(int code);

Text TimeText(int format, std::int32_t seconds);
std::int32_t ParseTime(int format, std::string_view text);
// The date `days` later, from a text "Dagnamn YYYY-MM-DD"; the result starts with the new day
// name in 8 characters.
Text AddDays(std::string_view date_text, int days);

// The stopwatch stack (25 deep).
int StartTimer();
Text StopTimer(int format);
Text ElapsedText(int format, int index);

struct DateParts { int year, month, day, weekday; };
struct TimeParts { int hours, minutes, seconds, hundredths; };
DateParts TodayParts();
TimeParts ClockParts();

// For tests: replace the clock (null = the system clock) and empty the stopwatch stack.
void SetClockSource(ClockReading (*source)());
void ResetTimers();

}  // namespace olbrax
