#include "printing/engine/printers.h"

#include <QDateTime>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <cstdlib>

#include "platform/qt/qtext.h"
#include "printing/engine/painter_canvas.h"

namespace olbrax::print {

using platform::FromQ;
using platform::ToQ;

namespace {

CanvasFactory& Factory() {
  static CanvasFactory factory;
  return factory;
}

QPageSize PageSizeFor(int code) {
  switch (code) {
    case 1: return QPageSize(QPageSize::Letter);
    case 5: return QPageSize(QPageSize::Legal);
    case 8: return QPageSize(QPageSize::A3);
    case 11: return QPageSize(QPageSize::A5);
    default: return QPageSize(QPageSize::A4);
  }
}

QPageLayout::Orientation OrientationFor(int code) {
  return code == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

std::unique_ptr<Canvas> OpenPdf(const PrinterRequest& r) {
  QString folder = QString::fromStdString(PdfFolder());
  if (!QDir().mkpath(folder)) return nullptr;
  return OpenPdfFile((folder + "/" + ToQ(PdfFileName(r.title))).toStdString(), r);
}

std::unique_ptr<Canvas> OpenPrinter(const QPrinterInfo& info, const PrinterRequest& r) {
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer->isValid()) return nullptr;
  if (r.dpi > 0) printer->setResolution(r.dpi);
  printer->setFullPage(true);
  printer->setPageLayout(QPageLayout(PageSizeFor(r.paper_size), OrientationFor(r.orientation), QMarginsF()));
  Text text = FromQ(info.printerName()) + "," + FromQ(info.makeAndModel()) + "," + FromQ(info.location());
  return std::make_unique<PainterCanvas>(std::move(printer), text.substr(0, 160), true);
}

}  // namespace

std::unique_ptr<Canvas> OpenPdfFile(const std::string& path, const PrinterRequest& r) {
  QString qpath = QString::fromStdString(path);
  auto writer = std::make_unique<QPdfWriter>(qpath);
  writer->setResolution(r.dpi > 0 ? r.dpi : 600);
  writer->setPageLayout(QPageLayout(PageSizeFor(r.paper_size), OrientationFor(r.orientation), QMarginsF()));
  writer->setCreator("olbrax");
  return std::make_unique<PainterCanvas>(std::move(writer), "PDF," + FromQ(qpath), false, qpath);
}

std::vector<Text> PrinterNames() {
  std::vector<Text> names;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(FromQ(n));
  names.emplace_back(kPdfPrinter);
  return names;
}

Text DefaultPrinterName() {
  QString name = QPrinterInfo::defaultPrinterName();
  return name.isEmpty() ? Text(kPdfPrinter) : FromQ(name);
}

std::unique_ptr<Canvas> OpenCanvas(const PrinterRequest& request) {
  if (Factory()) return Factory()(request);
  Text device = request.device.empty() ? DefaultPrinterName() : request.device;
  if (device != kPdfPrinter) {
    QPrinterInfo info = QPrinterInfo::printerInfo(ToQ(device));
    if (!info.isNull()) return OpenPrinter(info, request);
  }
  return OpenPdf(request);
}

void SetCanvasFactory(CanvasFactory factory) { Factory() = std::move(factory); }

std::string PdfFolder() {
  // A system path kept as it is: converted to the program's code page and back, a folder with
  // other characters would become another folder.
  if (const char* dir = std::getenv("OLBRAX_PDF_DIR"); dir && *dir) return dir;
  QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return (docs + "/OlbraxW32/text").toStdString();
}

Text PdfFileName(std::string_view title) {
  Text name;
  for (char c : title) {
    unsigned char u = static_cast<unsigned char>(c);
    bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0;
    if (keep) name += c;
    else if (!name.empty() && name.back() != '_') name += '_';
  }
  while (!name.empty() && name.back() == '_') name.pop_back();
  if (name.empty()) name = "utskrift";
  QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss-zzz");
  return name + "_" + FromQ(stamp) + ".pdf";
}

}  // namespace olbrax::print
