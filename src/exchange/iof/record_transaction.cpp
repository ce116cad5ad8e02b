#include "exchange/iof/record_transaction.h"

#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/register_change.h"
#include "exchange/iof/id_register.h"
#include "storage/efiler.h"

namespace olbrax::iof {

bool StoreAsOne(IdRegister& ids, const std::function<bool()>& body) {
  TInfoRec info = InfoRec;
  // 41 KB: kept between records rather than on the stack.
  static TCmpClubRec cmp;
  cmp = CmpClubRec;
  BeginTransaction();
  bool ok = body();
  if (ok) {
    CommitTransaction();
    ok = IsamOK;
    if (!ok) ReportStorageFailure(StorageFailureText());
  } else {
    RollbackTransaction();
  }
  if (!ok) {
    InfoRec = info;
    CmpClubRec = cmp;
  }
  ids.Settle(ok);
  return ok;
}

}  // namespace olbrax::iof
