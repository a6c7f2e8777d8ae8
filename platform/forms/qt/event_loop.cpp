#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "platform/forms/backend.h"
#include "platform/forms/qt/application.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/forms/qt/qt_widgets.h"
#include "platform/ticks/ticks.h"

namespace forms {
namespace {

// One precise Qt timer, always set for the earliest due form timer; its timeout is an
// ordinary Qt event, so a tick never cuts into a handler.
class QtEventLoop final : public EventLoop {
 public:
  QtEventLoop() {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake_, &QTimer::timeout, [this] { DispatchDue(); });
  }

  void RunNested(const std::function<bool()>& done) override {
    while (!done()) {
      QEventLoop level;
      levels_.push_back(&level);
      Schedule();
      level.exec();
      levels_.pop_back();
    }
  }

  void Wake() override {
    if (!levels_.empty()) levels_.back()->exit();
  }

  void TimersChanged() override { Schedule(); }

  void ShowError(const std::string& caption, const std::string& text) override {
    QMessageBox box(QMessageBox::Critical, ToQString(caption), ToQString(text), QMessageBox::Ok);
    box.exec();
  }

 private:
  void Schedule() {
    const std::optional<std::uint64_t> earliest = EarliestTimerDueUs();
    if (!earliest) {
      wake_.stop();
      return;
    }
    const std::uint64_t now = ticks::Current().NowUs();
    const std::uint64_t wait_ms = *earliest > now ? (*earliest - now + 999) / 1000 : 0;
    wake_.start(static_cast<int>(std::min<std::uint64_t>(wait_ms, 24u * 3600 * 1000)));
  }

  void DispatchDue() {
    TickDueTimers();
    Schedule();
  }

  QTimer wake_;
  std::vector<QEventLoop*> levels_;
};

}  // namespace

void UseQtEventLoop() {
  EnsureQtApplication();
  static QtEventLoop* loop = new QtEventLoop();
  InstallLoop(loop);
}

}  // namespace forms
