#include "ClipboardHistory/service/ClipboardHistoryFeature.h"

#include <algorithm>

namespace mirlet {

ClipboardHistoryFeature::ClipboardHistoryFeature(Preferences& preferences,
                                                 ClipboardHistoryServices services,
                                                 FailureCallback onFailure)
    : services_(std::move(services)),
      onFailure_(std::move(onFailure)),
      preferences_(preferences),
      cipher_(services_.keys),
      support_(services_.fileURLs, services_.files, services_.images),
      writer_(services_.pasteboard, services_.sourceIdentifier),
      pasteBack_({services_.workspace, services_.events, services_.keyboardLayout,
                  services_.mainLoop, services_.clock}),
      editor_(history_, diskServices(), services_.rootDirectory, cipher_),
      content_(history_, services_.workspace, services_.files, support_, writer_,
               services_.temporaryDirectory),
      capture_(history_, editor_, content_, support_, cipher_, services_, preferences_.settings(),
               paused_,
               HistoryCapture::Hooks{[this] { privateItemsAvailable_.set(false); },
                                     [this] {
                                       chooser_.restoreLatest(paused_.get());
                                     }}),
      chooser_(history_, services_.pasteboard, writer_, pasteBack_, support_,
               services_.accessibility, services_.clock,
               [this](std::int64_t changeCount) { capture_.skipChange(changeCount); }),
      hotKey_(services_.hotKeys, services_.mainLoop, services_.keyboardLayout, preferences_) {}

ClipboardHistoryFeature::~ClipboardHistoryFeature() { stop(); }

const FeatureDescriptor& ClipboardHistoryFeature::descriptor() const {
  static const FeatureDescriptor descriptor{
      FeatureIds::clipboardHistory, "Historial del portapapeles",
      "Guarda lo que copias para buscarlo y pegarlo después.", false};
  return descriptor;
}

HistoryDiskStore::Services ClipboardHistoryFeature::diskServices() {
  return {services_.files, services_.mainLoop, services_.queues, services_.clock};
}

void ClipboardHistoryFeature::start(const Uuid& runID) {
  if (isRunning_) return;
  content_.removeLeftPreviews();
  auto disk = std::make_unique<HistoryDiskStore>(diskServices(), services_.rootDirectory, cipher_,
                                                 [this] { return history_.store().index(); });
  history_.publish(HistoryStore(disk->start()));
  writeFailures_ = disk->observeWriteFailure([this] {
    // A background save failed: the run ends, and says so.
    handoff_.post(services_.mainLoop, [this] {
      if (!isRunning_ || !runID_) return;
      const Uuid run = *runID_;
      stop();
      if (onFailure_) onFailure_(run);
    });
  });
  history_.keepOn(std::move(disk));
  runID_ = runID;
  const auto& items = history_.store().items();
  const bool hasPrivate = std::any_of(items.begin(), items.end(),
                                      [](const ClipboardItem& item) { return item.isPrivate; });
  keyFetches_ = services_.keys.observeFetches([this](bool found) {
    if (found) privateItemsAvailable_.set(true);
  });
  privateItemsAvailable_.set(!hasPrivate || cipher_.isKeyAvailable());
  warmKey();
  editor_.applyLimit(settings().get().limit, services_.clock.now());
  capture_.start(runID);
  hotKey_.start();
  isRunning_ = true;
}

// Where the key comes slowly, it is asked for before the first private copy needs
// it: made now when private copies are kept.
void ClipboardHistoryFeature::warmKey() {
  if (!settings().get().ignorePrivate) services_.keys.key(true);
}

void ClipboardHistoryFeature::stop() {
  keyFetches_.reset();
  capture_.stop();
  hotKey_.stop();
  if (HistoryDiskStore* disk = history_.disk()) {
    disk->flush();
    writeFailures_.reset();
    history_.keepOn(nullptr);
  }
  content_.removePreviews();
  isRunning_ = false;
  runID_.reset();
}

void ClipboardHistoryFeature::update(const std::function<void(ClipboardHistorySettings&)>& change) {
  const HistoryLimit before = settings().get().limit;
  if (!preferences_.update(change)) return;
  if (!(settings().get().limit == before)) {
    editor_.applyLimit(settings().get().limit, services_.clock.now());
  }
  if (isRunning_) warmKey();
}

void ClipboardHistoryFeature::choose(const std::vector<Uuid>& ids, bool plain, bool paste,
                                     std::shared_ptr<RunningApplication> target,
                                     std::function<void(ChooseOutcome)> done) {
  chooser_.choose(ids, plain, paste, settings().get().promoteOnUse, std::move(target),
                  std::move(done));
}

}  // namespace mirlet
