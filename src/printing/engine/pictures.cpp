#include "printing/engine/pictures.h"

#include <csetjmp>
#include <cstdio>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <filesystem>

#include "base/text.h"
#include "platform/qt/qtext.h"

namespace olbrax::print {

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

bool HasJpegExtension(std::string_view path) {
  Text up = UpStr(path);
  auto ends = [&](std::string_view ext) { return up.size() >= ext.size() && up.compare(up.size() - ext.size(), ext.size(), ext) == 0; };
  return ends(".JPG") || ends(".JPEG");
}

}  // namespace

bool PictureFileExists(std::string_view path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(Utf8FromWin(path), ec);
}

bool LoadJpeg(std::string_view path, QImage& out) {
  out = QImage();
  std::FILE* file = std::fopen(Utf8FromWin(path).c_str(), "rb");
  if (!file) return false;
  jpeg_decompress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  err.mgr.output_message = Quiet;
  // Everything the decoder allocates lives in `info`; after a jump only it is cleaned up.
  QImage image;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  // Copied into a bitmap of the same size, as printing wants it.
  out = image.convertToFormat(QImage::Format_RGB32);
  return !out.isNull();
}

bool LoadPicture(std::string_view path, QImage& out) {
  if (HasJpegExtension(path)) return LoadJpeg(path, out);
  QImageReader reader(platform::ToQ(path));
  out = reader.read();
  return !out.isNull();
}

QImage BuiltInPicture(int index) {
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor orange(0xF0, 0x78, 0x1E), brown(0x9A, 0x5A, 0x2A), green(0x3C, 0x96, 0x3C), blue(0x1E, 0x64, 0xC8),
      purple(0xB4, 0x1E, 0x8C);
  switch (index) {
    case 0: {  // a control flag on its stand
      p.setPen(QPen(Qt::black, 6));
      p.drawLine(200, 40, 200, 280);
      QRectF flag(110, 60, 180, 150);
      p.fillRect(flag, Qt::white);
      QPainterPath lower;
      lower.moveTo(flag.bottomLeft());
      lower.lineTo(flag.topRight());
      lower.lineTo(flag.bottomRight());
      lower.closeSubpath();
      p.fillPath(lower, orange);
      p.setPen(QPen(Qt::black, 3));
      p.drawRect(flag);
      break;
    }
    case 1: {  // a compass rose
      p.translate(200, 150);
      p.setPen(QPen(Qt::black, 3));
      p.drawEllipse(QPointF(0, 0), 120, 120);
      for (int k = 0; k < 4; ++k) {
        QPainterPath needle;
        needle.moveTo(0, -110);
        needle.lineTo(18, 0);
        needle.lineTo(-18, 0);
        needle.closeSubpath();
        p.fillPath(needle, k == 0 ? QColor(Qt::red) : QColor(Qt::black));
        p.rotate(90);
      }
      break;
    }
    case 2: {  // contour lines around a knoll and a lake
      p.setPen(QPen(brown, 4));
      for (int k = 0; k < 5; ++k) p.drawEllipse(QPointF(150, 160), 40 + k * 25, 28 + k * 20);
      p.setBrush(blue);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(320, 80), 50, 30);
      break;
    }
    case 3: {  // a course: start triangle, controls, finish
      p.setPen(QPen(purple, 5));
      QPolygonF start;
      start << QPointF(60, 230) << QPointF(100, 230) << QPointF(80, 195);
      p.drawPolygon(start);
      p.drawLine(QPointF(95, 205), QPointF(172, 110));
      p.drawEllipse(QPointF(190, 90), 28, 28);
      p.drawLine(QPointF(215, 104), QPointF(300, 170));
      p.drawEllipse(QPointF(320, 185), 22, 22);
      p.drawEllipse(QPointF(320, 185), 32, 32);
      break;
    }
    default: {  // a stand of pines
      p.setPen(Qt::NoPen);
      for (int k = 0; k < 4; ++k) {
        int x = 70 + k * 90, s = 60 + (k % 2) * 20;
        p.setBrush(brown);
        p.drawRect(x - 6, 240 - s / 3, 12, s / 3 + 20);
        QPolygonF tree;
        tree << QPointF(x, 240 - 2 * s - 40) << QPointF(x + s / 2, 240 - s / 3) << QPointF(x - s / 2, 240 - s / 3);
        p.setBrush(green);
        p.drawPolygon(tree);
      }
      break;
    }
  }
  return image;
}

}  // namespace olbrax::print
