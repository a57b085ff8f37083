#include "host/IncrementalTransfer.h"

namespace mirlet {

IncrementalTransfer::IncrementalTransfer(std::size_t announced, std::size_t limit)
    : limit_(limit), status_(announced > limit ? Status::overLimit : Status::reading) {
  // One allocation for an honest owner; the size announced is its word only.
  if (status_ == Status::reading) data_.reserve(announced);
}

std::size_t IncrementalTransfer::nextPartLimit() const { return limit_ - data_.size() + 1; }

IncrementalTransfer::Status IncrementalTransfer::add(std::span<const std::uint8_t> part,
                                                     bool truncated) {
  if (status_ != Status::reading) return status_;
  if (truncated || part.size() > limit_ - data_.size()) {
    passLimit();
  } else if (part.empty()) {
    status_ = Status::done;
  } else {
    data_.insert(data_.end(), part.begin(), part.end());
  }
  return status_;
}

Bytes IncrementalTransfer::take() { return status_ == Status::done ? std::move(data_) : Bytes{}; }

void IncrementalTransfer::passLimit() {
  status_ = Status::overLimit;
  data_ = Bytes{};
}

}  // namespace mirlet
