#include "exchange/exchange_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <memory>

#include "base/counter.h"
#include "base/messages.h"
#include "base/times.h"
#include "base/version.h"
#include "exchange/exchange_format.h"
#include "storage/disk_file.h"

namespace olbrax {

namespace {

struct ExchangeState {
  std::unique_ptr<std::fstream> file;  // a file read
  // A file created: written through the file layer, so that a failed write is seen at once and
  // the written file is flushed to the disk when it is closed.
  disk::File out;
  std::int64_t out_pos = 0;
  int write_error = 0;
  bool open = false;
  bool progress = false;
  ExchangeCounts counts;
  std::string saved_folder;
  Text caption = Text(kProgramVersion) + kPortTag;
};

ExchangeState& S() {
  static ExchangeState s;
  return s;
}

Text Leaf(std::string_view path) {
  auto slash = path.find_last_of("/\\");
  return Text(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

Text Extension(std::string_view path) {
  Text leaf = Leaf(path);
  auto dot = leaf.find_last_of('.');
  return dot == Text::npos ? Text() : leaf.substr(dot);
}

bool Choose(platform::Window owner, bool save, std::string_view default_ext, std::string_view filter, Text& path) {
  Text start = path;
  // A path without a "." names a folder.
  if (!start.empty() && start.find('.') == Text::npos && start.back() != '/') start += '/';
  Text f(filter);
  Text ext = Extension(start);
  if (!ext.empty() && !f.empty()) f += ";*" + ext;
  std::string chosen = start;
  if (!platform::CurrentUi().ChooseFile(owner, save, save ? "Spara fil som..." : "Välj filnamn", f, default_ext,
                                        chosen))
    return false;
  path = chosen;
  return true;
}

bool OpenNow(char mode, std::string_view path) {
  ExchangeState& s = S();
  bool create = mode == 'C';
  s.write_error = 0;
  s.out_pos = 0;
  if (create) {
    int err = disk::Create(path, s.out);
    if (err != disk::kErrNone) {
      errno = err == disk::kErrFileNotFound || err == disk::kErrPathNotFound ? ENOENT
              : err == disk::kErrAccessDenied                                ? EACCES
                                                                             : EIO;
      return false;
    }
    s.open = true;
    return true;
  }
  std::string sys = disk::Resolve(path);
  // A folder opens as a stream that reads nothing: it would import as an empty file.
  struct stat st{};
  if (::stat(sys.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  auto f = std::make_unique<std::fstream>(sys, std::ios::in | std::ios::binary);
  if (!*f) return false;
  s.file = std::move(f);
  s.open = true;
  return true;
}

// The first line of a created file: the comment character and the program's caption, except in
// files of formats that have no comment lines.
void WriteHeaderLine(char comment_char, std::string_view path, bool pdf_too) {
  Text ext = Extension(path);
  bool skip = ext == ".xml" || ext == ".css" || ext == ".xsl" || ext == ".htm" || (pdf_too && (ext == ".html" || ext == ".pdf"));
  if (!skip) WriteExchangeLine(Text(1, comment_char) + " " + S().caption);
}

}  // namespace

bool ChooseFileToRead(platform::Window owner, std::string_view default_ext, std::string_view filter, Text& path) {
  return Choose(owner, false, default_ext, filter, path);
}

bool ChooseFileToWrite(platform::Window owner, std::string_view default_ext, std::string_view filter, Text& path) {
  return Choose(owner, true, default_ext, filter, path);
}

bool OpenExchangeFile(platform::Window owner, char comment_char, char mode, Text& path, Text& folder,
                      std::string_view default_ext, std::string_view filter, int progress_kind) {
  ExchangeState& s = S();
  char cwd[PATH_MAX];
  s.saved_folder = ::getcwd(cwd, sizeof cwd) ? cwd : "";
  s.counts = {};
  s.open = false;
  Text f = filter.empty() || filter[0] == ';'
               ? "import/export|*.txt;*.exp;*.ixp;*.imp;*.vpx;*.txx;*.exx" + Text(filter)
               : "import/export (" + Text(filter) + ") |" + Text(filter);
  path = folder;
  bool chosen = mode == 'C' ? ChooseFileToWrite(owner, default_ext, f, path) : ChooseFileToRead(owner, default_ext, f, path);
  if (!chosen) return false;
  auto slash = path.find_last_of('/');
  folder = slash == Text::npos ? Text() : path.substr(0, slash);
  if (!OpenNow(mode, path)) ShowText(1, "Kan ej öppna/skapa ixportfilen "" + path + """);
  StartTimer();
  if (progress_kind > 0 && s.open) {
    OpenCancelCounter(owner, progress_kind, Leaf(path));
    s.progress = true;
  }
  if (s.open && mode == 'C') WriteHeaderLine(comment_char, path, true);
  return s.open;
}

void SetExchangeCaption(std::string_view caption) { S().caption = Text(caption); }

bool OpenExchangeFileNamed(platform::Window owner, char comment_char, char mode, int progress_kind,
                           std::string_view path) {
  ExchangeState& s = S();
  char cwd[PATH_MAX];
  s.saved_folder = ::getcwd(cwd, sizeof cwd) ? cwd : "";
  s.counts = {};
  s.open = false;
  if (path.empty()) return false;
  bool create = mode == 'C';
  if (!OpenNow(mode, path)) {
    int io = errno;
    MsgLine = "Kan ej \xF6ppna IxportFile: \"" + Text(path) + "\" " + MsgText(io == ENOENT ? 2 : (io == EACCES || io == EISDIR ? 5 : 3));
  } else {
    MsgLine = "IxportFile " + Text(path) + " \xF6ppen..";
  }
  ShowMsg(1);
  StartTimer();
  if (progress_kind > 0 && s.open) {
    OpenCancelCounter(owner, progress_kind, Leaf(path));
    s.progress = true;
  }
  if (s.open && create) WriteHeaderLine(comment_char, path, false);
  return s.open;
}

bool OpenExchangeFileForReading(platform::Window owner, char comment_char, std::string_view path, int progress_kind) {
  return OpenExchangeFileNamed(owner, comment_char, 'O', progress_kind, path);
}

bool ReadExchangeLine(Text& line) {
  ExchangeState& s = S();
  if (!s.open || !s.file || s.file->peek() == EOF) return false;
  std::string raw;
  std::getline(*s.file, raw);
  // Lines end in CR LF; a file from this system may end them in LF only.
  if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  if (raw.size() > kExchangeLineMax) raw.resize(kExchangeLineMax);
  ++s.counts.lines;
  line = DosToWin(raw);
  return true;
}

bool WriteExchangeLine(std::string_view line) {
  ExchangeState& s = S();
  if (!s.open || !s.out.IsOpen()) return false;
  Text out = WinToDos(line) + "\r\n";
  std::size_t put = 0;
  int err = disk::Write(s.out, s.out_pos, out.data(), out.size(), put);
  s.out_pos += static_cast<std::int64_t>(put);
  ++s.counts.lines;
  if (err == disk::kErrNone && put == out.size()) return true;
  // A write that came up short without an error: the disk had no more room.
  if (s.write_error == 0) s.write_error = err != disk::kErrNone ? err : disk::kErrDiskFull;
  return false;
}

bool ExchangeEof() {
  ExchangeState& s = S();
  return !s.open || !s.file || s.file->peek() == EOF;
}

void ReportRecord(std::string_view text, int added, int modified) {
  ExchangeState& s = S();
  s.counts.added += added;
  s.counts.modified += modified;
  if (!s.progress) return;
  CounterLine(2, "Add: " + ZeroStr(s.counts.added, 4) + " Mod: " + ZeroStr(s.counts.modified, 4));
  Text t = WinToDos(text);
  if (added == 0 && modified == 0) t += "..felaktig!!";
  CounterLine(3, t);
}

void ReportExport(std::string_view text, int written, int total) {
  ExchangeState& s = S();
  s.counts.added += written;
  if (!s.progress) return;
  CounterLine(2, "Export: " + IntStr(s.counts.added, 4) + " [" + IntStr(total, 4) + "]");
  CounterLine(3, WinToDos(text));
}

int LinesDone() { return S().counts.lines; }

ExchangeCounts LastExchangeCounts() { return S().counts; }

void SetReportedCounts(const ExchangeCounts& counts) {
  S().counts.added = counts.added;
  S().counts.modified = counts.modified;
}

bool RemoveExchangeFile(std::string_view path) { return disk::Delete(path) == disk::kErrNone; }

ExchangeCounts CloseExchangeFile() {
  ExchangeState& s = S();
  if (s.open && s.file) s.file->close();
  s.file.reset();
  if (s.out.IsOpen()) {
    int err = disk::Flush(s.out);
    if (s.write_error == 0 && err != disk::kErrNone) s.write_error = err;
    err = disk::Close(s.out);
    if (s.write_error == 0 && err != disk::kErrNone) s.write_error = err;
  }
  s.counts.write_error = s.write_error;
  if (s.progress) CloseCounter();
  s.progress = false;
  MsgLine = "Import/export av " + IntStr(s.counts.lines, 4) + " rader " + StopTimer(4);
  ShowMsg(1);
  s.open = false;
  // Back to the folder of the opening; when it is gone the process stays where it is.
  if (!s.saved_folder.empty() && ::chdir(s.saved_folder.c_str()) != 0) s.saved_folder.clear();
  return s.counts;
}

}  // namespace olbrax
