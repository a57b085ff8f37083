#include "ClipboardHistory/model/UniformTypes.h"

#include <algorithm>
#include <array>

namespace mirlet::UniformTypes {
namespace {

constexpr unsigned kNone = 0;
constexpr unsigned kImage = static_cast<unsigned>(Conformance::image);
constexpr unsigned kAudio = static_cast<unsigned>(Conformance::audio);
constexpr unsigned kMovie = static_cast<unsigned>(Conformance::movie);
constexpr unsigned kVideo = static_cast<unsigned>(Conformance::video) | kMovie;

struct Entry {
  std::string_view identifier;
  unsigned conformance;
  std::string_view extension;  // empty: none
};

// Sorted by identifier, for binary search. What applications really put on the
// pasteboard, and the generic types they conform to.
constexpr std::array kTypes = std::to_array<Entry>({
    {"com.adobe.illustrator.ai-image", kImage, "ai"},
    {"com.adobe.pdf", kNone, "pdf"},
    {"com.adobe.photoshop-image", kImage, "psd"},
    {"com.adobe.postscript", kNone, "ps"},
    {"com.adobe.raw-image", kImage, "dng"},
    {"com.apple.coreaudio-format", kAudio, "caf"},
    {"com.apple.flat-rtfd", kNone, "rtfd"},
    {"com.apple.ical.ics", kNone, "ics"},
    {"com.apple.icns", kImage, "icns"},
    {"com.apple.m4a-audio", kAudio, "m4a"},
    {"com.apple.m4v-video", kVideo, "m4v"},
    {"com.apple.pict", kImage, "pict"},
    {"com.apple.property-list", kNone, "plist"},
    {"com.apple.quicktime-image", kImage, "qtif"},
    {"com.apple.quicktime-movie", kMovie, "mov"},
    {"com.apple.rtfd", kNone, "rtfd"},
    {"com.apple.webarchive", kNone, "webarchive"},
    {"com.compuserve.gif", kImage, "gif"},
    {"com.microsoft.bmp", kImage, "bmp"},
    {"com.microsoft.excel.xls", kNone, "xls"},
    {"com.microsoft.ico", kImage, "ico"},
    {"com.microsoft.waveform-audio", kAudio, "wav"},
    {"com.microsoft.windows-media-wma", kAudio, "wma"},
    {"com.microsoft.windows-media-wmv", kVideo, "wmv"},
    {"com.microsoft.word.doc", kNone, "doc"},
    {"com.truevision.tga-image", kImage, "tga"},
    {"org.matroska.mkv", kVideo, "mkv"},
    {"org.openxmlformats.wordprocessingml.document", kNone, "docx"},
    {"org.webmproject.webm", kVideo, "webm"},
    {"org.webmproject.webp", kImage, "webp"},
    {"org.xiph.flac", kAudio, "flac"},
    {"org.xiph.ogg-audio", kAudio, "oga"},
    {"org.xiph.ogg-video", kVideo, "ogv"},
    {"public.3gpp", kVideo, "3gp"},
    {"public.3gpp2", kVideo, "3g2"},
    {"public.aac-audio", kAudio, "aac"},
    {"public.aifc-audio", kAudio, "aifc"},
    {"public.aiff-audio", kAudio, "aiff"},
    {"public.audio", kAudio, ""},
    {"public.audiovisual-content", kNone, ""},
    {"public.avchd-mpeg-2-transport-stream", kVideo, "mts"},
    {"public.avi", kVideo, "avi"},
    {"public.avif", kImage, "avif"},
    {"public.camera-raw-image", kImage, ""},
    {"public.comma-separated-values-text", kNone, "csv"},
    {"public.content", kNone, ""},
    {"public.data", kNone, ""},
    {"public.file-url", kNone, ""},
    {"public.folder", kNone, ""},
    {"public.heic", kImage, "heic"},
    {"public.heif", kImage, "heif"},
    {"public.html", kNone, "html"},
    {"public.image", kImage, ""},
    {"public.item", kNone, ""},
    {"public.jpeg", kImage, "jpeg"},
    {"public.jpeg-2000", kImage, "jp2"},
    {"public.json", kNone, "json"},
    {"public.midi-audio", kAudio, "midi"},
    {"public.movie", kMovie, ""},
    {"public.mp3", kAudio, "mp3"},
    {"public.mpeg", kMovie, "mpg"},
    {"public.mpeg-2-video", kVideo, "m2v"},
    {"public.mpeg-4", kMovie, "mp4"},
    {"public.mpeg-4-audio", kAudio, "m4a"},
    {"public.plain-text", kNone, "txt"},
    {"public.png", kImage, "png"},
    {"public.rtf", kNone, "rtf"},
    {"public.source-code", kNone, ""},
    {"public.svg-image", kImage, "svg"},
    {"public.tab-separated-values-text", kNone, "tsv"},
    {"public.text", kNone, ""},
    {"public.tiff", kImage, "tiff"},
    {"public.ulaw-audio", kAudio, "au"},
    {"public.url", kNone, ""},
    {"public.utf16-external-plain-text", kNone, "txt"},
    {"public.utf16-plain-text", kNone, "txt"},
    {"public.utf8-plain-text", kNone, "txt"},
    {"public.utf8-tab-separated-values-text", kNone, "tsv"},
    {"public.vcard", kNone, "vcf"},
    {"public.video", kVideo, ""},
    {"public.xml", kNone, "xml"},
    {"public.zip-archive", kNone, "zip"},
});

static_assert(std::is_sorted(kTypes.begin(), kTypes.end(),
                             [](const Entry& a, const Entry& b) {
                               return a.identifier < b.identifier;
                             }),
              "the table must stay sorted");

const Entry* find(std::string_view identifier) {
  auto found = std::lower_bound(
      kTypes.begin(), kTypes.end(), identifier,
      [](const Entry& entry, std::string_view id) { return entry.identifier < id; });
  return found != kTypes.end() && found->identifier == identifier ? &*found : nullptr;
}

}  // namespace

bool isValid(std::string_view identifier) {
  return find(identifier) != nullptr || (identifier.starts_with("dyn.") && identifier.size() > 4);
}

bool conformsTo(std::string_view identifier, Conformance conformance) {
  const Entry* entry = find(identifier);
  return entry && (entry->conformance & static_cast<unsigned>(conformance)) != 0;
}

std::optional<std::string_view> preferredFilenameExtension(std::string_view identifier) {
  const Entry* entry = find(identifier);
  if (!entry || entry->extension.empty()) return std::nullopt;
  return entry->extension;
}

}  // namespace mirlet::UniformTypes
