#include "app/wiring/DesktopFeatures.h"

#include <QLocale>
#include <QTimeZone>
#include <filesystem>

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
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

FeatureFactory desktopFeatures(X11Desktop& desktop, X11HistoryServices& history, MainLoop& mainLoop,
                               Clock& clock, const std::string& bundleIdentifier) {
  return [&desktop, &history, &mainLoop, &clock, bundleIdentifier](
             const FeatureSinks& sinks, Preferences& preferences) -> FeatureRegistry::Features {
    auto clipboard = std::make_shared<ClipboardHistoryFeature>(
        preferences,
        ClipboardHistoryServices{desktop.pasteboard, desktop.workspace, desktop.accessibility,
                                 desktop.events, desktop.hotKeys, desktop.keyboardLayout,
                                 desktop.images, desktop.fileURLs, desktop.files, history.keys,
                                 history.links, mainLoop, clock, desktop.queues,
                                 HistoryDiskStore::defaultRoot(bundleIdentifier),
                                 std::filesystem::temp_directory_path(), bundleIdentifier},
        sinks.failureCallback(FeatureIds::clipboardHistory));
    return {clipboard};
  };
}

HistoryPanelControllerServices desktopPanelServices(X11Desktop& desktop, MainLoop& mainLoop,
                                                    Clock& clock) {
  return {desktop.workspace, desktop.screens, desktop.events, desktop.accessibility,
          mainLoop,          clock,           desktop.queues, systemCalendar()};
}

}  // namespace mirlet
