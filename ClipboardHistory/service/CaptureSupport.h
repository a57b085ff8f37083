#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/model/Fingerprint.h"
#include "ClipboardHistory/model/ItemClassifier.h"
#include "host/FileSystem.h"
#include "host/FileURLs.h"
#include "host/ImageCodec.h"

namespace mirlet {

// What a capture needs to know of pasteboard data: the classifier's summary, file
// URLs (references resolved), images and their thumbnails.
class CaptureSupport {
 public:
  static constexpr std::string_view plainTextType = "public.utf8-plain-text";
  static constexpr std::string_view fileURLType = "public.file-url";
  // The only types kept of a capture over the size limit.
  static constexpr std::array<std::string_view, 2> reducedTypes{plainTextType, fileURLType};
  static constexpr int kThumbnailPixels = 512;

  CaptureSupport(const FileURLs& fileURLs, const FileSystem& files, const ImageCodec& images)
      : fileURLs_(fileURLs), files_(files), images_(images) {}

  ClassifierInput classifierInput(const CapturedItems& items,
                                  const std::optional<std::string>& sourceBundleID) const;
  // Some representation, other than the "org.nspasteboard." markers, holds data.
  static bool isReadable(const CapturedItems& items);
  // The file path URLs of the "public.file-url" representations, in order; other
  // URLs are left out.
  std::vector<std::string> fileURLs(const CapturedItems& items) const;
  // Bytes as the text they hold, unchecked.
  static std::string_view text(const Bytes& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
  }
  // The first representation of a known image type.
  static const PasteboardRepresentation* imageRepresentation(const CapturedItems& items);
  // Both sides at least one pixel.
  std::optional<PixelSize> pixelSize(const Bytes& image) const;
  // At most 512 px on the long side, orientation applied.
  std::optional<Bytes> thumbnailPNG(const Bytes& image) const;

 private:
  const FileURLs& fileURLs_;
  const FileSystem& files_;
  const ImageCodec& images_;
};

}  // namespace mirlet
