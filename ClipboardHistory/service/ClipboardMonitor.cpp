#include "ClipboardHistory/service/ClipboardMonitor.h"

#include <algorithm>

#include "ClipboardHistory/service/CaptureSupport.h"
#include "core/PasteboardMarkers.h"

namespace mirlet {
namespace {

bool isLeftOut(const std::string& type) {
  if (type.starts_with("dyn.") || type == PasteboardMarkers::source) return true;
  std::string lower = type;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("promise") != std::string::npos;
}

}  // namespace

ClipboardMonitor::ClipboardMonitor(Pasteboard& pasteboard, MainLoop& mainLoop, double interval,
                                   Hooks hooks)
    : pasteboard_(pasteboard),
      hooks_(std::move(hooks)),
      lastChangeCount_(pasteboard.changeCount()) {
  if (pasteboard_.notifiesChanges()) {
    changes_ = pasteboard_.observeChanges(handoff_.bind([this] { poll(); }));
  } else {
    timer_ = mainLoop.scheduleRepeating(interval, interval / 5, handoff_.bind([this] { poll(); }));
  }
  plans_ = pasteboard_.planReads([this](const PasteboardOffer& offer) { return plan(offer); });
}

CaptureInput ClipboardMonitor::input(const std::vector<std::string>& types,
                                     const std::optional<SourceApp>& source) const {
  CaptureInput input;
  input.sourceBundleID = source ? source->bundleID : std::nullopt;
  for (const auto& type : types) {
    if (!isLeftOut(type)) input.types.insert(type);
  }
  input.hasReadableContent = true;
  return input;
}

PasteboardReadPlan ClipboardMonitor::plan(const PasteboardOffer& offer) const {
  const Context context = hooks_.context();
  const auto decision =
      CapturePolicy::decide(input(offer.types, hooks_.sourceApp(offer.ownerProcessID)),
                            context.paused, context.ignorePrivate);
  if (std::holds_alternative<CaptureDecision::Skip>(decision.value)) return {false};
  return {true,
          CapturePolicy::maximumBytes,
          {CaptureSupport::reducedTypes.begin(), CaptureSupport::reducedTypes.end()}};
}

void ClipboardMonitor::poll() {
  const std::int64_t changeCount = pasteboard_.changeCount();
  const bool isNew = changeCount != lastChangeCount_;
  if (!isNew && !awaitingWrite_) return;
  lastChangeCount_ = changeCount;  // consumed, captured or not
  awaitingWrite_ = false;
  const auto items = pasteboard_.items();
  if (items.empty()) {
    // A copy clears the pasteboard before it writes, under one change count: what
    // it writes may still come.
    awaitingWrite_ = true;
    if (isNew && hooks_.emptied) hooks_.emptied();
    return;
  }
  const std::optional<SourceApp> source = hooks_.sourceApp(pasteboard_.ownerProcessID());
  const Context context = hooks_.context();

  std::vector<std::string> types;
  for (const auto& item : items) {
    for (auto& type : item->types()) types.push_back(std::move(type));
  }
  CaptureInput input = this->input(types, source);
  const auto first = CapturePolicy::decide(input, context.paused, context.ignorePrivate);
  if (std::holds_alternative<CaptureDecision::Skip>(first.value)) return;

  CapturedItems lists;
  std::int64_t byteCount = 0;
  for (const auto& item : items) {
    auto& representations = lists.emplace_back();
    for (const auto& type : item->types()) {
      if (isLeftOut(type)) continue;
      if (auto data = item->data(type)) {
        byteCount += static_cast<std::int64_t>(data->size());
        representations.push_back({type, std::move(*data)});
      }
    }
  }
  input.byteCount = byteCount;
  input.hasReadableContent = CaptureSupport::isReadable(lists);
  const auto second = CapturePolicy::decide(input, context.paused, context.ignorePrivate);
  const auto* store = std::get_if<CaptureDecision::Store>(&second.value);
  if (!store) return;
  if (store->reduced) {
    for (auto& representations : lists) {
      std::erase_if(representations, [](const PasteboardRepresentation& r) {
        return std::find(CaptureSupport::reducedTypes.begin(), CaptureSupport::reducedTypes.end(),
                         r.type) == CaptureSupport::reducedTypes.end();
      });
    }
    if (!CaptureSupport::isReadable(lists)) return;
  }
  hooks_.capture(CapturedPasteboard{std::move(lists), store->isPrivate, source});
}

}  // namespace mirlet
