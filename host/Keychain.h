#pragma once

#include <cstdint>
#include <string>

#include "host/Pasteboard.h"

namespace mirlet {

// Generic passwords by service and account, with the platform's status codes.
class Keychain {
 public:
  static constexpr int success = 0;
  static constexpr int itemNotFound = -25300;
  static constexpr int duplicateItem = -25299;

  struct ReadResult {
    int status = itemNotFound;
    Bytes data;  // set on success
  };

  virtual ~Keychain() = default;
  virtual ReadResult read(const std::string& service, const std::string& account) const = 0;
  // `duplicateItem` when the item exists already.
  virtual int add(const std::string& service, const std::string& account, const Bytes& data) = 0;
};

}  // namespace mirlet
