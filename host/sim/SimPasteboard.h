#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/MainLoop.h"
#include "host/Pasteboard.h"

namespace mirlet::sim {

// The simulated general pasteboard. Items read from one generation return no
// data once the pasteboard has been cleared. A representation may be given as
// bytes or produced on demand (a lazily provided or promised type); every
// production is counted, so a test can prove a type was never read. Another
// application's copy is two steps, as a real one is: the pasteboard is cleared
// (the change count moves) and its items are written `writeGap` seconds later
// (the count stays), so a reader between the two sees a new change with nothing
// on it.
class SimPasteboard : public Pasteboard {
 public:
  explicit SimPasteboard(MainLoop& mainLoop) : mainLoop_(mainLoop) {}

  using Provider = std::function<std::optional<Bytes>()>;

  // A representation as another application puts it on the pasteboard.
  struct Representation {
    std::string type;
    Bytes data;
    Provider provider;  // when set, the data is produced on demand

    static Representation bytes(std::string type, Bytes data) {
      return {std::move(type), std::move(data), {}};
    }
    static Representation text(std::string type, std::string_view text) {
      return {std::move(type), Bytes(text.begin(), text.end()), {}};
    }
    static Representation lazy(std::string type, Provider provider) {
      return {std::move(type), {}, std::move(provider)};
    }
  };
  using Item = std::vector<Representation>;

  std::int64_t changeCount() const override { return changeCount_; }
  std::vector<std::shared_ptr<const PasteboardItem>> items() const override;
  void clearContents() override;
  bool writeItems(const std::vector<PasteboardItemData>& items) override;
  bool emptiesWhenOwnerQuits() const override { return ownedByApplications; }
  bool isOwnerless() const override { return ownedByApplications && ownerless_; }
  std::optional<int> ownerProcessID() const override {
    return ownedByApplications ? owner_ : std::nullopt;
  }
  bool notifiesChanges() const override { return notifies; }
  Subscription observeChanges(std::function<void()> observer) override;

  // The test's side: another application copies (clear, then write: one change),
  // owning the contents when its process is given. With no items it is an owner
  // nothing could be read of, as one that never answers.
  void copy(std::vector<Item> items, std::optional<int> ownerPID = std::nullopt);
  // Plain text, as most applications copy it.
  void copyText(std::string_view text, const std::string& sourceBundleID = {},
                std::optional<int> ownerPID = std::nullopt);
  // The process quit: with `ownedByApplications`, the contents it owns go.
  void ownerQuit(int processID);
  // How many times a type's data was produced or read, over all generations.
  int reads(const std::string& type) const;
  // Makes the next writes fail, as a pasteboard that refuses them.
  bool refuseWrites = false;
  // As a host told of changes: every change is announced on the main loop.
  bool notifies = false;
  // As an X selection: the contents belong to the application that copied them.
  bool ownedByApplications = false;
  // Seconds between another application's clear and its write; a clear by anyone
  // meanwhile voids that write.
  double writeGap = 0;

 private:
  class Generation;
  class SimItem;

  MainLoop& mainLoop_;
  Signal<> changed_;
  std::int64_t changeCount_ = 0;
  std::shared_ptr<Generation> current_;
  std::optional<int> owner_;  // nothing: this program, or no application
  bool ownerless_ = false;    // the owner quit and nobody took the contents since
  std::map<std::string, int> reads_;
  TimerHandle pendingWrite_;
};

}  // namespace mirlet::sim
