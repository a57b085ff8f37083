#pragma once

#include <cstdint>

#include "host/ImageCodec.h"

namespace mirlet::sim {

// Image decoding on the simulated machine, deterministic and without a graphics
// library: it reads the size of a PNG from its header (a width or height of 0 is
// reported as it stands; anything that is no PNG, or a cut header, is corrupt) and
// makes real, uncompressed PNG thumbnails, grey, of the scaled size.
class SimImageCodec : public ImageCodec {
 public:
  std::optional<ImagePixelSize> pixelSize(const Bytes& data) const override;
  std::optional<Bytes> pngThumbnail(const Bytes& data, int maximumPixels) const override;

  // A valid PNG of that size, its pixels one grey `shade`, for tests and icons.
  static Bytes png(std::uint32_t width, std::uint32_t height, std::uint8_t shade = 0x80);
};

}  // namespace mirlet::sim
