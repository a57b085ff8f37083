#include "host/linux/QtImageCodec.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "host/sim/SimImageCodec.h"
#include "host/testing/ImageCodecContract.h"

namespace mirlet {
namespace {

Bytes encoded(
    int width, int height, const char* format,
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setTransformation(transformation);
  writer.write(image);
  return Bytes(bytes.begin(), bytes.end());
}

std::optional<ImagePixelSize> sizeOfPng(const std::optional<Bytes>& png) {
  if (!png) return std::nullopt;
  EXPECT_TRUE(png->size() > 8 && (*png)[1] == 'P' && (*png)[2] == 'N' && (*png)[3] == 'G');
  return QtImageCodec().pixelSize(*png);
}

TEST(QtImageCodecTest, ReadsJpegToo) {
  QtImageCodec codec;
  EXPECT_EQ(codec.pixelSize(encoded(33, 7, "jpeg")), (ImagePixelSize{33, 7}));
  EXPECT_EQ(sizeOfPng(codec.pngThumbnail(encoded(1000, 500, "jpeg"), 200)),
            (ImagePixelSize{200, 100}));
}

TEST(QtImageCodecTest, ThumbnailAppliesTheOrientation) {
  const Bytes rotated = encoded(400, 200, "jpeg", QImageIOHandler::TransformationRotate90);
  EXPECT_EQ(sizeOfPng(QtImageCodec().pngThumbnail(rotated, 100)), (ImagePixelSize{50, 100}));
}

TEST(QtImageCodecTest, ThePngsOfTheSimulationAreRealImages) {
  EXPECT_EQ(QtImageCodec().pixelSize(sim::SimImageCodec::png(300, 70)), (ImagePixelSize{300, 70}));
  EXPECT_EQ(QtImageCodec().pixelSize(
                *sim::SimImageCodec().pngThumbnail(sim::SimImageCodec::png(1024, 4096), 512)),
            (ImagePixelSize{128, 512}));
}

// The same promises as the simulated codec keeps, on real images.
class QtImageCodecHarness : public contract::ImageCodecHarness {
 public:
  ImageCodec& codec() override { return codec_; }
  Bytes png(int width, int height) override { return encoded(width, height, "png"); }

 private:
  QtImageCodec codec_;
};

using contract::ImageCodecContract;

INSTANTIATE_TEST_SUITE_P(Qt, ImageCodecContract, ::testing::Values([] {
                           return std::unique_ptr<contract::ImageCodecHarness>(
                               std::make_unique<QtImageCodecHarness>());
                         }));

}  // namespace
}  // namespace mirlet
