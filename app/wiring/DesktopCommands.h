#pragma once

#include "app/ui/AppDelegate.h"
#include "app/wiring/DesktopFeatures.h"
#include "host/linux/InstanceCommands.h"

namespace mirlet {

// The running copy's answers to the command line: the panel and the settings
// through the application, the history through its feature. Main thread only;
// borrows both for its life.
class DesktopCommands : public InstanceCommands {
 public:
  DesktopCommands(AppDelegate& delegate, DesktopFeatures& features, Workspace& workspace)
      : delegate_(delegate), features_(features), workspace_(workspace) {}

  int togglePanel() override;
  int showSettings() override;
  std::pair<int, std::string> findHistory(const std::string& query, std::uint64_t limit,
                                          bool json) override;
  void choose(const std::string& id, bool paste, std::function<void(int)> done) override;
  int clearHistory() override;

 private:
  // The history, while it runs.
  ClipboardHistoryFeature* runningHistory() const;

  AppDelegate& delegate_;
  DesktopFeatures& features_;
  Workspace& workspace_;
};

}  // namespace mirlet
