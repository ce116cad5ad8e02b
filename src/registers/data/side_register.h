// The shape shared by the label register and the payment-form registers: a file block of fixed
// records in the data directory with one unique index of 30 characters, one record buffer, and
// the operations find, put, rewrite and delete of the register family.
//
// Two rules hold for every operation here:
//  1. No record is ever left without its key. A record is added only when its key is free and
//     the register has room; when the key still cannot be added, the record is taken away again.
//     A record whose removal fails gets its key back.
//  2. Every failed engine call reaches the message line with the engine's text, and the
//     engine status of the first failure is what the caller finds in IsamOK / IsamError.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "storage/efiler.h"

namespace olbrax::side {

inline constexpr int kKeyLen = 30;

// The key text as the index holds it: cut to 30 characters, an empty text as "XXX".
Text StoredKey(std::string_view key);

// What one register is: its file, its buffer (the status word first) and how the key of a
// record is made.
struct Register {
  FileBlock*& file;
  void* buffer;
  int rec_len;
  int capacity;                           // records in use at most
  Text (*key_of)(const void* record);     // the key a stored record is indexed under
  Text (*taken_text)(std::string_view key);  // the message for a key another record holds
};

// Opens the register's file, creating it with one unique index of 30 when it does not exist.
// True when the file is open; otherwise the engine's status says why.
bool Open(const Register& r, std::string_view name);
void Close(const Register& r);

// Mode 0 exact key, 2 next key, 3 first key not below, 4 back to the start, any other mode reads
// record `rec`. `found` only for a record in use, which is then in the buffer.
void Find(const Register& r, int mode, std::string_view key, std::int32_t& rec, bool& at_end, bool& found);

// True when another record than `own` holds the key (as stored).
bool KeyTaken(const Register& r, std::string_view key, std::int32_t own = 0);

// Stores the buffer under `key` (the caller has made an empty key field "XXX"). Adding: a new
// record, refused when the register is full or the key is taken. Rewriting (the caller has
// removed the record's key before): refused when another record holds the key; on a refusal or
// failure the record on disk keeps its old content and gets its old key back. True when stored.
bool Put(const Register& r, bool adding, std::int32_t& rec, std::string_view key);

// Writes the buffer to record `rec`, keys unchanged; on a failure the record keeps its old
// content.
bool Rewrite(const Register& r, std::int32_t rec);

// Removes the key of a record (found by `key` when `by_key`) and, with `remove_record`, the
// record itself; the record is then in the buffer. False when there was none or it failed.
bool Delete(const Register& r, bool by_key, std::string_view key, std::int32_t rec, bool remove_record);

// The records in use.
std::int32_t Used(const Register& r);

// The text of a multi-line edit field as the records keep it: every line end (LF, CR or CR LF)
// becomes CR LF, and the whole is cut to `max` characters.
Text EditorText(std::string_view text, std::size_t max);

}  // namespace olbrax::side
