// The configuration of the program (module GloDefs): the general settings, the current label and
// print environments, the printer selections kept in them, and the configuration file
// OlbraxW32.P32 in ~/.config/OlbraxW32 that holds them between runs.
#pragma once

#include <string_view>

#include "base/text.h"
#include "platform/printers.h"
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
// Closes the file; false when what was written could not all be put on the disk.
bool CloseConfigFile();
// Move one environment between its slot and memory while the file is open; false when the read
// or write failed (a failed read leaves the record in memory as it was).
bool ReadLabelEnvironment(int n);
bool WriteLabelEnvironment(int n);
bool ReadPrintEnvironment(int n);
bool WritePrintEnvironment(int n);
// Writes the names of the label and print environments of the general settings to the open file.
bool WriteEnvironmentNames();

// Printer selections.
bool getdefdevmode(PrinterSetup& setup);
void gettheprinter(PrinterSetup& setup);
void Setdefdevmode(const PrinterSetup& setup);
bool SelectEnvironmentPrinter();
// Stores a printer chosen in the printer-setup dialog into a setup: device, driver and port (cut
// to 80 characters), a fresh device mode with the printer's orientation, paper and resolution,
// no driver-private part (dmDriverExtra 0) and the device-names block.
void StorePrinterChoice(PrinterSetup& setup, const platform::PrinterInfo& printer);

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
