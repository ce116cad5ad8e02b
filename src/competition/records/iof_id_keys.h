// How the records of the id file IOFIDnn (iof_id_rec.h) name their keys and the entrants they
// belong to. The import, the export, the check and the index rebuild all read them from here,
// so that a rebuilt or checked file holds exactly what the import writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/iof_id_rec.h"

namespace olbrax {

// The key text of both indexes: the kind and the field (Local for key 1, IofId for key 2), cut
// to the key's length.
inline Text IofIdKey(char kind, std::string_view field) { return Cut(Text(1, kind) + Text(field), kIofIdKeyLen - 1); }
inline Text IofIdLocalKey(const TIofIdRec& r) { return IofIdKey(r.Kind, r.Local.get()); }
inline Text IofIdIdKey(const TIofIdRec& r) { return IofIdKey(r.Kind, r.IofId.get()); }

// The kinds whose Local is an entrant's record number: a person entrant, a team entrant, and one
// leg of a team ("00012/2").
inline bool IofIdNamesEntrant(char kind) { return kind == 'P' || kind == 'T' || kind == 'M'; }
inline Text IofIdEntrantLocal(std::int32_t ref) { return ZeroStr(ref, 5); }
inline Text IofIdMemberLocal(std::int32_t ref, int leg) { return ZeroStr(ref, 5) + "/" + std::to_string(leg); }

// The Check of an entrant's ids: its start number and first name as stored with them. An id
// whose entrant no longer shows this is not used.
inline Text IofIdCheck(const TEntrantRec& r) { return Cut(r.StartNumber.get() + " " + r.StageName[0].get(), 32); }

}  // namespace olbrax
