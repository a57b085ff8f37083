#include "host/SelectionContents.h"

#include <algorithm>
#include <string_view>

#include "core/PasteboardMarkers.h"

namespace mirlet::SelectionContents {
namespace {

constexpr std::string_view kFileURL = "public.file-url";

std::string_view text(const Bytes& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The URIs of a text/uri-list: one per line, comments and blank lines left out.
std::vector<std::string> uris(std::string_view list) {
  std::vector<std::string> result;
  while (!list.empty()) {
    const auto end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (!line.empty() && line.front() != '#') result.emplace_back(line);
  }
  return result;
}

}  // namespace

std::vector<PasteboardItemData> items(std::vector<TargetData> read) {
  PasteboardItemData first;
  std::vector<std::string> files;
  for (TargetData& target : read) {
    const std::string& type = target.source.uniformType;
    if (type == kFileURL) {
      if (files.empty()) files = uris(text(target.data));
    } else if (type == ClipboardTargets::kGnomeCopiedFiles) {
      // "copy" or "cut", then one URI a line: GNOME's file manager offers only this.
      const std::string_view list = text(target.data);
      const auto firstLine = list.find('\n');
      if (files.empty() && firstLine != std::string_view::npos) {
        files = uris(list.substr(firstLine + 1));
      }
      first.representations.push_back({type, std::move(target.data)});
    } else if (type == PasteboardMarkers::concealed) {
      // Offered is enough, whatever it says or whether it could be read at all.
      first.representations.push_back({type, {}});
    } else {
      Bytes data = target.source.conversion == ClipboardTargets::Conversion::none
                       ? std::move(target.data)
                       : ClipboardTargets::converted(target.source.conversion, target.data);
      first.representations.push_back({type, std::move(data)});
    }
  }
  if (!files.empty()) {
    first.representations.insert(first.representations.begin(),
                                 {std::string(kFileURL), bytes(files.front())});
  }
  if (first.representations.empty()) return {};
  std::vector<PasteboardItemData> result{std::move(first)};
  for (std::size_t i = 1; i < files.size(); ++i) {
    result.push_back({{{std::string(kFileURL), bytes(files[i])}}});
  }
  return result;
}

std::vector<std::pair<std::string, Bytes>> targets(const std::vector<PasteboardItemData>& items) {
  std::vector<std::pair<std::string, Bytes>> result;
  const auto offer = [&](const std::string& target, Bytes data) {
    if (std::ranges::find(result, target, &std::pair<std::string, Bytes>::first) == result.end()) {
      result.emplace_back(target, std::move(data));
    }
  };
  std::string uriList;
  std::string copiedFiles = "copy";
  for (const PasteboardItemData& item : items) {
    for (const auto& representation : item.representations) {
      if (representation.type == kFileURL) {
        uriList += std::string(text(representation.data)) + "\r\n";
        copiedFiles += "\n" + std::string(text(representation.data));
      } else if (representation.type == PasteboardMarkers::concealed) {
        offer(std::string(ClipboardTargets::kPasswordManagerHint),
              bytes(ClipboardTargets::kSecret));
      } else {
        for (const std::string& target : ClipboardTargets::targets(representation.type)) {
          offer(target, representation.data);
        }
      }
    }
  }
  if (!uriList.empty()) {
    offer(std::string(ClipboardTargets::kUriList), bytes(uriList));
    offer(std::string(ClipboardTargets::kGnomeCopiedFiles), bytes(copiedFiles));
  }
  return result;
}

}  // namespace mirlet::SelectionContents
