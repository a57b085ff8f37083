#include "host/x11/X11Display.h"

#include <QSocketNotifier>
#include <cstdlib>

namespace mirlet {

X11Display::X11Display() {
  if (!isOpen()) return;
  notifier_ =
      std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(get()), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { deliver(); });
}

X11Display::~X11Display() = default;

void X11Display::deliverSoon() {
  // Any thread: the delivery itself happens on the main thread.
  if (notifier_) {
    QMetaObject::invokeMethod(
        notifier_.get(), [this] { deliver(); }, Qt::QueuedConnection);
  }
}

void X11Display::deliver() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(get())) {
    const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
    events_.emit(*event);
  }
  // A display that went away stops being watched; what it gave stays.
  if (!isOpen() && notifier_) notifier_->setEnabled(false);
}

}  // namespace mirlet
