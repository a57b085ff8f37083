#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Signal.h"

namespace mirlet {

using Bytes = std::vector<std::uint8_t>;

// One item on the pasteboard, as it was when the items were read.
class PasteboardItem {
 public:
  virtual ~PasteboardItem() = default;
  // In the owner's order of preference.
  virtual std::vector<std::string> types() const = 0;
  // The bytes of one type, or nothing. A promised or lazily provided type is
  // produced on demand, which may be slow or fail.
  virtual std::optional<Bytes> data(const std::string& type) const = 0;
};

// What is written for one item: its representations in order.
struct PasteboardItemData {
  struct Representation {
    std::string type;
    Bytes data;  // may be empty (a marker type)
    friend bool operator==(const Representation&, const Representation&) = default;
  };
  std::vector<Representation> representations;
  friend bool operator==(const PasteboardItemData&, const PasteboardItemData&) = default;
};

// A change as its owner offers it, before any of its data is read.
struct PasteboardOffer {
  std::vector<std::string> types;  // in the owner's order of preference
  std::optional<int> ownerProcessID;
  friend bool operator==(const PasteboardOffer&, const PasteboardOffer&) = default;
};

// What to read of an offered change.
struct PasteboardReadPlan {
  // False: the change brings its types, and none of its data is read.
  bool read = true;
  // Once the data read passes this many bytes, the types not listed in
  // `keptPastLimit` are dropped and no more of them are read.
  std::int64_t maximumBytes = std::numeric_limits<std::int64_t>::max();
  std::vector<std::string> keptPastLimit;
  friend bool operator==(const PasteboardReadPlan&, const PasteboardReadPlan&) = default;
};

// The general pasteboard. Its change count moves on every write by anyone.
class Pasteboard {
 public:
  virtual ~Pasteboard() = default;
  virtual std::int64_t changeCount() const = 0;
  virtual std::vector<std::shared_ptr<const PasteboardItem>> items() const = 0;
  // Empties the pasteboard; a write follows.
  virtual void clearContents() = 0;
  // Writes all items in one call; false when the pasteboard refused them.
  virtual bool writeItems(const std::vector<PasteboardItemData>& items) = 0;

  // Whether the contents go when the application that put them there quits (an X
  // selection does; then the pasteboard is empty, one change).
  virtual bool emptiesWhenOwnerQuits() const = 0;
  // Whether nobody owns the contents at this moment, asked of the system now: only
  // where contents go with their owner. An empty read is no proof of it (the owner
  // may not have answered in time, or a newer one may have taken over since).
  virtual bool isOwnerless() const = 0;
  // The process of the application whose contents these are, where contents go
  // with their owner and the system can tell; nothing otherwise, and for this
  // program's own writes.
  virtual std::optional<int> ownerProcessID() const = 0;

  // Whether the host is told of every change (then observers hear of each on the
  // main thread); otherwise the change count has to be polled.
  virtual bool notifiesChanges() const = 0;
  [[nodiscard]] virtual Subscription observeChanges(std::function<void()> observer) = 0;

  // Where a change is read in full before anyone hears of it (X11, whose owners
  // render every target asked for), the planner decides on the main thread, from
  // the offer alone, what is read; one planner at a time, until the subscription
  // ends. Elsewhere data is read only when asked for and the planner is never
  // called.
  [[nodiscard]] virtual Subscription planReads(
      std::function<PasteboardReadPlan(const PasteboardOffer&)> planner) {
    (void)planner;
    return {};
  }
};

}  // namespace mirlet
