#include "app/wiring/DesktopFeatures.h"

#include <QLocale>
#include <QTimeZone>
#include <filesystem>

#include "ClipboardHistory/service/HistoryDiskStore.h"

namespace mirlet {
namespace {

// The user's calendar: their time zone, and their first day of the week counted
// from Sunday as 1.
CalendarSettings systemCalendar() {
  CalendarSettings calendar;
  const QByteArray zone = QTimeZone::systemTimeZoneId();
  if (!zone.isEmpty()) calendar.timeZoneID = zone.toStdString();
  calendar.firstWeekday = static_cast<int>(QLocale::system().firstDayOfWeek()) % 7 + 1;
  return calendar;
}

}  // namespace

FeatureFactory DesktopFeatures::factory() {
  return [this](const FeatureSinks& sinks, Preferences& preferences) -> FeatureRegistry::Features {
    clipboard_ = std::make_shared<ClipboardHistoryFeature>(
        preferences,
        ClipboardHistoryServices{desktop_.pasteboard, desktop_.workspace, desktop_.accessibility,
                                 desktop_.events, desktop_.hotKeys, desktop_.keyboardLayout,
                                 desktop_.images, desktop_.fileURLs, desktop_.files, history_.keys,
                                 history_.links, mainLoop_, clock_, desktop_.queues,
                                 HistoryDiskStore::defaultRoot(bundleIdentifier_),
                                 std::filesystem::temp_directory_path(), bundleIdentifier_},
        sinks.failureCallback(FeatureIds::clipboardHistory));
    return {clipboard_};
  };
}

ClipboardHistoryViewsMaker DesktopFeatures::clipboardHistoryViews() {
  return [this]() -> std::unique_ptr<ClipboardHistoryViews> {
    if (!clipboard_) return nullptr;
    return std::make_unique<ClipboardHistoryViews>(
        *clipboard_,
        HistoryPanelControllerServices{desktop_.workspace, desktop_.screens, desktop_.events,
                                       desktop_.accessibility, mainLoop_, clock_, desktop_.queues,
                                       systemCalendar()},
        clock_, defaults_);
  };
}

}  // namespace mirlet
