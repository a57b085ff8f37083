#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/MainLoop.h"
#include "core/SerialQueue.h"

namespace mirlet {

// Binds work handed to later, or to another thread, to the life of its owner: work
// wrapped by an owner's Handoff runs only while the owner exists, and does nothing
// once it is gone. This is the one way callbacks, posted tasks, timers and queue
// jobs refer back to the object that made them.
//
// Declare the Handoff as the owner's last member, so that it is destroyed first,
// before anything the work touches. Its destruction waits for wrapped work running
// on other threads to return; work may destroy its own owner (the thread running
// it does not wait for itself).
class Handoff {
 public:
  Handoff() = default;
  ~Handoff() { revoke(); }
  Handoff(const Handoff&) = delete;
  Handoff& operator=(const Handoff&) = delete;

  // `work`, called with the same arguments while the owner exists; afterwards a call
  // does nothing.
  template <class Work>
  auto bind(Work work) const {
    return bindOr(std::move(work), [](auto&&...) {});
  }

  // `work` while the owner exists; afterwards `whenGone`, with the same arguments,
  // gives the answer (a tap callback passes its event once its feature is gone).
  template <class Work, class WhenGone>
  auto bindOr(Work work, WhenGone whenGone) const {
    return [state = state_, work = std::move(work),
            whenGone = std::move(whenGone)](auto&&... args) mutable {
      Entry entry(*state);
      if (!entry.entered) return whenGone(std::forward<decltype(args)>(args)...);
      return work(std::forward<decltype(args)>(args)...);
    };
  }

  // Runs `task` on the main loop after the current task, if the owner still exists.
  void post(MainLoop& loop, MainLoop::Task task) const { loop.post(bind(std::move(task))); }
  // A timer whose task runs only while the owner exists.
  [[nodiscard]] TimerHandle postAfter(MainLoop& loop, double seconds, MainLoop::Task task) const {
    return loop.postAfter(seconds, bind(std::move(task)));
  }
  // Runs `job` on the queue, if the owner still exists when its turn comes.
  void async(SerialQueue& queue, SerialQueue::Job job) const { queue.async(bind(std::move(job))); }

  // From now on wrapped work does nothing. Waits for wrapped work running on other
  // threads to return. Called by the destructor; calling it twice is harmless.
  void revoke() {
    std::unique_lock lock(state_->mutex);
    state_->alive = false;
    const auto self = std::this_thread::get_id();
    state_->idle.wait(lock, [&] {
      for (auto id : state_->running) {
        if (id != self) return false;
      }
      return true;
    });
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable idle;
    bool alive = true;
    std::vector<std::thread::id> running;  // one entry per wrapped call under way
  };

  // Marks one wrapped call as running while the owner exists.
  struct Entry {
    explicit Entry(State& s) : state(s) {
      std::lock_guard lock(state.mutex);
      entered = state.alive;
      if (entered) state.running.push_back(std::this_thread::get_id());
    }
    ~Entry() {
      if (!entered) return;
      std::lock_guard lock(state.mutex);
      state.running.erase(
          std::find(state.running.begin(), state.running.end(), std::this_thread::get_id()));
      state.idle.notify_all();
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    State& state;
    bool entered = false;
  };

  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace mirlet
