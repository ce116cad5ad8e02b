// The records of the configuration file OlbraxW32.P32 (317 112 bytes): the general settings,
// ten label environments and ten print environments, each laid out exactly as in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/text.h"

namespace olbrax {

// A NUL-ended text of at most N characters in N + 1 bytes.
template <int N>
struct ZStr {
  char s[N + 1];
  Text get() const { return Text(s, ::strnlen(s, N + 1)); }
  void set(std::string_view v) {
    std::size_t n = v.size() < N ? v.size() : N;
    std::memcpy(s, v.data(), n);
    std::memset(s + n, 0, N + 1 - n);
  }
};

// A length-prefixed text of at most N characters in N + 1 bytes.
template <int N>
struct LStr {
  std::uint8_t len;
  char s[N];
  Text get() const { return Text(s, len < N ? len : N); }
  void set(std::string_view v) {
    std::size_t n = v.size() < N ? v.size() : N;
    len = static_cast<std::uint8_t>(n);
    std::memcpy(s, v.data(), n);
    std::memset(s + n, 0, N - n);
  }
};

struct FontSpec {
  std::uint8_t charset;
  std::uint8_t pad1[3];
  std::int32_t color;   // 0x00BBGGRR
  std::int32_t height;  // pixels at 96 per inch; positive cell height, negative character height
  std::int32_t size;    // points
  LStr<80> name;
  std::uint8_t pitch;  // 0 default, 1 variable, 2 fixed
  std::uint8_t style;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  std::uint8_t pad99;
};
static_assert(sizeof(FontSpec) == 100);
static_assert(offsetof(FontSpec, height) == 8 && offsetof(FontSpec, size) == 12 && offsetof(FontSpec, name) == 16);
static_assert(offsetof(FontSpec, pitch) == 97 && offsetof(FontSpec, style) == 98);

// Offsets inside the 220-byte public device mode (a Windows DEVMODEW image) that the program
// reads or sets.
namespace devmode {
constexpr int kSize = 68;          // dmSize
constexpr int kDriverExtra = 70;   // dmDriverExtra
constexpr int kFields = 72;        // dmFields
constexpr int kOrientation = 76;   // dmOrientation
constexpr int kPaperSize = 78;     // dmPaperSize
constexpr int kPrintQuality = 90;  // dmPrintQuality
constexpr int kYResolution = 96;   // dmYResolution
}  // namespace devmode

// Offsets inside the 84-byte page-setup block (a 32-bit PAGESETUPDLGW image).
namespace pagesetup {
constexpr int kStructSize = 0;
constexpr int kFlags = 16;
constexpr int kMargin = 44;  // rtMargin: left, top, right, bottom
constexpr std::uint32_t kMarginsInThousandths = 8;
}  // namespace pagesetup

struct PrinterSetup {
  ZStr<80> driver;
  ZStr<80> device;
  ZStr<80> port;
  std::uint8_t pad243;
  FontSpec large;
  FontSpec medium;
  FontSpec small;
  std::uint8_t devmode_valid;
  std::uint8_t pad545[3];
  std::uint8_t devmode[220];
  std::uint8_t driver_private[8196];
  std::uint8_t page_setup[84];
  std::uint8_t devnames[492];
  std::int32_t columns;
  std::uint8_t reserved[4];

  std::int16_t Get16(int at) const { return static_cast<std::int16_t>(devmode[at] | devmode[at + 1] << 8); }
  void Set16(int at, int v) {
    devmode[at] = static_cast<std::uint8_t>(v);
    devmode[at + 1] = static_cast<std::uint8_t>(static_cast<unsigned>(v) >> 8);
  }
  int Orientation() const { return Get16(devmode::kOrientation); }
  int PaperSize() const { return Get16(devmode::kPaperSize); }
  int PrintQuality() const { return Get16(devmode::kPrintQuality); }
  int YResolution() const { return Get16(devmode::kYResolution); }
  int DriverExtra() const { return static_cast<std::uint16_t>(Get16(devmode::kDriverExtra)); }
  std::uint32_t PageFlags() const;
  void SetPageFlags(std::uint32_t flags);
  // Margin 0..3: left, top, right, bottom.
  std::int32_t Margin(int i) const;
  void SetMargin(int i, std::int32_t v);
};
static_assert(sizeof(PrinterSetup) == 9548);
static_assert(offsetof(PrinterSetup, device) == 81 && offsetof(PrinterSetup, port) == 162);
static_assert(offsetof(PrinterSetup, large) == 244 && offsetof(PrinterSetup, medium) == 344);
static_assert(offsetof(PrinterSetup, small) == 444 && offsetof(PrinterSetup, devmode_valid) == 544);
static_assert(offsetof(PrinterSetup, devmode) == 548 && offsetof(PrinterSetup, driver_private) == 768);
static_assert(offsetof(PrinterSetup, page_setup) == 8964 && offsetof(PrinterSetup, devnames) == 9048);
static_assert(offsetof(PrinterSetup, columns) == 9540);

struct TGeneralSettings {
  std::int32_t reserved0;
  std::int32_t CurrentCompetition;
  std::uint8_t label_env;
  std::uint8_t print_env;
  ZStr<1024> system_path;
  ZStr<1024> reserved1035;
  ZStr<1024> file_mask;
  LStr<31> computer_name;
  std::uint8_t reserved3117[2050];
  ZStr<1024> DataDirectory;
  ZStr<1024> ExchangeFolder;
  std::uint8_t RouteFormat;
  std::uint8_t pad7218[2];
  std::int32_t remembered_competition[31];
  ZStr<1024> remembered_directory[31];
  std::uint8_t reserved39119[7936];
  std::uint8_t reserved_entries[8][1538];
  LStr<40> communication;
  LStr<40> label_names[10];
  LStr<40> print_names[10];
  std::int32_t dialog_page;
  std::int16_t window_scale;
  std::uint8_t pad60226[2];
  std::int32_t window_left;
  std::int32_t window_top;
  std::int32_t window_width;
  std::int32_t window_height;
  std::uint8_t reserved60244[108];
};
static_assert(sizeof(TGeneralSettings) == 60352);
static_assert(offsetof(TGeneralSettings, CurrentCompetition) == 4 && offsetof(TGeneralSettings, label_env) == 8);
static_assert(offsetof(TGeneralSettings, print_env) == 9 && offsetof(TGeneralSettings, system_path) == 10);
static_assert(offsetof(TGeneralSettings, file_mask) == 2060 && offsetof(TGeneralSettings, computer_name) == 3085);
static_assert(offsetof(TGeneralSettings, DataDirectory) == 5167 && offsetof(TGeneralSettings, ExchangeFolder) == 6192);
static_assert(offsetof(TGeneralSettings, RouteFormat) == 7217);
static_assert(offsetof(TGeneralSettings, remembered_competition) == 7220);
static_assert(offsetof(TGeneralSettings, remembered_directory) == 7344);
static_assert(offsetof(TGeneralSettings, reserved_entries) == 47055);
static_assert(offsetof(TGeneralSettings, communication) == 59359 && offsetof(TGeneralSettings, label_names) == 59400);
static_assert(offsetof(TGeneralSettings, print_names) == 59810 && offsetof(TGeneralSettings, dialog_page) == 60220);
static_assert(offsetof(TGeneralSettings, window_scale) == 60224 && offsetof(TGeneralSettings, window_left) == 60228);
static_assert(offsetof(TGeneralSettings, window_height) == 60240);

struct TLabelEnvironment {
  std::int32_t left;
  std::uint16_t height;
  std::uint16_t row_pitch;
  std::uint16_t column_pitch;
  std::uint16_t width;
  std::int32_t top;
  std::uint16_t reserved16;
  std::uint16_t per_row;
  std::uint16_t rows;
  std::uint8_t pad22[2];
  std::int32_t reserved24;
  std::int32_t reserved28;
  std::uint8_t reserved32;
  std::uint8_t pad33[3];
  PrinterSetup setup;
  std::int32_t copies;
  std::uint8_t sheet_flag;
  std::uint8_t reserved9589[131];
};
static_assert(sizeof(TLabelEnvironment) == 9720);
static_assert(offsetof(TLabelEnvironment, top) == 12 && offsetof(TLabelEnvironment, per_row) == 18);
static_assert(offsetof(TLabelEnvironment, rows) == 20 && offsetof(TLabelEnvironment, setup) == 36);
static_assert(offsetof(TLabelEnvironment, copies) == 9584 && offsetof(TLabelEnvironment, sheet_flag) == 9588);

struct PicturePlace {
  ZStr<1024> path;
  std::uint8_t active;
  std::uint8_t pad[2];
  std::int32_t divisor;
};
static_assert(sizeof(PicturePlace) == 1032);

struct TPrintEnvironment {
  std::uint8_t reserved0;
  ZStr<1024> reserved1;
  LStr<64> footer;
  std::uint8_t pad1091;
  PrinterSetup setup;
  std::uint8_t flags[21];
  std::uint8_t pad10661[3];
  PicturePlace pictures[5];
  std::uint8_t reserved15824[132];
};
static_assert(sizeof(TPrintEnvironment) == 15956);
static_assert(offsetof(TPrintEnvironment, footer) == 1026 && offsetof(TPrintEnvironment, setup) == 1092);
static_assert(offsetof(TPrintEnvironment, flags) == 10640 && offsetof(TPrintEnvironment, pictures) == 10664);

constexpr std::int64_t kConfigFileSize = 317112;
constexpr std::int64_t LabelSlot(int n) { return 60352 + static_cast<std::int64_t>(n - 1) * 9720; }
constexpr std::int64_t PrintSlot(int n) { return 157552 + static_cast<std::int64_t>(n - 1) * 15956; }
static_assert(PrintSlot(10) + 15956 == kConfigFileSize && LabelSlot(1) == 50632 + 9720);

}  // namespace olbrax
