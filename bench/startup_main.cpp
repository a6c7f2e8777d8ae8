// talvek-bench-startup: talvek-updater's start-up exactly as its main does it, with a
// watcher that reports when the release-notes window is shown and when it has been
// painted, and then ends the process. The benchmark starts it and counts from there.
// Prints "startup <shown> <painted>", both on the system's monotonic clock in ns.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/notes_form.h"
#include "app/startup.h"
#include "bench/monotonic.h"
#include "platform/d2xx/tty/tty_backend.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/forms/qt/qt_widgets.h"
#include "platform/ticks/real_clock.h"

namespace {

class NotesWindowWatch final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (RTFM == nullptr || watched != forms::WidgetOf(*RTFM)) return false;
    if (event->type() == QEvent::Show && shown_ns_ == 0) shown_ns_ = bench::MonotonicNs();
    // The window's paint event comes first in a pass that paints its controls too; the
    // pass is over when the loop next turns.
    if (event->type() == QEvent::Paint && shown_ns_ != 0 && !painting_) {
      painting_ = true;
      QTimer::singleShot(0, [this] { Report(); });
    }
    return false;
  }

 private:
  [[noreturn]] void Report() const {
    const std::string line =
        "startup " + std::to_string(shown_ns_) + ' ' + std::to_string(bench::MonotonicNs()) + '\n';
    // Nothing after this point is measured; leave without taking the windows down.
    if (write(STDOUT_FILENO, line.data(), line.size()) < 0) _exit(1);
    _exit(0);
  }

  std::int64_t shown_ns_ = 0;
  bool painting_ = false;
};

}  // namespace

int main() {
  ticks::RealClock clock;
  ticks::Use(clock);
  d2xx::TtyBackend adapter;
  d2xx::UseBackend(&adapter);
  forms::UseQtWindows();
  forms::UseQtEventLoop();
  NotesWindowWatch watch;
  QApplication::instance()->installEventFilter(&watch);
  return UpdaterMain();
}
