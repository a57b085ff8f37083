#include "host/sim/SimPasteboard.h"

namespace mirlet::sim {

// One pasteboard generation: the items written between two clears.
class SimPasteboard::Generation {
 public:
  bool valid = true;
  std::vector<std::shared_ptr<const PasteboardItem>> items;
};

class SimPasteboard::SimItem : public PasteboardItem {
 public:
  SimItem(SimPasteboard& pasteboard, std::weak_ptr<Generation> generation, Item representations)
      : pasteboard_(pasteboard),
        generation_(std::move(generation)),
        representations_(std::move(representations)) {}

  std::vector<std::string> types() const override {
    std::vector<std::string> names;
    for (const auto& representation : representations_) names.push_back(representation.type);
    return names;
  }

  std::optional<Bytes> data(const std::string& type) const override {
    auto generation = generation_.lock();
    if (!generation || !generation->valid) return std::nullopt;
    for (const auto& representation : representations_) {
      if (representation.type != type) continue;
      ++pasteboard_.reads_[type];
      return representation.provider ? representation.provider()
                                     : std::optional<Bytes>(representation.data);
    }
    return std::nullopt;
  }

 private:
  SimPasteboard& pasteboard_;
  std::weak_ptr<Generation> generation_;
  Item representations_;
};

std::vector<std::shared_ptr<const PasteboardItem>> SimPasteboard::items() const {
  return current_ ? current_->items : std::vector<std::shared_ptr<const PasteboardItem>>{};
}

void SimPasteboard::clearContents() {
  pendingWrite_.reset();
  if (current_) current_->valid = false;
  current_ = std::make_shared<Generation>();
  owner_.reset();
  ownerless_ = false;  // whoever clears owns what follows
  ++changeCount_;
  if (notifies) mainLoop_.post([signal = &changed_] { signal->emit(); });
}

Subscription SimPasteboard::observeChanges(std::function<void()> observer) {
  return changed_.connect([observer = std::move(observer)] { observer(); });
}

bool SimPasteboard::writeItems(const std::vector<PasteboardItemData>& items) {
  if (refuseWrites) return false;
  if (!current_) current_ = std::make_shared<Generation>();
  for (const auto& item : items) {
    Item representations;
    for (const auto& representation : item.representations) {
      representations.push_back(Representation::bytes(representation.type, representation.data));
    }
    current_->items.push_back(
        std::make_shared<SimItem>(*this, current_, std::move(representations)));
  }
  return true;
}

void SimPasteboard::copy(std::vector<Item> items, std::optional<int> ownerPID) {
  clearContents();
  owner_ = ownerPID;
  auto write = [this, items = std::move(items)]() mutable {
    for (auto& item : items) {
      current_->items.push_back(std::make_shared<SimItem>(*this, current_, std::move(item)));
    }
  };
  if (writeGap <= 0) {
    write();
    return;
  }
  pendingWrite_ = mainLoop_.postAfter(writeGap, [this, write = std::move(write)]() mutable {
    write();
    // A host that tells of changes tells of the write as well: its readers would
    // otherwise never see the items.
    if (notifies) changed_.emit();
  });
}

void SimPasteboard::copyText(std::string_view text, const std::string& sourceBundleID,
                             std::optional<int> ownerPID) {
  Item item{Representation::text("public.utf8-plain-text", text)};
  if (!sourceBundleID.empty())
    item.push_back(Representation::text("org.nspasteboard.source", sourceBundleID));
  copy({std::move(item)}, ownerPID);
}

void SimPasteboard::ownerQuit(int processID) {
  if (!ownedByApplications || owner_ != processID) return;
  clearContents();
  ownerless_ = true;
}

int SimPasteboard::reads(const std::string& type) const {
  auto found = reads_.find(type);
  return found == reads_.end() ? 0 : found->second;
}

}  // namespace mirlet::sim
