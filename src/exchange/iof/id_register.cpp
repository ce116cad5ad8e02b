#include "exchange/iof/id_register.h"

#include <cstring>

#include "competition/archive.h"
#include "competition/archive_state.h"
#include "competition/registers/register_change.h"
#include "storage/efiler.h"

namespace olbrax::iof {

namespace {

Text Key(char kind, std::string_view field) { return Cut(Text(1, kind) + Text(field), kIofIdKeyLen - 1); }

Text LocalKey(const TIofIdRec& r) { return Key(r.Kind, r.Local.get()); }
Text IdKey(const TIofIdRec& r) { return Key(r.Kind, r.IofId.get()); }

const RegisterKey<TIofIdRec> kLocalKey{1, false, LocalKey};
const RegisterKey<TIofIdRec> kIdKey{2, false, IdKey};

RegisterState g_state;

TIofIdRec ToRecord(const IdEntry& e) {
  TIofIdRec r;
  std::memset(&r, 0, sizeof r);
  r.Kind = e.kind;
  r.Local.set(e.local);
  r.IofId.set(e.id);
  r.Extra.set(e.extra);
  r.FullName.set(e.full_name);
  r.Check.set(e.check);
  return r;
}

}  // namespace

Text EntrantLocal(std::int32_t ref) { return ZeroStr(ref, 5); }
Text MemberLocal(std::int32_t ref, int leg) { return ZeroStr(ref, 5) + "/" + std::to_string(leg); }

IdRegister::~IdRegister() { Close(); }

bool IdRegister::Open() {
  Close();
  Text name = DataFileName(kIofIdFile, CurrentCompetition);
  OpenFileBlock(fb_, name);
  if (!IsamOK && IsamError == isam::kFileNotFound) {
    CreateRegisterFile(kIofIdFile, name);
    if (IsamOK) OpenFileBlock(fb_, name);
  }
  if (IsamOK && isam::RecordLength(fb_) != kIofIdRecLen) {
    CloseFileBlock(fb_);
    isam::Fail(isam::kBadDataHeader);
  }
  if (!IsamOK) {
    fb_ = nullptr;
    ReportStorageFailure(StorageFailureText() + " " + name);
    return false;
  }
  std::int32_t last = FileLen(fb_) - 1;
  for (std::int32_t ref = 1; ref <= last; ++ref) {
    TIofIdRec r;
    GetRec(fb_, ref, &r);
    if (!IsamOK) {
      ReportStorageFailure(StorageFailureText() + " " + name);
      Close();
      return false;
    }
    if (r.DataStatus != 0) continue;
    Stored s{{r.Kind, r.Local.get(), r.IofId.get(), r.Extra.get(), r.FullName.get(), r.Check.get()}, ref};
    by_id_[{s.entry.kind, s.entry.id}] = s.entry.local;
    by_local_[{s.entry.kind, s.entry.local}] = std::move(s);
  }
  return true;
}

void IdRegister::Close() {
  if (fb_) CloseFileBlock(fb_);
  fb_ = nullptr;
  by_local_.clear();
  by_id_.clear();
  pending_.clear();
}

const IdEntry* IdRegister::ByLocal(char kind, std::string_view local) const {
  auto it = by_local_.find({kind, Text(local)});
  return it == by_local_.end() ? nullptr : &it->second.entry;
}

const IdEntry* IdRegister::ById(char kind, std::string_view id) const {
  auto it = by_id_.find({kind, std::string(id)});
  return it == by_id_.end() ? nullptr : ByLocal(kind, it->second);
}

bool IdRegister::Put(const IdEntry& entry) {
  if (!fb_) return false;
  TIofIdRec stored = ToRecord(entry);
  std::int32_t ref = 0;
  // The record of this (kind, local) as stored or as put earlier in this transaction.
  for (const Stored& p : pending_)
    if (p.entry.kind == entry.kind && p.entry.local == entry.local) ref = p.ref;
  if (ref == 0)
    if (auto it = by_local_.find({entry.kind, entry.local}); it != by_local_.end()) ref = it->second.ref;
  bool adding = ref == 0;
  if (!PutRegisterRecord(fb_, g_state, {kLocalKey, kIdKey}, adding, ref, stored)) return false;
  pending_.push_back({entry, ref});
  return true;
}

void IdRegister::Settle(bool committed) {
  if (committed) {
    for (Stored& s : pending_) {
      if (auto old = by_local_.find({s.entry.kind, s.entry.local}); old != by_local_.end())
        by_id_.erase({old->second.entry.kind, old->second.entry.id});
      by_id_[{s.entry.kind, s.entry.id}] = s.entry.local;
      by_local_[{s.entry.kind, s.entry.local}] = std::move(s);
    }
  }
  pending_.clear();
}

}  // namespace olbrax::iof
