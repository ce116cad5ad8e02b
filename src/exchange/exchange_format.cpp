#include "exchange/exchange_format.h"

#include <charconv>

namespace olbrax {

const SectionDef kSections[kSectionCount] = {
    {"*Bas", 6},         {"*Klubbar", 5},      {"*Rutbeskr", 10},      {"*Banor", 1},       {"*Kontroller", 1},
    {"*Resultat", 1},    {"*Etapp=", 1},       {"*Klasser", 1},        {"*Namn", 1},        {"*KlubbLottad", 1},
    {"*MotionsLottad", 1}, {"*JaktLottad", 1}, {"*RutB24", 28},        {"*Maxdag", 1},      {"*ModifieraNamn", 1},
    {"*Distrikt", 1},    {"*GruppLottad", 1},  {"*SkidLottad", 1},     {"*Emitresultat", 1},
};

int RecogniseSection(std::string_view line) {
  Text up = UpStr(line);
  for (int i = 0; i < kSectionCount; ++i)
    if (up.find(UpStr(kSections[i].identifier)) != Text::npos) return i;
  return kSecNone;
}

Text IdentifierValue(std::string_view line) {
  auto eq = line.find('=');
  return eq == std::string_view::npos ? Text() : Text(line.substr(eq + 1));
}

Text CleanField(std::string_view field) {
  Text t(field);
  for (char& c : t) {
    auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 255) c = ' ';
  }
  std::size_t end = t.find_last_not_of(' ');
  if (end == Text::npos) return t.empty() ? t : Text(" ");
  return t.substr(0, end + 1);
}

Text ExchangeField(std::string_view line, char sep, int n) {
  std::size_t start = 0;
  for (int i = 1; i < n; ++i) {
    std::size_t at = line.find(sep, start);
    if (at == std::string_view::npos) return {};
    start = at + 1;
  }
  std::size_t end = line.find(sep, start);
  return CleanField(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

int IntField(std::string_view field, int invalid) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  int v = 0;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
  if (field.empty() || ec != std::errc() || end != field.data() + field.size()) return invalid;
  return v;
}

double RealField(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v, std::chars_format::fixed);
  return ec == std::errc() ? v : 0.0;
}

Text NormaliseControlCode(std::string_view code) {
  Text c = UpStr(code).substr(0, 3);
  while (!c.empty() && c.front() == ' ') c.erase(0, 1);
  if (!c.empty() && c[0] >= '0' && c[0] <= '9') c = PadLeft(c, ' ', 3);
  return c;
}

int StatusWordCode(std::string_view text) {
  static constexpr std::string_view kWords[8] = {"FUL", "FEL", "UTG", "DIS", "UPP", "\xC5TE", "EJU", "EJS"};
  Text up = UpStr(text);
  int code = -1;
  for (int i = 0; i < 8; ++i)
    if (up.find(kWords[i]) != Text::npos) code = i;
  return code;
}

namespace {

// Reads the digit group that starts at `at` (moving past it). `digits` is its length; a group of
// more than the 12 digits the buffer holds reads as 0.
long DigitGroup(std::string_view line, std::size_t& at, int& digits) {
  long value = 0;
  digits = 0;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
    if (digits < 12) value = value * 10 + (line[at] - '0');
    ++digits;
    ++at;
  }
  return digits > 12 ? 0 : value;
}

int StartNumberGroup(std::string_view line, std::size_t& at) {
  while (at < line.size() && line[at] == ' ') ++at;
  int digits;
  long n = DigitGroup(line, at, digits);
  return digits > 4 ? 0 : static_cast<int>(n);
}

}  // namespace

ResultLine ParseFinishLine(std::string_view line) {
  ResultLine r;
  std::size_t at = 0;
  r.number = StartNumberGroup(line, at);
  ++at;  // the separator
  int digits;
  long t = DigitGroup(line, at, digits);
  if (digits >= 3 && digits <= 5) {
    r.minutes = static_cast<int>(t / 100);
    r.seconds = static_cast<int>(t % 100);
  }
  return r;
}

ResultLine ParseRunningLine(std::string_view line) {
  ResultLine r;
  std::size_t at = 0;
  r.number = StartNumberGroup(line, at);
  int digits;
  ++at;
  long m = DigitGroup(line, at, digits);
  r.minutes = digits >= 1 && digits <= 5 ? static_cast<int>(m) : 0;
  ++at;
  long s = DigitGroup(line, at, digits);
  r.seconds = digits >= 1 && digits <= 5 ? static_cast<int>(s) : 0;
  return r;
}

Text OrderCodeOfIdentifier(std::string_view identifier, std::string_view order) {
  std::size_t at = UpStr(order).find(UpStr(identifier));
  if (identifier.empty() || at == Text::npos || at < 2) return "99";
  return Text(order.substr(at - 2, 2));
}

}  // namespace olbrax
