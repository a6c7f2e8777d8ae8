#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "simulator/program/device_window.h"
#include "simulator/velka.h"

namespace simprog {

// A scripted rehearsal: the person at the bench, played by the program. Presses OK and
// START through the real widgets, works the device window when the updater asks (plug in
// the adapter, power on, power off and on), and at the end prints what the updater said
// and what the device has seen, saves both windows and presses QUIT (or closes the main
// window when there is no QUIT). Polls on whichever loop runs, between handlers.
class Rehearsal {
 public:
  // Runs `action` `ms` from now as a message of the program's loop.
  using After = std::function<void(std::uint32_t ms, std::function<void()> action)>;

  struct Plan {
    int stop_after_chunks = 0;  // 0: to the end
    std::string screenshot_dir;
    std::uint32_t time_limit_ms = 120000;
  };

  Rehearsal(const Plan& plan, DeviceWindow& window, sim::Velka& velka, After after);

  void Begin();
  // The program's exit code; valid once the updater has ended.
  int ExitCode() const { return exit_code_; }

 private:
  enum class Stage { kNotes, kStart, kRunning, kDone };
  struct Pending {
    std::uint64_t due_us;
    std::string what;
    std::function<void()> action;
  };

  void Poll();
  void Step();
  void Answer(const std::string& prompt);
  void Later(std::uint32_t ms, std::string what, std::function<void()> action);
  void Finish(int exit_code, const std::string& why);
  void SaveScreenshots();
  void Say(const std::string& text) const;

  Plan plan_;
  DeviceWindow& window_;
  sim::Velka& velka_;
  After after_;
  Stage stage_ = Stage::kNotes;
  std::uint64_t begin_us_ = 0;
  std::string last_label_;
  std::vector<Pending> pending_;
  int exit_code_ = 0;
};

}  // namespace simprog
