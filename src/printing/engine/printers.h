// The printers a job can go to: the CUPS printers of the machine and the always-present virtual
// printer "PDF", which writes each job to a PDF file of its own.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/text.h"
#include "printing/engine/canvas.h"

namespace olbrax::print {

inline constexpr std::string_view kPdfPrinter = "PDF";

struct PrinterRequest {
  Text device;          // printer name; empty or unknown = the default printer
  int dpi = 600;        // resolution asked for (0 = the printer's own)
  int orientation = 1;  // 1 portrait, 2 landscape
  int paper_size = 9;   // platform paper size code: 9 A4, 1 Letter, 8 A3, 11 A5, 5 Legal
  Text title;           // the job's title, which also names a PDF file
};

// The printer names, CUPS printers first, "PDF" last.
std::vector<Text> PrinterNames();
// The system's default printer, or "PDF" when there is none.
Text DefaultPrinterName();

// Opens a canvas for a job; null when the printer cannot be opened.
std::unique_ptr<Canvas> OpenCanvas(const PrinterRequest& request);

// A canvas writing the job to the PDF file at `path` (UTF-8), replacing it.
std::unique_ptr<Canvas> OpenPdfFile(const std::string& path, const PrinterRequest& request);

// Tests and tools can send every job elsewhere (null restores the printers).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(const PrinterRequest&)>;
void SetCanvasFactory(CanvasFactory factory);

// Where the "PDF" printer writes: $OLBRAX_PDF_DIR, else the documents "text" folder (a system
// path, UTF-8).
std::string PdfFolder();
// The file name a job gets there: the title's letters and digits and the time.
Text PdfFileName(std::string_view title);

}  // namespace olbrax::print
