#include "registers/data/giro_register.h"

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "registers/data/side_register.h"

namespace olbrax {

TGiroRec GiroRec{};
FileBlock* GiroFile = nullptr;

namespace {

Text KeyOfRecord(const void* record) { return GiroKeyOf(*static_cast<const TGiroRec*>(record)); }

const side::Register& Forms() {
  static const side::Register r{GiroFile, &GiroRec, sizeof(TGiroRec), kGiroCapacity, KeyOfRecord, GiroTakenText};
  return r;
}

}  // namespace

Text GiroFileName(int kind) { return GeneralSettings.DataDirectory.get() + (kind < 3 ? "/giroP" : "/giroB"); }

bool OpenGiroFile(int kind) {
  CloseGiroFile();
  return side::Open(Forms(), GiroFileName(kind));
}

Text GiroFilesFailedText() { return "fel med girofilerna: " + MsgText(IsamError); }

void CloseGiroFile() { side::Close(Forms()); }

void ClearGiro() { GiroRec = TGiroRec{}; }

void FindGiro(int mode, std::string_view key, std::int32_t& rec, bool& at_end, bool& found) {
  side::Find(Forms(), mode, key, rec, at_end, found);
}

void PutGiro(bool adding, std::int32_t& rec) {
  if (GiroRec.Mottagare.empty()) GiroRec.Mottagare.set("XXX");
  side::Put(Forms(), adding, rec, GiroKey());
}

void RewriteGiro(std::int32_t rec) { side::Rewrite(Forms(), rec); }

void DeleteGiro(int mode, std::string_view key, std::int32_t rec, bool remove_record) {
  if (side::Delete(Forms(), mode == 0, key, rec, remove_record) && remove_record)
    ShowText(1, "Girot \"" + GiroRec.Mottagare.get() + "_" + GiroRec.Lnr.get() + "\", raderad...");
}

Text GiroKey() { return GiroKeyOf(GiroRec); }
Text GiroListLine() { return GiroListLineOf(GiroRec); }

bool GiroRegisterFull() { return side::Used(Forms()) >= kGiroCapacity; }

bool GiroKeyTaken(std::string_view key, std::int32_t own) { return side::KeyTaken(Forms(), key, own); }

Text GiroTakenText(std::string_view key) {
  return "Mottagare och littera finns redan registrerad. \"" + Text(key) + "\" M\xE5ste vara unik.";
}

}  // namespace olbrax
