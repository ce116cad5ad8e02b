// olbrax-cli giro plusgiro|postgiro|bankgiro
//   add --payee NAME [--letter L] [--giro NR] [--account NR] [--amount KR] [--message TEXT]
//       [--address TEXT] [--reference REF]
//   change KEY [the same options: only those given change]
//   delete KEY | list | print [--only KEY,...] [--env N] [--out FILE.pdf]
// The payment-form registers of the data directory ("giroP" holds plusgiro and postgiro forms,
// "giroB" bankgiro forms) with the checks of the form windows' "ok", and printing of forms with
// the current label environment, one form per cell.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/sheet_job.h"
#include "printing/engine/print_engine.h"
#include "registers/data/giro_fields.h"
#include "registers/data/giro_register.h"
#include "registers/sheets/giro_print.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax::cli {
namespace {

// The field options of add and change.
struct FieldOptions {
  std::optional<std::string> payee, letter, giro, account, amount, message, address, reference;

  void Take(std::vector<std::string>& args) {
    payee = TakeOption(args, "--payee");
    letter = TakeOption(args, "--letter");
    giro = TakeOption(args, "--giro");
    account = TakeOption(args, "--account");
    amount = TakeOption(args, "--amount");
    message = TakeOption(args, "--message");
    address = TakeOption(args, "--address");
    reference = TakeOption(args, "--reference");
  }
  bool any() const { return payee || letter || giro || account || amount || message || address || reference; }

  // Applies the options given; false (with a message) for an amount that is no whole number of
  // kronor within the form's range.
  bool Apply(GiroFields& f, int kind) const {
    auto text = [](const std::optional<std::string>& v, Text& field) {
      if (v) field = WinFromUtf8(*v);
    };
    // Multi-line texts: newlines or the two characters "\n" split the lines.
    auto lines = [](const std::optional<std::string>& v, Text& field) {
      if (!v) return;
      std::string s;
      for (std::size_t i = 0; i < v->size(); ++i) {
        if ((*v)[i] == '\\' && i + 1 < v->size() && (*v)[i + 1] == 'n') {
          s += '\n';
          ++i;
        } else {
          s += (*v)[i];
        }
      }
      field = WinFromUtf8(s);
    };
    text(payee, f.payee);
    text(letter, f.letter);
    text(giro, f.giro);
    text(account, f.own_account);
    text(reference, f.reference);
    lines(message, f.message);
    lines(address, f.address);
    if (amount) {
      int value = -1;
      auto [end, ec] = std::from_chars(amount->data(), amount->data() + amount->size(), value);
      if (ec != std::errc() || end != amount->data() + amount->size() || value < 0 || value > GiroAmountMax(kind)) {
        std::fprintf(stderr, "olbrax-cli giro: --amount must be whole kronor 0..%d\n", GiroAmountMax(kind));
        return false;
      }
      f.amount = value;
    }
    return true;
  }
};

// The payment-form file of a kind, open for one command.
class GiroFileSession {
 public:
  explicit GiroFileSession(int kind) : open_(OpenGiroFile(kind)) {
    if (!open_) Err(GiroFilesFailedText());
  }
  ~GiroFileSession() { CloseGiroFile(); }
  bool open() const { return open_; }

 private:
  bool open_;
};

// Every form of the open file: record number, key and list line, sorted by list line as the
// register window lists them.
struct Entry {
  std::int32_t rec;
  Text key;
  Text line;
  TGiroRec record;
};

std::vector<Entry> AllForms() {
  std::vector<Entry> out;
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindGiro(4, "", rec, at_end, found);
  for (int guard = 0; guard <= kGiroCapacity * 4; ++guard) {
    FindGiro(2, "", rec, at_end, found);
    if (at_end) break;
    if (found) out.push_back({rec, GiroKey(), GiroListLine(), GiroRec});
  }
  std::stable_sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
  return out;
}

int Add(int kind, const FieldOptions& options) {
  if (GiroRegisterFull()) {
    Err("maxantalet uppn\xE5tt kan ej addera registerpost!");
    return 1;
  }
  ClearGiro();
  GiroFields f = GiroFieldsFromBuffer(kind);
  if (!options.Apply(f, kind)) return 2;
  if (Text refused = CheckGiroFields(f); !refused.empty()) {
    Err(refused);
    return 1;
  }
  StoreGiroFields(f, kind);
  std::int32_t rec = 0;
  PutGiro(true, rec);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  Out("Girot \"" + GiroKey() + "\" adderat");
  return 0;
}

int Change(int kind, const Text& key, const FieldOptions& options) {
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindGiro(0, key, rec, at_end, found);
  if (!found) {
    Err("Girot \"" + key + "\" finns inte");
    return 1;
  }
  GiroFields f = GiroFieldsFromBuffer(kind);
  if (!options.Apply(f, kind)) return 2;
  if (Text refused = CheckGiroFields(f, rec); !refused.empty()) {
    Err(refused);
    return 1;
  }
  // As the register window does it: the key goes, the changed form comes back with its key.
  DeleteGiro(5, "", rec, false);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  StoreGiroFields(f, kind);
  PutGiro(false, rec);
  if (!IsamOK) {
    ReportMsgLine();
    return 1;
  }
  Out("Girot \"" + GiroKey() + "\" \xE4ndrat");
  return 0;
}

int Delete(const Text& key) {
  MsgLine.clear();
  DeleteGiro(0, key, 0, true);
  if (!IsamOK) {
    if (MsgLine.empty()) Err("Girot \"" + key + "\" finns inte");
    else ReportMsgLine();
    return 1;
  }
  Out(MsgLine);
  return 0;
}

int Print(int kind, const SheetJobOptions& options, const std::optional<std::string>& only) {
  std::vector<TGiroRec> forms;
  {
    GiroFileSession file(kind);
    if (!file.open()) return 1;
    std::vector<Entry> entries = AllForms();
    if (only) {
      for (const Text& key : SplitKeys(*only)) {
        auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == Cut(key, 30); });
        if (it == entries.end()) {
          Err("Girot \"" + key + "\" finns inte");
          return 1;
        }
        forms.push_back(it->record);
      }
    } else {
      for (const Entry& e : entries) forms.push_back(e.record);
    }
  }
  if (forms.empty()) {
    Err("Inga giroblanketter att skriva ut");
    return 1;
  }
  SheetJobRun run(options);
  if (!run.ok()) return 1;
  bool started = BeginSheetPrint("giroblanketter", nullptr);
  if (started) print::ShowStatusLine(1, "utskrift av giroblanketter");
  int n = static_cast<int>(forms.size());
  for (int i = 0; started && i < n && !print::PrAborted(); ++i) {
    print::ShowProgress(i + 1, n);
    GiroRec = forms[static_cast<std::size_t>(i)];
    PrintGiroForm(kind);
  }
  bool aborted = print::PrAborted();
  EndSheetPrint();
  if (!started) return 1;
  if (aborted) {
    Err("Utskriften avbruten");
    return 1;
  }
  Out("Giroblanketter utskrivna: " + std::to_string(n) + " (" + std::to_string(n * SheetState.copies) + " celler p\xE5 " +
      std::to_string(SheetState.sheet) + " ark)" + (options.out ? " i " + WinFromUtf8(*options.out) : Text()));
  return 0;
}

int RunGiro(Context& ctx) {
  SheetJobOptions options;
  if (!options.Take(ctx, "giro")) return 2;
  std::optional<std::string> only = TakeOption(ctx.args, "--only");
  FieldOptions fields;
  fields.Take(ctx.args);
  if (ctx.args.size() < 2) return Usage("giro");
  const std::string kind_name = ctx.args[0], what = ctx.args[1];
  int kind = kind_name == "plusgiro" ? kPlusgiro : kind_name == "postgiro" ? kPostgiro : kind_name == "bankgiro" ? kBankgiro : -1;
  const std::size_t n = ctx.args.size();
  bool printing = what == "print";
  bool editing = what == "add" || what == "change";
  if (kind < 0 || (what == "add" && (n != 2 || !fields.payee)) || (what == "change" && n != 3) ||
      (what == "delete" && n != 3) || (what == "list" && n != 2) || (printing && n != 2) ||
      (!editing && what != "delete" && what != "list" && !printing) || (!editing && fields.any()) ||
      (!printing && (only || options.out || options.env)) || (fields.reference && kind != kPostgiro))
    return Usage("giro");

  DataSession data(ctx, false);
  if (!data.ok()) return 1;
  if (printing) return Print(kind, options, only);
  GiroFileSession file(kind);
  if (!file.open()) return 1;
  if (what == "add") return Add(kind, fields);
  if (what == "change") return Change(kind, WinFromUtf8(ctx.args[2]), fields);
  if (what == "delete") return Delete(WinFromUtf8(ctx.args[2]));
  for (const Entry& e : AllForms()) Out(e.line);
  return 0;
}

Registrar reg({"giro",
               "plusgiro|postgiro|bankgiro add --payee NAME [--letter L] [--giro NR] [--account NR] [--amount KR] "
               "[--message TEXT] [--address TEXT] [--reference REF] | change KEY [FIELDS] | delete KEY | list | "
               "print [--only KEY,...] [--env N] [--out FILE.pdf]",
               "the payment-form registers (plusgiro and postgiro share one)", RunGiro});

}  // namespace
}  // namespace olbrax::cli
