#pragma once

#include <QColor>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "ClipboardHistory/panel/HistoryPanelController.h"
#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "host/linux/QtImageCodec.h"
#include "host/sim/SimWorkspace.h"

namespace mirlet::demo {

// A workspace whose applications and files have icons worth looking at: each
// application a coloured square with its initial, files a page, folders a folder.
class DemoWorkspace : public sim::SimWorkspace {
 public:
  using SimWorkspace::SimWorkspace;
  std::optional<Bytes> applicationIcon(const std::string& bundleIdentifier) const override;
  std::optional<Bytes> fileIcon(const std::string& path) const override;
};

// A link's site icon as a page serves it: a square of the site's colour with
// the initial of its name.
Bytes siteIcon(const std::string& url);
QColor siteColor(const std::string& url);

// A picture for an image item: a landscape of soft colours, different per index.
Bytes picture(std::size_t index, int width, int height);

// The clipboard history of someone who has used it for weeks, running on the
// simulated desktop: a hand-written history of every kind first (a note, links,
// a screenshot, code, a colour, an address, a table, a password, files, photos,
// sound, video, an event, another application's content), then as many generated
// items as asked, older and older, every `imageEvery`-th an image with its
// thumbnail on disk. Time is the desktop's virtual time.
class DemoHistory {
 public:
  DemoHistory(sim::SimDesktop& desktop, std::size_t count, std::size_t imageEvery = 10);
  ~DemoHistory();

  ClipboardHistoryFeature& feature() { return *feature_; }

 private:
  testing::TemporaryFolder folder_;
  DemoWorkspace workspace_;
  QtImageCodec images_;
  PosixFileSystem files_;
  KeychainKeyProvider keys_;
  testing::NoLinkPreviews links_;
  MemoryDefaultsStore defaults_;
  Preferences preferences_{defaults_};
  std::unique_ptr<ClipboardHistoryFeature> feature_;
};

// The history panel over a history on the simulated desktop, made as the
// application makes it; its window exists once the panel has been shown.
class DemoPanel {
 public:
  DemoPanel(sim::SimDesktop& desktop, ClipboardHistoryFeature& feature);

  HistoryPanelController& controller() { return *controller_; }
  HistoryPanelModel& model() { return controller_->model(); }
  HistoryPanelWindow& window() { return *window_; }

 private:
  MemoryDefaultsStore defaults_;
  HistoryPanelWindow* window_ = nullptr;
  std::unique_ptr<HistoryPanelController> controller_;
};

}  // namespace mirlet::demo
