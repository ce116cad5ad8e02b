// Pictures: JPEG through the libjpeg loader, a corrupt file skipped without ending the job.
#include <QImage>

#include "printing/engine/print_engine.h"
#include "printing/engine/pictures.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

TEST(Pictures, JpegLoaderDecodesAndRefusesCorruptFiles) {
  TempDir dir;
  QImage src(40, 30, QImage::Format_RGB32);
  src.fill(QColor(200, 40, 40));
  std::string good = (dir / "bild.JPG").string();
  ASSERT_TRUE(src.save(QString::fromStdString(good), "JPEG"));
  QImage out;
  ASSERT_TRUE(LoadPicture(good, out));
  EXPECT_EQ(out.size(), QSize(40, 30));
  EXPECT_NEAR(QColor(out.pixel(20, 15)).red(), 200, 8);

  std::string bytes = ReadFileBytes(good);
  WriteFileBytes(dir / "trasig.jpeg", bytes.substr(0, 40) + std::string(100, '\x55'));
  EXPECT_FALSE(LoadPicture((dir / "trasig.jpeg").string(), out));
  WriteFileBytes(dir / "tom.jpg", "");
  EXPECT_FALSE(LoadJpeg((dir / "tom.jpg").string(), out));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(BuiltInPicture(i).isNull());
}

TEST(Pictures, ACorruptPictureIsLeftOutAndTheJobEnds) {
  TempDir dir;
  WriteFileBytes(dir / "trasig.jpg", std::string(64, '\x01'));
  RecordingCanvas* canvas = nullptr;
  std::vector<std::unique_ptr<RecordingCanvas>> kept;
  SetCanvasFactory([&](const PrinterRequest&) -> std::unique_ptr<Canvas> {
    auto c = std::make_unique<RecordingCanvas>(4961, 7016, 600);
    canvas = c.get();
    return c;
  });
  JobSetup setup;
  setup.pictures[0] = {true, Text((dir / "trasig.jpg").string()), 4};
  setup.pictures[1] = {true, "", 4};
  ASSERT_TRUE(printerinit("bilder", setup, nullptr));
  PrintPictures();
  int images = 0;
  for (const auto& c : canvas->calls) images += c.op == RecordingCanvas::Op::Image;
  EXPECT_EQ(images, 1);  // only the built-in one
  printerexit(0, 0);
  EXPECT_FALSE(PrPrinting());
  SetCanvasFactory(nullptr);
}

}  // namespace
}  // namespace olbrax::test
