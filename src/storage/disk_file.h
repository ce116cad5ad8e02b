// The file layer: the only code of the storage engine that calls the operating system.
//
// Files are named in Windows-1252 (as the program holds its texts) and converted to UTF-8 for
// the system. A file that already exists is found case-insensitively in its folder, so a data
// directory copied from Windows ("OLBRAX.Dat", "olbrax.ix") opens by the upper-case names the
// engine asks for. Every failure is reported as a Windows error number (2 file not found,
// 3 path not found, 5 access denied, 32 sharing violation, ...), which is what the engine's
// status table is written in.
//
// Opening takes a non-blocking flock on the file: exclusive for read-write opens, shared for
// read-only ones. A lock held elsewhere is the sharing violation (32), so a second program
// cannot open a file block that is in use, and a checker reading it cannot be surprised by a
// writer. Flushes are fdatasync; creating, deleting and renaming also fsync the folder so the
// directory entry is as durable as the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace olbrax::disk {

// Windows error numbers the engine maps to its status codes.
enum WinError : int {
  kErrNone = 0,
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrTooManyOpenFiles = 4,
  kErrAccessDenied = 5,
  kErrInvalidHandle = 6,
  kErrNotEnoughMemory = 8,
  kErrWriteProtect = 19,
  kErrGenFailure = 31,
  kErrSharingViolation = 32,
  kErrBadNetPath = 53,
  kErrFileExists = 80,
  kErrInvalidParameter = 87,
  kErrDiskFull = 112,
  kErrNegativeSeek = 131,
  kErrFilenameTooLong = 206,
  kErrIoDevice = 1117,
};

// The Windows error number for an errno value (ENOENT gives 2; callers that know the folder is
// missing use 3).
int WinErrorFromErrno(int err);

// An open file. Movable, not copyable; closes itself when destroyed.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  bool Writable() const { return writable_; }
  // The system path (UTF-8) the file was opened under.
  const std::string& Path() const { return path_; }
  // The file's size as this process last wrote or truncated it.
  std::int64_t Size() const { return size_; }

 private:
  friend struct FileAccess;
  friend int Create(std::string_view name, File& out);
  friend int Read(File& file, std::int64_t offset, void* buffer, std::size_t len, std::size_t& got);
  friend int Write(File& file, std::int64_t offset, const void* data, std::size_t len,
                   std::size_t& put);
  friend int Truncate(File& file, std::int64_t size);
  friend int Flush(File& file);
  friend int Reopen(File& file);
  friend int Close(File& file);
  int fd_ = -1;
  bool writable_ = false;
  std::string path_;
  std::int64_t size_ = 0;
};

// Opens an existing file, read-only (shared lock) or read-write (exclusive lock).
int Open(std::string_view name, bool writable, File& out);
// Creates the file, or empties it when it exists; read-write with an exclusive lock.
int Create(std::string_view name, File& out);
// Reads up to `len` bytes at `offset`; `got` tells how many came (fewer at the end of file).
int Read(File& file, std::int64_t offset, void* buffer, std::size_t len, std::size_t& got);
// Writes `len` bytes at `offset`; `put` tells how many went (fewer only when the disk is full).
int Write(File& file, std::int64_t offset, const void* data, std::size_t len, std::size_t& put);
int Truncate(File& file, std::int64_t size);
// Makes the written data durable (fdatasync).
int Flush(File& file);
// Closes the file and opens it again with the same access and lock.
int Reopen(File& file);
int Close(File& file);
// Deletes an existing file; refused with 32 while another handle holds its lock.
int Delete(std::string_view name);
// Renames an existing file (found case-insensitively) to `to`, replacing a file of that name.
int Rename(std::string_view from, std::string_view to);

// Whether the file exists (found case-insensitively).
bool Exists(std::string_view name);

// Folders. The hooks see a folder's creation as Create, its removal as Delete and its flush as
// Flush, with the folder's path.
// Creates a folder (its parent must exist); an existing folder is no error.
int MakeFolder(std::string_view name);
// Removes an empty folder; a missing one is no error.
int RemoveFolder(std::string_view name);
// Makes the folder's entries (created, renamed, deleted files) durable (fsync of the folder).
int FlushFolder(std::string_view name);
bool FolderExists(std::string_view name);
// The system path an existing file is found under (exact name first, then the first
// case-insensitive match in sorted order); the exact UTF-8 name when nothing matches.
std::string Resolve(std::string_view name);
// The names (Windows-1252) of the plain files in a folder, sorted, leaving out names with a
// character the code page lacks; false when the folder cannot be read.
bool ListFolder(std::string_view folder, std::vector<Text>& names);
// The names of the entries of a folder whose extension is `ext` in any case (".TXN"), sorted;
// cheaper than ListFolder for a few names among many.
bool ListFolderByExtension(std::string_view folder, std::string_view ext, std::vector<Text>& names);

// The bytes a user may still write in the file system that holds `folder`; -1 when unknown.
// (A write that comes up short says only that fewer bytes went; this tells whether the disk is
// full.)
std::int64_t FreeBytes(std::string_view folder);

// Asks for at least `wanted` open file handles; returns how many the process may now have.
int RaiseHandleLimit(int wanted);

// --- For benchmarks and tests -------------------------------------------------------------

// Benchmark-only switch: with flushes off, Flush and the folder syncs return at once. The data
// still reaches the files; it is only not forced to the disk.
void SetFlushEnabled(bool enabled);
bool FlushEnabled();

// Counts of the calls made, for measuring what an operation costs.
struct Counters {
  std::uint64_t reads = 0;
  std::uint64_t writes = 0;
  std::uint64_t truncates = 0;
  std::uint64_t flushes = 0;  // file flushes asked for, whether or not flushes are on
  std::uint64_t folder_syncs = 0;
  std::uint64_t opens = 0;
};
Counters& IoCounters();

}  // namespace olbrax::disk
