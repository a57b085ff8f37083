#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/Pasteboard.h"

namespace mirlet {

// Dropped content, as the panel receives it: which types it declares and their
// data, loaded asynchronously (on any thread).
class DropProvider {
 public:
  virtual ~DropProvider() = default;

  virtual bool declares(const std::string& type) const = 0;
  virtual void load(const std::string& type,
                    std::function<void(std::optional<Bytes>)> done) const = 0;
};

}  // namespace mirlet
