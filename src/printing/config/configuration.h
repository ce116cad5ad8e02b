// The configuration of the program (module GloDefs): the general settings, the current label and
// print environments, the printer selections kept in them, and the configuration file
// OlbraxW32.P32 in ~/.config/OlbraxW32 that holds them between runs.
#pragma once

#include <string_view>

#include "base/text.h"
#include "printing/config/config_layout.h"

namespace olbrax {

// The program's folder name under the documents and configuration folders.
inline constexpr std::string_view ApplicationFolderName = "OlbraxW32";
// This program's number in the per-program tables of the general settings.
inline constexpr int AppSlot = 7;

extern TGeneralSettings GeneralSettings;
extern TLabelEnvironment CurrentLabelEnvironment;
extern TPrintEnvironment CurrentPrintEnvironment;
// The printer selection at start-up, put back at shutdown.
extern PrinterSetup SavedPrinter;
// The default printer, given to every environment that is reset to defaults.
extern PrinterSetup DefaultPrinterSetup;

// Loads the configuration (creating the folders and, when missing or of another version, a
// fresh file), selects the current print environment's printer and changes to the remembered
// data directory of `program`.
void ConfigLoad(int program, bool enable, std::string_view ident);
// Writes the general settings and the current environments back and puts the printer back.
void ConfigSave();

bool OpenConfigFile();
void CloseConfigFile();
void ReadLabelEnvironment(int n);
void WriteLabelEnvironment(int n);
void ReadPrintEnvironment(int n);
void WritePrintEnvironment(int n);

// Printer selections.
bool getdefdevmode(PrinterSetup& setup);
void gettheprinter(PrinterSetup& setup);
void Setdefdevmode(const PrinterSetup& setup);
bool SelectEnvironmentPrinter();

// Where things are: the configuration file (its system path, and the same for messages), the
// program's documents folder and its default data directory and text folder. The last three are
// empty when the documents folder has a character Windows-1252 lacks; UnusableDocumentsBase()
// then names it (UTF-8), else it is empty.
std::string ConfigFileSystemPath();
Text ConfigFilePath();
Text DocumentsBase();
Text DefaultDataDirectory();
Text TextFolder();
std::string UnusableDocumentsBase();

// The defaults written by a reset.
void DefaultGeneralSettings(TGeneralSettings& g);
void DefaultLabelEnvironment(int n, TLabelEnvironment& e, TGeneralSettings& g);
void DefaultPrintEnvironment(int n, TPrintEnvironment& e, TGeneralSettings& g);

// How the program ends when memory runs out at start (exit code 8); tests replace it.
void SetConfigExit(void (*exit_fn)(int));
// Back to an unloaded configuration (for tests).
void ResetConfigState();

}  // namespace olbrax
