#include "host/linux/QtImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace mirlet {
namespace {

// Decoding stops above this many pixels, so a crafted header cannot make the
// reader allocate without bound.
constexpr int kAllocationLimitMegabytes = 512;

QByteArray view(const Bytes& data) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                 static_cast<qsizetype>(data.size()));
}

}  // namespace

std::optional<ImagePixelSize> QtImageCodec::pixelSize(const Bytes& data) const {
  QByteArray bytes = view(data);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return std::nullopt;
  return ImagePixelSize{size.width(), size.height()};
}

std::optional<Bytes> QtImageCodec::pngThumbnail(const Bytes& data, int maximumPixels) const {
  if (maximumPixels <= 0) return std::nullopt;
  QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
  QByteArray bytes = view(data);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  if (std::max(image.width(), image.height()) > maximumPixels) {
    image =
        image.scaled(maximumPixels, maximumPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  QByteArray png;
  QBuffer output(&png);
  output.open(QIODevice::WriteOnly);
  if (!image.save(&output, "PNG")) return std::nullopt;
  return Bytes(png.begin(), png.end());
}

}  // namespace mirlet
