#include "ClipboardHistory/panel/HistoryPanelController.h"

#include <unicode/utf8.h>

#include <algorithm>

namespace mirlet {
namespace {

// The first code point of UTF-8 text; negative when there is none.
UChar32 firstCodePoint(std::string_view text) {
  if (text.empty()) return -1;
  int32_t offset = 0;
  UChar32 c = 0;
  U8_NEXT(text.data(), offset, static_cast<int32_t>(text.size()), c);
  return c;
}

// A character that starts a search: not a control character and not one of the
// function keys' private code points.
bool isPrintable(UChar32 c) { return c >= 0x20 && c != 0x7F && !(c >= 0xF700 && c <= 0xF8FF); }

}  // namespace

HistoryPanelController::HistoryPanelController(ClipboardHistoryFeature& feature,
                                               HistoryPanelControllerServices environment,
                                               WindowFactory makeWindow,
                                               HistoryPanelRequests requests)
    : feature_(feature),
      environment_(environment),
      makeWindow_(std::move(makeWindow)),
      requests_(std::move(requests)),
      model_(feature, HistoryPanelServices{*this, environment.workspace, environment.accessibility,
                                           environment.mainLoop, environment.clock,
                                           environment.queues, environment.calendar}) {
  settingsSubscription_ =
      feature_.settings().subscribe(handoff_.bind([this](const ClipboardHistorySettings& settings) {
        if (window_) window_->setFloating(settings.keepOnTop);
      }));
  activationSubscription_ = environment_.workspace.observeActivation(handoff_.bind(
      [this](const std::shared_ptr<RunningApplication>& app) { applicationActivated(app); }));
}

PanelWindow& HistoryPanelController::window() {
  if (!window_) {
    window_ = makeWindow_(model_, *this);
    hasSavedFrame_ = window_->hasSavedFrame();
  }
  return *window_;
}

bool HistoryPanelController::isThisProgram(
    const std::shared_ptr<RunningApplication>& application) const {
  const auto self = environment_.workspace.currentApplication();
  return application && self && application->processIdentifier() == self->processIdentifier();
}

// Another application came forward: this one resigned.
void HistoryPanelController::applicationActivated(
    const std::shared_ptr<RunningApplication>& application) {
  if (!isOpen_ || isThisProgram(application)) return;
  if (keepOnTop()) {
    model_.setTarget(application);
  } else if (!window_->isPreviewVisible()) {
    hide();
  }
}

// Opening and closing.

void HistoryPanelController::show() {
  PanelWindow& panel = window();
  if (isOpen_ && panel.isVisible()) return panel.present();
  const auto frontmost = environment_.workspace.frontmostApplication();
  model_.setTarget(isThisProgram(frontmost) ? nullptr : frontmost);
  model_.resetIfIdle(lastClosedAt_, environment_.clock.now());
  panel.setFloating(keepOnTop());
  place();
  isOpen_ = true;
  optionArmed_ = false;
  model_.activate(true);
  feature_.notePanelOpened();
  panel.present();
}

void HistoryPanelController::hide() {
  if (!isOpen_) return;
  isOpen_ = false;
  model_.deactivate();
  feature_.removePreviews();
  if (window_->isPreviewVisible()) window_->closePreview();
  lastClosedAt_ = environment_.clock.now();
  window_->orderOut();
}

void HistoryPanelController::reveal() {
  if (!window_ || isOpen_) return;
  isOpen_ = true;
  model_.activate(false);
  window_->present();
}

void HistoryPanelController::windowDidResignKey() {
  if (!isOpen_ || keepOnTop()) return;
  // The key window changes in steps: judge once they are over.
  handoff_.post(environment_.mainLoop, [this] {
    if (isOpen_ && !window_->isKey() && !window_->isPreviewVisible()) hide();
  });
}

// A screen whose visible part holds the saved frame's centre keeps it; otherwise
// the panel is centred on the screen under the pointer, no larger than it.
void HistoryPanelController::place() {
  const std::vector<Screen> screens = environment_.screens.screens();
  if (screens.empty()) return;
  // In the screens' own coordinates: a scaled desktop's differ from the pointer's.
  const ScreenPoint pointer =
      environment_.screens.pointerLocation().value_or(environment_.events.pointerLocation());
  const auto under = std::ranges::find_if(
      screens, [&](const Screen& screen) { return screen.frame.contains(pointer); });
  const ScreenRect visible = (under == screens.end() ? screens.front() : *under).visibleFrame;

  const ScreenRect current = window_->frame();
  ScreenRect placed{current.x, current.y, std::min(current.width, visible.width),
                    std::min(current.height, visible.height)};
  const ScreenPoint centre{placed.x + placed.width * 0.5, placed.y + placed.height * 0.5};
  if (!hasSavedFrame_ || !visible.contains(centre)) {
    placed.x = visible.x + visible.width * 0.5 - placed.width * 0.5;
    placed.y = visible.y + visible.height * 0.5 - placed.height * 0.5;
    hasSavedFrame_ = true;
  }
  window_->setFrame(placed);
}

// Keys.

bool HistoryPanelController::handleKey(const PanelKeyEvent& event) {
  if (!window_) return false;
  if (event.type == PanelKeyEvent::Type::modifiersChanged) {
    // ⌥ still down from the hot key counts only once it was released.
    bool held = false;
    if (!event.modifiers.contains(Modifiers::option)) {
      optionArmed_ = true;
    } else {
      held = optionArmed_;
    }
    if (held != model_.optionHeld().get()) model_.setOptionHeld(held);
    return false;
  }

  const PanelWindow::Focus focus = window_->focus();
  if (focus == PanelWindow::Focus::otherEditor) return false;
  const bool inSearchField = focus == PanelWindow::Focus::searchField;
  const std::optional<PanelKey> pressed = key(event);
  if (!pressed) return false;
  if (inSearchField && event.modifiers.rawValue == 0 &&
      *pressed == PanelKey::special(PanelKey::Special::space)) {
    return false;
  }

  if (const auto command =
          PanelKeymap::command(*pressed, event.modifiers, feature_.shortcutStyle())) {
    if (inSearchField && searchFieldKeeps(*command)) return false;
    model_.perform(*command);
    return true;
  }
  if (!inSearchField && (event.modifiers.rawValue & ~Modifiers::shift) == 0 &&
      isPrintable(firstCodePoint(event.characters))) {
    model_.focusSearch(false);  // the key goes on to the field and starts a search
  }
  return false;
}

std::optional<PanelKey> HistoryPanelController::key(const PanelKeyEvent& event) {
  using Special = PanelKey::Special;
  switch (event.keyCode) {
    case 36:
    case 76:
      return PanelKey::special(Special::returnKey);
    case 48:
      return PanelKey::special(Special::tab);
    case 49:
      return PanelKey::special(Special::space);
    case 51:
      return PanelKey::special(Special::deleteBackward);
    case 53:
      return PanelKey::special(Special::escape);
    case 115:
      return PanelKey::special(Special::home);
    case 116:
      return PanelKey::special(Special::pageUp);
    case 117:
      return PanelKey::special(Special::deleteForward);
    case 119:
      return PanelKey::special(Special::end);
    case 121:
      return PanelKey::special(Special::pageDown);
    case 123:
      return PanelKey::special(Special::left);
    case 124:
      return PanelKey::special(Special::right);
    case 125:
      return PanelKey::special(Special::down);
    case 126:
      return PanelKey::special(Special::up);
    default:
      if (event.characters.empty()) return std::nullopt;
      return PanelKey::characters(event.characters);
  }
}

// The search field keeps the keys that edit its text.
bool HistoryPanelController::searchFieldKeeps(const PanelCommand& command) const {
  using Action = PanelCommand::Action;
  const bool hasText = window_->searchFieldHasText();
  switch (command.action) {
    case Action::move:
    case Action::extend:
      // The field's cursor moves sideways and to either end of its text.
      return hasText && (command.direction == PanelDirection::left ||
                         command.direction == PanelDirection::right ||
                         command.direction == PanelDirection::first ||
                         command.direction == PanelDirection::last);
    case Action::delete_:
    case Action::undo:
    case Action::redo:
    case Action::selectAll:
      return hasText;
    case Action::copy:
    case Action::cut:
      return window_->searchFieldHasSelection();
    default:
      return false;
  }
}

// Previews.

void HistoryPanelController::toggleQuickLook() {
  PanelWindow& panel = window();
  if (panel.isPreviewVisible()) return panel.closePreview();
  std::vector<std::filesystem::path> files;
  for (const ItemPointer& item : model_.visible().get()) {
    if (!model_.selection().get().contains(item->id)) continue;
    for (auto& file : feature_.previewFiles(item->id)) files.push_back(std::move(file));
  }
  if (files.empty()) return panel.beep();
  panel.showPreview(files);
}

// Back to the panel, unless the user has gone to another application meanwhile.
void HistoryPanelController::previewEnded() {
  feature_.removePreviews();
  if (isOpen_ && isThisProgram(environment_.workspace.frontmostApplication())) {
    window_->present();
  }
}

}  // namespace mirlet
