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

Text OrderCodeOfIdentifier(std::string_view identifier, std::string_view order) {
  std::size_t at = UpStr(order).find(UpStr(identifier));
  if (identifier.empty() || at == Text::npos || at < 2) return "99";
  return Text(order.substr(at - 2, 2));
}

}  // namespace olbrax
