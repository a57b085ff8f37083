#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ClipboardHistory/model/ItemDetail.h"
#include "ClipboardHistory/model/ItemKind.h"

namespace mirlet {

// A metadata summary of a captured pasteboard.
struct ClassifierInput {
  std::vector<std::string> types;  // distinct, in order of first appearance
  std::optional<std::string> text;
  std::vector<std::string> fileURLs;  // "file:" URLs, in order
  std::vector<bool> directoryFlags;   // per file URL
  std::optional<PixelSize> imagePixelSize;
  std::optional<std::int64_t> calendarEventCount;
  std::optional<std::string> sourceBundleID;
};

struct Classification {
  ItemKind kind = ItemKind::other;
  ItemDetail detail;
  std::string text;
  friend bool operator==(const Classification&, const Classification&) = default;
};

// Decides an entry's kind, detail and shown text from its metadata: files first,
// then images, audio, video and calendar types, then the text rules (link, e-mail,
// colour, table, code, text), else opaque content.
namespace ItemClassifier {

inline constexpr std::size_t maximumTextLength = 10000;  // characters
inline constexpr std::array<std::string_view, 3> screenshotSources{
    "com.apple.screencaptureui", "com.apple.Screenshot", "com.apple.screenshot.launcher"};
inline constexpr std::array<std::string_view, 15> codeSources{"com.microsoft.VSCode",
                                                              "com.microsoft.VSCodeInsiders",
                                                              "com.apple.dt.Xcode",
                                                              "com.sublimetext.4",
                                                              "com.sublimetext.3",
                                                              "dev.zed.Zed",
                                                              "com.todesktop.230313mzl4w4u92",
                                                              "com.panic.Nova",
                                                              "com.apple.Terminal",
                                                              "com.googlecode.iterm2",
                                                              "dev.warp.Warp-Stable",
                                                              "org.alacritty",
                                                              "com.barebones.bbedit",
                                                              "com.mitchellh.ghostty",
                                                              "net.kovidgoyal.kitty"};
inline constexpr std::array<std::string_view, 1> codePrefixes{"com.jetbrains."};
inline constexpr std::array<std::string_view, 3> calendarTypes{
    "com.apple.ical.ics", "text/calendar", "public.calendar-event"};
inline constexpr std::array<std::string_view, 4> richTextTypes{
    "public.rtf", "public.html", "com.apple.flat-rtfd", "com.apple.rtfd"};

Classification classify(const ClassifierInput& input);

// No white space, an http or https URL with a non-empty host.
bool isLink(std::string_view text);
// Split at line feeds (a carriage return before one belongs to the break), keeping
// empty lines but not trailing ones.
std::vector<std::string_view> lines(std::string_view text);
// Rows and columns when at least two lines all hold the same, non-zero number of tabs.
std::optional<std::pair<std::int64_t, std::int64_t>> tableShape(std::string_view text);
// A code editor or terminal source, or two of: balanced braces, a line ending in
// ";", indented lines.
bool isCode(std::string_view text, const std::optional<std::string>& source);
bool isEmailAddress(std::string_view text);

}  // namespace ItemClassifier
}  // namespace mirlet
