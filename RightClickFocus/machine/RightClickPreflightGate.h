#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <variant>

namespace mirlet {

// Limits how often the right-click feature inspects the window under the pointer,
// and coalesces requests that come meanwhile. Times are uptime seconds; a time that
// is not finite changes nothing. A plain value.
class RightClickPreflightGate {
 public:
  struct Start {
    std::uint64_t revision;
    friend bool operator==(const Start&, const Start&) = default;
  };
  struct Schedule {
    double seconds;  // wait this long, then call `scheduled`
    friend bool operator==(const Schedule&, const Schedule&) = default;
  };
  struct None {
    friend bool operator==(const None&, const None&) = default;
  };
  using Action = std::variant<Start, Schedule, None>;

  // At most this many starts per second (below one counts as one).
  explicit RightClickPreflightGate(double maximumStartsPerSecond);

  // A preflight is wanted; `whileBusy`: a focus transaction is under way.
  Action request(double now, bool whileBusy);
  // The scheduled moment arrived.
  Action scheduled(double now);
  // A preflight finished.
  Action completed(double now);
  // Requests so far are stale; a running preflight's result will not be current.
  void invalidate();
  bool isCurrent(std::uint64_t revision) const { return revision == revision_; }

  double minimumInterval() const { return minimumInterval_; }
  friend bool operator==(const RightClickPreflightGate&, const RightClickPreflightGate&) = default;

 private:
  Action attemptStart(double now);

  double minimumInterval_;
  double nextStartAt_ = 0;
  bool inFlight_ = false;
  bool scheduled_ = false;
  bool pending_ = false;
  std::uint64_t revision_ = 0;
};

// Tells when the pointer has rested long enough after moving. A plain value.
class PointerDwell {
 public:
  explicit PointerDwell(double delay) : delay_(delay) {}

  // True when the caller should schedule a check (none was scheduled).
  bool moved(double now);
  // Seconds still to wait, or nothing once the pointer has rested for the delay.
  std::optional<double> check(double now);
  void reset() { scheduled_ = false; }

  friend bool operator==(const PointerDwell&, const PointerDwell&) = default;

 private:
  double delay_;
  double lastMove_ = -std::numeric_limits<double>::infinity();
  bool scheduled_ = false;
};

}  // namespace mirlet
