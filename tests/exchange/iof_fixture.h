// A data directory for the IOF XML tests: imports of the example messages or of given text, the
// import log as printed, exports validated against the schema, and the check of the directory.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "exchange/iof/iof_export.h"
#include "exchange/iof/iof_import.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "../competition/data_fixture.h"

namespace olbrax::test {

inline const std::string kExamples = OLBRAX_EXAMPLES_DIR "/iof/";

class IofDataTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<Keeping>(log);
    });
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  struct Keeping : print::RecordingCanvas {
    explicit Keeping(std::vector<Text>& sink) : RecordingCanvas(4961, 7016, 600), sink(sink) {}
    void DrawText(int x, int y, std::string_view text) override {
      RecordingCanvas::DrawText(x, y, text);
      sink.emplace_back(text);
    }
    std::vector<Text>& sink;
  };
  void Import(const std::vector<std::string>& files) {
    std::vector<Text> paths;
    for (const std::string& f : files) paths.push_back(f.find('/') == std::string::npos ? kExamples + f : f);
    log.clear();
    iof::ImportIofFiles(nullptr, paths);
  }
  void ImportText(const std::string& content) {
    WriteFileBytes(dir.path() / "in.xml", content);
    Import({(dir.path() / "in.xml").string()});
  }
  bool Logged(const Text& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
  std::string Export(iof::IofExport kind) {
    std::string path = (dir.path() / (std::string(iof::IofExportRoot(kind)) + ".xml")).string();
    int count = 0;
    EXPECT_TRUE(iof::ExportIof(kind, path, count)) << MsgLine;
    Validate(path);
    return ReadFileBytes(path);
  }
  // The schema, when it is there: every export must pass it.
  static void Validate(const std::string& path) {
    const std::string schema = OLBRAX_IOF_SCHEMA;
    if (!std::filesystem::exists(schema)) {
      std::printf("[ SKIPPED  ] no IOF schema at %s: %s not validated\n", schema.c_str(), path.c_str());
      return;
    }
    std::string cmd = "xmllint --noout --schema '" + schema + "' '" + path + "' 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << path << " does not validate against " << schema;
  }
  // The data directory as the check reads it, with everything written back.
  void ExpectSound() {
    CloseAllCompetitionFiles();
    for (const CheckLine& l : CheckDataDirectory(data.str())) EXPECT_TRUE(l.ok) << l.name << ": " << l.message;
    OpenArchive();
    SelectCompetition(true, 1);
  }
  int Count(FileBlock* fb) { return UsedRecs(fb); }

  TempDir dir;
  std::vector<Text> log;
};

}  // namespace olbrax::test
