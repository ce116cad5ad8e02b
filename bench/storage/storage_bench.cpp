// The storage engine against SQLite: insert N records of 548 bytes with a 30-character key in
// random order, find each key, scan all keys in order, delete half.
//
//   storage_bench [--durable | --memory] [--batched] [--n N] [--dir DIR]
//
// --durable: our journal mode with every flush, against SQLite with journal_mode=TRUNCATE,
//   synchronous=FULL, locking_mode=EXCLUSIVE and one transaction per operation.
// --memory: the CPU cost, with our flushes switched off, against SQLite with synchronous=OFF
//   and journal_mode=OFF. Both use prepared statements.
// --batched: the inserts are one transaction on both sides, and so are the deletes.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "storage/disk_file.h"
#include "storage/efiler.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRecLen = 548;

struct Phase {
  const char* name;
  double micros_per_op = 0;
  double cpu_micros_per_op = 0;  // user and system time of the process: what the machine's load does not change
  double flushes_per_op = 0;
};

double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

std::vector<std::string> Keys(int n) {
  std::mt19937 rng(42);
  std::vector<std::string> keys;
  for (int i = 0; i < n; ++i) {
    char k[48];
    std::snprintf(k, sizeof k, "%08X-KLUBB-%05d-LOPARE-%06u", static_cast<unsigned>(rng()), i % 100000, i * 7u);
    keys.emplace_back(k, 30);
  }
  return keys;  // already in random order
}

template <class F>
Phase Time(const char* name, int ops, F&& f) {
  auto flushes = olbrax::disk::IoCounters().flushes;
  auto t0 = Clock::now();
  double c0 = CpuMicros();
  f();
  double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
  return {name, us / ops, (CpuMicros() - c0) / ops, double(olbrax::disk::IoCounters().flushes - flushes) / ops};
}

std::vector<Phase> RunEngine(const std::string& dir, const std::vector<std::string>& keys, bool batched) {
  using namespace olbrax;
  const int n = static_cast<int>(keys.size());
  std::string name = dir + "/BENCH";
  KeyDescs d{};
  d[0] = {30, 0};
  CreateFileBlock(name, kRecLen, 1, d);
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, name);
  if (!IsamOK) std::exit(1);
  std::vector<std::int32_t> recs(keys.size());
  std::string rec(kRecLen, 'r');
  std::vector<Phase> out;
  out.push_back(Time("insert", n, [&] {
    if (batched) BeginTransaction();
    for (int i = 0; i < n; ++i) {
      std::memcpy(rec.data() + 4, keys[i].data(), 30);
      AddRec(fb, recs[i], rec.data());
      AddKey(fb, 1, recs[i], keys[i]);
    }
    if (batched) CommitTransaction();
    if (!IsamOK) std::exit(1);
  }));
  std::mt19937 rng(7);
  std::vector<int> order(keys.size());
  for (int i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  out.push_back(Time("find", n, [&] {
    for (int i : order) {
      std::int32_t r = 0;
      FindKey(fb, 1, r, keys[i]);
      GetRec(fb, r, rec.data());
      if (r != recs[i]) std::exit(2);
    }
  }));
  out.push_back(Time("scan", n, [&] {
    ClearKey(fb, 1);
    std::int32_t r;
    Text k;
    int seen = 0;
    for (NextKey(fb, 1, r, k); IsamOK; NextKey(fb, 1, r, k)) ++seen;
    if (seen != n) std::exit(3);
  }));
  out.push_back(Time("delete", n / 2, [&] {
    if (batched) BeginTransaction();
    for (int j = 0; j < n / 2; ++j) {
      int i = order[j];
      DeleteKey(fb, 1, recs[i], keys[i]);
      DeleteRec(fb, recs[i]);
    }
    if (batched) CommitTransaction();
    if (!IsamOK) std::exit(1);
  }));
  CloseFileBlock(fb);
  return out;
}

void Check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::exit(4);
  }
}

std::vector<Phase> RunSqlite(const std::string& dir, const std::vector<std::string>& keys, bool durable,
                             bool batched) {
  const int n = static_cast<int>(keys.size());
  sqlite3* db;
  std::string path = dir + "/bench.sqlite";
  std::filesystem::remove(path);
  Check(sqlite3_open(path.c_str(), &db), db);
  const char* pragmas = durable
                            ? "PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL; PRAGMA locking_mode=EXCLUSIVE;"
                            : "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE;";
  Check(sqlite3_exec(db, pragmas, nullptr, nullptr, nullptr), db);
  Check(sqlite3_exec(db, "CREATE TABLE t(id INTEGER PRIMARY KEY, k TEXT UNIQUE, data BLOB)", nullptr, nullptr, nullptr), db);
  sqlite3_stmt *ins, *find, *scan, *del;
  sqlite3_prepare_v2(db, "INSERT INTO t(k, data) VALUES(?, ?)", -1, &ins, nullptr);
  sqlite3_prepare_v2(db, "SELECT id, data FROM t WHERE k = ?", -1, &find, nullptr);
  sqlite3_prepare_v2(db, "SELECT k, id FROM t ORDER BY k", -1, &scan, nullptr);
  sqlite3_prepare_v2(db, "DELETE FROM t WHERE k = ?", -1, &del, nullptr);
  std::string rec(kRecLen, 'r');
  std::vector<Phase> out;
  out.push_back(Time("insert", n, [&] {
    if (batched) Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (int i = 0; i < n; ++i) {
      sqlite3_bind_text(ins, 1, keys[i].data(), 30, SQLITE_STATIC);
      sqlite3_bind_blob(ins, 2, rec.data(), kRecLen, SQLITE_STATIC);
      Check(sqlite3_step(ins), db);
      sqlite3_reset(ins);
    }
    if (batched) Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  }));
  std::mt19937 rng(7);
  std::vector<int> order(keys.size());
  for (int i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  out.push_back(Time("find", n, [&] {
    for (int i : order) {
      sqlite3_bind_text(find, 1, keys[i].data(), 30, SQLITE_STATIC);
      if (sqlite3_step(find) != SQLITE_ROW) std::exit(5);
      sqlite3_reset(find);
    }
  }));
  out.push_back(Time("scan", n, [&] {
    int seen = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) ++seen;
    sqlite3_reset(scan);
    if (seen != n) std::exit(6);
  }));
  out.push_back(Time("delete", n / 2, [&] {
    if (batched) Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (int j = 0; j < n / 2; ++j) {
      sqlite3_bind_text(del, 1, keys[order[j]].data(), 30, SQLITE_STATIC);
      Check(sqlite3_step(del), db);
      sqlite3_reset(del);
    }
    if (batched) Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  }));
  for (auto* s : {ins, find, scan, del}) sqlite3_finalize(s);
  sqlite3_close(db);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  bool durable = false;
  bool batched = false;
  int n = 20000;
  std::string dir = std::filesystem::temp_directory_path() / "olbrax-bench";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--durable") durable = true;
    else if (a == "--memory") durable = false;
    else if (a == "--batched") batched = true;
    else if (a == "--n" && i + 1 < argc) n = std::stoi(argv[++i]);
    else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: storage_bench [--durable | --memory] [--batched] [--n N] [--dir DIR]\n");
      return 2;
    }
  }
  std::filesystem::create_directories(dir);
  olbrax::isam::InitIsam(0, 200);
  olbrax::disk::SetFlushEnabled(durable);
  auto keys = Keys(n);
  auto ours = RunEngine(dir, keys, batched);
  auto theirs = RunSqlite(dir, keys, durable, batched);
  olbrax::isam::ExitIsam();
  std::printf("%s, %s, %d records of %d bytes, 30-character keys\n", durable ? "durable" : "in memory (no flushes)",
              batched ? "inserts and deletes one transaction each" : "one transaction per operation", n, kRecLen);
  std::printf("%-8s %14s %14s %8s %12s %12s %8s %16s\n", "phase", "engine us/op", "sqlite us/op", "ratio",
              "engine cpu", "sqlite cpu", "ratio", "engine flush/op");
  for (std::size_t i = 0; i < ours.size(); ++i)
    std::printf("%-8s %14.2f %14.2f %8.2f %12.2f %12.2f %8.2f %16.3f\n", ours[i].name, ours[i].micros_per_op,
                theirs[i].micros_per_op, ours[i].micros_per_op / theirs[i].micros_per_op, ours[i].cpu_micros_per_op,
                theirs[i].cpu_micros_per_op, ours[i].cpu_micros_per_op / theirs[i].cpu_micros_per_op,
                ours[i].flushes_per_op);
  return 0;
}
