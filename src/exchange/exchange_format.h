// The exchange file format: lines of comma-separated fields in sections opened by identifier
// lines, with the value notations and the order codes of the files.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace olbrax {

inline constexpr std::size_t kExchangeLineMax = 255;

struct SectionDef {
  std::string_view identifier;  // as written, e.g. "*Klubbar"
  int lines_per_record;
};
inline constexpr int kSectionCount = 19;
extern const SectionDef kSections[kSectionCount];

enum Section : int {
  kSecNone = -1,
  kSecStop = -2,
  kSecBas = 0,
  kSecKlubbar = 1,
  kSecRutbeskr = 2,
  kSecBanor = 3,
  kSecKontroller = 4,
  kSecResultat = 5,
  kSecEtapp = 6,
  kSecKlasser = 7,
  kSecNamn = 8,
  kSecKlubbLottad = 9,
  kSecMotionsLottad = 10,
  kSecJaktLottad = 11,
  kSecRutB24 = 12,
  kSecMaxdag = 13,
  kSecModifieraNamn = 14,
  kSecDistrikt = 15,
  kSecGruppLottad = 16,
  kSecSkidLottad = 17,
  kSecEmitresultat = 18,
};

// The order string that gives each file its two-character order code.
inline constexpr std::string_view kImportOrder =
    "05*Bas01*Klubbar03*Rutbeskr08*Banor07*Kontroller17*Resultat16*Etapp=06*Klasser09*Namn11*KlubbLottad"
    "12*MotionsLottad*JaktLottad04*RutB2415*Maxdag10*ModifieraNamn02*Distrikt13*GruppLottad14*SkidLottad"
    "18*Emitresultat";

// The section an identifier line selects (the first of the table found in the upper-cased
// line), or kSecNone.
int RecogniseSection(std::string_view line);
// The value after the first "=" of an identifier line.
Text IdentifierValue(std::string_view line);

// Field n (from 1) of a line split at `sep`, cleaned: characters below 32 and byte 255 become
// spaces, trailing spaces go, but a field of spaces only keeps one.
Text ExchangeField(std::string_view line, char sep, int n);
Text CleanField(std::string_view field);

// An integer field; `invalid` when it is not a number (an empty field too).
int IntField(std::string_view field, int invalid = 0);
// A decimal field (a fee: "150.50"), read with "." as the decimal point whatever the locale; the
// number at the start of the field, 0 when it does not start with one.
double RealField(std::string_view field);
// A control code as keys hold it: upper case, at most 3, digits right-aligned in 3.
Text NormaliseControlCode(std::string_view code);

// The status words of result fields, status codes 0..7 in this order; a status is stored as
// kStatusBase + code in place of a time.
inline constexpr std::int32_t kStatusBase = 5999940;
inline constexpr std::int32_t kNoTime = 5999948;
// The code of the status word whose first three letters the upper-cased text holds (the last of
// the list when several do), or -1.
int StatusWordCode(std::string_view text);

// A line of "*Resultat" (start number, a separator, "mmmss") or of "*Emitresultat" (start
// number, minutes and seconds, each after one separator). A start number of more than 4 digits,
// and a digit group of more than 12, read as 0; so does a "mmmss" group of other than 3 to 5
// digits, and a minutes or seconds group of other than 1 to 5.
struct ResultLine {
  int number = 0;
  int minutes = 0;
  int seconds = 0;
};
ResultLine ParseFinishLine(std::string_view line);
ResultLine ParseRunningLine(std::string_view line);

// The two-character order code of an identifier: the two characters in front of it in the order
// string; "99" when it is not there.
Text OrderCodeOfIdentifier(std::string_view identifier, std::string_view order = kImportOrder);

}  // namespace olbrax
