#include "storage/efiler.h"

#include "base/memory.h"
#include "base/messages.h"
#include "base/text.h"
#include "storage/transaction.h"

namespace olbrax {

namespace {

void Silent(std::string_view) {}
IsamTraceHook g_trace = Silent;

std::string_view Cut(std::string_view key) { return key.substr(0, std::min<std::size_t>(key.size(), 30)); }

}  // namespace

void SetIsamTrace(IsamTraceHook hook) { g_trace = hook ? hook : Silent; }

void ExitIsam() {
  isam::ExitIsam();
  g_trace("ExitIsam");
}

std::int32_t FileLen(FileBlock* fb) {
  std::int32_t n = isam::FileLen(fb);
  g_trace("FileLen");
  return n;
}

std::int32_t UsedRecs(FileBlock* fb) {
  std::int32_t n = isam::UsedRecs(fb);
  g_trace("UsedRecs");
  return n;
}

void CloseFileBlock(FileBlock*& fb) {
  isam::CloseFileBlock(fb);
  g_trace("CloseFileBlock");
}

void CreateFileBlock(std::string_view name, int rec_len, int keys, const KeyDescs& desc) {
  isam::CreateFileBlock(name, rec_len, keys, desc);
  g_trace(Text("CreateFileBlock:").append(name));
}

void DeleteFileBlock(std::string_view name) {
  isam::DeleteFileBlock(name);
  g_trace("DeleteFileBlock");
}

void OpenFileBlock(FileBlock*& fb, std::string_view name) {
  isam::OpenFileBlock(fb, name, false, false, true, false);
  g_trace(Text("OpenFileBlock: ").append(name));
}

void OpenScratchFileBlock(FileBlock*& fb, std::string_view name) {
  isam::OpenFileBlock(fb, name, false, false, false, false);
  g_trace(Text("OpenScratchFileBlock: ").append(name));
}

void AddKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key) {
  isam::AddKey(fb, k, recno, Cut(key));
  g_trace("AddKey");
}

void FindKey(FileBlock* fb, int k, std::int32_t& recno, std::string_view key) {
  isam::FindKey(fb, k, recno, Cut(key));
  g_trace("FindKey");
}

void SearchKey(FileBlock* fb, int k, std::int32_t& recno, Text& key) {
  isam::SearchKey(fb, k, recno, key);
  g_trace("SearchKey");
}

void NextKey(FileBlock* fb, int k, std::int32_t& recno, Text& key) {
  isam::NextKey(fb, k, recno, key);
  g_trace("NextKey");
}

void DeleteKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key) {
  isam::DeleteKey(fb, k, recno, Cut(key));
  g_trace("DeleteKey");
}

void ClearKey(FileBlock* fb, int k) {
  isam::ClearKey(fb, k);
  g_trace("ClearKey");
}

void AddRec(FileBlock* fb, std::int32_t& recno, const void* buffer) {
  isam::AddRec(fb, recno, buffer);
  g_trace("AddRec");
}

void GetRec(FileBlock* fb, std::int32_t recno, void* buffer, std::uint8_t flag) {
  isam::GetRec(fb, recno, buffer, flag);
  g_trace("GetRec");
}

void PutRec(FileBlock* fb, std::int32_t recno, const void* buffer, std::uint8_t flag) {
  isam::PutRec(fb, recno, buffer, flag);
  g_trace("PutRec");
}

void DeleteRec(FileBlock* fb, std::int32_t recno) {
  isam::DeleteRec(fb, recno);
  g_trace("DeleteRec");
}

void BeginTransaction() {
  isam::BeginTransaction();
  g_trace("BeginTransaction");
}

void CommitTransaction() {
  isam::CommitTransaction();
  g_trace("CommitTransaction");
}

void RollbackTransaction() {
  isam::RollbackTransaction();
  g_trace("RollbackTransaction");
}

bool StartIsam(std::span<const Text> args) {
  int mode = 0;
  for (const Text& a : args)
    if (UpStr(a).find("/NET") != Text::npos) mode = 2;
  isam::IsamExtendHandles(64);
  std::int64_t before = ReadMemoryStatus().avail_phys;
  if (IsamOK) isam::InitIsam(mode, 200);
  std::int64_t used = before - ReadMemoryStatus().avail_phys;
  MemAvail(used > 0 ? used : 0);
  if (IsamOK) return true;

  int workstations = mode == 2 ? isam::IsamMaxWorkstation() : 50;
  Text t = "IsamDosError: " + IntStr(IsamDosError, 3) + " IsamError: " + IntStr(IsamError, 3) +
           " IsamErrorClass:" + IntStr(IsamErrorClass(), 3);
  t += "Ej tillräckligt minne vid initiering av BTREE!"_w;
  t += "eller, Fel nätverk. Kan endast köras lokalt!"_w;
  t += "eller, Arbetsstationens nummer för högt >"_w;
  t += IntStr(workstations, 0);
  t += " eller >";
  t += static_cast<char>(workstations + 64);
  MsgLine = t.substr(0, kMsgLineMax);
  ShowText(201, t);
  return false;
}

}  // namespace olbrax
