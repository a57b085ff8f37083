#include "host/sim/SimImageCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace mirlet::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t bigEndian(const Bytes& data, std::size_t at) {
  return (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
         (std::uint32_t{data[at + 2]} << 8) | std::uint32_t{data[at + 3]};
}

void putChunk(Bytes& out, std::string_view type, const Bytes& body) {
  putBigEndian(out, static_cast<std::uint32_t>(body.size()));
  Bytes typed(type.begin(), type.end());
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  putBigEndian(out, crc32(typed.data(), typed.size()));
}

// The zlib stream of `raw` in stored (uncompressed) blocks.
Bytes storedZlib(const Bytes& raw) {
  Bytes out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

Bytes SimImageCodec::png(std::uint32_t width, std::uint32_t height, std::uint8_t shade) {
  Bytes out(kSignature.begin(), kSignature.end());
  Bytes header;
  putBigEndian(header, width);
  putBigEndian(header, height);
  header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
  putChunk(out, "IHDR", header);
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(height) * (width + 1));
  for (std::uint32_t row = 0; row < height; ++row) {
    raw.push_back(0);  // no filter
    raw.insert(raw.end(), width, shade);
  }
  putChunk(out, "IDAT", storedZlib(raw));
  putChunk(out, "IEND", {});
  return out;
}

std::optional<ImagePixelSize> SimImageCodec::pixelSize(const Bytes& data) const {
  constexpr std::size_t kHeaderEnd = 8 + 8 + 13 + 4;
  if (data.size() < kHeaderEnd || !std::equal(kSignature.begin(), kSignature.end(), data.begin()))
    return std::nullopt;
  if (bigEndian(data, 8) != 13 ||
      std::string_view(reinterpret_cast<const char*>(&data[12]), 4) != "IHDR")
    return std::nullopt;
  if (crc32(&data[12], 17) != bigEndian(data, 29)) return std::nullopt;
  return ImagePixelSize{bigEndian(data, 16), bigEndian(data, 20)};
}

std::optional<Bytes> SimImageCodec::pngThumbnail(const Bytes& data, int maximumPixels) const {
  const auto size = pixelSize(data);
  if (!size || size->width <= 0 || size->height <= 0 || maximumPixels <= 0) return std::nullopt;
  const double scale = std::min(1.0, static_cast<double>(maximumPixels) /
                                         static_cast<double>(std::max(size->width, size->height)));
  const auto scaled = [&](std::int64_t side) {
    return static_cast<std::uint32_t>(std::max<std::int64_t>(1, std::llround(side * scale)));
  };
  return png(scaled(size->width), scaled(size->height));
}

}  // namespace mirlet::sim
