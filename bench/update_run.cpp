#include "bench/update_run.h"

#include <time.h>

#include <QTimer>
#include <memory>

#include "app/updater_form.h"
#include "bench/exact_clock.h"
#include "link/link.h"
#include "platform/forms/backend.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/forms/virtual_loop.h"
#include "platform/ticks/real_clock.h"
#include "platform/ticks/virtual_clock.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"

namespace bench {
namespace {

// Far beyond an update's 20 seconds; reached only if the update hangs.
constexpr std::uint32_t kLimitMs = 120'000;

std::uint64_t CpuUs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1'000'000 +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000;
}

std::unique_ptr<ticks::Clock> MakeClock(RunClock run_clock) {
  switch (run_clock) {
    case RunClock::kVirtual:
      return std::make_unique<ticks::VirtualClock>();
    case RunClock::kReal:
      return std::make_unique<ticks::RealClock>();
    case RunClock::kExactMs:
      return std::make_unique<ExactClock>();
  }
  return nullptr;
}

}  // namespace

UpdateFigures RunUpdate(RunClock run_clock) {
  const std::unique_ptr<ticks::Clock> clock = MakeClock(run_clock);
  ticks::Use(*clock);
  forms::UseQtWindows();
  std::unique_ptr<forms::VirtualLoop> virtual_loop;
  if (run_clock == RunClock::kVirtual) {
    virtual_loop = std::make_unique<forms::VirtualLoop>(static_cast<ticks::VirtualClock&>(*clock));
  } else {
    forms::UseQtEventLoop();
  }

  const sim::Timings timings;
  sim::Velka velka(*clock, {}, timings);
  sim::SimBackend adapter(velka);
  velka.SetPower(true);

  Application->CreateForm(Updater);
  Updater->Show();

  // The run ends with the tick that leaves the sequencer finished: success (Timer1
  // stopped) or a failure cleaned up.
  bool ended = false;
  std::uint64_t end_us = 0;
  std::uint64_t end_cpu_us = 0;
  const TNotifyEvent step = Updater->Timer1->OnTimer;
  Updater->Timer1->OnTimer = [&](TObject* sender) {
    step(sender);
    const bool finished = (UpdateState == 20 && !Updater->Timer1->Enabled()) || UpdateState == 0;
    if (!finished || ended) return;
    end_us = clock->NowUs();
    end_cpu_us = CpuUs();
    ended = true;
    forms::CurrentLoop()->Wake();
  };

  const std::uint64_t start_cpu_us = CpuUs();
  const std::uint64_t start_us = clock->NowUs();
  Updater->btStart->Click();
  if (virtual_loop) {
    virtual_loop->RunUntil([&] { return ended; }, kLimitMs);
  } else {
    bool gave_up = false;
    QTimer::singleShot(kLimitMs, [&] {
      gave_up = true;
      forms::CurrentLoop()->Wake();
    });
    forms::CurrentLoop()->RunNested([&] { return ended || gave_up; });
  }

  UpdateFigures figures;
  figures.succeeded = ended && UpdateState == 20 && Updater->lbInfo->Caption() == kSuccessText &&
                      !velka.FlashDifference().has_value() && velka.Violations().empty();
  figures.duration_us = end_us - start_us;
  figures.cpu_us = end_cpu_us - start_cpu_us;
  figures.wire = CountWire(velka.GetTrace());
  const sim::Status status = velka.GetStatus();
  figures.device_work_us =
      1000ull *
      (timings.erase_ms + static_cast<std::uint64_t>(status.pages_written) * timings.page_write_ms +
       (status.closing_received ? timings.closing_ms : 0));

  CloseAdapter();
  Application->DestroyForms();
  Updater = nullptr;
  return figures;
}

}  // namespace bench
