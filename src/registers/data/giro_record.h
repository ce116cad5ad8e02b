// The payment-form record of the plusgiro, postgiro and bankgiro registers (files "giroP" and
// "giroB" in the data directory), laid out as on disk.
//
//   offset size field
//        0    4 DataStatus: 0 while the record is in use
//        4 1186 gtxt: message text, NUL-ended, at most 1185 characters, lines split by CR LF
//     1190  317 gadrtxt: payee's address, NUL-ended, at most 316 characters, lines split by CR LF
//     1507   31 TillG: payee's giro number (length byte + at most 30 characters)
//     1538   31 EgetKonto: payer's own account
//     1569   31 AttBetala: amount in whole kronor as decimal digits; empty when no amount
//     1600   31 Mottagare: payee's name
//     1631   31 Referens: reference (postgiro only)
//     1662    3 Lnr: letter code (length byte + at most 2 characters)
//     1665   43 reserv: zero
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/text.h"
#include "competition/records/record_text.h"

namespace olbrax {

// A NUL-ended text of at most N characters in N + 1 bytes.
template <int N>
struct NulText {
  char s[N + 1];
  Text get() const { return Text(s, ::strnlen(s, N)); }
  void set(std::string_view v) {
    std::size_t n = std::min<std::size_t>(v.size(), N);
    std::memcpy(s, v.data(), n);
    std::memset(s + n, 0, N + 1 - n);
  }
};

struct TGiroRec {
  std::int32_t DataStatus;
  NulText<1185> gtxt;
  NulText<316> gadrtxt;
  PStr<30> TillG;
  PStr<30> EgetKonto;
  PStr<30> AttBetala;
  PStr<30> Mottagare;
  PStr<30> Referens;
  PStr<2> Lnr;
  std::uint8_t reserv[43];
};
static_assert(sizeof(TGiroRec) == 1708);
static_assert(offsetof(TGiroRec, gtxt) == 4 && offsetof(TGiroRec, gadrtxt) == 1190);
static_assert(offsetof(TGiroRec, TillG) == 1507 && offsetof(TGiroRec, EgetKonto) == 1538);
static_assert(offsetof(TGiroRec, AttBetala) == 1569 && offsetof(TGiroRec, Mottagare) == 1600);
static_assert(offsetof(TGiroRec, Referens) == 1631 && offsetof(TGiroRec, Lnr) == 1662);
static_assert(offsetof(TGiroRec, reserv) == 1665);

// The form kinds; plusgiro and postgiro share one file and one register.
enum GiroKind : int { kPlusgiro = 0, kPostgiro = 1, kBankgiro = 3 };

// The key of a payment form: the payee, and "_" and the letter code when there is one, cut to
// 30 characters; no case change.
Text GiroKeyOf(const TGiroRec& rec);

// The register's list line: the giro number padded with "." to 16, a blank, the payee, and "_"
// and the letter code when there is one.
Text GiroListLineOf(const TGiroRec& rec);

}  // namespace olbrax
