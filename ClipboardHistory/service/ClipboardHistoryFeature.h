#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "ClipboardHistory/model/ClipboardHistorySettings.h"
#include "ClipboardHistory/model/HistoryStore.h"
#include "ClipboardHistory/service/CaptureSupport.h"
#include "ClipboardHistory/service/ClipboardMonitor.h"
#include "ClipboardHistory/service/GlobalHotKey.h"
#include "ClipboardHistory/service/HistoryDiskStore.h"
#include "ClipboardHistory/service/HotKeyStatus.h"
#include "ClipboardHistory/service/KeyProvider.h"
#include "ClipboardHistory/service/LinkPreviewer.h"
#include "ClipboardHistory/service/PasteBack.h"
#include "ClipboardHistory/service/PasteboardWriter.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/MirletFeature.h"
#include "core/Preferences.h"
#include "core/SerialQueue.h"
#include "core/Signal.h"
#include "host/Accessibility.h"
#include "host/EventSystem.h"
#include "host/FileSystem.h"
#include "host/FileURLs.h"
#include "host/HotKeys.h"
#include "host/ImageCodec.h"
#include "host/KeyboardLayoutSource.h"
#include "host/Pasteboard.h"
#include "host/Workspace.h"

namespace mirlet {

// Everything the clipboard history needs from the platform, replaceable as a whole.
struct ClipboardHistoryServices {
  Pasteboard& pasteboard;
  Workspace& workspace;
  Accessibility& accessibility;
  EventSystem& events;
  HotKeys& hotKeys;
  const KeyboardLayoutSource& keyboardLayout;
  const ImageCodec& images;
  const FileURLs& fileURLs;
  FileSystem& files;
  KeyProvider& keys;
  LinkPreviewer& links;
  MainLoop& mainLoop;
  Clock& clock;
  SerialQueueFactory& queues;
  // The history's folder; previews go to a fresh folder in the temporary one.
  std::filesystem::path rootDirectory;
  std::filesystem::path temporaryDirectory;
  // This program's bundle identifier.
  std::string sourceIdentifier;
  double pollInterval = 0.5;
};

// What choosing items from the history did.
enum class ChooseOutcome { pasted, copied, copiedWithoutPaste, failed };

// The clipboard history as a feature: it captures every change of the pasteboard
// into the history, keeps it on disk (private items encrypted), registers the
// global hot key, and offers what the panel and the settings do with the history.
// Its state is published; everything runs on the main thread.
class ClipboardHistoryFeature : public MirletFeature, public ClipboardHistoryControl {
 public:
  static constexpr const char* kWindowTitleQueue = "app.mirlet.clipboard-history.window-title";
  static constexpr double kWindowTitleTimeout = 0.025;
  static constexpr const char* kCaptureSound = "Tink";

  ClipboardHistoryFeature(Preferences& preferences, ClipboardHistoryServices environment,
                          FailureCallback onFailure);
  ~ClipboardHistoryFeature() override;
  ClipboardHistoryFeature(const ClipboardHistoryFeature&) = delete;
  ClipboardHistoryFeature& operator=(const ClipboardHistoryFeature&) = delete;

  // MirletFeature.
  const FeatureDescriptor& descriptor() const override;
  bool isRunning() const override { return isRunning_; }
  // Throws DiskStoreError or AtomicFileError when the history cannot be opened.
  void start(const Uuid& runID) override;
  void stop() override;

  // Published state.
  const ObservableView<HistoryStore>& store() const { return store_; }
  const ObservableView<ClipboardHistorySettings>& settings() const { return settings_; }
  const ObservableView<bool>& paused() const { return paused_; }
  const ObservableView<HotKeyStatus>& hotKeyStatus() const { return hotKeyStatus_; }
  const ObservableView<bool>& privateItemsAvailable() const { return privateItemsAvailable_; }
  const ObservableView<bool>& hasOpenedPanel() const { return hasOpenedPanel_; }
  // The hot key was pressed (the application opens the panel).
  [[nodiscard]] Subscription observeHotKey(std::function<void()> observer) {
    return hotKeyPressed_.connect([observer = std::move(observer)] { observer(); });
  }

  // ClipboardHistoryControl.
  bool isPaused() const override { return paused_.get(); }
  void setPaused(bool paused) override { paused_.set(paused); }
  std::optional<std::string> hotKeyLabel() const override;

  // Settings and status.
  void update(const std::function<void(ClipboardHistorySettings&)>& change);
  HotKeyStatus setHotKey(const std::optional<HotKeyCombo>& combo);
  std::string label(const HotKeyCombo& combo) const;
  // How this desktop writes shortcuts.
  ShortcutStyle shortcutStyle() const { return environment_.keyboardLayout.shortcutStyle(); }
  void notePanelOpened();
  bool accessibilityGranted() const { return environment_.accessibility.isProcessTrusted(); }
  void pollPasteboardNow();

  // Editing; each publishes the store and saves it.
  Removal remove(const std::vector<Uuid>& ids);
  void restore(const Removal& removal);
  // Deletes the payloads of removed items that stayed removed.
  void commitRemovals(const std::vector<Removal>& removals);
  void setFavorite(bool favorite, const std::vector<Uuid>& ids);
  Uuid createList(const std::string& name);
  void renameList(const Uuid& id, const std::string& name);
  void deleteList(const Uuid& id);
  void add(const std::vector<Uuid>& ids, const Uuid& listID);
  void removeFromList(const std::vector<Uuid>& ids, const Uuid& listID);
  // Removes every unprotected item, running or not; false when the history on disk
  // could not be changed.
  bool clearHistory();

  // Puts the items back on the pasteboard (as plain text when asked or when that
  // is all they are) and, with `paste`, pastes them into `target`; `done` is told
  // the outcome on the main loop.
  void choose(const std::vector<Uuid>& ids, bool plain, bool paste,
              std::shared_ptr<RunningApplication> target, std::function<void(ChooseOutcome)> done);

  // Content, for the panel; nothing for ids not in the history.
  std::optional<Bytes> thumbnail(const Uuid& id);
  std::optional<Bytes> sourceIcon(const Uuid& id);
  // A private item's text, shown on request.
  std::optional<std::string> revealedText(const Uuid& id) const;
  std::vector<std::string> fileURLs(const Uuid& id) const;
  // Files a preview can show: the item's files, or its image or text written to a
  // private temporary folder. Never for private items.
  std::vector<std::filesystem::path> previewFiles(const Uuid& id);
  // Deletes the files written for previews.
  void removePreviews();
  // The items as the pasteboard would get them, for drag and drop.
  std::vector<PasteboardItemData> pasteboardItems(const std::vector<Uuid>& ids) const;
  void open(const Uuid& id);
  void revealInFileManager(const Uuid& id);
  void composeEmail(const Uuid& id);
  std::vector<ApplicationInfo> applicationsToOpen(const Uuid& id) const;
  void open(const Uuid& id, const std::string& bundleIdentifier);

 private:
  // Capture (ClipboardHistoryCapture.cpp).
  void capture(const CapturedPasteboard& captured);
  void readWindowTitle(const Uuid& id, const CapturedPasteboard& captured);
  void fetchLinkPreview(const Uuid& id);
  void finishLinkPreview(const std::optional<LinkPage>& page, const Uuid& id, const Uuid& run);
  void writeThumbnail(const Uuid& id, const Bytes& image);

  // Actions (ClipboardHistoryActions.cpp).
  void restoreLatest();
  std::vector<std::string> plainTexts(const std::vector<CapturedItems>& payloads) const;
  std::vector<std::string> openTargets(const ClipboardItem& item) const;
  std::optional<std::filesystem::path> writePreview(const Uuid& id, const std::string& extension,
                                                    const Bytes& data);

  // The history changed: publish it and save it.
  void changed();
  void applyLimit();
  void setStore(HistoryStore store);
  HistoryDiskStore::Services diskServices();
  std::optional<SourceApp> frontmostApp() const;
  std::optional<std::string> windowTitle(int processID) const;
  void persistHotKey(const std::optional<HotKeyCombo>& combo);

  Preferences& preferences_;
  ClipboardHistoryServices environment_;
  FailureCallback onFailure_;
  PrivateItemCipher cipher_;
  CaptureSupport support_;
  PasteboardWriter writer_;
  PasteBack pasteBack_;
  GlobalHotKey hotKey_;
  std::unique_ptr<SerialQueue> windowTitleQueue_;

  Observable<HistoryStore> store_;
  Observable<ClipboardHistorySettings> settings_;
  Observable<bool> paused_{false};
  Observable<HotKeyStatus> hotKeyStatus_{HotKeyStatus::none};
  Observable<bool> privateItemsAvailable_{true};
  Observable<bool> hasOpenedPanel_{false};
  Signal<> hotKeyPressed_;

  bool isRunning_ = false;
  std::optional<Uuid> runID_;
  std::unique_ptr<HistoryDiskStore> disk_;
  std::unique_ptr<ClipboardMonitor> monitor_;
  std::optional<std::filesystem::path> previewFolder_;
  std::set<Uuid> linksInFlight_;
  std::map<Uuid, Bytes> thumbnails_;
  std::map<std::string, std::optional<Bytes>> sourceIcons_;
  Subscription writeFailures_;
  Subscription hotKeyPresses_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
