// The command-line tool's small framework: subcommands register themselves with a Registrar in
// their own file; options are taken out of the argument list by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless_ui.h"

namespace olbrax::cli {

// What every subcommand gets: its arguments (subcommand name removed, common options taken out)
// and the common options.
struct Context {
  std::vector<std::string> args;
  bool yes = false;                    // --yes: answer Yes to every question
  std::optional<std::string> datadir;  // --datadir DIR: the data directory for this run
  std::optional<int> competition;      // --competition N: the competition for this run
  platform::HeadlessUi* ui = nullptr;
};

struct Command {
  const char* name;
  const char* usage;    // arguments after the name, e.g. "N"
  const char* summary;  // one line for --help
  int (*run)(Context&);
};

class Registrar {
 public:
  explicit Registrar(Command command);
};

const std::vector<Command>& Commands();

// Removes "--name" from args; true when it was there.
bool TakeFlag(std::vector<std::string>& args, std::string_view name);
// Removes "--name VALUE" (or "--name=VALUE") from args and returns VALUE.
std::optional<std::string> TakeOption(std::vector<std::string>& args, std::string_view name);

// Writes a Windows-1252 text and a newline to stdout / stderr in UTF-8.
void Out(std::string_view win1252);
void Err(std::string_view win1252);

// Prints "usage: olbrax-cli <name> <usage>" to stderr and returns the usage exit code (2).
int Usage(const Command& command);
int Usage(std::string_view name);

}  // namespace olbrax::cli
