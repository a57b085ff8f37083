#pragma once

#include <optional>

#include "host/Pasteboard.h"

namespace mirlet {

struct ImagePixelSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
  friend bool operator==(const ImagePixelSize&, const ImagePixelSize&) = default;
};

// Decoding of copied images.
class ImageCodec {
 public:
  virtual ~ImageCodec() = default;
  // The pixel size of the first image in the data, or nothing.
  virtual std::optional<ImagePixelSize> pixelSize(const Bytes& data) const = 0;
  // A PNG of the first image, its orientation applied, at most `maximumPixels` on
  // its long side (never enlarged), or nothing.
  virtual std::optional<Bytes> pngThumbnail(const Bytes& data, int maximumPixels) const = 0;
};

}  // namespace mirlet
