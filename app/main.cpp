// talvek-updater: real windows, the adapter on its Linux tty, the real tick counter.

#include "app/startup.h"
#include "platform/d2xx/tty/tty_backend.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/ticks/real_clock.h"

int main() {
  ticks::RealClock clock;
  ticks::Use(clock);
  d2xx::TtyBackend adapter;
  d2xx::UseBackend(&adapter);
  forms::UseQtWindows();
  forms::UseQtEventLoop();
  return UpdaterMain();
}
