#include "competition/records_check.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "competition/archive.h"
#include "competition/records/iof_id_keys.h"

namespace olbrax {

namespace {

// Where each index's key text lies in the records of a file: the offset of a length-prefixed
// text field and its width; or, for a key made of several fields, the function that makes it.
struct KeyField {
  int offset;
  int width;
  Text (*made)(const char* record) = nullptr;
};

template <Text (*Of)(const TIofIdRec&)>
Text IofIdKeyOf(const char* record) {
  TIofIdRec r;
  std::memcpy(&r, record, sizeof r);
  return Of(r);
}

struct ProgramFile {
  const char* name;
  bool competition;  // named name + 01..08
  int rec_len;
  std::vector<KeyField> keys;
};

const std::vector<ProgramFile>& ProgramFiles() {
  static const std::vector<ProgramFile> files = {
      {"OLBRAX", false, kInfoRecLen, {}},
      {"CLUBAR", false, kClubRecLen, {{11, 30}}},
      {"DISTR", false, kDistrRecLen, {{4, 2}}},
      {"RUTBESKR", false, kRouteRecLen, {{6, 10}}},
      {"RUTB24", false, kRoute24RecLen, {{8, 10}}},
      {"KLASS", true, kKlassRecLen, {{16, 14}, {7, 8}}},
      {"OL", true, kEntrantRecLen, {{8, 4}}},
      {"TRACK", true, kTrackRecLen, {{4, 12}}},
      {"KONTR", true, kKontrRecLen, {{4, 3}}},
      {"IOFID", true, kIofIdRecLen, {{0, 0, IofIdKeyOf<IofIdLocalKey>}, {0, 0, IofIdKeyOf<IofIdIdKey>}}},
  };
  return files;
}

// The program file a block is, by its name: a shared name exactly (RUTB24 ends in digits but is
// no competition's), a competition file by its stem and a number 01..08.
const ProgramFile* ProgramFileOf(std::string_view block_name) {
  Text leaf = UpStr(block_name.substr(block_name.find_last_of("/\\") + 1));
  for (const ProgramFile& f : ProgramFiles()) {
    std::string_view stem = f.name;
    if (!f.competition) {
      if (leaf == stem) return &f;
      continue;
    }
    if (leaf.size() != stem.size() + 2 || leaf.compare(0, stem.size(), stem) != 0) continue;
    char tens = leaf[stem.size()], ones = leaf[stem.size() + 1];
    if (tens == '0' && ones >= '1' && ones <= '0' + kMaxCompetitions) return &f;
  }
  return nullptr;
}

}  // namespace

bool KnowsRecordKeys(std::string_view block_name) { return ProgramFileOf(block_name) != nullptr; }

isam::CheckResult CheckRecordKeys(std::string_view block_name) {
  const ProgramFile* file = ProgramFileOf(block_name);
  if (!file) return {false, "not a file of the program"};
  isam::BlockContents b;
  std::string error;
  if (!isam::ReadBlockContents(block_name, b, error)) return {false, error};
  // The program reads and writes whole records of its type: another length would overrun them.
  if (b.rec_len != file->rec_len)
    return {false, "record length " + std::to_string(b.rec_len) + ", the program's is " + std::to_string(file->rec_len)};
  const std::vector<KeyField>& fields = file->keys;
  if (fields.size() != b.keys.size())
    return {false, "has " + std::to_string(b.keys.size()) + " indexes, expected " + std::to_string(fields.size())};
  auto record = [&](std::int32_t rec) {
    return b.data.data() + static_cast<std::size_t>(rec) * static_cast<std::size_t>(b.rec_len);
  };
  // A record the engine holds live but whose status word is not 0 is shown by the program as
  // deleted and skipped by every scan, while its keys still find it.
  for (std::int32_t rec : b.live) {
    std::int32_t status;
    std::memcpy(&status, record(rec), 4);
    if (status != 0)
      return {false, "record " + std::to_string(rec) + " is live but its status word is " + std::to_string(status)};
  }
  std::set<std::int32_t> live(b.live.begin(), b.live.end());
  for (std::size_t k = 0; k < fields.size(); ++k) {
    auto key_of = [&](std::int32_t rec) {
      if (fields[k].made) return fields[k].made(record(rec));
      const char* p = record(rec) + fields[k].offset;
      int len = std::min<int>(static_cast<unsigned char>(p[0]), fields[k].width);
      return Text(p + 1, static_cast<std::size_t>(len));
    };
    std::set<std::pair<Text, std::int32_t>> entries(b.keys[k].begin(), b.keys[k].end());
    std::string idx = "index " + std::to_string(k + 1) + ": ";
    for (const auto& [key, rec] : b.keys[k]) {
      if (!live.count(rec))
        return {false, idx + "entry \"" + Utf8FromWin(key) + "\" names record " + std::to_string(rec) + ", which is free"};
      if (key_of(rec) != key)
        return {false, idx + "entry \"" + Utf8FromWin(key) + "\" names record " + std::to_string(rec) + ", whose key is \"" +
                           Utf8FromWin(key_of(rec)) + "\""};
    }
    for (std::int32_t rec : b.live)
      if (!entries.count({key_of(rec), rec}))
        return {false, idx + "record " + std::to_string(rec) + " with key \"" + Utf8FromWin(key_of(rec)) + "\" is missing"};
  }
  return {true, "ok"};
}

}  // namespace olbrax
