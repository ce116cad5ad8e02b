#include "printing/config/configuration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/memory.h"
#include "base/messages.h"

namespace olbrax {

TGeneralSettings GeneralSettings{};
TLabelEnvironment CurrentLabelEnvironment{};
TPrintEnvironment CurrentPrintEnvironment{};
PrinterSetup SavedPrinter{};
PrinterSetup DefaultPrinterSetup{};

namespace {

bool g_enabled = false;
std::FILE* g_file = nullptr;
void (*g_exit)(int) = std::exit;

std::string SysPath(std::string_view win1252) { return Utf8FromWin(win1252); }

// Creates a folder (a system path) and the folders above it; true when it exists afterwards.
bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '/') {
      std::string part = path.substr(0, at);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool WriteAt(std::int64_t offset, const void* data, std::size_t len) {
  return g_file && std::fseek(g_file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fwrite(data, 1, len, g_file) == len;
}

bool ReadAt(std::int64_t offset, void* data, std::size_t len) {
  return g_file && std::fseek(g_file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(data, 1, len, g_file) == len;
}

int Clamp10(int n) { return n >= 1 && n <= 10 ? n : 1; }

// A fresh file with the defaults; the current environments become those of layout 1.
void ResetFile() {
  g_file = std::fopen(ConfigFileSystemPath().c_str(), "w+b");
  DefaultGeneralSettings(GeneralSettings);
  WriteAt(0, &GeneralSettings, sizeof GeneralSettings);
  // The layout names and the communication text reach the file with the next save: the file
  // holds the provisional names until then.
  GeneralSettings.communication.set("Com3:96,n,8,1");
  for (int n = 1; n <= 10; ++n) {
    DefaultLabelEnvironment(n, CurrentLabelEnvironment, GeneralSettings);
    WriteAt(LabelSlot(n), &CurrentLabelEnvironment, sizeof CurrentLabelEnvironment);
  }
  for (int n = 1; n <= 10; ++n) {
    DefaultPrintEnvironment(n, CurrentPrintEnvironment, GeneralSettings);
    WriteAt(PrintSlot(n), &CurrentPrintEnvironment, sizeof CurrentPrintEnvironment);
  }
  CloseConfigFile();
  TGeneralSettings scratch;
  DefaultLabelEnvironment(GeneralSettings.label_env, CurrentLabelEnvironment, scratch);
  DefaultPrintEnvironment(GeneralSettings.print_env, CurrentPrintEnvironment, scratch);
}

// Reads the file; false when it must be reset (missing, unreadable or of another size).
bool ReadFile() {
  Text path = ConfigFilePath();
  if (!OpenConfigFile()) return false;
  std::fseek(g_file, 0, SEEK_END);
  long size = std::ftell(g_file);
  if (size != kConfigFileSize) {
    CloseConfigFile();
    ShowText(201, "Versionskonflikt av konfigurationsfilen \"" + path + "\" Nollst\xE4ller. ");
    return false;
  }
  bool ok = ReadAt(0, &GeneralSettings, sizeof GeneralSettings);
  GeneralSettings.label_env = static_cast<std::uint8_t>(Clamp10(GeneralSettings.label_env));
  GeneralSettings.print_env = static_cast<std::uint8_t>(Clamp10(GeneralSettings.print_env));
  ok = ok && ReadAt(LabelSlot(GeneralSettings.label_env), &CurrentLabelEnvironment, sizeof CurrentLabelEnvironment);
  ok = ok && ReadAt(PrintSlot(GeneralSettings.print_env), &CurrentPrintEnvironment, sizeof CurrentPrintEnvironment);
  CloseConfigFile();
  return ok;
}

int IoResult(int err) {
  switch (err) {
    case ENOENT: case ENOTDIR: return 3;
    case EACCES: case EPERM: return 5;
    default: return err;
  }
}

void ChangeToRememberedDirectory(int program) {
  if (program < 0 || program > 30) return;
  Text dir = GeneralSettings.remembered_directory[program].get();
  if (!dir.empty() && ::chdir(SysPath(dir).c_str()) != 0)
    ShowText(1, "Kan ej byta till biblioteket \"" + dir + "\" " + ZeroStr(IoResult(errno), 3));
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return;
  // The folder entered (symbolic links resolved) may have characters the code page lacks: then
  // the remembered name stays, never a changed one.
  std::optional<std::string> checked = WinPathFromUtf8(buf);
  if (!checked) {
    ShowText(1, WinFromUtf8(UnusablePathMessage(buf)));
    return;
  }
  Text now = *checked;
  if (now.size() > 1 && now.back() == '/') now.pop_back();
  GeneralSettings.remembered_directory[program].set(now);
  GeneralSettings.DataDirectory.set(now);
}

}  // namespace

void SetConfigExit(void (*exit_fn)(int)) { g_exit = exit_fn ? exit_fn : std::exit; }

void ResetConfigState() {
  CloseConfigFile();
  g_enabled = false;
  std::memset(&GeneralSettings, 0, sizeof GeneralSettings);
  std::memset(&CurrentLabelEnvironment, 0, sizeof CurrentLabelEnvironment);
  std::memset(&CurrentPrintEnvironment, 0, sizeof CurrentPrintEnvironment);
  std::memset(&SavedPrinter, 0, sizeof SavedPrinter);
  std::memset(&DefaultPrinterSetup, 0, sizeof DefaultPrinterSetup);
}

bool OpenConfigFile() {
  CloseConfigFile();
  g_file = std::fopen(ConfigFileSystemPath().c_str(), "r+b");
  return g_file != nullptr;
}

bool CloseConfigFile() {
  bool ok = !g_file || std::fclose(g_file) == 0;
  g_file = nullptr;
  return ok;
}

// A slot is read into a copy first: a read that fails half-way leaves the record as it was.
template <class Env>
static bool ReadSlot(std::int64_t offset, Env& env) {
  static Env copy;
  if (!ReadAt(offset, &copy, sizeof copy)) return false;
  env = copy;
  return true;
}

bool ReadLabelEnvironment(int n) {
  return n >= 1 && n <= 10 && ReadSlot(LabelSlot(n), CurrentLabelEnvironment);
}
bool WriteLabelEnvironment(int n) {
  return n >= 1 && n <= 10 && WriteAt(LabelSlot(n), &CurrentLabelEnvironment, sizeof CurrentLabelEnvironment);
}
bool ReadPrintEnvironment(int n) {
  return n >= 1 && n <= 10 && ReadSlot(PrintSlot(n), CurrentPrintEnvironment);
}
bool WritePrintEnvironment(int n) {
  return n >= 1 && n <= 10 && WriteAt(PrintSlot(n), &CurrentPrintEnvironment, sizeof CurrentPrintEnvironment);
}

bool WriteEnvironmentNames() {
  return WriteAt(offsetof(TGeneralSettings, label_names), GeneralSettings.label_names, sizeof GeneralSettings.label_names) &&
         WriteAt(offsetof(TGeneralSettings, print_names), GeneralSettings.print_names, sizeof GeneralSettings.print_names);
}

void ConfigLoad(int program, bool enable, std::string_view /*ident*/) {
  if (!MemAvail(97280)) {
    ShowText(201, "Minnesbrist!!");
    g_exit(8);
    return;
  }
  gettheprinter(SavedPrinter);
  std::memset(&GeneralSettings, 0, sizeof GeneralSettings);
  std::memset(&CurrentLabelEnvironment, 0, sizeof CurrentLabelEnvironment);
  std::memset(&CurrentPrintEnvironment, 0, sizeof CurrentPrintEnvironment);
  getdefdevmode(DefaultPrinterSetup);

  std::string config_folder = FolderOf(ConfigFileSystemPath());
  if (!config_folder.empty() && !MakeFolders(config_folder))
    ShowText(201, "kan inte skapa path \"" + WinFromUtf8(FolderOf(config_folder)) + "\" ");
  // A documents folder the code page cannot hold is not made under a changed name.
  if (DocumentsBase().empty() && !UnusableDocumentsBase().empty())
    ShowText(1, WinFromUtf8(UnusablePathMessage(UnusableDocumentsBase())));
  MakeFolders(SysPath(DocumentsBase()));
  MakeFolders(SysPath(TextFolder()));
  MakeFolders(SysPath(DefaultDataDirectory()));

  g_enabled = enable;
  CloseConfigFile();
  if (!g_enabled) return;
  if (!ReadFile()) {
    ResetFile();
  } else if (!SelectEnvironmentPrinter()) {
    // The stored printer is not on this machine (a laptop away from the club's printer): keep
    // every environment and print on the default printer for this run.
    Text missing = CurrentPrintEnvironment.setup.device.get();
    Setdefdevmode(DefaultPrinterSetup);
    ShowText(1, "Skrivaren \"" + missing + "\" finns inte, standardskrivaren anv\xE4nds.");
  }
  ChangeToRememberedDirectory(program);
}

void ConfigSave() {
  if (g_enabled && OpenConfigFile()) {
    WriteAt(0, &GeneralSettings, sizeof GeneralSettings);
    WriteLabelEnvironment(Clamp10(GeneralSettings.label_env));
    WritePrintEnvironment(Clamp10(GeneralSettings.print_env));
    CloseConfigFile();
  }
  Setdefdevmode(SavedPrinter);
}

}  // namespace olbrax
