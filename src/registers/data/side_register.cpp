#include "registers/data/side_register.h"

#include <cstring>
#include <vector>

#include "base/messages.h"
#include "storage/disk_file.h"
#include "storage/file_names.h"
#include "storage/isam_status.h"

namespace olbrax::side {

namespace {

// The text of the register dialog when a register holds all the records it may.
constexpr std::string_view kFullText = "maxantalet uppn\xE5tt kan ej addera registerpost!";

// Reports the engine's failure on the message line and keeps it as the status, so that the
// clean-up calls that follow do not hide it.
struct Failure {
  int code = 0;
  void Note() {
    if (code == 0 && !IsamOK) {
      code = IsamError;
      ShowText(1, MsgText(code));
    }
  }
  bool Restore() const {
    if (code != 0) isam::Fail(code);
    return code == 0;
  }
};

std::int32_t StatusWord(const void* buffer) {
  std::int32_t status;
  std::memcpy(&status, buffer, sizeof status);
  return status;
}

// Gives a record its key again when the index does not hold it.
void EnsureKey(const Register& r, std::int32_t rec, const void* record) {
  Text key = StoredKey(r.key_of(record));
  std::int32_t holder = 0;
  FindKey(r.file, 1, holder, key);
  if (!IsamOK) AddKey(r.file, 1, rec, key);
}

}  // namespace

Text StoredKey(std::string_view key) {
  Text k = Cut(key, kKeyLen);
  return k.empty() ? Text("XXX") : k;
}

bool Open(const Register& r, std::string_view name) {
  OpenFileBlock(r.file, name);
  // Creating a block replaces whatever files it has: only a register without files is created.
  // One whose files are in use by another copy, damaged or unreadable keeps what it holds.
  isam::BlockNames files = isam::SplitBlockName(name);
  if (!IsamOK && !disk::Exists(files.data) && !disk::Exists(files.index)) {
    KeyDescs keys{};
    keys[0] = {static_cast<std::uint8_t>(kKeyLen), 0};
    CreateFileBlock(name, r.rec_len, 1, keys);
    if (IsamOK) OpenFileBlock(r.file, name);
  }
  bool open = IsamOK && r.file != nullptr;
  if (!open) r.file = nullptr;
  std::memset(r.buffer, 0, static_cast<std::size_t>(r.rec_len));
  return open;
}

void Close(const Register& r) {
  if (r.file) CloseFileBlock(r.file);
  r.file = nullptr;
}

void Find(const Register& r, int mode, std::string_view key_in, std::int32_t& rec, bool& at_end, bool& found) {
  Text key = Cut(key_in, kKeyLen);
  at_end = false;
  found = false;
  if (!r.file) {
    at_end = true;
    isam::Fail(isam::kNotOpen);
    return;
  }
  isam::ResetStatus();
  std::int32_t last = FileLen(r.file) - 1;
  switch (mode) {
    case 0: FindKey(r.file, 1, rec, StoredKey(key)); break;
    case 2:
      NextKey(r.file, 1, rec, key);
      at_end = !IsamOK;
      break;
    case 3: SearchKey(r.file, 1, rec, key); break;
    case 4:
      ClearKey(r.file, 1);
      rec = 0;
      break;
    default: break;
  }
  at_end = at_end || rec > last;
  found = !at_end && IsamOK && rec != 0;
  at_end = !found;
  if (found) {
    GetRec(r.file, rec, r.buffer);
    found = IsamOK && StatusWord(r.buffer) == 0;
  }
}

bool KeyTaken(const Register& r, std::string_view key, std::int32_t own) {
  if (!r.file) return false;
  std::int32_t holder = 0;
  FindKey(r.file, 1, holder, StoredKey(key));
  bool taken = IsamOK && holder != own;
  isam::ResetStatus();
  return taken;
}

bool Put(const Register& r, bool adding, std::int32_t& rec, std::string_view key_in) {
  Text key = StoredKey(key_in);
  if (!r.file) {
    isam::Fail(isam::kNotOpen);
    ShowText(1, MsgText(IsamError));
    return false;
  }
  if (adding && Used(r) >= r.capacity) {
    isam::Fail(isam::kGeneral);
    ShowText(1, kFullText);
    return false;
  }
  Failure failure;
  // A changed record as it is on disk, to put back when the change cannot be stored whole.
  std::vector<char> old;
  if (!adding) {
    old.resize(static_cast<std::size_t>(r.rec_len));
    GetRec(r.file, rec, old.data());
    failure.Note();
    if (!failure.Restore()) return false;
  }
  if (KeyTaken(r, key, adding ? 0 : rec)) {
    if (!adding) EnsureKey(r, rec, old.data());
    isam::Fail(isam::kKeyExists);
    ShowText(1, r.taken_text(key));
    return false;
  }
  if (adding) {
    std::int32_t zero = 0;
    std::memcpy(r.buffer, &zero, sizeof zero);
    AddRec(r.file, rec, r.buffer);
    failure.Note();
    if (!failure.Restore()) return false;
  } else {
    PutRec(r.file, rec, r.buffer);
    failure.Note();
  }
  if (failure.code == 0) {
    AddKey(r.file, 1, rec, key);
    failure.Note();
  }
  if (failure.code != 0) {
    // Nothing stays half-stored: a new record goes again, a changed one is put back as it was,
    // with its old key. (A rewrite whose flush failed may have reached the file all the same, so
    // the old record is written back whenever the change failed.)
    if (adding) {
      DeleteRec(r.file, rec);
    } else {
      PutRec(r.file, rec, old.data());
      EnsureKey(r, rec, old.data());
    }
  }
  return failure.Restore();
}

bool Rewrite(const Register& r, std::int32_t rec) {
  if (!r.file) {
    isam::Fail(isam::kNotOpen);
    ShowText(1, MsgText(IsamError));
    return false;
  }
  Failure failure;
  std::vector<char> old(static_cast<std::size_t>(r.rec_len));
  GetRec(r.file, rec, old.data());
  failure.Note();
  if (failure.code == 0) {
    PutRec(r.file, rec, r.buffer);
    failure.Note();
    if (failure.code != 0) PutRec(r.file, rec, old.data());  // a failed flush may have let it through
  }
  return failure.Restore();
}

bool Delete(const Register& r, bool by_key, std::string_view key, std::int32_t rec, bool remove_record) {
  if (!r.file) {
    isam::Fail(isam::kNotOpen);
    return false;
  }
  if (by_key) {
    FindKey(r.file, 1, rec, StoredKey(key));
    if (!IsamOK) rec = 0;
  }
  if (rec <= 0 || rec >= FileLen(r.file)) {
    isam::Fail(isam::kDeleteNotFound);
    return false;
  }
  Failure failure;
  GetRec(r.file, rec, r.buffer);
  failure.Note();
  if (failure.code == 0 && StatusWord(r.buffer) != 0) {
    isam::Fail(isam::kDeleteNotFound);  // a free record has no key to remove
    return false;
  }
  Text stored_key;
  if (failure.code == 0) {
    stored_key = StoredKey(r.key_of(r.buffer));
    DeleteKey(r.file, 1, rec, stored_key);
    failure.Note();
  }
  if (failure.code == 0 && remove_record) {
    DeleteRec(r.file, rec);
    failure.Note();
    if (failure.code != 0) AddKey(r.file, 1, rec, stored_key);  // the record stays, so does its key
  }
  return failure.Restore();
}

std::int32_t Used(const Register& r) { return r.file ? UsedRecs(r.file) : 0; }

Text EditorText(std::string_view text, std::size_t max) {
  Text out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return Cut(out, max);
}

}  // namespace olbrax::side
