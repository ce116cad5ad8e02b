// What a handler of an entry or result section tells the import's reading loop about the one
// record it was given, and the import log it prints into.
#pragma once

#include <string_view>

#include "printing/engine/log_printer.h"

namespace olbrax {

struct ImportStep {
  // The rest of the file is not read: a register limit was reached, or a record could not be
  // stored.
  bool stop = false;
  // The record was refused or not wholly stored: the run did only part of its work.
  bool partial = false;
};

// One line of the import log (a log job is started when none is open). While the records of a
// batch wait for their commit, so do their lines (exchange/import.cpp).
void ImportLog(std::string_view line);

}  // namespace olbrax
