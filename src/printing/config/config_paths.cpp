// Where the configuration and the program's documents live on this system.
#include <sys/stat.h>

#include <cstdlib>

#include "printing/config/configuration.h"

namespace olbrax {

namespace {

Text Home() {
  const char* home = std::getenv("HOME");
  return home ? WinFromUtf8(home) : Text();
}

// The folder of the environment variable, else the home folder followed by `fallback`.
Text XdgFolder(const char* var, std::string_view fallback) {
  const char* v = std::getenv(var);
  if (v && *v) return WinFromUtf8(v);
  Text home = Home();
  if (home.empty()) return {};
  return home + "/" + Text(fallback);
}

}  // namespace

Text ConfigFilePath() {
  Text base = XdgFolder("XDG_CONFIG_HOME", ".config");
  Text file = Text(ApplicationFolderName) + "/" + Text(ApplicationFolderName) + ".P32";
  return base.empty() ? file : base + "/" + file;
}

Text DocumentsBase() {
  Text docs = XdgFolder("XDG_DOCUMENTS_DIR", "Documents");
  return docs.empty() ? Text(ApplicationFolderName) : docs + "/" + Text(ApplicationFolderName);
}

Text DefaultDataDirectory() { return DocumentsBase() + "/data"; }
Text TextFolder() { return DocumentsBase() + "/text"; }

}  // namespace olbrax
