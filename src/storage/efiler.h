// The named operation layer: the storage operations as the rest of the program calls them.
//
// Each operation calls the engine operation of the same name with the arguments the program
// always passes the same way (file blocks are opened read-write, unshared, with the journal),
// cuts keys to 30 characters, and hands its name to the trace hook. The status is left in
// IsamOK / IsamError for the caller.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/text.h"
#include "storage/isam.h"

namespace olbrax {

void ExitIsam();
std::int32_t FileLen(FileBlock* fb);
std::int32_t UsedRecs(FileBlock* fb);
void CloseFileBlock(FileBlock*& fb);
void CreateFileBlock(std::string_view name, int rec_len, int keys, const KeyDescs& desc);
void DeleteFileBlock(std::string_view name);
void OpenFileBlock(FileBlock*& fb, std::string_view name);
// Opens a block without its journal: for new files that are thrown away when the operation
// writing them does not finish (the index rebuild builds into a staging folder). Its changes
// are complete on the disk only once the block is closed.
void OpenScratchFileBlock(FileBlock*& fb, std::string_view name);
void AddKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key);
void FindKey(FileBlock* fb, int k, std::int32_t& recno, std::string_view key);
void SearchKey(FileBlock* fb, int k, std::int32_t& recno, Text& key);
void NextKey(FileBlock* fb, int k, std::int32_t& recno, Text& key);
void DeleteKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key);
void ClearKey(FileBlock* fb, int k);
void AddRec(FileBlock* fb, std::int32_t& recno, const void* buffer);
void GetRec(FileBlock* fb, std::int32_t recno, void* buffer, std::uint8_t flag = 0);
void PutRec(FileBlock* fb, std::int32_t recno, const void* buffer, std::uint8_t flag = 0);
void DeleteRec(FileBlock* fb, std::int32_t recno);

// Transactions (storage/transaction.h): the engine calls between BeginTransaction and
// CommitTransaction reach the disk together or not at all.
void BeginTransaction();
void CommitTransaction();
void RollbackTransaction();

// One transaction for the life of a scope: rolled back when the scope is left without Commit.
class TransactionScope {
 public:
  TransactionScope() { BeginTransaction(); }
  ~TransactionScope() {
    if (open_) RollbackTransaction();
  }
  TransactionScope(const TransactionScope&) = delete;
  TransactionScope& operator=(const TransactionScope&) = delete;
  // Commits; IsamOK tells whether it worked.
  void Commit() {
    open_ = false;
    CommitTransaction();
  }
  // Rolls back now (the status of the failure that led here stays the transaction's).
  void Rollback() {
    open_ = false;
    RollbackTransaction();
  }

 private:
  bool open_ = true;
};

// Starts the engine once at program start: network mode when an argument holds "/NET" (in
// upper case), 64 file handles, up to 200 page buffers. On failure shows the composed text
// (message 201) and returns false.
bool StartIsam(std::span<const Text> args);

// The trace hook receives each operation's name after the call; it has no visible effect
// unless a tool installs one (null restores the silent default).
using IsamTraceHook = void (*)(std::string_view name);
void SetIsamTrace(IsamTraceHook hook);

}  // namespace olbrax
