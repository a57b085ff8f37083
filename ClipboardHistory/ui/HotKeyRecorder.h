#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/panel/ShortcutRecording.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/ui/HotKeyCapture.h"
#include "host/HostTexts.h"

class QLabel;
class QPushButton;

namespace mirlet {

// Records the panel's hot key: pressing its button captures the next combination
// typed in this application, its modifiers pressed one by one before the key (a
// `ShortcutRecording`); Escape cancels and ⌫ removes the hot key. Recording ends
// with that key, with every modifier released and no key (which is refused), when
// the recorder leaves the screen, or when the application is no longer active.
class HotKeyRecorder : public QWidget {
 public:
  HotKeyRecorder(ClipboardHistoryFeature& feature, const HostTexts& texts,
                 QWidget* parent = nullptr);

  bool isRecording() const { return capture_.isRunning(); }
  const std::optional<std::string>& message() const { return message_; }
  void startRecording();
  void stopRecording();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  bool handle(const QKeyEvent& event);
  void refresh();

  ClipboardHistoryFeature& feature_;
  const HostTexts& texts_;
  HotKeyCapture capture_;
  ShortcutRecording recording_;
  std::optional<std::string> message_;
  QPushButton* button_ = nullptr;
  QWidget* warningRow_ = nullptr;
  QLabel* warning_ = nullptr;
  QLabel* messageLabel_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
