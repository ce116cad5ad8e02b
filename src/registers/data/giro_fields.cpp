#include "registers/data/giro_fields.h"

#include <algorithm>
#include <charconv>

#include "registers/data/giro_record.h"
#include "registers/data/giro_register.h"
#include "registers/data/side_register.h"

namespace olbrax {

int GiroAmountMax(int kind) { return kind == kPostgiro ? 9999 : 999999; }

GiroFields GiroFieldsFromBuffer(int kind) {
  GiroFields f;
  f.message = GiroRec.gtxt.get();
  f.address = GiroRec.gadrtxt.get();
  f.giro = GiroRec.TillG.get();
  f.own_account = GiroRec.EgetKonto.get();
  f.payee = GiroRec.Mottagare.get();
  f.letter = GiroRec.Lnr.get();
  f.reference = GiroRec.Referens.get();
  Text amount = GiroRec.AttBetala.get();
  long long value = 0;
  auto [end, ec] = std::from_chars(amount.data(), amount.data() + amount.size(), value);
  if (ec != std::errc() || end != amount.data() + amount.size() || value < 0) value = 0;
  f.amount = static_cast<int>(std::min<long long>(value, GiroAmountMax(kind)));
  return f;
}

void StoreGiroFields(const GiroFields& f, int kind) {
  GiroRec.gtxt.set(side::EditorText(f.message, 1185));
  GiroRec.gadrtxt.set(side::EditorText(f.address, 316));
  GiroRec.TillG.set(Cut(f.giro, 30));
  GiroRec.Mottagare.set(Cut(f.payee, 30));
  GiroRec.EgetKonto.set(Cut(f.own_account, 30));
  if (kind == kPostgiro) GiroRec.Referens.set(Cut(f.reference, 30));
  GiroRec.Lnr.set(Cut(f.letter, 2));
  if (f.amount == 0 && kind != kBankgiro) GiroRec.AttBetala.set("");
  else GiroRec.AttBetala.set(std::to_string(f.amount));
}

Text GiroFieldsKey(const GiroFields& f) {
  Text key = Cut(f.payee, 30);
  if (key.empty()) key = "XXX";
  Text letter = Cut(f.letter, 2);
  if (!letter.empty()) key = Cut(key + "_" + letter, 30);
  return key;
}

Text CheckGiroFields(const GiroFields& f, std::int32_t own) {
  Text key = GiroFieldsKey(f);
  if (GiroKeyTaken(key, own)) return GiroTakenText(key);
  if (!CheckDigitOK(Cut(f.giro, 30)) || !CheckDigitOK(Cut(f.own_account, 30))) return "fel p\xE5 gironummer";
  return "";
}

}  // namespace olbrax
