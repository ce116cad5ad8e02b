#include "registers/data/register_check.h"

#include <cstring>
#include <set>

#include "registers/data/giro_record.h"
#include "registers/data/label_record.h"
#include "registers/data/side_register.h"

namespace olbrax {

namespace {

enum class Kind { None, Label, Giro };

Kind KindOf(std::string_view block_name) {
  std::size_t slash = block_name.find_last_of('/');
  Text leaf = UpStr(block_name.substr(slash == std::string_view::npos ? 0 : slash + 1));
  if (leaf == "ETIKETT") return Kind::Label;
  if (leaf == "GIROP" || leaf == "GIROB") return Kind::Giro;
  return Kind::None;
}

}  // namespace

bool IsSideRegisterBlock(std::string_view block_name) { return KindOf(block_name) != Kind::None; }

isam::CheckResult CheckSideRegisterKeys(std::string_view block_name) {
  Kind kind = KindOf(block_name);
  const std::int32_t expected_len = kind == Kind::Label ? sizeof(TEtikettRec) : sizeof(TGiroRec);
  isam::BlockContents b;
  std::string error;
  if (kind == Kind::None) return {false, "not a label or payment-form file"};
  if (!isam::ReadBlockContents(block_name, b, error)) return {false, error};
  if (b.rec_len != expected_len)
    return {false, "record length " + std::to_string(b.rec_len) + ", expected " + std::to_string(expected_len)};
  if (b.keys.size() != 1) return {false, "has " + std::to_string(b.keys.size()) + " indexes, expected 1"};
  auto key_of = [&](std::int32_t rec) {
    const char* p = b.data.data() + static_cast<std::size_t>(rec) * static_cast<std::size_t>(b.rec_len);
    if (kind == Kind::Label) {
      TEtikettRec r;
      std::memcpy(&r, p, sizeof r);
      return side::StoredKey(LabelKey(r.Etk.get()));
    }
    TGiroRec r;
    std::memcpy(&r, p, sizeof r);
    return side::StoredKey(GiroKeyOf(r));
  };
  std::set<std::int32_t> live(b.live.begin(), b.live.end());
  std::set<std::pair<Text, std::int32_t>> entries(b.keys[0].begin(), b.keys[0].end());
  for (const auto& [key, rec] : b.keys[0]) {
    if (!live.count(rec))
      return {false, "entry \"" + Utf8FromWin(key) + "\" names record " + std::to_string(rec) + ", which is free"};
    if (key_of(rec) != key)
      return {false, "entry \"" + Utf8FromWin(key) + "\" names record " + std::to_string(rec) + ", whose key is \"" +
                         Utf8FromWin(key_of(rec)) + "\""};
  }
  for (std::int32_t rec : b.live)
    if (!entries.count({key_of(rec), rec}))
      return {false, "record " + std::to_string(rec) + " with key \"" + Utf8FromWin(key_of(rec)) + "\" is missing"};
  return {true, "ok"};
}

}  // namespace olbrax
