// The set-up the import and export benchmarks share: a fresh folder under the temporary folder
// with a data directory, a program without windows that answers every question Yes and prints
// onto a recording canvas, and one competition "Bench" in a new archive.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "competition/records/competition_rec.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/disk_file.h"

namespace olbrax::bench {

// Empties `name` under the temporary folder, makes its data directory and points HOME and the
// Qt platform at it; called before the QGuiApplication is made.
inline std::filesystem::path PrepareFolder(const char* name) {
  auto base = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "data");
  setenv("HOME", base.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return base;
}

// Loads the configuration onto base/data, with flushes on (`durable`) or off, and creates the
// archive with the competition "Bench" in it.
inline void CreateCompetition(platform::HeadlessUi& ui, const std::filesystem::path& base, bool durable) {
  ui.default_answer = platform::kYes;
  platform::SetUi(&ui);
  print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    return std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
  });
  ConfigLoad(AppSlot, true, "OLBRAX");
  GeneralSettings.DataDirectory.set((base / "data").string());
  GeneralSettings.remembered_directory[5].set((base / "data").string());
  std::vector<Text> args;
  InitCompetitionData(args);
  disk::SetFlushEnabled(durable);
  CreateArchiveFiles();
  BeginInputInfo(true);
  InfoRec.Tvl.set("Bench");
  InfoRec.Arr.set("Bench");
  AcceptInputInfo(true);
}

}  // namespace olbrax::bench
