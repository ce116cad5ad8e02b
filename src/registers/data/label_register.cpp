#include "registers/data/label_register.h"

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "registers/data/side_register.h"

namespace olbrax {

TEtikettRec EtikettRec{};
FileBlock* LabelFile = nullptr;

namespace {

Text KeyOfRecord(const void* record) { return LabelKey(static_cast<const TEtikettRec*>(record)->Etk.get()); }

const side::Register& Labels() {
  static const side::Register r{LabelFile, &EtikettRec, sizeof(TEtikettRec), kLabelCapacity, KeyOfRecord,
                                LabelTakenText};
  return r;
}

}  // namespace

Text LabelFileName() { return GeneralSettings.DataDirectory.get() + "/Etikett"; }

bool OpenLabelFile() { return side::Open(Labels(), LabelFileName()); }

Text LabelFilesFailedText() { return "fel med Etikettfilerna: " + MsgText(IsamError); }

void CloseLabelFile() { side::Close(Labels()); }

void ClearLabel() { EtikettRec = TEtikettRec{}; }

void FindLabel(int mode, std::string_view key, std::int32_t& rec, bool& at_end, bool& found) {
  side::Find(Labels(), mode, key, rec, at_end, found);
}

void PutLabel(bool adding, std::int32_t& rec) {
  if (EtikettRec.Etk.empty()) EtikettRec.Etk.set("XXX");
  side::Put(Labels(), adding, rec, LabelKey(EtikettRec.Etk.get()));
}

void RewriteLabel(std::int32_t rec) { side::Rewrite(Labels(), rec); }

void DeleteLabel(int mode, std::string_view key, std::int32_t rec, bool remove_record) {
  if (side::Delete(Labels(), mode == 0, key, rec, remove_record) && remove_record)
    ShowText(1, "Etikett \"" + Cut(EtikettRec.Etk.get(), 30) + "\", raderad...");
}

bool LabelRegisterFull() { return side::Used(Labels()) >= kLabelCapacity; }

Text StoredLabelKey(std::string_view text) { return side::StoredKey(LabelKey(text.empty() ? "XXX" : text)); }

bool LabelKeyTaken(std::string_view text, std::int32_t own) {
  return side::KeyTaken(Labels(), StoredLabelKey(text), own);
}

Text LabelTakenText(std::string_view key) {
  return "Etikettens f\xF6rsta rad finns redan registrerad. \"" + Text(key) + "\" M\xE5ste vara unik.";
}

}  // namespace olbrax
