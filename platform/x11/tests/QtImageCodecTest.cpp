#include "platform/x11/QtImageCodec.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

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

TEST(QtImageCodecTest, ReadsThePixelSizeOfPngAndJpeg) {
  QtImageCodec codec;
  EXPECT_EQ(codec.pixelSize(encoded(640, 480, "png")), (ImagePixelSize{640, 480}));
  EXPECT_EQ(codec.pixelSize(encoded(33, 7, "jpeg")), (ImagePixelSize{33, 7}));
  EXPECT_EQ(codec.pixelSize(Bytes{'n', 'o', 't'}), std::nullopt);
  EXPECT_EQ(codec.pixelSize({}), std::nullopt);
}

TEST(QtImageCodecTest, ThumbnailFitsTheLongSideAndNeverEnlarges) {
  QtImageCodec codec;
  EXPECT_EQ(sizeOfPng(codec.pngThumbnail(encoded(1000, 500, "jpeg"), 200)),
            (ImagePixelSize{200, 100}));
  EXPECT_EQ(sizeOfPng(codec.pngThumbnail(encoded(50, 80, "png"), 200)), (ImagePixelSize{50, 80}));
  EXPECT_EQ(codec.pngThumbnail(encoded(50, 80, "png"), 0), std::nullopt);
  EXPECT_EQ(codec.pngThumbnail(Bytes(100, 0xFF), 200), std::nullopt);
}

TEST(QtImageCodecTest, ThumbnailAppliesTheOrientation) {
  const Bytes rotated = encoded(400, 200, "jpeg", QImageIOHandler::TransformationRotate90);
  EXPECT_EQ(sizeOfPng(QtImageCodec().pngThumbnail(rotated, 100)), (ImagePixelSize{50, 100}));
}

}  // namespace
}  // namespace mirlet
