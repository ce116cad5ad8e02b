#include "platform/printers.h"

namespace olbrax::platform {

PrinterInfo PdfPrinter() {
  PrinterInfo p;
  p.name = kPdfPrinterName;
  p.driver = "olbrax PDF";
  p.port = "PDF-fil";
  return p;
}

std::vector<PrinterInfo> PrinterService::Printers() { return {PdfPrinter()}; }

std::optional<PrinterInfo> PrinterService::Default() { return PdfPrinter(); }

std::optional<PrinterInfo> PrinterService::Find(const std::string& name) {
  for (PrinterInfo& p : Printers())
    if (p.name == name) return p;
  return std::nullopt;
}

bool PrinterService::Select(const std::string& name, int orientation, int paper_size, int dpi) {
  std::optional<PrinterInfo> p = Find(name);
  if (!p) return false;
  if (orientation == 1 || orientation == 2) p->orientation = orientation;
  if (paper_size > 0) p->paper_size = paper_size;
  if (dpi > 0) p->dpi = dpi;
  selected_ = *p;
  return true;
}

PrinterInfo PrinterService::Selected() {
  if (selected_) return *selected_;
  std::optional<PrinterInfo> d = Default();
  return d ? *d : PdfPrinter();
}

namespace {
PrinterService* g_service = nullptr;
}

PrinterService& CurrentPrinters() {
  static PrinterService builtin;
  return g_service ? *g_service : builtin;
}

void SetPrinters(PrinterService* service) { g_service = service; }

}  // namespace olbrax::platform
