#include "storage/txn_file.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <vector>

#include "storage/engine.h"
#include "storage/file_names.h"
#include "storage/isam.h"

namespace olbrax::isam {

namespace {

constexpr std::string_view kTxnExt = "TXN";
constexpr char kMagic[4] = {'O', 'L', 'T', 'X'};
constexpr std::size_t kChunkHead = 9;
constexpr std::size_t kChunkCrc = 4;

std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}

// An absolute name, so that a transaction file read from another working folder names the
// same files.
Text Absolute(const Text& name) {
  return WinFromUtf8(std::filesystem::absolute(Utf8FromWin(name)).lexically_normal().string());
}

// Whether two names are the same file (found as the file layer finds them).
bool SameFile(const Text& a, const Text& b) {
  return std::filesystem::absolute(disk::Resolve(a)).lexically_normal() ==
         std::filesystem::absolute(disk::Resolve(b)).lexically_normal();
}

void PutText(std::string& out, const Text& s) {
  unsigned char n[2];
  PutU16(n, static_cast<std::uint16_t>(s.size()));
  out.append(reinterpret_cast<const char*>(n), 2);
  out += s;
}

template <class T>
void PutInt(std::string& out, T v) {
  for (std::size_t i = 0; i < sizeof v; ++i) out += static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF);
}

std::string Chunk(char kind, const std::string& payload) {
  std::string c(kMagic, sizeof kMagic);
  c += kind;
  PutInt(c, static_cast<std::uint32_t>(payload.size()));
  c += payload;
  PutInt(c, Crc32(c.data() + 4, c.size() - 4));
  return c;
}

// The block's name as OpenFileBlock takes it: the data file's absolute name, then ";" and the
// index file's name in the same folder.
Text BlockName(const FileBlock* fb) {
  std::string_view index = fb->index_name;
  return Absolute(fb->data_name) + ";" + Text(index.substr(index.find_last_of("/\\") + 1));
}

bool EnsureFile(Txn& t) {
  if (t.file.IsOpen()) return true;
  t.file_name = WithExtension(Absolute(t.blocks.front()->fb->data_name), kTxnExt);
  if (int e = disk::Create(t.file_name, t.file); e != 0) {
    NotePlatformError(e, DosFunc::kOpen);
    return Corrupt(StatusForCreate(e));
  }
  t.file_end = t.file_list_end = 0;
  return true;
}

bool Append(Txn& t, const std::string& chunk) {
  if (!WriteExact(t.file, t.file_end, chunk.data(), chunk.size()) || !FlushFile(t.file)) return false;
  t.file_end += static_cast<std::int64_t>(chunk.size());
  return true;
}

// --- Reading --------------------------------------------------------------------------------

struct Reader {
  const std::string& s;
  std::size_t at = 0;
  bool ok = true;

  template <class T>
  T Int() {
    if (at + sizeof(T) > s.size()) return ok = false, T{};
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    at += sizeof(T);
    return static_cast<T>(v);
  }
  Text Str() {
    std::size_t n = Int<std::uint16_t>();
    if (!ok || at + n > s.size()) return ok = false, Text();
    Text out(s.substr(at, n));
    at += n;
    return out;
  }
};

struct LoggedBlock {
  Text name;  // data;index
  std::uint64_t journal_len = 0;
  std::uint32_t journal_crc = 0;
  std::vector<std::pair<std::int32_t, std::string>> records;
};

struct Logged {
  std::vector<LoggedBlock> blocks;
  bool committed = false;
};

// The transaction a file records: the blocks of its last block list, or of its commit chunk.
Logged Parse(const std::string& bytes) {
  Logged out;
  for (std::size_t at = 0; at + kChunkHead + kChunkCrc <= bytes.size();) {
    if (std::memcmp(bytes.data() + at, kMagic, sizeof kMagic) != 0) break;
    char kind = bytes[at + 4];
    std::uint32_t len = GetI32(reinterpret_cast<const unsigned char*>(bytes.data() + at + 5));
    if (len > bytes.size() - at - kChunkHead - kChunkCrc) break;
    std::size_t end = at + kChunkHead + len;
    auto crc = static_cast<std::uint32_t>(GetI32(reinterpret_cast<const unsigned char*>(bytes.data() + end)));
    if (Crc32(bytes.data() + at + 4, end - at - 4) != crc) break;
    std::string payload = bytes.substr(at + kChunkHead, len);
    Reader r{payload};
    Logged got;
    int count = r.Int<std::uint16_t>();
    for (int i = 0; i < count && r.ok; ++i) {
      LoggedBlock b;
      b.name = r.Str();
      if (kind == 'C') {
        b.journal_len = r.Int<std::uint64_t>();
        b.journal_crc = r.Int<std::uint32_t>();
        std::uint32_t n = r.Int<std::uint32_t>();
        for (std::uint32_t k = 0; k < n && r.ok; ++k) {
          std::int32_t recno = r.Int<std::int32_t>();
          std::uint32_t size = r.Int<std::uint32_t>();
          if (!r.ok || r.at + size > payload.size()) r.ok = false;
          else b.records.emplace_back(recno, payload.substr(r.at, size)), r.at += size;
        }
      }
      got.blocks.push_back(std::move(b));
    }
    if (!r.ok || (kind != 'B' && kind != 'C')) break;
    got.committed = kind == 'C';
    out = std::move(got);
    at = end + kChunkCrc;
  }
  return out;
}

bool OpenInThisProcess(const Text& journal_name) {
  for (const FileBlock* fb : TheEngine().open)
    if (SameFile(fb->journal_name, journal_name)) return true;
  return false;
}

// Completes a committed transaction for one block: its rewritten records again, then its
// journal emptied, when the journal still holds exactly what the transaction wrote. An empty
// journal means the block had finished; any other journal is not this transaction's, and the
// block's own open repairs from it.
bool Finish(const LoggedBlock& lb) {
  BlockNames names = SplitBlockName(lb.name);
  if (OpenInThisProcess(names.journal) || !disk::Exists(names.journal)) return true;
  disk::File journal;
  if (int e = disk::Open(names.journal, true, journal); e != 0) {
    NotePlatformError(e, DosFunc::kOpen);
    return Corrupt(StatusForOpen(e));
  }
  if (journal.Size() <= 1) return true;
  if (static_cast<std::uint64_t>(journal.Size() - 1) != lb.journal_len) return true;
  std::string bytes(lb.journal_len, '\0');
  if (!ReadExact(journal, 1, bytes.data(), bytes.size())) return false;
  if (Crc32(bytes.data(), bytes.size()) != lb.journal_crc) return true;
  if (!lb.records.empty()) {
    disk::File data;
    if (int e = disk::Open(names.data, true, data); e != 0) {
      NotePlatformError(e, DosFunc::kOpen);
      return Corrupt(StatusForOpen(e));
    }
    unsigned char raw[kDataHeaderSize];
    if (!ReadExact(data, 0, raw, sizeof raw)) return false;
    std::int64_t rec_len = DataHeader::Decode(raw).rec_len;
    for (const auto& [recno, image] : lb.records)
      if (!WriteExact(data, recno * rec_len, image.data(), image.size())) return false;
    if (!FlushFile(data)) return false;
  }
  return TruncateFile(journal, 1) && FlushFile(journal);
}

// Rolls one block back from its journal, by opening it as any open would.
bool Undo(const LoggedBlock& lb) {
  BlockNames names = SplitBlockName(lb.name);
  if (OpenInThisProcess(names.journal) || !disk::Exists(names.journal) || !disk::Exists(names.data)) return true;
  {
    disk::File journal;
    if (int e = disk::Open(names.journal, false, journal); e != 0) {
      NotePlatformError(e, DosFunc::kOpen);
      return Corrupt(StatusForOpen(e));
    }
    if (journal.Size() <= 1) return true;
  }
  FileBlock* fb = nullptr;
  OpenBlock(fb, lb.name, false, false, true, false);
  if (fb == nullptr) return false;
  CloseFileBlock(fb);
  return IsamOK;
}

}  // namespace

std::uint32_t Crc32(const void* data, std::size_t len, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = CrcTable();
  const auto* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (std::size_t i = 0; i < len; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool ListBlocks(Txn& t) {
  if (t.listed == t.blocks.size()) return true;
  if (!EnsureFile(t)) return false;
  std::string payload;
  PutInt(payload, static_cast<std::uint16_t>(t.blocks.size()));
  for (const auto& b : t.blocks) PutText(payload, BlockName(b->fb));
  if (!Append(t, Chunk('B', payload))) return false;
  t.file_list_end = t.file_end;
  t.listed = t.blocks.size();
  return true;
}

bool WriteCommitChunk(Txn& t) {
  if (!EnsureFile(t)) return false;
  std::string payload;
  PutInt(payload, static_cast<std::uint16_t>(t.blocks.size()));
  for (const auto& b : t.blocks) {
    PutText(payload, BlockName(b->fb));
    PutInt(payload, static_cast<std::uint64_t>(b->journal.size()));
    PutInt(payload, Crc32(b->journal.data(), b->journal.size()));
    std::uint32_t n = 0;
    for (const auto& [recno, r] : b->records) n += r.live && r.size > 0 ? 1 : 0;
    PutInt(payload, n);
    for (const auto& [recno, r] : b->records) {
      if (!r.live || r.size == 0) continue;
      PutInt(payload, recno);
      PutInt(payload, r.size);
      payload.append(reinterpret_cast<const char*>(r.bytes), r.size);
    }
  }
  if (!Append(t, Chunk('C', payload))) return false;
  t.committed = true;
  return true;
}

bool InvalidateCommit(Txn& t) {
  if (!TruncateFile(t.file, t.file_list_end) || !FlushFile(t.file)) return false;
  t.file_end = t.file_list_end;
  t.committed = false;
  return true;
}

bool DeleteTxnFile(Txn& t) {
  disk::Close(t.file);
  if (int e = disk::Delete(t.file_name); e != 0) {
    NotePlatformError(e, DosFunc::kDelete);
    return Corrupt(StatusForDelete(e));
  }
  return true;
}

bool RecoverTransactions(const Text& data_name, const Text& journal_name) {
  Text folder = Absolute(data_name);
  folder.erase(folder.find_last_of('/') + 1);
  std::vector<Text> names;
  if (!disk::ListFolderByExtension(folder, ".TXN", names)) return true;
  const Txn& own = TheTxn();
  bool ok = true;
  for (const Text& leaf : names) {
    Text path = folder + leaf;
    if (own.file.IsOpen() && SameFile(path, own.file_name)) continue;
    disk::File file;
    if (disk::Open(path, true, file) != 0) continue;  // held: its transaction is running
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    std::size_t got = 0;
    if (disk::Read(file, 0, bytes.data(), bytes.size(), got) != 0) continue;
    bytes.resize(got);
    // Every interrupted transaction of the folder is settled, whichever of its blocks (or any
    // other block) opens first; only one that names this block keeps it from opening when it
    // cannot be settled. A file cut short before its first chunk names nothing: nothing of its
    // transaction reached a block.
    Logged logged = Parse(bytes);
    bool settled = true;
    for (const auto& b : logged.blocks)
      if (settled) settled = logged.committed ? Finish(b) : Undo(b);
    if (settled) {
      disk::Close(file);
      disk::Delete(path);
      continue;
    }
    int status = IsamError, dos = IsamDosError;
    std::uint16_t func = IsamDosFunc;
    ResetStatus();
    for (const auto& b : logged.blocks)
      if (SameFile(SplitBlockName(b.name).journal, journal_name) && ok) {
        ok = false;
        NotePlatformError(dos, func);
        Fail(status);
      }
  }
  return ok;
}

}  // namespace olbrax::isam
