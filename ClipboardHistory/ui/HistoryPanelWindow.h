#pragma once

#include <QWidget>
#include <memory>

#include "ClipboardHistory/panel/HistoryPanelController.h"
#include "core/DefaultsStore.h"

namespace mirlet {

class HistoryPanelView;
class PreviewWindow;

// The floating window of the history panel: a tool window that takes the
// keyboard, hosts the panel's views, gives every key to the controller before
// any control sees it, and keeps its frame in the defaults store between runs (saved as it hides).
class HistoryPanelWindow : public QWidget, public PanelWindow {
 public:
  static constexpr const char* kFrameKeyPrefix = "NSWindow Frame ";

  HistoryPanelWindow(HistoryPanelModel& model, HistoryPanelController& controller,
                     ClipboardHistoryFeature& feature, Clock& clock, DefaultsStore& defaults);
  ~HistoryPanelWindow() override;

  HistoryPanelView& view() { return *view_; }

  // PanelWindow.
  bool hasSavedFrame() const override { return hasSavedFrame_; }
  ScreenRect frame() const override;
  void setFrame(const ScreenRect& frame) override;
  void setFloating(bool floating) override;
  void present() override;
  void orderOut() override;
  bool isVisible() const override { return QWidget::isVisible(); }
  bool isKey() const override { return isActiveWindow(); }
  Focus focus() const override;
  bool searchFieldHasText() const override;
  bool searchFieldHasSelection() const override;
  bool isPreviewVisible() const override;
  void showPreview(const std::vector<std::filesystem::path>& files) override;
  void closePreview() override;
  void beep() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool handleKey(QObject* watched, QEvent* event);
  void saveFrame();
  std::string frameKey() const;

  HistoryPanelController& controller_;
  DefaultsStore& defaults_;
  HistoryPanelView* view_ = nullptr;
  std::unique_ptr<PreviewWindow> preview_;
  bool hasSavedFrame_ = false;
  bool isClosing_ = false;
};

// The key event as the panel's controller reads it: ⌘ is Control on this
// desktop, and the characters are the key's own, as if no modifier were held.
PanelKeyEvent panelKeyEvent(const QKeyEvent& event);

}  // namespace mirlet
