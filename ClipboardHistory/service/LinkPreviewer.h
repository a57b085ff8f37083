#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/Pasteboard.h"

namespace mirlet {

// What a link's page shows of itself: its title and its icon's bytes.
struct LinkPage {
  std::optional<std::string> title;
  std::optional<Bytes> icon;
  friend bool operator==(const LinkPage&, const LinkPage&) = default;
};

// Fetches link previews away from the main thread.
class LinkPreviewer {
 public:
  virtual ~LinkPreviewer() = default;
  // `done` runs on the main loop with the page, or nothing when there is none to
  // be had (refused, unreachable, not a page).
  virtual void fetch(const std::string& url, std::function<void(std::optional<LinkPage>)> done) = 0;
};

}  // namespace mirlet
