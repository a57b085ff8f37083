// Any INCR transfer an owner may send: the bytes kept never pass the limit, a
// finished transfer is exactly its parts in order, one over the limit keeps
// nothing, and once ended it stays as it ended.
//
// Input layout: four bytes of the announced size and two of the limit (little
// endian), then parts, each one byte (its top bit: the owner had more than was
// asked for; the rest: the length) and that many bytes.

#include <cstdint>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "host/IncrementalTransfer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  std::uint32_t announced = 0;
  for (int i = 3; i >= 0; --i) announced = (announced << 8) | data[i];
  const std::size_t limit = data[4] | (std::size_t{data[5]} << 8);
  mirlet::IncrementalTransfer transfer(announced, limit);
  using Status = mirlet::IncrementalTransfer::Status;
  FUZZ_CHECK((announced > limit) == (transfer.status() == Status::overLimit));

  mirlet::Bytes sent;
  std::size_t at = 6;
  while (at < size) {
    const bool truncated = (data[at] & 0x80) != 0;
    const std::size_t length = std::min<std::size_t>(data[at] & 0x7F, size - at - 1);
    const std::span<const std::uint8_t> part(data + at + 1, length);
    at += 1 + length;
    const Status before = transfer.status();
    FUZZ_CHECK(before != Status::reading || transfer.nextPartLimit() >= 1);
    const Status after = transfer.add(part, truncated);
    if (before != Status::reading) {
      FUZZ_CHECK(after == before);
      continue;
    }
    if (!truncated) sent.insert(sent.end(), part.begin(), part.end());
    FUZZ_CHECK(after != Status::done || part.empty());
    FUZZ_CHECK(after == Status::overLimit || sent.size() <= limit);
  }
  const Status end = transfer.status();
  const mirlet::Bytes whole = transfer.take();
  if (end == Status::done) {
    FUZZ_CHECK(whole == sent);
  } else {
    FUZZ_CHECK(whole.empty());
  }
  return 0;
}
