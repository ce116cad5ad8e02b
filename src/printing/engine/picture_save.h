// Writing a picture to a file in the format its name asks for.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

class QImage;

namespace olbrax::print {

enum class PictureFormat { Bmp, Png, Jpeg };

// The format a file name's extension names (any case): JPEG for ".jpg" and ".jpeg", PNG for
// ".png", and BMP, the picture's own format, for ".bmp" and for a name without one of these.
PictureFormat PictureFormatFor(std::string_view path);

// Encodes the picture in `format` (JPEG through our libjpeg writer, quality 90); empty when it
// cannot be encoded.
std::string EncodePicture(const QImage& image, PictureFormat format);

// Writes the picture to `path` (Windows-1252) in the format of its name. The bytes go to a new
// file beside it that then replaces `path`, so a failure (disk full, no permission) leaves no
// half-written picture and an existing file unchanged. False with `error` saying why.
bool SavePicture(std::string_view path, const QImage& image, Text& error);

}  // namespace olbrax::print
