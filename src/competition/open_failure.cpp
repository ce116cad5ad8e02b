#include "competition/open_failure.h"

#include "base/messages.h"
#include "storage/disk_file.h"
#include "storage/isam_status.h"

namespace olbrax {

Text OpenFailureText(std::string_view file) {
  Text name = "\"" + Text(file) + "\"";
  Text why;
  switch (IsamDosError) {
    case disk::kErrSharingViolation: why = "Filen anv\xE4nds av en annan kopia av olbrax:"; break;
    case disk::kErrAccessDenied: why = MsgText(5); break;          // "Filåtkomst förvägras"
    case disk::kErrWriteProtect: why = MsgText(150); break;        // "Skivan är skrivskyddad"
    default:
      if (IsamError == isam::kFileNotFound || IsamError == isam::kPathNotFound) return MsgText(324);
      why = MsgText(IsamError);
  }
  return Cut(why + " " + name, kMsgLineMax);
}

}  // namespace olbrax
