#include "ClipboardHistory/model/CapturePolicy.h"

#include <algorithm>

#include "core/PasteboardMarkers.h"

namespace mirlet::CapturePolicy {

bool isPasswordManager(const std::optional<std::string>& bundleID) {
  if (!bundleID) return false;
  const std::string_view id = *bundleID;
  return std::find(passwordManagers.begin(), passwordManagers.end(), id) !=
             passwordManagers.end() ||
         std::any_of(passwordManagerPrefixes.begin(), passwordManagerPrefixes.end(),
                     [&](std::string_view prefix) { return id.starts_with(prefix); });
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
