// olbrax-cli labels add TEXT | change KEY TEXT | list | delete KEY |
//                   print [--only KEY,...] [--copies N] [--env N] [--out FILE.pdf]
// The address and label register of the data directory, with the checks of its windows, and
// printing on label sheets with the current label environment.
#include <charconv>
#include <cstdio>
#include <vector>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/sheet_job.h"
#include "printing/config/configuration.h"
#include "printing/engine/print_engine.h"
#include "registers/data/label_register.h"
#include "registers/data/side_register.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax::cli {
namespace {

// A label text from the command line: UTF-8, lines split by newlines or by the two characters
// "\n".
Text LabelText(const std::string& arg) {
  std::string lines;
  for (std::size_t i = 0; i < arg.size(); ++i) {
    if (arg[i] == '\\' && i + 1 < arg.size() && arg[i + 1] == 'n') {
      lines += '\n';
      ++i;
    } else {
      lines += arg[i];
    }
  }
  return side::EditorText(WinFromUtf8(lines), kLabelTextMax);
}

// The label file open for one command.
class LabelFileSession {
 public:
  LabelFileSession() : open_(OpenLabelFile()) {
    if (!open_) Err(LabelFilesFailedText());
  }
  ~LabelFileSession() { CloseLabelFile(); }
  bool open() const { return open_; }

 private:
  bool open_;
};

// Every label in key order: record number and text.
std::vector<std::pair<std::int32_t, Text>> AllLabels() {
  std::vector<std::pair<std::int32_t, Text>> out;
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindLabel(4, "", rec, at_end, found);
  for (int guard = 0; guard <= kLabelCapacity * 4; ++guard) {
    FindLabel(2, "", rec, at_end, found);
    if (at_end) break;
    if (found) out.emplace_back(rec, EtikettRec.Etk.get());
  }
  return out;
}

Text OneLine(std::string_view text) {
  Text out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      out += " / ";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

int Add(const Text& text) {
  if (LabelRegisterFull()) {
    Err("maxantalet uppn\xE5tt kan ej addera registerpost!");
    return 1;
  }
  if (LabelKeyTaken(text)) {
    Err(LabelTakenText(StoredLabelKey(text)));
    return 1;
  }
  ClearLabel();
  EtikettRec.Etk.set(text);
  std::int32_t rec = 0;
  PutLabel(true, rec);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  Out("Etikett \"" + LabelKey(EtikettRec.Etk.get()) + "\" adderad");
  return 0;
}

int Change(const Text& key, const Text& text) {
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindLabel(0, key, rec, at_end, found);
  if (!found) {
    Err("Etikett \"" + key + "\" finns inte");
    return 1;
  }
  if (LabelKeyTaken(text, rec)) {
    Err(LabelTakenText(StoredLabelKey(text)));
    return 1;
  }
  // As the register window does it: the key goes, the changed label comes back with its key.
  DeleteLabel(5, "", rec, false);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  EtikettRec.Etk.set(text);
  PutLabel(false, rec);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  Out("Etikett \"" + LabelKey(EtikettRec.Etk.get()) + "\" \xE4ndrad");
  return 0;
}

int Delete(const Text& key) {
  MsgLine.clear();
  DeleteLabel(0, key, 0, true);
  if (!IsamOK) {
    if (MsgLine.empty()) Err("Etikett \"" + key + "\" finns inte");
    else ReportMsgLine();
    return 1;
  }
  Out(MsgLine);
  return 0;
}

int Print(Context& ctx, const SheetJobOptions& options, const std::optional<std::string>& only,
          const std::optional<int>& copies) {
  std::vector<Text> texts;
  {
    LabelFileSession file;
    if (!file.open()) return 1;
    std::vector<std::pair<std::int32_t, Text>> labels = AllLabels();
    if (only) {
      for (const Text& key : SplitKeys(*only)) {
        auto it = std::find_if(labels.begin(), labels.end(),
                               [&](const auto& l) { return StoredLabelKey(l.second) == side::StoredKey(key); });
        if (it == labels.end()) {
          Err("Etikett \"" + key + "\" finns inte");
          return 1;
        }
        texts.push_back(it->second);
      }
    } else {
      for (auto& l : labels) texts.push_back(l.second);
    }
  }
  if (texts.empty()) {
    Err("Inga etiketter att skriva ut");
    return 1;
  }
  SheetJobRun run(options);
  if (!run.ok()) return 1;
  const std::int32_t own_copies = CurrentLabelEnvironment.copies;
  if (copies) CurrentLabelEnvironment.copies = *copies;
  bool started = BeginSheetPrint("etiketter", nullptr);
  int n = static_cast<int>(texts.size());
  for (int i = 0; started && i < n && !print::PrAborted(); ++i) {
    print::ShowProgress(i + 1, n);
    MsgLine.clear();
    PrintOnSheet(DrawLabel, texts[static_cast<std::size_t>(i)]);
    ReportMsgLine();
  }
  bool aborted = print::PrAborted();
  EndSheetPrint();
  if (copies) CurrentLabelEnvironment.copies = own_copies;
  if (!started) return 1;
  if (aborted) {
    Err("Utskriften avbruten");
    return 1;
  }
  Out("Etiketter utskrivna: " + std::to_string(SheetState.labels_printed) + " p\xE5 " +
      std::to_string(SheetState.sheet) + " ark" + (options.out ? " i " + WinFromUtf8(*options.out) : Text()));
  return SheetState.pictures_missing > 0 ? 1 : 0;
}

int RunLabels(Context& ctx) {
  SheetJobOptions options;
  if (!options.Take(ctx, "labels")) return 2;
  std::optional<std::string> only = TakeOption(ctx.args, "--only");
  std::optional<int> copies;
  if (std::optional<std::string> c = TakeOption(ctx.args, "--copies")) {
    int n = 0;
    auto [end, ec] = std::from_chars(c->data(), c->data() + c->size(), n);
    if (ec != std::errc() || end != c->data() + c->size() || n < 1 || n > 999) {
      std::fprintf(stderr, "olbrax-cli labels: --copies must be 1..999\n");
      return 2;
    }
    copies = n;
  }
  if (ctx.args.empty()) return Usage("labels");
  const std::string what = ctx.args[0];
  const std::size_t n = ctx.args.size();
  bool printing = what == "print";
  if ((what == "add" && n != 2) || (what == "change" && n != 3) || (what == "delete" && n != 2) ||
      (what == "list" && n != 1) || (printing && n != 1) ||
      (what != "add" && what != "change" && what != "delete" && what != "list" && !printing) ||
      (!printing && (only || copies || options.out || options.env)))
    return Usage("labels");

  DataSession data(ctx, false);
  if (!data.ok()) return 1;
  if (printing) return Print(ctx, options, only, copies);
  LabelFileSession file;
  if (!file.open()) return 1;
  if (what == "add") return Add(LabelText(ctx.args[1]));
  if (what == "change") return Change(WinFromUtf8(ctx.args[1]), LabelText(ctx.args[2]));
  if (what == "delete") return Delete(WinFromUtf8(ctx.args[1]));
  for (const auto& [rec, text] : AllLabels()) Out(OneLine(text));
  return 0;
}

Registrar reg({"labels",
               "add TEXT | change KEY TEXT | list | delete KEY | print [--only KEY,...] [--copies N] [--env N] "
               "[--out FILE.pdf]",
               "the address and label register; lines of TEXT split by newlines or \\n", RunLabels});

}  // namespace
}  // namespace olbrax::cli
