#include "storage/disk_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "storage/file_hooks.h"

namespace olbrax::disk {

namespace {

FileHooks* g_hooks = nullptr;
bool g_flush_enabled = true;
Counters g_counters;

// Asks the hooks about a call; an errno when they make it fail.
Verdict Ask(FileOp op, const std::string& path, std::int64_t offset = 0, const void* data = nullptr,
            std::size_t len = 0) {
  if (!g_hooks) return {};
  return g_hooks->Before(FileEvent{op, path, offset, data, len});
}

void Tell(FileOp op, const std::string& path, std::int64_t offset = 0, const void* data = nullptr,
          std::size_t len = 0) {
  if (g_hooks) g_hooks->After(FileEvent{op, path, offset, data, len});
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A missing file is 2, a missing folder 3: ENOENT covers both, so look at the folder.
int MissingError(const std::string& path) {
  struct stat st;
  std::string folder = FolderOf(path);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kErrPathNotFound;
  return kErrFileNotFound;
}

int ErrorFor(int err, const std::string& path) {
  if (err == ENOENT) return MissingError(path);
  return WinErrorFromErrno(err);
}

// Case-insensitive comparison of two file names in the Swedish upper case of Windows-1252.
bool SameNameIgnoringCase(const std::string& utf8_a, const std::string& utf8_b) {
  Text a = WinFromUtf8(utf8_a);
  Text b = WinFromUtf8(utf8_b);
  // A name the code page cannot hold only matches itself.
  if (Utf8FromWin(a) != utf8_a || Utf8FromWin(b) != utf8_b) return false;
  return UpStr(a) == UpStr(b);
}

void SyncFolder(const std::string& path) {
  ++g_counters.folder_syncs;
  if (!g_flush_enabled) return;
  int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

int LockFile(int fd, bool exclusive) {
  while (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? kErrSharingViolation : WinErrorFromErrno(errno);
  }
  return kErrNone;
}

}  // namespace

struct FileAccess {
  static int& Fd(File& f) { return f.fd_; }
  static bool& Writable(File& f) { return f.writable_; }
  static std::string& Path(File& f) { return f.path_; }
  static std::int64_t& Size(File& f) { return f.size_; }

  // Opens `path` with `flags` and the lock its access asks for.
  static int OpenPath(const std::string& path, bool writable, int flags, File& out) {
    Close(out);
    int fd;
    do {
      fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return ErrorFor(errno, path);
    if (int e = LockFile(fd, writable); e != kErrNone) {
      ::close(fd);
      return e;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      int e = WinErrorFromErrno(errno);
      ::close(fd);
      return e;
    }
    if (S_ISDIR(st.st_mode)) {
      ::close(fd);
      return kErrAccessDenied;
    }
    out.fd_ = fd;
    out.writable_ = writable;
    out.path_ = path;
    out.size_ = st.st_size;
    ++g_counters.opens;
    return kErrNone;
  }
};

int WinErrorFromErrno(int err) {
  switch (err) {
    case 0: return kErrNone;
    case ENOENT: return kErrFileNotFound;
    case ENOTDIR: return kErrPathNotFound;
    case EMFILE:
    case ENFILE: return kErrTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrAccessDenied;
    case EBADF: return kErrInvalidHandle;
    case ENOMEM: return kErrNotEnoughMemory;
    case EROFS: return kErrWriteProtect;
    case EWOULDBLOCK: return kErrSharingViolation;
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENOTCONN:
    case ETIMEDOUT: return kErrBadNetPath;
    case EEXIST: return kErrFileExists;
    case EINVAL: return kErrInvalidParameter;
    case ENOSPC:
    case EDQUOT: return kErrDiskFull;
    case ENAMETOOLONG: return kErrFilenameTooLong;
    case EIO: return kErrIoDevice;
    default: return kErrGenFailure;
  }
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
    path_ = std::move(other.path_);
    size_ = other.size_;
  }
  return *this;
}

std::string Resolve(std::string_view name) {
  std::string path = Utf8FromWin(name);
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) return path;
  std::string folder = FolderOf(path);
  std::string leaf = LeafOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return path;
  std::vector<std::string> matches;
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    if (SameNameIgnoringCase(entry, leaf)) matches.push_back(entry);
  }
  ::closedir(dir);
  if (matches.empty()) return path;
  std::sort(matches.begin(), matches.end());
  return (folder == "/" ? "" : folder) + "/" + matches.front();
}

bool Exists(std::string_view name) {
  struct stat st;
  return ::stat(Resolve(name).c_str(), &st) == 0;
}

int Open(std::string_view name, bool writable, File& out) {
  std::string path = Resolve(name);
  if (Verdict v = Ask(FileOp::Open, path); v.err) return ErrorFor(v.err, path);
  int e = FileAccess::OpenPath(path, writable, writable ? O_RDWR : O_RDONLY, out);
  if (e == kErrNone) Tell(FileOp::Open, path);
  return e;
}

int Create(std::string_view name, File& out) {
  // An existing file of the name in another case is replaced, as one file, not doubled.
  std::string path = Resolve(name);
  if (Verdict v = Ask(FileOp::Create, path); v.err) return ErrorFor(v.err, path);
  // Lock first, then empty: a file in use elsewhere is refused, never emptied under its user.
  int e = FileAccess::OpenPath(path, true, O_RDWR | O_CREAT, out);
  if (e != kErrNone) return e;
  if (::ftruncate(out.fd_, 0) != 0) {
    e = WinErrorFromErrno(errno);
    Close(out);
    return e;
  }
  out.size_ = 0;
  SyncFolder(path);
  Tell(FileOp::Create, path);
  return kErrNone;
}

int Read(File& file, std::int64_t offset, void* buffer, std::size_t len, std::size_t& got) {
  got = 0;
  if (!file.IsOpen()) return kErrInvalidHandle;
  if (offset < 0) return kErrNegativeSeek;
  ++g_counters.reads;
  Verdict v = Ask(FileOp::Read, file.path_, offset, nullptr, len);
  if (v.err) return WinErrorFromErrno(v.err);
  if (v.short_io) len /= 2;
  auto* p = static_cast<unsigned char*>(buffer);
  while (got < len) {
    ssize_t n = ::pread(file.fd_, p + got, len - got, offset + static_cast<std::int64_t>(got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return WinErrorFromErrno(errno);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  Tell(FileOp::Read, file.path_, offset, buffer, got);
  return kErrNone;
}

int Write(File& file, std::int64_t offset, const void* data, std::size_t len, std::size_t& put) {
  put = 0;
  if (!file.IsOpen() || !file.writable_) return kErrInvalidHandle;
  if (offset < 0) return kErrNegativeSeek;
  ++g_counters.writes;
  Verdict v = Ask(FileOp::Write, file.path_, offset, data, len);
  if (v.err) return WinErrorFromErrno(v.err);
  std::size_t want = v.short_io ? len / 2 : len;
  const auto* p = static_cast<const unsigned char*>(data);
  while (put < want) {
    ssize_t n = ::pwrite(file.fd_, p + put, want - put, offset + static_cast<std::int64_t>(put));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (put > 0) break;  // a partial write is a short write, reported by the count
      return WinErrorFromErrno(errno);
    }
    put += static_cast<std::size_t>(n);
  }
  file.size_ = std::max(file.size_, offset + static_cast<std::int64_t>(put));
  if (put > 0) Tell(FileOp::Write, file.path_, offset, data, put);
  return kErrNone;
}

int Truncate(File& file, std::int64_t size) {
  if (!file.IsOpen() || !file.writable_) return kErrInvalidHandle;
  if (size < 0) return kErrNegativeSeek;
  ++g_counters.truncates;
  if (Verdict v = Ask(FileOp::Truncate, file.path_, size); v.err) return WinErrorFromErrno(v.err);
  while (::ftruncate(file.fd_, size) != 0) {
    if (errno != EINTR) return WinErrorFromErrno(errno);
  }
  file.size_ = size;
  Tell(FileOp::Truncate, file.path_, size);
  return kErrNone;
}

int Flush(File& file) {
  if (!file.IsOpen()) return kErrInvalidHandle;
  ++g_counters.flushes;
  if (Verdict v = Ask(FileOp::Flush, file.path_); v.err) return WinErrorFromErrno(v.err);
  if (g_flush_enabled) {
    while (::fdatasync(file.fd_) != 0) {
      if (errno != EINTR) return WinErrorFromErrno(errno);
    }
  }
  Tell(FileOp::Flush, file.path_);
  return kErrNone;
}

int Reopen(File& file) {
  if (!file.IsOpen()) return kErrInvalidHandle;
  std::string path = file.path_;
  bool writable = file.writable_;
  return FileAccess::OpenPath(path, writable, writable ? O_RDWR : O_RDONLY, file);
}

int Close(File& file) {
  if (!file.IsOpen()) return kErrNone;
  Tell(FileOp::Close, file.path_);
  int fd = std::exchange(file.fd_, -1);
  // The descriptor is gone even when close reports an error; the error is still told.
  return ::close(fd) == 0 ? kErrNone : WinErrorFromErrno(errno);
}

int Delete(std::string_view name) {
  std::string path = Resolve(name);
  if (Verdict v = Ask(FileOp::Delete, path); v.err) return ErrorFor(v.err, path);
  // A file that another handle holds locked is in use: refuse, as the platform that the data
  // comes from does, rather than pull it from under its user.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrorFor(errno, path);
  int locked = LockFile(fd, true);
  ::close(fd);
  if (locked != kErrNone) return locked;
  if (::unlink(path.c_str()) != 0) return ErrorFor(errno, path);
  SyncFolder(path);
  Tell(FileOp::Delete, path);
  return kErrNone;
}

int Rename(std::string_view from, std::string_view to) {
  std::string src = Resolve(from);
  std::string dst = Resolve(to);
  if (Verdict v = Ask(FileOp::Rename, src); v.err) return ErrorFor(v.err, src);
  int fd = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrorFor(errno, src);
  int locked = LockFile(fd, true);
  ::close(fd);
  if (locked != kErrNone) return locked;
  if (::rename(src.c_str(), dst.c_str()) != 0) return ErrorFor(errno, dst);
  SyncFolder(dst);
  if (FolderOf(src) != FolderOf(dst)) SyncFolder(src);
  Tell(FileOp::Rename, src);
  return kErrNone;
}

int MakeFolder(std::string_view name) {
  std::string path = Utf8FromWin(name);
  if (Verdict v = Ask(FileOp::Create, path); v.err) return ErrorFor(v.err, path);
  if (::mkdir(path.c_str(), 0777) != 0) {
    if (errno != EEXIST) return ErrorFor(errno, path);
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kErrNone : kErrFileExists;
  }
  SyncFolder(path);
  Tell(FileOp::Create, path);
  return kErrNone;
}

int RemoveFolder(std::string_view name) {
  std::string path = Utf8FromWin(name);
  if (Verdict v = Ask(FileOp::Delete, path); v.err) return ErrorFor(v.err, path);
  if (::rmdir(path.c_str()) != 0) return errno == ENOENT ? kErrNone : ErrorFor(errno, path);
  SyncFolder(path);
  Tell(FileOp::Delete, path);
  return kErrNone;
}

int FlushFolder(std::string_view name) {
  std::string path = Utf8FromWin(name);
  ++g_counters.flushes;
  if (Verdict v = Ask(FileOp::Flush, path); v.err) return WinErrorFromErrno(v.err);
  if (g_flush_enabled) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return ErrorFor(errno, path + "/.");
    int rc;
    while ((rc = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    int err = rc == 0 ? 0 : errno;
    ::close(fd);
    if (err != 0) return WinErrorFromErrno(err);
  }
  Tell(FileOp::Flush, path);
  return kErrNone;
}

bool FolderExists(std::string_view name) {
  struct stat st;
  return ::stat(Utf8FromWin(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListFolder(std::string_view folder, std::vector<Text>& names) {
  names.clear();
  std::string path = Utf8FromWin(folder);
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return false;
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    // A name the code page cannot hold would come back as another name (with '?'): it is not
    // one of the program's files and is left out.
    std::optional<Text> name = WinPathFromUtf8(entry);
    struct stat st;
    if (name && ::stat((path + "/" + entry).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(*name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return true;
}

bool ListFolderByExtension(std::string_view folder, std::string_view ext, std::vector<Text>& names) {
  names.clear();
  DIR* dir = ::opendir(Utf8FromWin(folder).c_str());
  if (!dir) return false;
  Text wanted = UpStr(Text(ext));
  while (dirent* e = ::readdir(dir)) {
    Text name = WinFromUtf8(e->d_name);
    if (name.size() > wanted.size() && UpStr(std::string_view(name).substr(name.size() - wanted.size())) == wanted)
      names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return true;
}

int RaiseHandleLimit(int wanted) {
  struct rlimit rl;
  if (::getrlimit(RLIMIT_NOFILE, &rl) != 0) return 0;
  auto want = static_cast<rlim_t>(wanted);
  if (rl.rlim_cur < want) {
    struct rlimit raised = rl;
    raised.rlim_cur = std::min(want, rl.rlim_max);
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) rl = raised;
  }
  if (rl.rlim_cur == RLIM_INFINITY) return wanted;
  return static_cast<int>(std::min<rlim_t>(rl.rlim_cur, 1 << 30));
}

void SetFlushEnabled(bool enabled) { g_flush_enabled = enabled; }
bool FlushEnabled() { return g_flush_enabled; }
Counters& IoCounters() { return g_counters; }

void SetFileHooks(FileHooks* hooks) { g_hooks = hooks; }
FileHooks* CurrentFileHooks() { return g_hooks; }

void FaultInjector::Arm(FileOp op, int nth, int err, bool short_io, bool sticky) {
  std::fill(std::begin(seen_), std::end(seen_), 0);
  op_ = op;
  nth_ = nth;
  err_ = err;
  short_ = short_io;
  sticky_ = sticky;
  fired_ = false;
}

void FaultInjector::Disarm() {
  nth_ = 0;
  fired_ = false;
  sticky_ = false;
}

Verdict FaultInjector::Before(const FileEvent& event) {
  int n = ++seen_[static_cast<int>(event.op)];
  if (fired_ && sticky_) return {err_ ? err_ : EIO, false};
  if (nth_ > 0 && !fired_ && event.op == op_ && n == nth_) {
    fired_ = true;
    return {short_ ? 0 : err_, short_};
  }
  return {};
}

std::int64_t FreeBytes(std::string_view folder) {
  struct statvfs st {};
  if (::statvfs(Utf8FromWin(folder).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

}  // namespace olbrax::disk
