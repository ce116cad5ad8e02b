#include "registers/data/giro_record.h"

namespace olbrax {

Text GiroKeyOf(const TGiroRec& rec) {
  Text key = rec.Mottagare.get();
  if (!rec.Lnr.empty()) key += "_" + rec.Lnr.get();
  return Cut(key, 30);
}

Text GiroListLineOf(const TGiroRec& rec) {
  Text line = PadRight(rec.TillG.get(), '.', 16) + " " + rec.Mottagare.get();
  if (!rec.Lnr.empty()) line += "_" + rec.Lnr.get();
  return line;
}

}  // namespace olbrax
