// The address and label register: the label file "Etikett" in the current data directory, its
// record buffer and the operations of the register family.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "registers/data/label_record.h"
#include "storage/efiler.h"

namespace olbrax {

// The register takes a new label only while it holds fewer than this many.
inline constexpr int kLabelCapacity = 299;

// The label buffer, shared by the register window, the edit window and printing.
extern TEtikettRec EtikettRec;
// The label file while the register is open, else null.
extern FileBlock* LabelFile;

// The label file's name: the current data directory and "Etikett".
Text LabelFileName();

// Opens the label file, creating it when it does not exist yet; clears the buffer. True when
// open; otherwise LabelFilesFailedText() says why.
bool OpenLabelFile();
// "fel med Etikettfilerna" and the engine's text of the failure.
Text LabelFilesFailedText();
void CloseLabelFile();

void ClearLabel();
// Mode 0 exact key, 2 next key, 3 first key not below, 4 back to the start, other modes read
// record `rec`. The key is cut to 30 characters.
void FindLabel(int mode, std::string_view key, std::int32_t& rec, bool& at_end, bool& found);
// Adds (adding) or rewrites the buffer with its key; an empty text becomes "XXX". A label whose
// key another label holds is refused with LabelTakenText on the message line, and nothing is
// stored. Failures leave IsamOK false.
void PutLabel(bool adding, std::int32_t& rec);
// Writes the buffer to record `rec`, keys unchanged.
void RewriteLabel(std::int32_t rec);
// Removes the key of a label (mode 0: found by `key`; other modes: record `rec`) and, with
// `remove_record`, the label itself, with "Etikett "…", raderad..." on the message line.
void DeleteLabel(int mode, std::string_view key, std::int32_t rec, bool remove_record);

// True when the register holds 299 labels or more.
bool LabelRegisterFull();

// The key a label text is stored under: LabelKey, and "XXX" for an empty key.
Text StoredLabelKey(std::string_view text);
// True when a label other than record `own` is stored under the key of `text`.
bool LabelKeyTaken(std::string_view text, std::int32_t own = 0);
// The message for a label whose key another label holds.
Text LabelTakenText(std::string_view key);

}  // namespace olbrax
