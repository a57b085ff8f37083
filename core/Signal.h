#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace mirlet {

// Ends a connection when it is destroyed or reset, so a callback never outlives the
// object that registered it. Move-only.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      cancel_ = std::exchange(other.cancel_, {});
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (auto cancel = std::exchange(cancel_, {})) cancel();
  }
  bool isConnected() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

// A list of callbacks notified in connection order. Used on one thread. A slot may
// connect or disconnect slots (itself included) while it is being notified; a slot
// disconnected during an emission is not called by it afterwards.
template <class... Args>
class Signal {
 public:
  using Slot = std::function<void(const Args&...)>;

  Signal() = default;
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  [[nodiscard]] Subscription connect(Slot slot) {
    auto entry = std::make_shared<Entry>(Entry{std::move(slot), true});
    entries_->push_back(entry);
    std::weak_ptr<Entries> weakEntries = entries_;
    return Subscription([weakEntries, weakEntry = std::weak_ptr<Entry>(entry)] {
      auto connected = weakEntry.lock();
      if (!connected) return;
      connected->connected = false;
      if (auto entries = weakEntries.lock()) std::erase(*entries, connected);
    });
  }

  void emit(const Args&... args) const {
    const Entries snapshot = *entries_;
    for (const auto& entry : snapshot) {
      if (entry->connected) entry->slot(args...);
    }
  }

  bool hasSlots() const { return !entries_->empty(); }

 private:
  struct Entry {
    Slot slot;
    bool connected;
  };
  using Entries = std::vector<std::shared_ptr<Entry>>;
  std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
};

// What the readers of a published value get: the value and its changes, never the
// right to set it.
template <class T>
class ObservableView {
 public:
  ObservableView(const ObservableView&) = delete;
  ObservableView& operator=(const ObservableView&) = delete;

  const T& get() const { return value_; }
  // The slot is told every new value until the subscription ends.
  [[nodiscard]] Subscription subscribe(typename Signal<T>::Slot slot) const {
    return changed_.connect(std::move(slot));
  }

 protected:
  explicit ObservableView(T initial) : value_(std::move(initial)) {}
  ~ObservableView() = default;

  T value_;
  mutable Signal<T> changed_;
};

// A published value: every `set` stores the value and notifies the subscribers with
// it, whether or not it changed (as a published property does). Its owner hands out
// the `ObservableView`.
template <class T>
class Observable : public ObservableView<T> {
 public:
  explicit Observable(T initial = T{}) : ObservableView<T>(std::move(initial)) {}

  void set(T value) {
    this->value_ = std::move(value);
    this->changed_.emit(this->value_);
  }
};

}  // namespace mirlet
