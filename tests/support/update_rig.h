#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/virtual_loop.h"
#include "platform/ticks/virtual_clock.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"
#include "tests/support/recording_adapter.h"

// The real main window (offscreen Qt widgets on Linux, Win32 windows on Windows), the
// real sequencer and the simulated Velka on one virtual clock: a whole update runs in the
// time its code takes.
class UpdateRig {
 public:
  // Hidden: nothing is painted, for runs of thousands of updates that check outcomes only.
  enum class Window { kShown, kHidden };
  explicit UpdateRig(const sim::Scenario& scenario = {}, const sim::Timings& timings = {},
                     Window window = Window::kShown);
  ~UpdateRig();
  UpdateRig(const UpdateRig&) = delete;
  UpdateRig& operator=(const UpdateRig&) = delete;

  // A press of the big button, dispatched as the next message.
  void PressButton();
  // Runs until `done` or `limit_ms` of virtual time; returns done().
  bool RunUntil(const std::function<bool()>& done, std::uint32_t limit_ms = 120000);
  // START, and the device switched on when the updater asks for it (and off and on
  // again when it asks for that); then runs until the update has ended.
  bool RunUpdate(std::uint32_t limit_ms = 120000);
  // START, and the device switched on when asked; stops ticking once the sequencer
  // has reached `state`, so a test can run that state's operation itself.
  bool RunTo(std::uint8_t state, std::uint32_t limit_ms = 120000);
  // Switches the device off and on when the power-cycle prompt shows, from now on.
  void AnswerPowerPrompts();

  // UpdateState after every Timer1 tick, in order.
  const std::vector<std::uint8_t>& States() const { return states_; }
  void ClearStates() { states_.clear(); }
  std::string Label() const;
  std::string Button() const;
  // For a failing test: the whole exchange in readable form.
  std::string Trace();

  ticks::VirtualClock clock;
  forms::VirtualLoop loop{clock};
  sim::Velka velka;
  sim::SimBackend adapter{velka};
  RecordingAdapter recorder{adapter};  // every write of the program, oldest first

 private:
  std::vector<std::uint8_t> states_;
  bool answer_power_prompts_ = false;
  std::string last_label_;
};
