#include "competition/dialogs/district_edit.h"

#include <charconv>

#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"

namespace olbrax {

DistrictEdit::DistrictEdit(bool adding) : EditForm(adding), saved_(DistrRec) {
  Text dnr = DistrRec.Dnr.get();
  int value = 0;
  auto [end, ec] = std::from_chars(dnr.data(), dnr.data() + dnr.size(), value);
  number = (ec == std::errc() && end == dnr.data() + dnr.size() && value >= 0 && value <= kNumberMax) ? value : 0;
  name = DistrRec.Dname.get();
  nation = DistrRec.Dkort.get();
}

bool DistrictEdit::Ok() {
  Text key = ZeroStr(std::clamp(number, 0, kNumberMax), 2);
  // The look-up reads a district it finds into DistrRec: keep the edited record's buffer.
  const TDistrRec edited = DistrRec;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindDistrict(kFindExact, key, ref, at_end, found);
  DistrRec = edited;
  if (found) return Refuse(DistrictExistsText(key), kNumber);
  DistrRec.Dnr.set(key);
  DistrRec.Dname.set(Cut(name, kNameMax));
  DistrRec.Dkort.set(Cut(nation, kNationMax));
  return true;
}

}  // namespace olbrax
