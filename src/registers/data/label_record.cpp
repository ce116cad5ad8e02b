#include "registers/data/label_record.h"

namespace olbrax {

namespace {

std::string_view FirstLine(std::string_view text) {
  std::size_t end = text.find("\r\n");
  return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

Text LabelKey(std::string_view text) { return Cut(FirstLine(text), 30); }

LabelPictureInfo LabelPicture(std::string_view text) {
  std::string_view line = FirstLine(text);
  std::size_t at = UpStr(line).find("BITMAP");
  if (at == Text::npos) return {false, Text(line)};
  return {true, Text(line.substr(at + 6))};
}

}  // namespace olbrax
