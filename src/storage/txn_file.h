// The transaction file: what ties the blocks of one transaction together across a crash, and
// the settling of an interrupted transaction at the next open (storage/commit.cpp has the
// protocol and its invariants).
//
// TRANSACTION FILE ("TXN"), beside the first block of the transaction and named after its data
// file; it exists only while a transaction commits. Chunks back to back, little-endian; a chunk
// cut short or whose checksum does not match ends the file.
//
//   chunk                                    names (a block)
//   offset width field                       width field
//        0     4 "OLTX"                          2 length n
//        4     1 kind: 'B' block list, 'C' commit  n data file name;index file name (absolute,
//        5     4 payload length p                  Windows-1252)
//        9     p payload
//      9+p     4 CRC-32 of bytes 4 .. 9+p
//
//   'B' payload: block count (2), then the names of each block. A later list names all of an
//       earlier one's blocks and more.
//   'C' payload: block count (2), then per block: its names, the length (8) and CRC-32 (4) of
//       what the transaction wrote to its journal after byte 0, the count (4) of rewritten
//       records, and per record: record number (4), length (4), the bytes from the start of the
//       record.
//
// A file with a valid 'C' chunk is a committed transaction; one without is rolled back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/text.h"
#include "storage/txn.h"

namespace olbrax::isam {

std::uint32_t Crc32(const void* data, std::size_t len, std::uint32_t crc = 0);

// Writes a block list naming every block of the transaction (once more blocks take part than
// the last list named), creating the file, and flushes it.
bool ListBlocks(Txn& t);
// Writes the commit chunk and flushes it: the commit point.
bool WriteCommitChunk(Txn& t);
// Cuts the commit chunk off again (flushed), after a failure that follows it.
bool InvalidateCommit(Txn& t);
// Closes and deletes the transaction file.
bool DeleteTxnFile(Txn& t);

// Before a block is opened: finishes or rolls back every interrupted transaction whose file is in
// the block's folder, for every block that file names. Blocks open in this process are left
// alone (their open settled them already), and so is a transaction file that another process
// holds (its transaction is still running). False, with the status set, when a transaction that
// names the block could not be settled; its file then stays for the next attempt.
bool RecoverTransactions(const Text& data_name, const Text& journal_name);

}  // namespace olbrax::isam
