#include "exchange/iof/id_register.h"

#include <cstring>

#include "competition/archive.h"
#include "competition/archive_state.h"
#include "competition/records/iof_id_keys.h"
#include "competition/registers/register_change.h"
#include "storage/efiler.h"

namespace olbrax::iof {

namespace {

const RegisterKey<TIofIdRec> kLocalKey{1, false, IofIdLocalKey};
const RegisterKey<TIofIdRec> kIdKey{2, false, IofIdIdKey};

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

Text EntrantLocal(std::int32_t ref) { return IofIdEntrantLocal(ref); }
Text MemberLocal(std::int32_t ref, int leg) { return IofIdMemberLocal(ref, leg); }

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
  undo_.clear();
}

const IdEntry* IdRegister::ByLocal(char kind, std::string_view local) const {
  auto it = by_local_.find({kind, Text(local)});
  return it == by_local_.end() ? nullptr : &it->second.entry;
}

const IdEntry* IdRegister::ById(char kind, std::string_view id) const {
  auto it = by_id_.find({kind, std::string(id)});
  return it == by_id_.end() ? nullptr : ByLocal(kind, it->second);
}

void IdRegister::Forget(const std::pair<char, Text>& local) {
  auto it = by_local_.find(local);
  if (it == by_local_.end()) return;
  auto id = by_id_.find({local.first, it->second.entry.id});
  // Another entry may have taken the id over since: that one keeps it.
  if (id != by_id_.end() && id->second == local.second) by_id_.erase(id);
  by_local_.erase(it);
}

bool IdRegister::Put(const IdEntry& entry) {
  if (!fb_) return false;
  TIofIdRec stored = ToRecord(entry);
  const std::pair<char, Text> local{entry.kind, entry.local};
  auto it = by_local_.find(local);
  std::int32_t ref = it == by_local_.end() ? 0 : it->second.ref;
  bool adding = ref == 0;
  if (!PutRegisterRecord(fb_, g_state, {kLocalKey, kIdKey}, adding, ref, stored)) return false;
  Replaced r{local, {}, {entry.kind, entry.id}, {}};
  if (it != by_local_.end()) r.before = it->second;
  if (auto id = by_id_.find(r.id); id != by_id_.end()) r.id_before = id->second;
  undo_.push_back(std::move(r));
  Forget(local);
  by_id_[{entry.kind, entry.id}] = entry.local;
  by_local_[local] = {entry, ref};
  return true;
}

void IdRegister::Settle(bool committed) {
  if (!committed) {
    for (auto r = undo_.rbegin(); r != undo_.rend(); ++r) {
      Forget(r->local);
      if (r->before) {
        by_id_[{r->local.first, r->before->entry.id}] = r->local.second;
        by_local_[r->local] = *r->before;
      }
      if (r->id_before) by_id_[r->id] = *r->id_before;
    }
  }
  undo_.clear();
}

}  // namespace olbrax::iof
