// The printers of the machine as the configuration sees them, without Qt: the names, the
// default printer, the fields a printer selection stores (orientation, paper size code,
// resolution, default margins), and the process-wide selected printer.
//
// The program installs an implementation that lists the CUPS printers; until then, and in the
// command-line tool without a GUI, only the always-present virtual printer "PDF" is known.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace olbrax::platform {

struct PrinterInfo {
  std::string name;    // Windows-1252
  std::string driver;  // the make and model
  std::string port;    // where it prints (the location, or the PDF folder)
  int orientation = 1;  // 1 portrait, 2 landscape
  int paper_size = 9;   // paper size code: 9 A4, 1 Letter, 8 A3, 11 A5, 5 Legal
  int dpi = 600;
  // Default margins in thousandths of an inch: left, top, right, bottom.
  int margins[4] = {1000, 1000, 1000, 1000};
};

class PrinterService {
 public:
  virtual ~PrinterService() = default;
  // Every printer, the virtual "PDF" printer last.
  virtual std::vector<PrinterInfo> Printers();
  // The system's default printer ("PDF" when there is no other).
  virtual std::optional<PrinterInfo> Default();

  std::optional<PrinterInfo> Find(const std::string& name);
  // Selects a printer by name: false (and the selection unchanged) when there is none of that
  // name.
  bool Select(const std::string& name, int orientation, int paper_size, int dpi);
  // The selected printer: the default one until something else is selected.
  PrinterInfo Selected();

 private:
  std::optional<PrinterInfo> selected_;
};

inline constexpr const char* kPdfPrinterName = "PDF";
// The virtual printer's own description.
PrinterInfo PdfPrinter();

PrinterService& CurrentPrinters();
// Installs `service` (not owned); null goes back to the built-in one that knows only "PDF".
void SetPrinters(PrinterService* service);

}  // namespace olbrax::platform
