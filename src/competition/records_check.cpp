#include "competition/records_check.h"

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace olbrax {

namespace {

// Where each index's key text lies in the records of a file: the offset of a length-prefixed
// text field and its width.
struct KeyField {
  int offset;
  int width;
};

// The key fields of a file by its name without the competition number.
std::vector<KeyField> KeyFieldsOf(std::string_view block_name) {
  std::string leaf(block_name.substr(block_name.find_last_of('/') + 1));
  for (char& c : leaf) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Competition files end in two digits.
  std::string base = leaf;
  if (base.size() > 2 && std::isdigit(static_cast<unsigned char>(base[base.size() - 1])) &&
      std::isdigit(static_cast<unsigned char>(base[base.size() - 2])))
    base.resize(base.size() - 2);
  static const std::map<std::string, std::vector<KeyField>> kFields = {
      {"CLUBAR", {{11, 30}}},   {"DISTR", {{4, 2}}},       {"RUTBESKR", {{6, 10}}},
      {"RUTB24", {{8, 10}}},    {"KLASS", {{16, 14}, {7, 8}}}, {"OL", {{8, 4}}},
      {"TRACK", {{4, 12}}},     {"KONTR", {{4, 3}}},
  };
  if (leaf == "OLBRAX") return {};
  auto it = kFields.find(base);
  return it == kFields.end() ? std::vector<KeyField>{} : it->second;
}

}  // namespace

bool KnowsRecordKeys(std::string_view block_name) { return !KeyFieldsOf(block_name).empty(); }

isam::CheckResult CheckRecordKeys(std::string_view block_name) {
  std::vector<KeyField> fields = KeyFieldsOf(block_name);
  isam::BlockContents b;
  std::string error;
  if (!isam::ReadBlockContents(block_name, b, error)) return {false, error};
  if (fields.size() != b.keys.size())
    return {false, "has " + std::to_string(b.keys.size()) + " indexes, expected " + std::to_string(fields.size())};
  std::set<std::int32_t> live(b.live.begin(), b.live.end());
  for (std::size_t k = 0; k < fields.size(); ++k) {
    auto key_of = [&](std::int32_t rec) {
      const char* p = b.data.data() + static_cast<std::size_t>(rec) * static_cast<std::size_t>(b.rec_len) +
                      static_cast<std::size_t>(fields[k].offset);
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
