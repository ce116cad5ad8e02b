// olbrax-cli config: where the configuration file is, the data directory and the current print
// and label environments; "config print K" / "config label K" show every field of an
// environment, and "config set print|label K FIELD=VALUE..." changes them by the storing rules of
// the configuration dialog (printing/config/environment_fields.h).
#include <QFont>
#include <QGuiApplication>
#include <charconv>
#include <map>

#include "cli/cli.h"
#include "cli/gui_app.h"
#include "platform/qt/qt_printers.h"
#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"
#include "printing/config/environment_fields.h"
#include "printing/config_fonts.h"

namespace olbrax::cli {
namespace {

Text FontText(const FontSpec& f) {
  Text t = f.name.get() + "," + IntStr(f.size, 0);
  if (f.style & 1) t += ",bold";
  if (f.style & 2) t += ",italic";
  return t + " (height " + IntStr(f.height, 0) + ")";
}

void ShowFonts(const PrinterSetup& s) {
  Out("  printer: " + s.device.get() + " (driver " + s.driver.get() + ", port " + s.port.get() + ")");
  Out("  font-large: " + FontText(s.large));
  Out("  font-medium: " + FontText(s.medium));
  Out("  font-small: " + FontText(s.small));
}

void ShowPrint(int k, int current) {
  PrintFields f = PrintFieldsOf(k);
  const TPrintEnvironment& e = CurrentPrintEnvironment;
  Out("utskriftsinst\xE4llning " + IntStr(k, 0) + (current == k ? " (aktuell)" : ""));
  Out("  name: " + f.name);
  Out("  footer: " + f.footer);
  Out("  columns: " + IntStr(f.columns, 0));
  ShowFonts(e.setup);
  Out("  orientation: " + IntStr(e.setup.Orientation(), 0) + ", paper: " + IntStr(e.setup.PaperSize(), 0) +
      ", dpi: " + IntStr(e.setup.PrintQuality(), 0));
  for (int i = 0; i <= 4; ++i) {
    const PicturePlace& p = e.pictures[i];
    Out("  bild" + IntStr(i, 0) + ": " + (p.active ? "aktiv" : "ej aktiv") + ", storlek " + IntStr(p.divisor, 0) +
        ", " + (p.path.get().empty() ? Text("(inbyggd)") : p.path.get()));
  }
}

void ShowLabel(int k, int current) {
  LabelFields f = LabelFieldsOf(k);
  Out("etikettinst\xE4llning " + IntStr(k, 0) + (current == k ? " (aktuell)" : ""));
  Out("  name: " + f.name);
  ShowFonts(CurrentLabelEnvironment.setup);
  Out("  top: " + IntStr(f.top, 0) + "  left: " + IntStr(f.left, 0));
  Out("  height: " + IntStr(f.height, 0) + "  width: " + IntStr(f.width, 0));
  Out("  row-pitch: " + IntStr(f.row_pitch, 0) + "  column-pitch: " + IntStr(f.column_pitch, 0));
  Out("  per-row: " + IntStr(f.per_row, 0) + "  rows: " + IntStr(f.rows, 0) + "  copies: " + IntStr(f.copies, 0));
}

bool ParseInt(std::string_view text, int& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "FACE,SIZE[,bold][,italic]" as the font dialog would return it.
bool ParseFont(std::string_view text, QFont& font) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string_view::npos) comma = text.size();
    parts.emplace_back(text.substr(at, comma - at));
    at = comma + 1;
  }
  int size = 0;
  if (parts.size() < 2 || parts[0].empty() || !ParseInt(parts[1], size) || size < 1 || size > 200) return false;
  font = QFont(QString::fromUtf8(parts[0]));
  font.setPointSize(size);
  font.setBold(false);
  font.setItalic(false);
  for (std::size_t i = 2; i < parts.size(); ++i) {
    if (parts[i] == "bold") font.setBold(true);
    else if (parts[i] == "italic") font.setItalic(true);
    else return false;
  }
  return true;
}

int RunShow(Context& ctx) {
  if (ctx.args.size() != 2 || (ctx.args[0] != "print" && ctx.args[0] != "label")) return Usage("config");
  int k = 0;
  if (!ParseInt(ctx.args[1], k) || k < 1 || k > 10) return Usage("config");
  bool print = ctx.args[0] == "print";
  ConfigLoad(AppSlot, true, "OLBRAX");
  int current = print ? GeneralSettings.print_env : GeneralSettings.label_env;
  bool ok = print ? LoadPrintEnvironment(k) : LoadLabelEnvironment(k);
  if (ok) print ? ShowPrint(k, current) : ShowLabel(k, current);
  else Err("olbrax-cli config: the configuration file cannot be read: " + ConfigFilePath());
  // The current environments stay what they were.
  if (print) LoadPrintEnvironment(current);
  else LoadLabelEnvironment(current);
  ConfigSave();
  return ok ? 0 : 1;
}

int RunSet(Context& ctx) {
  if (ctx.args.size() < 3 || (ctx.args[0] != "print" && ctx.args[0] != "label")) return Usage("config");
  const bool print = ctx.args[0] == "print";
  int k = 0;
  if (!ParseInt(ctx.args[1], k) || k < 1 || k > 10) return Usage("config");
  std::map<std::string, std::string> values;
  for (std::size_t i = 2; i < ctx.args.size(); ++i) {
    const std::string& a = ctx.args[i];
    auto eq = a.find('=');
    if (eq == std::string::npos || eq == 0) return Usage("config");
    values[a.substr(0, eq)] = a.substr(eq + 1);
  }

  auto app = EnsureGuiApplication();  // fonts and printers
  platform::QtPrinters printers;
  platform::SetPrinters(&printers);
  struct Restore {
    ~Restore() { platform::SetPrinters(nullptr); }
  } restore;
  ConfigLoad(AppSlot, true, "OLBRAX");
  const int current = print ? GeneralSettings.print_env : GeneralSettings.label_env;
  if (!(print ? LoadPrintEnvironment(k) : LoadLabelEnvironment(k))) {
    Err("olbrax-cli config: the configuration file cannot be read: " + ConfigFilePath());
    return 1;
  }
  PrintFields pf = PrintFieldsOf(k);
  LabelFields lf = LabelFieldsOf(k);
  PrinterSetup& setup = print ? CurrentPrintEnvironment.setup : CurrentLabelEnvironment.setup;
  PrinterSetup chosen = setup;
  std::map<std::string, int*> numbers;
  if (print) {
    numbers = {{"columns", &pf.columns}};
  } else {
    numbers = {{"top", &lf.top},         {"left", &lf.left},       {"height", &lf.height},
               {"width", &lf.width},     {"row-pitch", &lf.row_pitch}, {"column-pitch", &lf.column_pitch},
               {"per-row", &lf.per_row}, {"rows", &lf.rows},       {"copies", &lf.copies}};
  }
  for (const auto& [key, value] : values) {
    Text v = WinFromUtf8(value);
    if (key == "name") {
      (print ? pf.name : lf.name) = v;
    } else if (key == "footer" && print) {
      pf.footer = v;
    } else if (key == "printer") {
      std::optional<platform::PrinterInfo> p = platform::CurrentPrinters().Find(v);
      if (!p) {
        Err("olbrax-cli config: no printer named \"" + v + "\"");
        return 1;
      }
      StorePrinterChoice(chosen, *p);
    } else if (key == "font-large" || key == "font-medium" || key == "font-small") {
      QFont font;
      if (!ParseFont(value, font)) {
        std::fprintf(stderr, "olbrax-cli config: %s: expected FACE,SIZE[,bold][,italic]\n", key.c_str());
        return 2;
      }
      CaptureFont(font, key == "font-large" ? chosen.large : key == "font-medium" ? chosen.medium : chosen.small);
    } else if (auto it = numbers.find(key); it != numbers.end()) {
      if (!ParseInt(value, *it->second)) {
        std::fprintf(stderr, "olbrax-cli config: %s: not a number: %s\n", key.c_str(), value.c_str());
        return 2;
      }
    } else {
      std::fprintf(stderr, "olbrax-cli config: unknown field for a %s environment: %s\n", print ? "print" : "label",
                   key.c_str());
      return 2;
    }
  }
  // A value the dialog's fields would refuse is refused here too, before anything is stored.
  if (Text why = print ? CheckPrintFields(pf) : CheckLabelFields(lf); !why.empty()) {
    Err("olbrax-cli config: " + why + "; nothing stored");
    return 1;
  }
  setup = chosen;
  bool stored = print ? StorePrintEnvironment(k, pf) : StoreLabelEnvironment(k, lf);
  if (!stored) Err("olbrax-cli config: the configuration file cannot be written: " + ConfigFilePath());
  else print ? ShowPrint(k, current) : ShowLabel(k, current);
  // Changing an environment does not make it the current one.
  if (stored) print ? LoadPrintEnvironment(current) : LoadLabelEnvironment(current);
  ConfigSave();
  return stored ? 0 : 1;
}

int RunConfig(Context& ctx) {
  if (!ctx.args.empty() && ctx.args[0] == "set") {
    ctx.args.erase(ctx.args.begin());
    return RunSet(ctx);
  }
  if (!ctx.args.empty()) return RunShow(ctx);
  ConfigLoad(AppSlot, true, "OLBRAX");
  int print = GeneralSettings.print_env, label = GeneralSettings.label_env;
  Out("konfigurationsfil: " + ConfigFilePath());
  Out("databibliotek: " + (ctx.datadir ? WinFromUtf8(*ctx.datadir) : GeneralSettings.DataDirectory.get()));
  Out("utskriftsinst\xE4llning " + IntStr(print, 0) + ": " + GeneralSettings.print_names[print - 1].get() +
      " (skrivare " + CurrentPrintEnvironment.setup.device.get() + ")");
  Out("etikettinst\xE4llning " + IntStr(label, 0) + ": " + GeneralSettings.label_names[label - 1].get() +
      " (skrivare " + CurrentLabelEnvironment.setup.device.get() + ")");
  ConfigSave();
  return 0;
}

Registrar reg({"config",
               "[print K | label K | set print K FIELD=VALUE... | set label K FIELD=VALUE...]",
               "show the configuration, or every field of environment K, or change fields (print: name footer "
               "columns printer font-large font-medium font-small; label: name printer top left height width "
               "row-pitch column-pitch per-row rows copies and the fonts; a font is FACE,SIZE[,bold][,italic])",
               RunConfig});

}  // namespace
}  // namespace olbrax::cli
