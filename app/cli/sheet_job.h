// What the label and payment-form print commands share: the label environment of the run
// (--env N: environment N of the configuration file instead of the current one) and where the
// job goes (--out FILE.pdf, else the environment's printer). The configuration's current label
// environment is the same after the run as before, except for what the job itself changes
// (copies of 0 or less become 1).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "printing/config/config_layout.h"

class QGuiApplication;

namespace olbrax::cli {

struct SheetJobOptions {
  std::optional<std::string> out;  // absolute path of the PDF file
  int env = 0;                     // 0: the current label environment
  // Takes --env and --out out of the arguments; false (with a message) on a bad --env. Call
  // before the configuration is loaded, which enters another folder.
  bool Take(Context& ctx, const char* command);
};

// The run of a print command, made after the configuration is loaded: switches to the
// environment of the run and sends jobs to the PDF file when one was given; at the end puts the
// configuration's own label environment back when the run used another one.
class SheetJobRun {
 public:
  explicit SheetJobRun(const SheetJobOptions& options);
  ~SheetJobRun();
  SheetJobRun(const SheetJobRun&) = delete;
  SheetJobRun& operator=(const SheetJobRun&) = delete;
  // False when the environment could not be read.
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool pdf_ = false;
  std::unique_ptr<TLabelEnvironment> own_;
  std::unique_ptr<QGuiApplication> app_;
};

// Splits "A,B,C" (UTF-8) into Windows-1252 keys.
std::vector<Text> SplitKeys(const std::string& list);

}  // namespace olbrax::cli
