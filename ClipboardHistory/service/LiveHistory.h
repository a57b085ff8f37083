#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "ClipboardHistory/model/HistoryStore.h"
#include "ClipboardHistory/service/HistoryDiskStore.h"
#include "core/Signal.h"

namespace mirlet {

// The clipboard history as the feature publishes and keeps it: the store views
// observe and, while the feature runs, the disk store that keeps it. Every change
// goes through here: made to a copy, then published, then saved.
class LiveHistory {
 public:
  const ObservableView<HistoryStore>& view() const { return store_; }
  const HistoryStore& store() const { return store_.get(); }
  // The running feature's disk store; null while it is stopped.
  HistoryDiskStore* disk() const { return disk_.get(); }

  // Runs `change` on a copy of the history, then publishes and saves the copy;
  // answers what `change` answers.
  template <class Change>
  auto edit(Change&& change) {
    HistoryStore copy = store_.get();
    if constexpr (std::is_void_v<std::invoke_result_t<Change, HistoryStore&>>) {
      change(copy);
      publishAndSave(std::move(copy));
    } else {
      auto result = change(copy);
      publishAndSave(std::move(copy));
      return result;
    }
  }
  void publishAndSave(HistoryStore store) {
    store_.set(std::move(store));
    if (disk_) disk_->markDirty();
  }
  // Publishes what is already on disk, without saving it again.
  void publish(HistoryStore store) { store_.set(std::move(store)); }

  // Keeps the history on `disk` from now on; an empty one ends keeping it.
  void keepOn(std::unique_ptr<HistoryDiskStore> disk) { disk_ = std::move(disk); }

 private:
  Observable<HistoryStore> store_;
  std::unique_ptr<HistoryDiskStore> disk_;
};

}  // namespace mirlet
