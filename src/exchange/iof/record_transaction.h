// One record of an IOF import, stored as one storage transaction together with its ids.
#pragma once

#include <functional>

namespace olbrax::iof {

class IdRegister;

// Runs `body` (the register operations and id puts of one record) in a transaction and commits
// it when `body` returns true. Otherwise, or when the commit fails, everything is taken back: the
// files by the engine, the competition's counters in memory (the competition record and the
// statistics block) to what they were, the ids put by `body` forgotten. The failure has been
// shown to the user by then and is left in MsgLine. True when the record is stored.
bool StoreAsOne(IdRegister& ids, const std::function<bool()>& body);

}  // namespace olbrax::iof
