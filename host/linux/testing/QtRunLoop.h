#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace mirlet::testing {

// Runs Qt's loop until `done` holds, for at most `milliseconds`; whether it held.
// The bound only ends a failing test: it is generous, so that a loaded machine
// (the sanitizer builds' tests run side by side) never fails one that holds.
template <class Condition>
bool runUntil(Condition done, int milliseconds = 15000) {
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
