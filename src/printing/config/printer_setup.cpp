// Printer selections kept in the environments: filled from the printer service, selected back.
// The device mode, page setup and device names keep the byte images of the platform the file
// format comes from; the fields the program reads are filled from the printer, the rest is zero.
#include <cstring>

#include "base/messages.h"
#include "platform/printers.h"
#include "printing/config/configuration.h"

namespace olbrax {

namespace {

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Writes a Windows-1252 text as UTF-16 code units (the 1252 letters the program uses are all
// in Latin-1, whose code points equal their byte values), NUL-ended, at most `max` units.
int PutWide(std::uint8_t* p, std::string_view text, int max) {
  int n = 0;
  for (; n < static_cast<int>(text.size()) && n < max - 1; ++n) {
    p[2 * n] = static_cast<std::uint8_t>(text[static_cast<std::size_t>(n)]);
    p[2 * n + 1] = 0;
  }
  p[2 * n] = p[2 * n + 1] = 0;
  return n + 1;
}

constexpr std::uint32_t kDmOrientation = 0x1, kDmPaperSize = 0x2, kDmPrintQuality = 0x400, kDmYResolution = 0x2000;
constexpr std::uint32_t kReturnDefault = 0x480;  // page setup flags of a default query

// Fills the names, the device mode and the device names of `s` from a printer.
void Fill(PrinterSetup& s, const platform::PrinterInfo& p, bool is_default) {
  std::memset(s.devmode, 0, sizeof s.devmode);
  std::memset(s.driver_private, 0, sizeof s.driver_private);
  s.driver.set(p.driver);
  s.device.set(p.name);
  s.port.set(p.port);
  PutWide(s.devmode, p.name, 32);
  s.Set16(devmode::kSize, 220);
  s.Set16(devmode::kDriverExtra, 0);  // this system keeps no driver-private part
  Put32(s.devmode + devmode::kFields, kDmOrientation | kDmPaperSize | kDmPrintQuality | kDmYResolution);
  s.Set16(devmode::kOrientation, p.orientation);
  s.Set16(devmode::kPaperSize, p.paper_size);
  s.Set16(devmode::kPrintQuality, p.dpi);
  s.Set16(devmode::kYResolution, p.dpi);
  s.devmode_valid = 1;
  // Device names: four offsets (in characters) and the three names.
  std::memset(s.devnames, 0, sizeof s.devnames);
  int at = 4;
  std::uint8_t* d = s.devnames;
  auto put_name = [&](int slot, std::string_view name) {
    d[2 * slot] = static_cast<std::uint8_t>(at);
    d[2 * slot + 1] = static_cast<std::uint8_t>(at >> 8);
    at += PutWide(d + 2 * at, name.substr(0, 80), 81);
  };
  put_name(0, p.driver);
  put_name(1, p.name);
  put_name(2, p.port);
  d[6] = is_default ? 1 : 0;
}

}  // namespace

std::uint32_t PrinterSetup::PageFlags() const { return Get32(page_setup + pagesetup::kFlags); }
void PrinterSetup::SetPageFlags(std::uint32_t flags) { Put32(page_setup + pagesetup::kFlags, flags); }

std::int32_t PrinterSetup::Margin(int i) const {
  return static_cast<std::int32_t>(Get32(page_setup + pagesetup::kMargin + 4 * i));
}

void PrinterSetup::SetMargin(int i, std::int32_t v) {
  Put32(page_setup + pagesetup::kMargin + 4 * i, static_cast<std::uint32_t>(v));
}

bool getdefdevmode(PrinterSetup& setup) {
  std::optional<platform::PrinterInfo> p = platform::CurrentPrinters().Default();
  if (!p) {
    MsgLine = "pagesetupdlg error: 0";
    return false;
  }
  Fill(setup, *p, true);
  std::memset(setup.page_setup, 0, sizeof setup.page_setup);
  Put32(setup.page_setup + pagesetup::kStructSize, 84);
  setup.SetPageFlags(kReturnDefault | pagesetup::kMarginsInThousandths);
  for (int i = 0; i < 4; ++i) setup.SetMargin(i, p->margins[i]);
  return true;
}

void gettheprinter(PrinterSetup& setup) { Fill(setup, platform::CurrentPrinters().Selected(), false); }

void StorePrinterChoice(PrinterSetup& setup, const platform::PrinterInfo& printer) { Fill(setup, printer, false); }

void Setdefdevmode(const PrinterSetup& setup) {
  if (!setup.devmode_valid) {
    MsgLine = "Error! Kan ej finna default skrivare.";
    return;
  }
  platform::CurrentPrinters().Select(setup.device.get(), setup.Orientation(), setup.PaperSize(), setup.PrintQuality());
}

bool SelectEnvironmentPrinter() {
  const PrinterSetup& s = CurrentPrintEnvironment.setup;
  return platform::CurrentPrinters().Select(s.device.get(), s.devmode_valid ? s.Orientation() : 0,
                                            s.devmode_valid ? s.PaperSize() : 0,
                                            s.devmode_valid ? s.PrintQuality() : 0);
}

}  // namespace olbrax
