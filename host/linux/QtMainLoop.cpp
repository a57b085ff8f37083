#include "host/linux/QtMainLoop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace mirlet {
namespace {

class QtTimer : public Timer {
 public:
  explicit QtTimer(QTimer* timer) : timer_(timer) {}
  ~QtTimer() override { cancel(); }

  void cancel() override {
    if (!timer_) return;
    timer_->stop();
    // The handle may be destroyed from inside the timer's own callback, so the
    // QTimer is deleted once control is back in the event loop.
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    timer_->deleteLater();
    timer_.clear();
  }
  bool isActive() const override { return timer_ && timer_->isActive(); }

 private:
  QPointer<QTimer> timer_;
};

// An exception escaping a task is a programming error: it ends the process through
// std::terminate, which reports it, as on every executor (and never unwinds through
// Qt's event loop, which cannot take it).
void runTask(const MainLoop::Task& task) noexcept { task(); }

int toMilliseconds(double seconds) {
  return static_cast<int>(std::clamp(std::llround(seconds * 1000.0), 0LL, 0x7FFFFFFFLL));
}

}  // namespace

QtMainLoop::QtMainLoop() : context_(std::make_unique<QObject>()) {}

QtMainLoop::~QtMainLoop() = default;

void QtMainLoop::post(Task task) {
  QMetaObject::invokeMethod(
      context_.get(), [task = std::move(task)] { runTask(task); }, Qt::QueuedConnection);
}

TimerHandle QtMainLoop::postAfter(double seconds, Task task) {
  return makeTimer(seconds, false, false, std::move(task));
}

TimerHandle QtMainLoop::scheduleRepeating(double interval, double tolerance, Task task) {
  return makeTimer(interval, true, tolerance > 0, std::move(task));
}

TimerHandle QtMainLoop::makeTimer(double seconds, bool repeating, bool coarse, Task task) {
  auto* timer = new QTimer(context_.get());  // owned by the context, see above
  timer->setSingleShot(!repeating);
  timer->setTimerType(coarse ? Qt::CoarseTimer : Qt::PreciseTimer);
  timer->setInterval(toMilliseconds(seconds));
  QObject::connect(timer, &QTimer::timeout, timer, [task = std::move(task)] { runTask(task); });
  timer->start();
  return std::make_unique<QtTimer>(timer);
}

bool QtMainLoop::isMainThread() const {
  return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace mirlet
