// Test hooks of the file layer: every call that reaches the system is shown to the installed
// hooks first, which may make it fail (with an errno of their choice) or come up short, and is
// shown again after it succeeded. Tests build fault injection, write recording (to simulate a
// power loss) and write-order checks on this; the program never installs hooks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace olbrax::disk {

enum class FileOp { Open, Create, Read, Write, Truncate, Flush, Close, Delete, Rename };

struct FileEvent {
  FileOp op;
  const std::string& path;  // system path of the file
  std::int64_t offset;      // read/write position, or the new size of a truncate
  const void* data;         // the bytes of a write
  std::size_t len;          // bytes asked for by a read or write
};

struct Verdict {
  int err = 0;         // an errno to fail the call with, 0 to let it through
  bool short_io = false;  // a read or write that moves only half of its bytes
};

class FileHooks {
 public:
  virtual ~FileHooks() = default;
  virtual Verdict Before(const FileEvent& event) { return {}; }
  // After a call succeeded (for a short write: with `len` the bytes written).
  virtual void After(const FileEvent& event) {}
};

// Installs `hooks` (not owned); null removes them.
void SetFileHooks(FileHooks* hooks);
FileHooks* CurrentFileHooks();

// Fails the n-th call (counted from 1 after Arm) of one kind of file operation with an errno,
// or makes it short. With `sticky`, that call and every later call of any kind fail, as a
// device that has gone away does.
class FaultInjector : public FileHooks {
 public:
  void Arm(FileOp op, int nth, int err, bool short_io = false, bool sticky = false);
  void Disarm();
  // How many calls of `op` were seen since Arm (or since construction).
  int Seen(FileOp op) const { return seen_[static_cast<int>(op)]; }
  bool Fired() const { return fired_; }

  Verdict Before(const FileEvent& event) override;

 private:
  int seen_[9] = {};
  FileOp op_ = FileOp::Write;
  int nth_ = 0;
  int err_ = 0;
  bool short_ = false;
  bool sticky_ = false;
  bool fired_ = false;
};

}  // namespace olbrax::disk
