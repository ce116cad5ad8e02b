#include "printing/engine/picture_save.h"

#include <fcntl.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

#include <QBuffer>
#include <QImage>

namespace olbrax::print {

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

void Quiet(j_common_ptr) {}

std::string EncodeJpeg(const QImage& source) {
  QImage rgb = source.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return {};
  jpeg_compress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  err.mgr.output_message = Quiet;
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    std::free(mem);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &mem, &size);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = rgb.scanLine(static_cast<int>(info.next_scanline));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string out(reinterpret_cast<const char*>(mem), size);
  jpeg_destroy_compress(&info);
  std::free(mem);
  return out;
}

bool EndsWith(const Text& up, std::string_view ext) {
  return up.size() >= ext.size() && up.compare(up.size() - ext.size(), ext.size(), ext) == 0;
}

// Writes all bytes and flushes them; the errno of the first failure, 0 when done.
int WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return ::fdatasync(fd) == 0 ? 0 : errno;
}

}  // namespace

PictureFormat PictureFormatFor(std::string_view path) {
  Text up = UpStr(path);
  if (EndsWith(up, ".JPG") || EndsWith(up, ".JPEG")) return PictureFormat::Jpeg;
  if (EndsWith(up, ".PNG")) return PictureFormat::Png;
  return PictureFormat::Bmp;
}

std::string EncodePicture(const QImage& image, PictureFormat format) {
  if (image.isNull()) return {};
  if (format == PictureFormat::Jpeg) return EncodeJpeg(image);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format == PictureFormat::Png ? "PNG" : "BMP")) return {};
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool SavePicture(std::string_view path, const QImage& image, Text& error) {
  const Text shown = "\"" + Text(path) + "\"";
  std::string bytes = EncodePicture(image, PictureFormatFor(path));
  if (bytes.empty()) {
    error = "Kan ej koda bilden f\xF6r " + shown;
    return false;
  }
  const std::string target = Utf8FromWin(path);
  const std::string temp = target + ".olbrax-tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  int err = fd < 0 ? errno : WriteAll(fd, bytes);
  if (fd >= 0 && ::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    if (fd >= 0) ::unlink(temp.c_str());
    error = "Kan ej spara bilden " + shown + ": " + WinFromUtf8(std::strerror(err));
    return false;
  }
  return true;
}

}  // namespace olbrax::print
