#pragma once

#include "host/ImageCodec.h"

namespace mirlet {

// Image decoding with Qt's image readers (PNG, JPEG, GIF, BMP and the others the
// installation has), orientation applied.
class QtImageCodec : public ImageCodec {
 public:
  std::optional<ImagePixelSize> pixelSize(const Bytes& data) const override;
  std::optional<Bytes> pngThumbnail(const Bytes& data, int maximumPixels) const override;
};

}  // namespace mirlet
