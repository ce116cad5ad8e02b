// The payment-form registers: the file "giroP" (plusgiro and postgiro) or "giroB" (bankgiro) in
// the current data directory, the giro buffer and the operations of the register family.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "registers/data/giro_record.h"
#include "storage/efiler.h"

namespace olbrax {

// A register takes a new form only while it holds fewer than this many.
inline constexpr int kGiroCapacity = 199;

// The giro buffer, shared by the register window, the form windows and printing.
extern TGiroRec GiroRec;
// The open payment-form file (one at a time), else null.
extern FileBlock* GiroFile;

// The file of a kind: the data directory and "giroP" (kinds 0 and 1) or "giroB" (kind 3).
Text GiroFileName(int kind);

// Opens the kind's file, creating it when it does not exist yet; clears the buffer. True when
// open; otherwise GiroFilesFailedText() says why.
bool OpenGiroFile(int kind);
// "fel med girofilerna" and the engine's text of the failure.
Text GiroFilesFailedText();
void CloseGiroFile();

void ClearGiro();
// As FindLabel, on the open payment-form file and the giro buffer.
void FindGiro(int mode, std::string_view key, std::int32_t& rec, bool& at_end, bool& found);
// Adds or rewrites the buffer with its key; an empty payee becomes "XXX". A form whose key
// another form holds is refused (GiroTakenText on the message line) and nothing is stored.
void PutGiro(bool adding, std::int32_t& rec);
void RewriteGiro(std::int32_t rec);
// As DeleteLabel, with "Girot "payee_letter", raderad..." on the message line.
void DeleteGiro(int mode, std::string_view key, std::int32_t rec, bool remove_record);

// The key and list line of the buffer.
Text GiroKey();
Text GiroListLine();

// True when the open register holds 199 forms or more.
bool GiroRegisterFull();
// True when a form other than record `own` is stored under `key` (the key as stored: see
// GiroFieldsKey).
bool GiroKeyTaken(std::string_view key, std::int32_t own = 0);
// The message for a payee and letter code that another form holds.
Text GiroTakenText(std::string_view key);

}  // namespace olbrax
