#include "ClipboardHistory/service/HistoryChooser.h"

#include <algorithm>

#include "core/UnicodeText.h"
#include "core/Url.h"

namespace mirlet {
namespace {

bool holdsType(const ClipboardItem& item, std::string_view type) {
  return std::any_of(item.pasteboardTypes.begin(), item.pasteboardTypes.end(),
                     [&](const auto& types) {
                       return std::find(types.begin(), types.end(), type) != types.end();
                     });
}

}  // namespace

std::vector<std::string> HistoryChooser::plainTexts(
    const std::vector<CapturedItems>& payloads) const {
  std::vector<std::string> texts;
  for (const CapturedItems& payload : payloads) {
    std::optional<std::string> text;
    for (const auto& representations : payload) {
      for (const auto& representation : representations) {
        if (!text && representation.type == CaptureSupport::plainTextType) {
          text = UnicodeText::repairedUtf8(CaptureSupport::text(representation.data));
        }
      }
    }
    if (!text) {
      const auto urls = support_.fileURLs(payload);
      if (!urls.empty()) {
        text = Url::filePath(urls.front());
        for (std::size_t i = 1; i < urls.size(); ++i)
          text->append("\n").append(Url::filePath(urls[i]));
      }
    }
    if (text) texts.push_back(std::move(*text));
  }
  return texts;
}

// Where the pasteboard empties when the application that copied quits (X11), the
// latest item goes back, so a paste still gives what was copied last. Never a
// private item, and nothing while capture is paused.
void HistoryChooser::restoreLatest(bool paused) {
  HistoryDiskStore* disk = history_.disk();
  // Only a selection nobody owns now is put back: an empty read may be an owner
  // that did not answer in time, or an old notice a newer copy has overtaken.
  if (!pasteboard_.emptiesWhenOwnerQuits() || paused || !disk || !pasteboard_.isOwnerless()) return;
  const HistoryItems& items = history_.store().items();
  if (items.empty() || items.front().isPrivate) return;
  std::optional<std::int64_t> written;
  try {
    written = writer_.write(disk->readItem(items.front()), false);
  } catch (const Error&) {
    return;  // its payload is gone: the pasteboard stays empty, as it would without us
  }
  if (written) ownWrite_(*written);
}

void HistoryChooser::choose(const std::vector<Uuid>& ids, bool plain, bool paste, bool promote,
                            std::shared_ptr<RunningApplication> target,
                            std::function<void(ChooseOutcome)> done) {
  HistoryDiskStore* disk = history_.disk();
  if (!disk || ids.empty()) return done(ChooseOutcome::failed);
  std::vector<ClipboardItem> chosen;
  std::vector<CapturedItems> payloads;
  for (const Uuid& id : ids) {
    const ClipboardItem* item = history_.store().item(id);
    if (!item) return done(ChooseOutcome::failed);
    try {
      payloads.push_back(disk->readItem(*item));
    } catch (const Error&) {
      return done(ChooseOutcome::failed);
    }
    chosen.push_back(*item);
  }
  bool asPlainText = plain;
  if (!plain && chosen.size() > 1) {
    asPlainText = std::all_of(chosen.begin(), chosen.end(), [](const ClipboardItem& item) {
      return holdsType(item, CaptureSupport::plainTextType) &&
             !holdsType(item, CaptureSupport::fileURLType);
    });
  }
  const bool concealed = std::any_of(chosen.begin(), chosen.end(),
                                     [](const ClipboardItem& item) { return item.isPrivate; });
  std::optional<std::int64_t> written;
  std::vector<std::string> texts;
  if (asPlainText) texts = plainTexts(payloads);
  if (!texts.empty()) {
    written = writer_.writePlain(texts, concealed);
  } else {
    CapturedItems all;
    for (auto& payload : payloads) all.insert(all.end(), payload.begin(), payload.end());
    written = writer_.write(all, concealed);
  }
  if (!written) return done(ChooseOutcome::failed);
  ownWrite_(*written);
  history_.edit([&](HistoryStore& store) { store.markUsed(ids, clock_.now(), promote); });

  if (!paste) return done(ChooseOutcome::copied);
  if (!accessibility_.isProcessTrusted() || !target || target->isTerminated()) {
    return done(ChooseOutcome::copiedWithoutPaste);
  }
  pasteBack_.paste(std::move(target), handoff_.bind([done = std::move(done)](bool pasted) {
    done(pasted ? ChooseOutcome::pasted : ChooseOutcome::copiedWithoutPaste);
  }));
}

}  // namespace mirlet
