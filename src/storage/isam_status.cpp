#include "storage/isam_status.h"

namespace olbrax {

bool IsamOK = true;
int IsamError = 0;
int IsamDosError = 0;
std::uint16_t IsamDosFunc = 0;

int IsamErrorClass() {
  int e = IsamError;
  if (e == 0) return 0;
  if (e == 9903 || (e >= 10200 && e <= 10299) || e == 10410) return 1;
  switch (e) {
    case 9900: case 10065: case 10110: case 10306: case 10330: case 10332:
    case 10335: case 10355: case 10360: case 10390: case 10397: case 10399:
      return 2;
    default: break;
  }
  if (e >= 10001 && e <= 10009) return 3;
  return 4;
}

namespace isam {

void ResetStatus() {
  IsamOK = true;
  IsamError = 0;
  IsamDosError = 0;
  IsamDosFunc = 0;
}

void Fail(int code) {
  IsamOK = false;
  IsamError = code;
}

void NotePlatformError(int win_error, std::uint16_t func) {
  if (IsamDosError != 0) return;
  IsamDosError = win_error;
  IsamDosFunc = func;
}

int StatusForOpen(int win_error) {
  switch (win_error) {
    case 2: return kFileNotFound;
    case 3: case 53: return kPathNotFound;
    case 4: return kTooManyFiles;
    case 12: return kInvalidAccess;
    default: return kGeneral;
  }
}

int StatusForCreate(int win_error) {
  switch (win_error) {
    case 3: case 53: return kPathNotFound;
    case 4: return kTooManyFiles;
    default: return kGeneral;
  }
}

int StatusForDelete(int win_error) {
  switch (win_error) {
    case 2: return kFileNotFound;
    case 3: case 53: return kPathNotFound;
    default: return kGeneral;
  }
}

int StatusForFileIo(int win_error) { return win_error == 6 ? kInvalidHandle : kGeneral; }

}  // namespace isam
}  // namespace olbrax
