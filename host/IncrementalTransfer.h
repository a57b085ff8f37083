#pragma once

#include <cstddef>
#include <span>

#include "host/Pasteboard.h"

namespace mirlet {

// The parts of one incremental (INCR) transfer of an X selection put back
// together, within a limit. The owner
// announces a lower bound of the size, then sends parts of any size, an empty one
// last. Whatever the owner sends, the bytes kept never pass the limit, and a
// transfer that would pass it ends over the limit with nothing kept.
class IncrementalTransfer {
 public:
  enum class Status { reading, done, overLimit };

  IncrementalTransfer(std::size_t announced, std::size_t limit);

  Status status() const { return status_; }
  // The most bytes worth asking of the next part: one more than may still come,
  // so that a part too large shows as such.
  std::size_t nextPartLimit() const;
  // The next part as read; `truncated` when the owner had more of it than was
  // asked for.
  Status add(std::span<const std::uint8_t> part, bool truncated);
  // The whole, once done; it is moved out.
  Bytes take();

 private:
  void passLimit();

  std::size_t limit_;
  Status status_;
  Bytes data_;
};

}  // namespace mirlet
