// Pictures for reports: files (JPEG through our libjpeg loader, other formats through Qt) and
// the five built-in pictures "PrBildres0".."PrBildres4".
#pragma once

#include <string_view>

class QImage;

namespace olbrax::print {

bool PictureFileExists(std::string_view path);
// Loads a picture file; false (with `out` null) when it cannot be read or decoded. A name
// ending in ".JPG" or ".JPEG" (any case) is decoded as JPEG.
bool LoadPicture(std::string_view path, QImage& out);
// Decodes a JPEG file with libjpeg; false for a missing or corrupt file.
bool LoadJpeg(std::string_view path, QImage& out);
// Built-in picture 0..4.
QImage BuiltInPicture(int index);

}  // namespace olbrax::print
