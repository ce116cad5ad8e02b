#include "platform/qt/qt_printers.h"

#include <QPageLayout>
#include <algorithm>
#include <QPrinterInfo>

#include "platform/qt/qtext.h"

namespace olbrax::platform {

namespace {

int PaperCode(const QPageSize& size) {
  switch (size.id()) {
    case QPageSize::Letter: return 1;
    case QPageSize::Legal: return 5;
    case QPageSize::A3: return 8;
    case QPageSize::A5: return 11;
    default: return 9;
  }
}

PrinterInfo Describe(const QPrinterInfo& q) {
  PrinterInfo p;
  p.name = FromQ(q.printerName());
  p.driver = FromQ(q.makeAndModel());
  p.port = FromQ(q.location());
  p.paper_size = PaperCode(q.defaultPageSize());
  QList<int> resolutions = q.supportedResolutions();
  p.dpi = resolutions.isEmpty() ? 600 : *std::max_element(resolutions.begin(), resolutions.end());
  return p;
}

}  // namespace

std::vector<PrinterInfo> QtPrinters::Printers() {
  std::vector<PrinterInfo> out;
  for (const QPrinterInfo& q : QPrinterInfo::availablePrinters()) out.push_back(Describe(q));
  out.push_back(PdfPrinter());
  return out;
}

std::optional<PrinterInfo> QtPrinters::Default() {
  QPrinterInfo q = QPrinterInfo::defaultPrinter();
  if (q.isNull()) return PdfPrinter();
  return Describe(q);
}

}  // namespace olbrax::platform
