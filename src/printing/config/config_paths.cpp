// Where the configuration and the program's documents live on this system.
//
// The configuration file is only ever opened by this process, so its path stays the system's
// (UTF-8) whatever characters the home folder has. The documents folder names the default data
// directory, which the configuration keeps in Windows-1252: a documents folder the code page
// cannot hold gives no default (the user chooses a data directory) rather than a changed name.
#include <sys/stat.h>

#include <cstdlib>

#include "printing/config/configuration.h"

namespace olbrax {

namespace {

// The folder of the environment variable, else the home folder followed by `fallback`; empty
// when neither is set.
std::string SystemFolder(const char* var, std::string_view fallback) {
  const char* v = std::getenv(var);
  if (v && *v) return v;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::string(home) + "/" + std::string(fallback);
}

std::string SystemDocumentsBase() {
  std::string docs = SystemFolder("XDG_DOCUMENTS_DIR", "Documents");
  return docs.empty() ? std::string(ApplicationFolderName) : docs + "/" + std::string(ApplicationFolderName);
}

}  // namespace

std::string ConfigFileSystemPath() {
  std::string base = SystemFolder("XDG_CONFIG_HOME", ".config");
  std::string file = std::string(ApplicationFolderName) + "/" + std::string(ApplicationFolderName) + ".P32";
  return base.empty() ? file : base + "/" + file;
}

Text ConfigFilePath() { return WinFromUtf8(ConfigFileSystemPath()); }

Text DocumentsBase() { return WinPathFromUtf8(SystemDocumentsBase()).value_or(Text()); }

std::string UnusableDocumentsBase() {
  std::string docs = SystemDocumentsBase();
  return WinPathFromUtf8(docs) ? std::string() : docs;
}

Text DefaultDataDirectory() {
  Text base = DocumentsBase();
  return base.empty() ? base : base + "/data";
}

Text TextFolder() {
  Text base = DocumentsBase();
  return base.empty() ? base : base + "/text";
}

}  // namespace olbrax
