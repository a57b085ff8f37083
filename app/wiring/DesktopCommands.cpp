#include "app/wiring/DesktopCommands.h"

#include "ClipboardHistory/service/HistoryScripting.h"
#include "app/CommandLine.h"

namespace mirlet {
namespace {

int status(CommandStatus status) { return static_cast<int>(status); }

}  // namespace

ClipboardHistoryFeature* DesktopCommands::runningHistory() const {
  ClipboardHistoryFeature* history = features_.clipboardHistory();
  return history && history->isRunning() ? history : nullptr;
}

int DesktopCommands::togglePanel() {
  if (!runningHistory()) return status(CommandStatus::historyOff);
  return status(delegate_.toggleHistoryPanel() ? CommandStatus::done : CommandStatus::failed);
}

int DesktopCommands::showSettings() {
  delegate_.openSettings();
  return status(CommandStatus::done);
}

std::pair<int, std::string> DesktopCommands::findHistory(const std::string& query,
                                                         std::uint64_t limit, bool json) {
  ClipboardHistoryFeature* history = runningHistory();
  if (!history) return {status(CommandStatus::historyOff), {}};
  const auto entries = HistoryScripting::find(history->store().get(), query, limit);
  return {status(CommandStatus::done),
          json ? HistoryScripting::json(entries) : HistoryScripting::lines(entries)};
}

void DesktopCommands::choose(const std::string& id, bool paste, std::function<void(int)> done) {
  ClipboardHistoryFeature* history = runningHistory();
  if (!history) return done(status(CommandStatus::historyOff));
  const std::optional<Uuid> uuid = Uuid::parse(id);
  const auto& items = history->store().get().items();
  if (!uuid || std::ranges::find(items, *uuid, &ClipboardItem::id) == items.end()) {
    return done(status(CommandStatus::notFound));
  }
  // Pasted where the user is: the application in front when the command came.
  history->choose({*uuid}, false, paste, paste ? workspace_.frontmostApplication() : nullptr,
                  [done = std::move(done), paste](ChooseOutcome outcome) {
                    const bool happened = outcome == ChooseOutcome::pasted ||
                                          (!paste && outcome != ChooseOutcome::failed);
                    done(status(happened ? CommandStatus::done : CommandStatus::failed));
                  });
}

int DesktopCommands::clearHistory() {
  ClipboardHistoryFeature* history = features_.clipboardHistory();
  if (!history) return status(CommandStatus::historyOff);
  return status(history->clearHistory() ? CommandStatus::done : CommandStatus::failed);
}

}  // namespace mirlet
