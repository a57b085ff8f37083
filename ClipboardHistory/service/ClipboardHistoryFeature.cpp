#include "ClipboardHistory/service/ClipboardHistoryFeature.h"

#include "host/KeyboardLayout.h"

namespace mirlet {
namespace {

constexpr std::string_view kPreviewPrefix = "mirlet-preview-";

ClipboardHistorySettings loadSettings(Preferences& preferences) {
  ClipboardHistorySettings::Values values;
  for (std::string_view key : ClipboardHistorySettings::keys) {
    if (auto value = preferences.string(std::string(key), FeatureIds::clipboardHistory)) {
      values.emplace(key, std::move(*value));
    }
  }
  return ClipboardHistorySettings::fromValues(values);
}

}  // namespace

ClipboardHistoryFeature::ClipboardHistoryFeature(Preferences& preferences,
                                                 ClipboardHistoryServices environment,
                                                 FailureCallback onFailure)
    : preferences_(preferences),
      environment_(std::move(environment)),
      onFailure_(std::move(onFailure)),
      cipher_(environment_.keys),
      support_(environment_.fileURLs, environment_.files, environment_.images),
      writer_(environment_.pasteboard, environment_.sourceIdentifier),
      pasteBack_({environment_.workspace, environment_.events, environment_.keyboardLayout,
                  environment_.mainLoop, environment_.clock}),
      hotKey_(environment_.hotKeys, environment_.mainLoop),
      windowTitleQueue_(environment_.queues.makeQueue(kWindowTitleQueue)),
      settings_(loadSettings(preferences)),
      hasOpenedPanel_(preferences.string("panelOpened", FeatureIds::clipboardHistory) == "true") {
  hotKeyPresses_ = hotKey_.observePresses([this] { hotKeyPressed_.emit(); });
}

ClipboardHistoryFeature::~ClipboardHistoryFeature() { stop(); }

const FeatureDescriptor& ClipboardHistoryFeature::descriptor() const {
  static const FeatureDescriptor descriptor{
      FeatureIds::clipboardHistory, "Historial del portapapeles",
      "Guarda lo que copias para buscarlo y pegarlo después.", false};
  return descriptor;
}

HistoryDiskStore::Services ClipboardHistoryFeature::diskServices() {
  return {environment_.files, environment_.mainLoop, environment_.queues, environment_.clock};
}

void ClipboardHistoryFeature::start(const Uuid& runID) {
  if (isRunning_) return;
  // Previews left over from an earlier run.
  for (const auto& name : environment_.files.list(environment_.temporaryDirectory)) {
    if (name.starts_with(kPreviewPrefix)) {
      environment_.files.removeAll(environment_.temporaryDirectory / name);
    }
  }
  auto disk = std::make_unique<HistoryDiskStore>(diskServices(), environment_.rootDirectory,
                                                 cipher_, [this] { return store_.get().index(); });
  const HistoryIndex index = disk->start();
  setStore(HistoryStore(index));
  writeFailures_ = disk->observeWriteFailure([this] {
    // A background save failed: the run ends, and says so.
    handoff_.post(environment_.mainLoop, [this] {
      if (!isRunning_ || !runID_) return;
      const Uuid run = *runID_;
      stop();
      if (onFailure_) onFailure_(run);
    });
  });
  disk_ = std::move(disk);
  runID_ = runID;
  const bool hasPrivate = std::any_of(store_.get().items().begin(), store_.get().items().end(),
                                      [](const ClipboardItem& item) { return item.isPrivate; });
  privateItemsAvailable_.set(!hasPrivate || cipher_.isKeyAvailable());
  applyLimit();
  monitor_ = std::make_unique<ClipboardMonitor>(
      environment_.pasteboard, environment_.mainLoop, environment_.pollInterval,
      ClipboardMonitor::Hooks{
          [this] {
            return ClipboardMonitor::Context{paused_.get(), settings_.get().ignorePrivate};
          },
          [this] { return frontmostApp(); },
          [this](CapturedPasteboard captured) { capture(captured); },
          [this] {
            restoreLatest();
          }});
  const auto& combo = settings_.get().hotKey;
  hotKeyStatus_.set(combo ? hotKey_.registerCombo(*combo) : HotKeyStatus::none);
  isRunning_ = true;
}

void ClipboardHistoryFeature::stop() {
  monitor_.reset();
  hotKey_.unregister();
  if (hotKeyStatus_.get() != HotKeyStatus::none) hotKeyStatus_.set(HotKeyStatus::none);
  if (disk_) {
    disk_->flush();
    writeFailures_.reset();
    disk_.reset();
  }
  linksInFlight_.clear();
  removePreviews();
  isRunning_ = false;
  runID_.reset();
}

std::optional<SourceApp> ClipboardHistoryFeature::frontmostApp() const {
  auto front = environment_.workspace.frontmostApplication();
  if (!front) return std::nullopt;
  return SourceApp{front->bundleIdentifier(), front->localizedName(), front->processIdentifier()};
}

void ClipboardHistoryFeature::setStore(HistoryStore store) { store_.set(std::move(store)); }

void ClipboardHistoryFeature::changed() {
  if (disk_) disk_->markDirty();
}

void ClipboardHistoryFeature::applyLimit() {
  if (!disk_) return;
  HistoryStore store = store_.get();
  const auto removed = store.enforce(settings_.get().limit, environment_.clock.now());
  // Nothing over the limit: nothing to publish or save (a start would rewrite the
  // whole index otherwise).
  if (removed.empty()) return;
  setStore(std::move(store));
  changed();
  disk_->deleteItems(removed);
}

void ClipboardHistoryFeature::update(const std::function<void(ClipboardHistorySettings&)>& change) {
  ClipboardHistorySettings updated = settings_.get();
  change(updated);
  if (updated == settings_.get()) return;
  const bool limitChanged = !(updated.limit == settings_.get().limit);
  settings_.set(updated);
  for (const auto& [name, value] : updated.values())
    preferences_.setString(value, name, FeatureIds::clipboardHistory);
  if (limitChanged) applyLimit();
}

void ClipboardHistoryFeature::persistHotKey(const std::optional<HotKeyCombo>& combo) {
  ClipboardHistorySettings updated = settings_.get();
  updated.hotKey = combo;
  settings_.set(updated);
  preferences_.setString(updated.values().at("hotKey"), "hotKey", FeatureIds::clipboardHistory);
}

HotKeyStatus ClipboardHistoryFeature::setHotKey(const std::optional<HotKeyCombo>& combo) {
  if (!combo) {
    persistHotKey(std::nullopt);
    if (!isRunning_) return hotKeyStatus_.get();
    hotKey_.unregister();
    hotKeyStatus_.set(HotKeyStatus::none);
    return HotKeyStatus::none;
  }
  if (auto error = combo->validate()) return HotKeyStatus::invalid(*error);
  if (!isRunning_) {
    persistHotKey(combo);
    return hotKeyStatus_.get();
  }
  if (combo == settings_.get().hotKey && hotKey_.isRegistered()) return hotKeyStatus_.get();
  const HotKeyStatus result = hotKey_.registerCombo(*combo);
  if (result == HotKeyStatus::registered) {
    persistHotKey(combo);
    hotKeyStatus_.set(result);
    return result;
  }
  // The new combination is not saved; the previous one comes back.
  const auto& previous = settings_.get().hotKey;
  hotKeyStatus_.set(previous ? hotKey_.registerCombo(*previous) : HotKeyStatus::none);
  return result;
}

std::string ClipboardHistoryFeature::label(const HotKeyCombo& combo) const {
  return combo.label(KeyboardLayout(environment_.keyboardLayout).keyLabel(combo.keyCode),
                     environment_.keyboardLayout.shortcutStyle());
}

std::optional<std::string> ClipboardHistoryFeature::hotKeyLabel() const {
  const auto& combo = settings_.get().hotKey;
  if (!combo || hotKeyStatus_.get() != HotKeyStatus::registered) return std::nullopt;
  return label(*combo);
}

void ClipboardHistoryFeature::notePanelOpened() {
  if (hasOpenedPanel_.get()) return;
  hasOpenedPanel_.set(true);
  preferences_.setString("true", "panelOpened", FeatureIds::clipboardHistory);
}

void ClipboardHistoryFeature::pollPasteboardNow() {
  if (monitor_) monitor_->poll();
}

Removal ClipboardHistoryFeature::remove(const std::vector<Uuid>& ids) {
  HistoryStore store = store_.get();
  Removal removal = store.remove(ids);
  setStore(std::move(store));
  changed();
  return removal;
}

void ClipboardHistoryFeature::restore(const Removal& removal) {
  HistoryStore store = store_.get();
  store.restore(removal);
  setStore(std::move(store));
  changed();
}

void ClipboardHistoryFeature::commitRemovals(const std::vector<Removal>& removals) {
  std::vector<Uuid> gone;
  for (const Removal& removal : removals) {
    for (const auto& entry : removal.entries) {
      if (!store_.get().item(entry.item.id)) gone.push_back(entry.item.id);
    }
  }
  if (gone.empty()) return;
  if (disk_) return disk_->deleteItems(gone);
  // Off: the history on disk decides what is gone.
  auto existing =
      HistoryDiskStore::openExisting(diskServices(), environment_.rootDirectory, cipher_);
  if (!existing) return;
  try {
    const HistoryIndex index = existing->start();
    std::erase_if(gone, [&](const Uuid& id) {
      return std::any_of(index.items.begin(), index.items.end(),
                         [&](const ClipboardItem& item) { return item.id == id; });
    });
    existing->deleteItems(gone);
  } catch (const Error&) {
    // An unreadable history keeps its payloads.
  }
}

void ClipboardHistoryFeature::setFavorite(bool favorite, const std::vector<Uuid>& ids) {
  HistoryStore store = store_.get();
  store.setFavorite(favorite, ids);
  setStore(std::move(store));
  changed();
}

Uuid ClipboardHistoryFeature::createList(const std::string& name) {
  HistoryStore store = store_.get();
  const Uuid id = store.createList(name, Uuid::random());
  setStore(std::move(store));
  changed();
  return id;
}

void ClipboardHistoryFeature::renameList(const Uuid& id, const std::string& name) {
  HistoryStore store = store_.get();
  store.renameList(id, name);
  setStore(std::move(store));
  changed();
}

void ClipboardHistoryFeature::deleteList(const Uuid& id) {
  HistoryStore store = store_.get();
  store.deleteList(id);
  setStore(std::move(store));
  changed();
}

void ClipboardHistoryFeature::add(const std::vector<Uuid>& ids, const Uuid& listID) {
  HistoryStore store = store_.get();
  store.add(ids, listID);
  setStore(std::move(store));
  changed();
}

void ClipboardHistoryFeature::removeFromList(const std::vector<Uuid>& ids, const Uuid& listID) {
  HistoryStore store = store_.get();
  store.removeFromList(ids, listID);
  setStore(std::move(store));
  changed();
}

bool ClipboardHistoryFeature::clearHistory() {
  auto remainingIDs = [](const HistoryStore& store) {
    std::set<Uuid> ids;
    for (const auto& item : store.items()) ids.insert(item.id);
    return ids;
  };
  if (isRunning_ && disk_) {
    HistoryStore store = store_.get();
    store.clearUnprotected();
    setStore(std::move(store));
    changed();
    if (!disk_->flush()) return false;
    disk_->purge(remainingIDs(store_.get()));
    return true;
  }
  auto existing =
      HistoryDiskStore::openExisting(diskServices(), environment_.rootDirectory, cipher_);
  if (!existing) return true;
  try {
    HistoryStore store(existing->start());
    store.clearUnprotected();
    if (!existing->write(store.index())) return false;
    existing->purge(remainingIDs(store));
    setStore(std::move(store));
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace mirlet
