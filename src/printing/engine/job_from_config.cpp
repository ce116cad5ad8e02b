#include "printing/engine/job_from_config.h"

namespace olbrax::print {

JobFont FontFromSpec(const FontSpec& spec) {
  JobFont f;
  f.face = spec.name.get();
  f.size = spec.size;
  f.height = spec.height;
  f.bold = spec.style & 1;
  f.italic = spec.style & 2;
  f.underline = spec.style & 4;
  f.strikeout = spec.style & 8;
  f.fixed_pitch = spec.pitch == 2;
  return f;
}

JobSetup JobFromPrinterSetup(const PrinterSetup& s) {
  JobSetup job;
  job.device = s.device.get();
  job.devmode_valid = s.devmode_valid != 0;
  job.orientation = s.devmode_valid ? s.Orientation() : 1;
  job.paper_size = s.devmode_valid ? s.PaperSize() : 9;
  job.print_quality = s.devmode_valid ? s.PrintQuality() : 0;
  job.y_resolution = s.devmode_valid ? s.YResolution() : 0;
  job.page_flags = s.PageFlags();
  job.margin_left = s.Margin(0);
  job.margin_top = s.Margin(1);
  job.margin_right = s.Margin(2);
  job.margin_bottom = s.Margin(3);
  job.columns = s.columns;
  job.large = FontFromSpec(s.large);
  job.medium = FontFromSpec(s.medium);
  job.small = FontFromSpec(s.small);
  job.pictures = {};
  return job;
}

JobSetup JobFromEnvironment(const TPrintEnvironment& env) {
  JobSetup job = JobFromPrinterSetup(env.setup);
  job.footer = env.footer.get();
  for (int i = 0; i < 5; ++i) {
    job.pictures[static_cast<std::size_t>(i)].active = env.pictures[i].active != 0;
    job.pictures[static_cast<std::size_t>(i)].path = env.pictures[i].path.get();
    job.pictures[static_cast<std::size_t>(i)].divisor = env.pictures[i].divisor;
  }
  return job;
}

}  // namespace olbrax::print
