#pragma once

#include <filesystem>
#include <memory>

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "host/sim/SimDesktop.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::testing {

// Link titles that never come.
struct NoLinkPreviews : LinkPreviewer {
  void fetch(const std::string&, std::function<void(std::optional<LinkPage>)> done) override {
    done(std::nullopt);
  }
};

// The clipboard history running on the simulated desktop over a temporary folder,
// told of every pasteboard change, for tests of what is built on it.
class SimulatedClipboardHistory {
 public:
  explicit SimulatedClipboardHistory(sim::SimDesktop& desktop)
      : keys_(desktop.keychain, "app.mirlet") {
    desktop.pasteboard.notifies = true;
    std::filesystem::create_directories(folder_ / "tmp");
    feature_ = std::make_unique<ClipboardHistoryFeature>(
        preferences_,
        ClipboardHistoryServices{desktop.pasteboard, desktop.workspace, desktop.accessibility,
                                 desktop.events, desktop.hotKeys, desktop.keyboardLayout,
                                 desktop.images, desktop.fileURLs, files_, keys_, links_,
                                 desktop.time, desktop.time, desktop.time,
                                 folder_ / "ClipboardHistory", folder_ / "tmp", "app.mirlet"},
        [](const Uuid&) {});
    feature_->start(Uuid::random());
  }

  ClipboardHistoryFeature& feature() { return *feature_; }

 private:
  TemporaryFolder folder_;
  PosixFileSystem files_;
  KeychainKeyProvider keys_;
  NoLinkPreviews links_;
  MemoryDefaultsStore defaults_;
  Preferences preferences_{defaults_};
  std::unique_ptr<ClipboardHistoryFeature> feature_;
};

}  // namespace mirlet::testing
