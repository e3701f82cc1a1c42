#pragma once
// Shared by the media tests: the one QApplication and waiting on the event loop.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "test_media";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own statics may be gone when static objects are torn down at exit.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Runs the event loop until `done` holds or `ms` pass; the test machine may be loaded, so callers
// give generous limits.
inline bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

inline void Pump(int ms) {
  WaitFor([] { return false; }, ms);
}
