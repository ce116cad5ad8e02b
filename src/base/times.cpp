#include "base/times.h"

#include <sys/time.h>

#include <cstdlib>
#include <ctime>

namespace olbrax {

Text NowText;
std::int32_t NowSecs = 0;

namespace {

constexpr std::string_view kDayNames[14] = {
    "Söndag  "_w, "Måndag  "_w, "Tisdag  "_w, "Onsdag  "_w, "Torsdag "_w, "Fredag  "_w, "Lördag  "_w,
    "Söndag  "_w, "Måndag  "_w, "Tisdag  "_w, "Onsdag  "_w, "Torsdag "_w, "Fredag  "_w, "Lördag  "_w};

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr int kTimerDepth = 25;
std::int32_t g_timers[kTimerDepth + 1];
int g_timer_depth = 0;

ClockReading (*g_clock)() = nullptr;

ClockReading SystemClock() {
  struct timeval tv {};
  gettimeofday(&tv, nullptr);
  struct tm tm {};
  localtime_r(&tv.tv_sec, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday == 0 ? 7 : tm.tm_wday,
          tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int>(tv.tv_usec / 10000)};
}

ClockReading ReadClock() { return g_clock ? g_clock() : SystemClock(); }

// The Gregorian rule: every fourth year is a leap year, except the century years not divisible
// by 400 (2100 has no 29 February; 2000 had one). The dates read here run to the 2200s.
bool LeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  return (month == 2 && LeapYear(year)) ? 29 : kMonthDays[month - 1];
}

// Positions from 1, as the layout of NowText is described.
Text Piece(int from, int to) {
  if (static_cast<int>(NowText.size()) < from) return Text();
  return NowText.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

Text Two(long long v) { return ZeroStr(v, 2); }

// Reads a run of digits starting at `pos`; advances `pos` past it.
int ReadDigits(std::string_view s, std::size_t& pos, std::size_t max_digits) {
  int v = 0;
  std::size_t n = 0;
  while (pos < s.size() && n < max_digits && s[pos] >= '0' && s[pos] <= '9') {
    v = v * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  return v;
}

}  // namespace

void SetClockSource(ClockReading (*source)()) { g_clock = source; }

std::int32_t RefreshNow() {
  ClockReading c = ReadClock();
  NowText = Text(kDayNames[c.weekday % 14]) + ZeroStr(c.year, 4) + "-" + Two(c.month) + "-" +
            Two(c.day) + " " + Two(c.hours) + ":" + Two(c.minutes) + ":" + Two(c.seconds);
  NowSecs = c.hours * 3600 + c.minutes * 60 + c.seconds;
  return NowSecs;
}

Text DatePart(int code) {
  switch (code) {
    case 12: return Piece(9, 15);
    case 13: return Piece(11, 12) + Piece(14, 15) + Piece(17, 18);
    case 14: return NowText;
    case 17: return Piece(1, 8) + Piece(11, 12) + Piece(14, 15) + Piece(17, 18);
    case 18: return Piece(9, 13) + "00";
    case 19: return Piece(9, 18);
    case 20: return Piece(20, 21);
    case 21: return Piece(9, 27);
    case 22: return Piece(1, 8);
    case 23: {
      int year = std::atoi(Piece(9, 12).c_str());
      int month = std::atoi(Piece(14, 15).c_str()) - 1;
      if (month < 1) { month = 12; --year; }
      return ZeroStr(year, 4) + "-" + Two(month);
    }
    case 24: return ZeroStr(std::atoi(Piece(9, 12).c_str()) - 1, 4) + "-00";
    default: return Text();
  }
}

Text TimeText(int format, std::int32_t t) {
  const bool negative = t < 0;
  const long long abs_t = negative ? -static_cast<long long>(t) : t;
  long long m = abs_t / 60;
  const long long s = abs_t % 60;
  auto once_less_day = [&] { if (m >= 1440) m -= 1440; };
  auto below_day = [&] { m %= 1440; };
  auto hm = [&] { return Two(m / 60) + ":" + Two(m % 60); };
  Text text;
  switch (format) {
    case 0: once_less_day(); if (m == 0) text = "00:00"; break;
    case 1: once_less_day(); text = hm(); break;
    case 2: text = ZeroStr(m, 6) + (s ? ":" + Two(s) : ""); break;
    case 3: text = ZeroStr(m, 4) + (s ? ":" + Two(s) : ""); break;
    case 4: text = ZeroStr(m, 3) + (s ? ":" + Two(s) : ""); break;
    case 5: {
      long long d = m / 1440;
      below_day();
      text = s ? Two(d) + ":" + hm() + ":" + Two(s) : hm();
      break;
    }
    case 6: below_day(); text = hm() + (s ? ":" + Two(s) : ""); break;
    case 7: text = ZeroStr(m, 6) + ":" + Two(s); break;
    case 8: text = ZeroStr(m, 4) + ":" + Two(s); break;
    case 9: text = ZeroStr(m, 3) + ":" + Two(s); break;
    case 10: {
      long long d = m / 1440;
      below_day();
      text = Two(d) + ":" + hm() + ":" + Two(s);
      break;
    }
    case 11: below_day(); text = hm() + ":" + Two(s); break;
    case 15: once_less_day(); text = RealZeroStr(static_cast<double>(m) / 60.0, 4); break;
    case 16: once_less_day(); text = RealZeroStr(static_cast<double>(m) / 60.0, 5); break;
    default: break;
  }
  if (negative && !text.empty()) text[0] = '-';
  return Cut(text, 10);
}

std::int32_t ParseTime(int format, std::string_view text) {
  text = text.substr(0, 10);
  if (text.empty()) return 0;
  const bool negative = text[0] == '-';
  std::size_t pos = 0;
  while (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9')) ++pos;
  long long g[3] = {0, 0, 0};
  for (int k = 0; k < 3 && pos < text.size(); ++k) {
    long long v = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') v = v * 10 + (text[pos++] - '0');
    g[k] = v;
    ++pos;  // the one separating character
  }
  long long r;
  switch (format) {
    case 1: r = g[0] * 3600 + g[1] * 60; break;
    case 3: case 4: r = g[0] * 60 + g[1]; break;
    case 6: r = g[0] * 3600 + g[1] * 60 + g[2]; break;
    case 15: r = g[0] * 3600 + ((g[1] * 6) / 10) * 60; break;
    default: r = 0; break;
  }
  return static_cast<std::int32_t>(negative ? -r : r);
}

Text AddDays(std::string_view date_text, int days) {
  date_text = date_text.substr(0, 20);
  // The weekday from the day name before the first blank.
  std::string_view name = date_text.substr(0, date_text.find(' '));
  int wd = 0;
  Text upper_name = UpStr(name);
  for (int i = 0; i < 14; ++i) {
    if (UpStr(kDayNames[i].substr(0, name.size())) == upper_name) wd = i;
  }
  for (int k = 0; k < days; ++k) {
    if (wd == 13) wd = 7;
    else if (wd == 6) wd = 0;
    else ++wd;
  }
  // The year is found by its first three digits.
  Text source(date_text);
  std::size_t at = Text::npos;
  for (int century = 197; century <= 220 && at == Text::npos; ++century)
    at = source.find(std::to_string(century));
  if (at == Text::npos) {
    RefreshNow();
    source = DatePart(19);
    at = 0;
  }
  std::size_t pos = at;
  int year = ReadDigits(source, pos, 4);
  ++pos;
  int month = ReadDigits(source, pos, 2);
  ++pos;
  int day = ReadDigits(source, pos, 2);
  if (month < 1 || month > 12) month = 1;
  for (int k = 0; k < days; ++k) {
    if (++day > DaysInMonth(year, month)) {
      day = 1;
      if (++month > 12) { month = 1; ++year; }
    }
  }
  return Cut(Text(kDayNames[wd]) + ZeroStr(year, 4) + "-" + Two(month) + "-" + Two(day), 20);
}

int StartTimer() {
  if (g_timer_depth < kTimerDepth) ++g_timer_depth;
  g_timers[g_timer_depth] = RefreshNow();
  return g_timer_depth;
}

static std::int32_t Elapsed(int index) {
  std::int32_t elapsed = RefreshNow() - g_timers[index];
  while (elapsed < 0) elapsed += 86400;
  return elapsed;
}

Text StopTimer(int format) {
  std::int32_t elapsed = Elapsed(g_timer_depth);
  if (g_timer_depth > 0) --g_timer_depth;
  return TimeText(format, elapsed);
}

Text ElapsedText(int format, int index) {
  if (index < 1 || index > kTimerDepth) index = g_timer_depth;
  return TimeText(format, Elapsed(index));
}

void ResetTimers() { g_timer_depth = 0; }

DateParts TodayParts() {
  ClockReading c = ReadClock();
  return {c.year, c.month, c.day, c.weekday};
}

TimeParts ClockParts() {
  ClockReading c = ReadClock();
  return {c.hours, c.minutes, c.seconds, c.hundredths};
}

}  // namespace olbrax
