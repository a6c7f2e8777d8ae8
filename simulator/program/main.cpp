// talvek-updater-sim: the updater exactly as talvek-updater is, with the simulated
// adapter and Velka attached instead of the tty backend, and the "Simulated Velka"
// window for the device's side.

#include <QTimer>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/forms/forms.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/forms/virtual_loop.h"
#include "platform/ticks/real_clock.h"
#include "platform/ticks/virtual_clock.h"
#include "simulator/program/arguments.h"
#include "simulator/program/device_window.h"
#include "simulator/program/rehearsal.h"
#include "simulator/program/scenarios.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"

namespace {

std::uint32_t Faster(std::uint32_t ms, std::uint32_t speed_up) {
  return (ms + speed_up - 1) / speed_up;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace simprog;
  std::string error;
  const std::optional<Arguments> args =
      ParseArguments(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!args) {
    std::fprintf(stderr, "talvek-updater-sim: %s\nTry 'talvek-updater-sim --help'.\n",
                 error.c_str());
    return kExitUsage;
  }
  if (args->help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }

  // One clock for the tick counter, the window layer's timers and the device.
  ticks::RealClock real_clock;
  ticks::VirtualClock virtual_clock;
  ticks::Clock& clock = args->virtual_time ? static_cast<ticks::Clock&>(virtual_clock)
                                           : static_cast<ticks::Clock&>(real_clock);
  ticks::Use(clock);
  forms::UseQtWindows();
  std::optional<forms::VirtualLoop> virtual_loop;
  if (args->virtual_time) {
    virtual_loop.emplace(virtual_clock);
  } else {
    forms::UseQtEventLoop();
  }

  sim::Timings timings;
  timings.erase_ms = Faster(timings.erase_ms, args->speed_up);
  timings.page_write_ms = Faster(timings.page_write_ms, args->speed_up);
  timings.closing_ms = Faster(timings.closing_ms, args->speed_up);
  const auto scenario_index = static_cast<std::size_t>(args->scenario);
  sim::Velka velka(clock, ScenarioNames()[scenario_index].scenario, timings);
  sim::SimBackend adapter(velka);
  if (args->unplugged) velka.PlugAdapter(false);

  DeviceWindow window(velka);
  window.SetScenario(args->scenario);
  for (const sim::Fault& fault : args->faults) window.ArmFault(fault);
  window.PlaceBesideMainWindow();
  window.show();

  std::optional<Rehearsal> rehearsal;
  if (args->script) {
    Rehearsal::After after;
    if (virtual_loop) {
      after = [&loop = *virtual_loop](std::uint32_t ms, std::function<void()> action) {
        loop.After(ms, std::move(action));
      };
    } else {
      after = [&window](std::uint32_t ms, std::function<void()> action) {
        QTimer::singleShot(static_cast<int>(ms), &window,
                           [action = std::move(action)] { forms::RunHandler(action); });
      };
    }
    Rehearsal::Plan plan;
    plan.stop_after_chunks = args->stop_after_chunks;
    plan.screenshot_dir = args->screenshot_dir;
    plan.time_limit_ms = args->time_limit_s * 1000;
    rehearsal.emplace(plan, window, velka, std::move(after));
    rehearsal->Begin();
  }

  const int result = UpdaterMain();

  if (!args->trace_file.empty()) {
    std::ofstream(args->trace_file) << velka.TraceText();
  }
  return rehearsal ? rehearsal->ExitCode() : result;
}
