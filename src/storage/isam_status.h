// The storage engine's status, set by every engine call.
//
// Callers test IsamOK after each call and, where the user must know, show MsgText(IsamError):
// the status codes are message numbers. IsamDosError and IsamDosFunc tell which platform file
// call failed first during the engine call, and how.
#pragma once

#include <cstdint>

namespace olbrax {

// True when the last engine call succeeded.
extern bool IsamOK;
// The status code of the last engine call, 0 on success.
extern int IsamError;
// The platform (Windows) error number of the first failed file call of the last engine call.
extern int IsamDosError;
// The operation code of that file call (see DosFunc).
extern std::uint16_t IsamDosFunc;

// 0 when IsamError is 0; 1 not found; 2 locked or busy; 3 repaired after an I/O error; 4 other.
int IsamErrorClass();

// Operation codes of the platform file calls, as IsamDosFunc reports them.
namespace DosFunc {
constexpr std::uint16_t kClose = 0x3E00;
constexpr std::uint16_t kDelete = 0x4100;
constexpr std::uint16_t kFlush = 0x6800;
constexpr std::uint16_t kPosition = 0x4201;
constexpr std::uint16_t kLock = 0x5C00;
constexpr std::uint16_t kUnlock = 0x5C01;
constexpr std::uint16_t kOpen = 0x6C00;
constexpr std::uint16_t kSeek = 0x4200;
constexpr std::uint16_t kSize = 0x4202;
constexpr std::uint16_t kRead = 0x3F00;
constexpr std::uint16_t kWrite = 0x4000;
constexpr std::uint16_t kRename = 0x5600;
}  // namespace DosFunc

namespace isam {

// Status codes of the engine, by meaning.
enum Status : int {
  kOk = 0,
  kPathNotFound = 9900,
  kTooManyFiles = 9901,
  kFileNotFound = 9903,
  kInvalidHandle = 9904,
  kInvalidAccess = 9908,
  kTooFewBuffers = 10000,
  kAddRecRepaired = 10001,
  kDeleteRecRepaired = 10002,
  kAddKeyRepaired = 10003,
  kDeleteKeyRepaired = 10004,
  kInUseOrIndexOpen = 10010,
  kRecLenTooSmall = 10020,
  kTooManyKeys = 10050,
  kBadKeyLen = 10055,
  kBadDataHeader = 10060,  // a header its file cannot be: indexes, record length, counts
  kReadOnlyChange = 10065,
  kShortRead = 10070,
  kShortWrite = 10075,
  kNotOpenAtClose = 10080,
  kCreateMemory = 10090,
  kOpenMemory = 10100,
  kBadPageSize = 10120,
  kBadItemsPerPage = 10121,
  kBadIndexKeyLen = 10122,
  kKeyTooLong = 10125,
  kPutRecZero = 10130,
  kRecnoOutOfRange = 10135,
  kGeneral = 10140,
  kSharedFlush = 10150,
  kCloseFailed = 10160,
  kBadKeyNumber = 10164,
  kFreeChain = 10170,
  kRepairFailed = 10180,
  kTooFewHandles = 10192,
  kFindNotFound = 10200,
  kSearchNotFound = 10210,
  kDeleteNotFound = 10220,
  kKeyExists = 10230,
  kNextNotFound = 10250,
  kNextNotAllowed = 10255,
  kBadMode = 10310,
  kRepairReadOnly = 10430,
  kJournalReadOnly = 10440,
  kNotOpen = 10445,
  kStartedTwice = 10450,
  kTooFewBuffersAsked = 10451,
  kNotStarted = 10455,
};

// Clears the status at the start of an engine call.
void ResetStatus();
// Sets the status code (IsamOK false); a later code replaces an earlier one.
void Fail(int code);
// Remembers the first failed platform call of the engine call.
void NotePlatformError(int win_error, std::uint16_t func);

// The status for a failed platform call, by the operation it was.
int StatusForOpen(int win_error);
int StatusForCreate(int win_error);
int StatusForDelete(int win_error);
int StatusForFileIo(int win_error);

}  // namespace isam
}  // namespace olbrax
