#include "cli/cli.h"

#include <cstdio>

#include "base/text.h"

namespace olbrax::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

Registrar::Registrar(Command command) { Registry().push_back(command); }

const std::vector<Command>& Commands() { return Registry(); }

bool TakeFlag(std::vector<std::string>& args, std::string_view name) {
  for (auto it = args.begin(); it != args.end(); ++it) {
    if (*it == name) {
      args.erase(it);
      return true;
    }
  }
  return false;
}

std::optional<std::string> TakeOption(std::vector<std::string>& args, std::string_view name) {
  for (auto it = args.begin(); it != args.end(); ++it) {
    if (*it == name && it + 1 != args.end()) {
      std::string value = *(it + 1);
      args.erase(it, it + 2);
      return value;
    }
    if (it->size() > name.size() && it->compare(0, name.size(), name) == 0 && (*it)[name.size()] == '=') {
      std::string value = it->substr(name.size() + 1);
      args.erase(it);
      return value;
    }
  }
  return std::nullopt;
}

void Out(std::string_view win1252) { std::printf("%s\n", Utf8FromWin(win1252).c_str()); }
void Err(std::string_view win1252) { std::fprintf(stderr, "%s\n", Utf8FromWin(win1252).c_str()); }

int Usage(const Command& command) {
  std::fprintf(stderr, "usage: olbrax-cli %s %s\n", command.name, command.usage);
  return 2;
}

int Usage(std::string_view name) {
  for (const auto& c : Commands())
    if (name == c.name) return Usage(c);
  return 2;
}

}  // namespace olbrax::cli
