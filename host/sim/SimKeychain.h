#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "host/Keychain.h"

namespace mirlet::sim {

// Generic passwords held in memory, with the platform's statuses, failures the
// test injects, and the race where another process adds the same item first.
class SimKeychain : public Keychain {
 public:
  ReadResult read(const std::string& service, const std::string& account) const override;
  int add(const std::string& service, const std::string& account, const Bytes& data) override;

  // The next read or add answers this status instead (once).
  mutable std::optional<int> failNextRead;
  std::optional<int> failNextAdd;
  // Before the next add goes through, another process adds this data under the
  // same service and account, so the add meets a duplicate.
  std::optional<Bytes> raceNextAdd;

  mutable int reads = 0;
  int adds = 0;

 private:
  std::map<std::pair<std::string, std::string>, Bytes> items_;
};

}  // namespace mirlet::sim
