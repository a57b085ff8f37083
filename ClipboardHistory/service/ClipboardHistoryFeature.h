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
#include "ClipboardHistory/service/ClipboardHistoryServices.h"
#include "ClipboardHistory/service/HistoryCapture.h"
#include "ClipboardHistory/service/HistoryChooser.h"
#include "ClipboardHistory/service/HistoryEditor.h"
#include "ClipboardHistory/service/HistoryHotKey.h"
#include "ClipboardHistory/service/HistoryItemContent.h"
#include "ClipboardHistory/service/HistoryPreferences.h"
#include "ClipboardHistory/service/HotKeyStatus.h"
#include "ClipboardHistory/service/LiveHistory.h"
#include "ClipboardHistory/service/PasteBack.h"
#include "ClipboardHistory/service/PasteboardWriter.h"
#include "ClipboardHistory/service/PrivateItemCipher.h"
#include "core/Handoff.h"
#include "core/MirletFeature.h"
#include "core/Preferences.h"
#include "core/Signal.h"

namespace mirlet {

// The clipboard history as a feature: it captures every change of the pasteboard
// into the history, keeps it on disk (private items encrypted), registers the
// global hot key, and offers what the panel and the settings do with the history.
// Each role is a class of its own behind it (the live history, capture, editing,
// choosing, item content, the hot key, the preferences); the feature starts and
// stops them together. Its state is published; everything runs on the main thread.
class ClipboardHistoryFeature : public MirletFeature, public ClipboardHistoryControl {
 public:
  ClipboardHistoryFeature(Preferences& preferences, ClipboardHistoryServices services,
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
  const ObservableView<HistoryStore>& store() const { return history_.view(); }
  const ObservableView<ClipboardHistorySettings>& settings() const {
    return preferences_.settings();
  }
  const ObservableView<bool>& paused() const { return paused_; }
  const ObservableView<HotKeyStatus>& hotKeyStatus() const { return hotKey_.status(); }
  const ObservableView<bool>& privateItemsAvailable() const { return privateItemsAvailable_; }
  const ObservableView<bool>& hasOpenedPanel() const { return preferences_.hasOpenedPanel(); }
  // The hot key was pressed (the application opens the panel).
  [[nodiscard]] Subscription observeHotKey(std::function<void()> observer) {
    return hotKey_.observePresses(std::move(observer));
  }

  // ClipboardHistoryControl.
  bool isPaused() const override { return paused_.get(); }
  void setPaused(bool paused) override { paused_.set(paused); }
  std::optional<std::string> hotKeyLabel() const override { return hotKey_.registeredLabel(); }

  // Settings and status.
  void update(const std::function<void(ClipboardHistorySettings&)>& change);
  HotKeyStatus setHotKey(const std::optional<HotKeyCombo>& combo) { return hotKey_.set(combo); }
  std::string label(const HotKeyCombo& combo) const { return hotKey_.label(combo); }
  // How this desktop writes shortcuts.
  ShortcutStyle shortcutStyle() const { return hotKey_.shortcutStyle(); }
  void notePanelOpened() { preferences_.notePanelOpened(); }
  bool accessibilityGranted() const { return services_.accessibility.isProcessTrusted(); }
  void pollPasteboardNow() { capture_.pollNow(); }

  // Editing; each publishes the history and saves it.
  Removal remove(const std::vector<Uuid>& ids) { return editor_.remove(ids); }
  void restore(const Removal& removal) { editor_.restore(removal); }
  // Deletes the payloads of removed items that stayed removed.
  void commitRemovals(const std::vector<Removal>& removals) { editor_.commitRemovals(removals); }
  void setFavorite(bool favorite, const std::vector<Uuid>& ids) {
    editor_.setFavorite(favorite, ids);
  }
  Uuid createList(const std::string& name) { return editor_.createList(name); }
  void renameList(const Uuid& id, const std::string& name) { editor_.renameList(id, name); }
  void deleteList(const Uuid& id) { editor_.deleteList(id); }
  void add(const std::vector<Uuid>& ids, const Uuid& listID) { editor_.add(ids, listID); }
  void removeFromList(const std::vector<Uuid>& ids, const Uuid& listID) {
    editor_.removeFromList(ids, listID);
  }
  // Removes every unprotected item, running or not; false when the history on disk
  // could not be changed.
  bool clearHistory() { return editor_.clearHistory(); }

  // Puts the items back on the pasteboard (as plain text when asked or when that
  // is all they are) and, with `paste`, pastes them into `target`; `done` is told
  // the outcome on the main loop.
  void choose(const std::vector<Uuid>& ids, bool plain, bool paste,
              std::shared_ptr<RunningApplication> target, std::function<void(ChooseOutcome)> done);

  // Content, for the panel; nothing for ids not in the history.
  std::optional<Bytes> thumbnail(const Uuid& id) { return content_.thumbnail(id); }
  std::optional<Bytes> sourceIcon(const Uuid& id) { return content_.sourceIcon(id); }
  // A private item's text, shown on request.
  std::optional<std::string> revealedText(const Uuid& id) const {
    return content_.revealedText(id);
  }
  std::vector<std::string> fileURLs(const Uuid& id) const { return content_.fileURLs(id); }
  // Files a preview can show: the item's files, or its image or text written to a
  // private temporary folder. Never for private items.
  std::vector<std::filesystem::path> previewFiles(const Uuid& id) {
    return content_.previewFiles(id);
  }
  // Deletes the files written for previews.
  void removePreviews() { content_.removePreviews(); }
  // The items as the pasteboard would get them, for drag and drop.
  std::vector<PasteboardItemData> pasteboardItems(const std::vector<Uuid>& ids) const {
    return content_.pasteboardItems(ids);
  }
  void open(const Uuid& id) { content_.open(id); }
  void revealInFileManager(const Uuid& id) { content_.revealInFileManager(id); }
  void composeEmail(const Uuid& id) { content_.composeEmail(id); }
  std::vector<ApplicationInfo> applicationsToOpen(const Uuid& id) const {
    return content_.applicationsToOpen(id);
  }
  void open(const Uuid& id, const std::string& bundleIdentifier) {
    content_.open(id, bundleIdentifier);
  }

 private:
  HistoryDiskStore::Services diskServices();
  void warmKey();

  ClipboardHistoryServices services_;
  FailureCallback onFailure_;
  HistoryPreferences preferences_;
  PrivateItemCipher cipher_;
  CaptureSupport support_;
  PasteboardWriter writer_;
  PasteBack pasteBack_;
  Observable<bool> paused_{false};
  Observable<bool> privateItemsAvailable_{true};
  LiveHistory history_;
  HistoryEditor editor_;
  HistoryItemContent content_;
  HistoryCapture capture_;
  HistoryChooser chooser_;
  HistoryHotKey hotKey_;

  bool isRunning_ = false;
  std::optional<Uuid> runID_;
  Subscription writeFailures_;
  Subscription keyFetches_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
