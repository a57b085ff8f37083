#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace mirlet::testing {

// Runs Qt's loop until `done` holds, for at most `milliseconds`; whether it held.
template <class Condition>
bool runUntil(Condition done, int milliseconds = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return done();
}

// Runs Qt's loop for that long.
inline void runFor(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace mirlet::testing
