#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace mirlet {

// What another process of the user may ask of the running copy over the session
// bus. Each answer is a status of the command line: 0 done, 1 failed, 4 no item
// with that id, 5 the clipboard history is off.
class InstanceCommands {
 public:
  virtual ~InstanceCommands() = default;
  virtual int togglePanel() = 0;
  virtual int showSettings() = 0;
  // The items the panel's search finds, as the text to print.
  virtual std::pair<int, std::string> findHistory(const std::string& query, std::uint64_t limit,
                                                  bool json) = 0;
  // As choosing the item in the panel; `done` is told once it has happened.
  virtual void choose(const std::string& id, bool paste, std::function<void(int)> done) = 0;
  virtual int clearHistory() = 0;
};

}  // namespace mirlet
