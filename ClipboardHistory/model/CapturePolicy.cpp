#include "ClipboardHistory/model/CapturePolicy.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/PasteboardMarkers.h"

namespace mirlet::CapturePolicy {
namespace {

// Application ids differ only in the case of their letters between desktops.
std::string folded(std::string_view id) {
  std::string result(id);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

}  // namespace

bool isPasswordManager(const std::optional<std::string>& bundleID) {
  if (!bundleID) return false;
  const std::string id = folded(*bundleID);
  const auto named = [&](std::string_view name) {
    return id == folded(name);
  };
  const auto prefixed = [&](std::string_view prefix) {
    return id.starts_with(folded(prefix));
  };
  return std::any_of(passwordManagers.begin(), passwordManagers.end(), named) ||
         std::any_of(linuxPasswordManagers.begin(), linuxPasswordManagers.end(), named) ||
         std::any_of(passwordManagerPrefixes.begin(), passwordManagerPrefixes.end(), prefixed);
}

CaptureDecision decide(const CaptureInput& input, bool paused, bool ignorePrivate) {
  if (paused) return CaptureDecision::skip(CaptureSkipReason::paused);
  const bool transient =
      std::any_of(PasteboardMarkers::transient.begin(), PasteboardMarkers::transient.end(),
                  [&](std::string_view type) { return input.types.contains(std::string(type)); });
  if (transient) return CaptureDecision::skip(CaptureSkipReason::transient);
  const bool isPrivate = input.types.contains(std::string(PasteboardMarkers::concealed)) ||
                         isPasswordManager(input.sourceBundleID);
  if (isPrivate && ignorePrivate) return CaptureDecision::skip(CaptureSkipReason::privateIgnored);
  if (!input.hasReadableContent) return CaptureDecision::skip(CaptureSkipReason::empty);
  return CaptureDecision::store(isPrivate, input.byteCount > maximumBytes);
}

}  // namespace mirlet::CapturePolicy
