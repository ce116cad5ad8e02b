// What the three payment-form windows edit and check, without the windows: the fields of a form
// as the window shows them, how they come from the giro buffer and go back into it, and the
// checks of "ok". The command-line tool uses the same rules.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace olbrax {

// The limits of the windows' fields (the records keep less of the two texts).
inline constexpr int kGiroMessageFieldMax = 1201;
inline constexpr int kGiroAddressFieldMax = 321;
inline constexpr int kGiroTextFieldMax = 30;
inline constexpr int kGiroLetterFieldMax = 2;
inline constexpr int kGiroAmountStep = 5;

struct GiroFields {
  Text message;      // gtxt; lines may end in LF or CR LF
  Text address;      // gadrtxt
  Text giro;         // TillG: payee's giro number
  Text own_account;  // EgetKonto
  Text payee;        // Mottagare
  Text letter;       // Lnr: letter code
  Text reference;    // Referens (postgiro window only)
  int amount = 0;    // AttBetala, whole kronor
};

// The largest amount a kind's window takes: 9999 on the postgiro form, 999999 on the others.
int GiroAmountMax(int kind);

// The fields of the giro buffer: the amount is the number in AttBetala, 0 when it is empty or
// not a number (and at most the kind's largest amount).
GiroFields GiroFieldsFromBuffer(int kind);

// Stores the fields into the giro buffer as the windows do: the two texts with CR LF line ends
// cut to 1185 and 316 characters, the other texts cut to 30, the letter code to 2, the reference
// only for postgiro; the amount as decimal digits, but empty for 0 on the plusgiro and postgiro
// forms (the bankgiro form keeps "0").
void StoreGiroFields(const GiroFields& fields, int kind);

// The key a form with these fields is stored under: the payee cut to 30 ("XXX" when empty), and
// "_" and the letter code when there is one, cut to 30.
Text GiroFieldsKey(const GiroFields& fields);

// The checks of "ok" on the open payment-form file: the key must be free (`own` = the record
// being changed, 0 when adding), and the payee's giro number and then the own account must be
// empty or pass the modulus-10 check. Empty when accepted, else the window's status text.
Text CheckGiroFields(const GiroFields& fields, std::int32_t own = 0);

}  // namespace olbrax
