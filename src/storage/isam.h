// The storage engine: file blocks of fixed-length records with up to 100 B-tree indexes and a
// before-image journal. Every call sets the engine status (storage/isam_status.h).
//
// The rest of the program reaches the engine through the named operation layer
// (storage/efiler.h), which fixes the arguments the program always passes the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "storage/isam_status.h"

namespace olbrax {
struct FileBlock;

// Key length (1..30) and duplicates flag (1 = duplicates allowed) of one index. (Declared here
// rather than in isam so that calls with key descriptions find only the named operations.)
struct KeyDesc {
  std::uint8_t key_len = 0;
  std::uint8_t dups = 0;
};
using KeyDescs = std::array<KeyDesc, 100>;
}  // namespace olbrax

namespace olbrax::isam {

// Starts the engine: mode 0 single user, 2 network. Returns the page buffers obtained.
int InitIsam(int mode, int buffers);
void ExitIsam();
void IsamExtendHandles(int n);
bool IsamStarted();
// The highest workstation number of network mode (0 before a network start).
int IsamMaxWorkstation();

void CreateFileBlock(std::string_view name, int rec_len, int keys, const KeyDescs& desc);
void OpenFileBlock(FileBlock*& fb, std::string_view name, bool read_only, bool shared, bool journal,
                   bool no_create);
void CloseFileBlock(FileBlock*& fb);
void DeleteFileBlock(std::string_view name);

// Records.
void AddRec(FileBlock* fb, std::int32_t& recno, const void* buffer);
void GetRec(FileBlock* fb, std::int32_t recno, void* buffer, std::uint8_t flag);
void PutRec(FileBlock* fb, std::int32_t recno, const void* buffer, std::uint8_t flag);
void DeleteRec(FileBlock* fb, std::int32_t recno);
std::int32_t FileLen(FileBlock* fb);
std::int32_t UsedRecs(FileBlock* fb);

// Keys of index k (1..key count).
void AddKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key);
void DeleteKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key);
void FindKey(FileBlock* fb, int k, std::int32_t& recno, std::string_view key);
void SearchKey(FileBlock* fb, int k, std::int32_t& recno, Text& key);
void NextKey(FileBlock* fb, int k, std::int32_t& recno, Text& key);
void ClearKey(FileBlock* fb, int k);

// The record length of an open block (0 when the reference is not an open block).
int RecordLength(const FileBlock* fb);

}  // namespace olbrax::isam
