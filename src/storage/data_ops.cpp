// Record operations on the data file: records live in fixed slots, freed ones on a chain
// through their first 4 bytes.
#include "storage/engine.h"
#include "storage/isam.h"
#include "storage/transaction.h"

namespace olbrax::isam {

void AddRec(FileBlock* fb, std::int32_t& recno, const void* buffer) {
  if (!Enter(fb, true) || !MarkInUse(fb)) return;
  if (!BeginCall(fb, kAddRecRepaired)) return;
  DataHeader& h = fb->data.h;
  NoteHeader(0);

  std::int32_t n;
  if (h.first_free == -1) {
    n = h.num_recs + 1;
  } else {
    std::int32_t f = h.first_free;
    if (f < 1 || f > h.num_recs) return AbandonCall(), void(Corrupt(kFreeChain));
    unsigned char raw[4];
    if (!ReadRecord(fb, f, 0, raw, 4)) return FailCall();
    std::int32_t next = GetI32(raw);
    if (next == 0 || next < -1 || next > h.num_recs) return AbandonCall(), void(Corrupt(kFreeChain));
    NoteTake(0, f, next);
    h.first_free = next;
    --h.free_count;
    n = f;
  }
  if (n > h.num_recs) h.num_recs = n;
  fb->data.header_changed = true;
  if (!StageRecord(fb, n, buffer, static_cast<std::size_t>(h.rec_len), true)) return FailCall();
  if (!EndCall()) return;
  recno = n;
}

void GetRec(FileBlock* fb, std::int32_t recno, void* buffer, std::uint8_t /*flag*/) {
  if (!Enter(fb, false)) return;
  ReadRecord(fb, recno, 0, buffer, static_cast<std::size_t>(fb->data.h.rec_len));
}

void PutRec(FileBlock* fb, std::int32_t recno, const void* buffer, std::uint8_t /*flag*/) {
  if (!Enter(fb, true)) return;
  if (recno == 0) return void(Corrupt(kPutRecZero));
  if (recno < 0) return void(Corrupt(kRecnoOutOfRange));
  if (!MarkInUse(fb)) return;
  auto len = static_cast<std::size_t>(fb->data.h.rec_len);
  if (!InTransaction() || !fb->journal) {
    // By itself a rewrite is one write, flushed in journal mode: the journal has no record
    // images, and a record is written whole or not at all by a flush.
    if (WriteExact(fb->data_file, fb->RecordOffset(recno), buffer, len) && fb->journal) FlushFile(fb->data_file);
    return;
  }
  if (!BeginCall(fb, 0)) return;
  // The block's journal gets at least its data header's entry, which tells at the next open
  // whether the block had finished the commit.
  NoteHeader(0);
  if (!StageRecord(fb, recno, buffer, len, false)) return FailCall();
  EndCall();
}

void DeleteRec(FileBlock* fb, std::int32_t recno) {
  if (!Enter(fb, true)) return;
  DataHeader& h = fb->data.h;
  if (recno < 1 || recno > h.num_recs) return void(Corrupt(kRecnoOutOfRange));
  if (!MarkInUse(fb)) return;
  if (!BeginCall(fb, kDeleteRecRepaired)) return;
  NoteHeader(0);
  unsigned char raw[4];
  PutI32(raw, h.first_free);
  if (!StageRecord(fb, recno, raw, 4, false)) return FailCall();
  h.first_free = recno;
  ++h.free_count;
  fb->data.header_changed = true;
  EndCall();
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
