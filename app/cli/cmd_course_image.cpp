// olbrax-cli course-image COURSE --out FILE: the description sheet of a course as a picture, in
// the format the file name asks for (.jpg/.jpeg JPEG, .png PNG, otherwise BMP).
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/gui_app.h"
#include "competition/archive_state.h"
#include "competition/definition_set.h"
#include "competition/records/definition_recs.h"
#include "printing/engine/picture_save.h"
#include "printing/reports/course_image.h"
#include "printing/reports/report_picks.h"

namespace olbrax::cli {
namespace {

int RunCourseImage(Context& ctx) {
  std::optional<std::string> out = TakeOption(ctx.args, "--out");
  if (ctx.args.size() != 1 || !out) return Usage("course-image");
  const Text course = WinFromUtf8(ctx.args[0]);
  const std::string path = std::filesystem::absolute(*out).string();
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen || CurrentCompetition == 0 || !CompetitionOpen) {
    ReportMsgLine();
    Err("olbrax-cli course-image: ingen t\xE4vling vald (olbrax-cli select N)");
    return 1;
  }
  auto app = EnsureGuiApplication();
  bool found = false, saved = false, read_failed = false;
  Text error;
  bool files = WithDefinitionSet([&] {
    std::vector<Text> missing;
    found = !print::NamedEntries(print::PickKind::kCourses, {course}, missing).empty();
    // Neither found nor missing: the lookup failed, and said so.
    read_failed = !found && missing.empty();
    if (!found) return;
    const TTrackRec track = TrackRec;
    const QImage image = print::DrawCourseImage(track);
    // A sheet that misses what could not be read is not saved as if it were whole.
    if (print::ShowReadFailure()) return void(read_failed = true);
    saved = print::SavePicture(WinFromUtf8(path), image, error);
  });
  if (!files) {
    ReportMsgLine();
    return 1;
  }
  if (read_failed) return 1;
  if (!found) {
    Err("olbrax-cli course-image: banan finns inte: " + course);
    return 1;
  }
  if (!saved) {
    Err(error);
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}

Registrar reg({"course-image", "COURSE --out FILE", "save the description sheet of a course as a picture (jpg, png, bmp)",
               RunCourseImage});

}  // namespace
}  // namespace olbrax::cli
