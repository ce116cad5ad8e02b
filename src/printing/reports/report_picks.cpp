#include "printing/reports/report_picks.h"

#include <optional>

#include "competition/registers/definitions.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "printing/engine/print_engine.h"
#include "storage/isam_status.h"

namespace olbrax::print {

namespace {

// The text of the first read failure of the report being made.
std::optional<Text> g_read_failure;

bool EngineFailed() { return !IsamOK && IsamErrorClass() != 1; }

using FindFn = void (*)(int, std::string_view, std::int32_t&, bool&, bool&);

FindFn FinderFor(PickKind kind) {
  switch (kind) {
    case PickKind::kClasses: return FindClassBySortKey;
    case PickKind::kCourses: return FindCourse;
    case PickKind::kControls: return FindControl;
    case PickKind::kRoutes: return FindRoute;
  }
  return FindControl;
}

}  // namespace

std::vector<std::int32_t> AllEntries(PickKind kind) {
  std::vector<std::int32_t> refs;
  FindFn find = FinderFor(kind);
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  find(kFindReset, "", ref, at_end, found);
  // The walk follows the index from its position; a damaged index that goes round in a circle
  // is stopped after as many steps as a register can have records.
  for (int guard = 0; guard < 1000000; ++guard) {
    find(kFindNext, "", ref, at_end, found);
    // A record that cannot be read is not skipped as if it were not there.
    if (EngineFailed()) {
      ReportStorageFailure(StorageFailureText());
      return {};
    }
    if (at_end) break;
    if (found) refs.push_back(ref);
  }
  return refs;
}

std::vector<std::int32_t> NamedEntries(PickKind kind, const std::vector<Text>& names, std::vector<Text>& missing) {
  std::vector<std::int32_t> refs;
  // Classes are named by their name (key 2), the pick list's order notwithstanding.
  FindFn find = kind == PickKind::kClasses ? FindClassByName : FinderFor(kind);
  for (const Text& name : names) {
    std::int32_t ref = 0;
    bool at_end = false, found = false;
    find(kFindExact, name, ref, at_end, found);
    if (!found && !EngineFailed()) find(kFindExact, UpStr(name), ref, at_end, found);
    if (EngineFailed()) {
      ReportStorageFailure(StorageFailureText());
      missing.clear();
      return {};
    }
    if (found) refs.push_back(ref);
    else missing.push_back(name);
  }
  return refs;
}

bool ReadEntry(PickKind kind, std::int32_t ref) {
  FindFn find = kind == PickKind::kClasses ? FindClassByName : FinderFor(kind);
  bool at_end = false, found = false;
  find(kFindRecord, "", ref, at_end, found);
  if (!found) NoteReadFailure();
  return found;
}

bool NoteReadFailure() {
  if (!EngineFailed()) return false;
  if (!g_read_failure) {
    g_read_failure = StorageFailureText();
    PrCancel();
  }
  return true;
}

bool ShowReadFailure() {
  if (!g_read_failure) return false;
  const Text text = std::move(*g_read_failure);
  g_read_failure.reset();
  ReportStorageFailure(text);
  return true;
}

void ForgetReadFailure() { g_read_failure.reset(); }

}  // namespace olbrax::print
