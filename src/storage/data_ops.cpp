// Record operations on the data file: records live in fixed slots, freed ones on a chain
// through their first 4 bytes.
#include "storage/engine.h"
#include "storage/isam.h"

namespace olbrax::isam {

void AddRec(FileBlock* fb, std::int32_t& recno, const void* buffer) {
  if (!Enter(fb, true) || !MarkInUse(fb)) return;
  DataHeader& h = fb->data.h;
  Change& ch = CurrentChange();
  ch.Begin(fb, kAddRecRepaired);
  ch.NoteHeader(0);

  std::int32_t n;
  if (h.first_free == -1) {
    n = h.num_recs + 1;
  } else {
    std::int32_t f = h.first_free;
    if (f < 1 || f > h.num_recs) return ch.Abandon(), void(Corrupt(kFreeChain));
    unsigned char raw[4];
    if (!ReadExact(fb->data_file, fb->RecordOffset(f), raw, 4)) return ch.Fail();
    std::int32_t next = GetI32(raw);
    if (next == 0 || next < -1 || next > h.num_recs) return ch.Abandon(), void(Corrupt(kFreeChain));
    ch.NoteTake(0, next);
    if (!ch.KeepOld(fb->data_file, fb->RecordOffset(f), static_cast<std::size_t>(h.rec_len)))
      return ch.Fail();
    h.first_free = next;
    --h.free_count;
    n = f;
  }
  if (n > h.num_recs) h.num_recs = n;
  fb->data.header_changed = true;

  if (!ch.Spill()) return ch.Fail();
  if (!WriteExact(fb->data_file, fb->RecordOffset(n), buffer, static_cast<std::size_t>(h.rec_len)))
    return ch.Fail();
  if (!ch.Commit()) return;
  recno = n;
}

void GetRec(FileBlock* fb, std::int32_t recno, void* buffer, std::uint8_t /*flag*/) {
  if (!Enter(fb, false)) return;
  ReadExact(fb->data_file, fb->RecordOffset(recno), buffer, static_cast<std::size_t>(fb->data.h.rec_len));
}

void PutRec(FileBlock* fb, std::int32_t recno, const void* buffer, std::uint8_t /*flag*/) {
  if (!Enter(fb, true)) return;
  if (recno == 0) return void(Corrupt(kPutRecZero));
  if (recno < 0) return void(Corrupt(kRecnoOutOfRange));
  if (!MarkInUse(fb)) return;
  if (!WriteExact(fb->data_file, fb->RecordOffset(recno), buffer,
                  static_cast<std::size_t>(fb->data.h.rec_len)))
    return;
  if (fb->journal) FlushFile(fb->data_file);
}

void DeleteRec(FileBlock* fb, std::int32_t recno) {
  if (!Enter(fb, true)) return;
  DataHeader& h = fb->data.h;
  if (recno < 1 || recno > h.num_recs) return void(Corrupt(kRecnoOutOfRange));
  if (!MarkInUse(fb)) return;
  Change& ch = CurrentChange();
  ch.Begin(fb, kDeleteRecRepaired);
  ch.NoteHeader(0);
  if (!ch.KeepOld(fb->data_file, fb->RecordOffset(recno), 4)) return ch.Fail();
  unsigned char raw[4];
  PutI32(raw, h.first_free);
  h.first_free = recno;
  ++h.free_count;
  fb->data.header_changed = true;
  if (!ch.Spill() || !WriteExact(fb->data_file, fb->RecordOffset(recno), raw, 4)) return ch.Fail();
  ch.Commit();
}

std::int32_t FileLen(FileBlock* fb) {
  if (!Enter(fb, false)) return 0;
  return fb->data.h.num_recs + 1;
}

std::int32_t UsedRecs(FileBlock* fb) {
  if (!Enter(fb, false)) return 0;
  return fb->data.h.num_recs - fb->data.h.free_count;
}

}  // namespace olbrax::isam
