#include "ClipboardHistory/service/CaptureSupport.h"

#include <algorithm>

#include "ClipboardHistory/model/UniformTypes.h"
#include "core/UnicodeText.h"
#include "core/Url.h"

namespace mirlet {

bool CaptureSupport::isReadable(const CapturedItems& items) {
  return std::any_of(items.begin(), items.end(), [](const auto& representations) {
    return std::any_of(representations.begin(), representations.end(), [](const auto& r) {
      return !r.type.starts_with("org.nspasteboard.") && !r.data.empty();
    });
  });
}

std::vector<std::string> CaptureSupport::fileURLs(const CapturedItems& items) const {
  std::vector<std::string> urls;
  for (const auto& representations : items) {
    for (const auto& representation : representations) {
      if (representation.type != fileURLType) continue;
      const std::string written(UnicodeText::trimWhitespace(text(representation.data)));
      if (auto path = fileURLs_.filePathURL(written)) urls.push_back(std::move(*path));
    }
  }
  return urls;
}

const PasteboardRepresentation* CaptureSupport::imageRepresentation(const CapturedItems& items) {
  for (const auto& representations : items) {
    for (const auto& representation : representations) {
      if (UniformTypes::isValid(representation.type) &&
          UniformTypes::conformsTo(representation.type, UniformTypes::Conformance::image)) {
        return &representation;
      }
    }
  }
  return nullptr;
}

std::optional<PixelSize> CaptureSupport::pixelSize(const Bytes& image) const {
  const auto size = images_.pixelSize(image);
  if (!size || size->width < 1 || size->height < 1) return std::nullopt;
  return PixelSize{size->width, size->height};
}

std::optional<Bytes> CaptureSupport::thumbnailPNG(const Bytes& image) const {
  return images_.pngThumbnail(image, kThumbnailPixels);
}

ClassifierInput CaptureSupport::classifierInput(
    const CapturedItems& items, const std::optional<std::string>& sourceBundleID) const {
  ClassifierInput input;
  input.sourceBundleID = sourceBundleID;
  std::vector<std::string> texts;
  for (const auto& representations : items) {
    bool hasText = false;
    for (const auto& representation : representations) {
      if (std::find(input.types.begin(), input.types.end(), representation.type) ==
          input.types.end()) {
        input.types.push_back(representation.type);
      }
      if (!hasText && representation.type == plainTextType) {
        texts.push_back(UnicodeText::repairedUtf8(text(representation.data)));
        hasText = true;
      }
      const bool calendar =
          std::find(ItemClassifier::calendarTypes.begin(), ItemClassifier::calendarTypes.end(),
                    representation.type) != ItemClassifier::calendarTypes.end();
      if (calendar && !input.calendarEventCount) {
        const std::string ics = UnicodeText::repairedUtf8(text(representation.data));
        std::int64_t events = 0;
        for (auto at = ics.find("BEGIN:VEVENT"); at != std::string::npos;
             at = ics.find("BEGIN:VEVENT", at + 1)) {
          ++events;
        }
        input.calendarEventCount = events;
      }
    }
  }
  if (!texts.empty()) {
    std::string joined = texts.front();
    for (std::size_t i = 1; i < texts.size(); ++i) joined.append("\n").append(texts[i]);
    input.text = std::move(joined);
  }
  input.fileURLs = fileURLs(items);
  for (const auto& url : input.fileURLs) {
    input.directoryFlags.push_back(files_.kind(Url::filePath(url)) == FileSystem::Kind::folder);
  }
  if (const auto* image = imageRepresentation(items)) input.imagePixelSize = pixelSize(image->data);
  return input;
}

}  // namespace mirlet
