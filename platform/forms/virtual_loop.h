#pragma once

// An event loop on virtual time, for tests and benchmarks: no display needed (real
// widgets may be attached all the same), and a whole session of clicks and timer ticks
// runs in the time its handlers take. Same rules as the real loop: one message at a
// time, a tick never inside a running handler, overdue ticks not made up, a nested loop
// for each modal form.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/backend.h"
#include "platform/ticks/virtual_clock.h"

namespace forms {

class VirtualLoop final : public EventLoop {
 public:
  struct ErrorBox {
    std::string caption;
    std::string text;
  };

  static constexpr std::uint32_t kDefaultHorizonMs = 10 * 60 * 1000;

  // Installs itself as the loop and `clock` as the program's clock until destroyed.
  explicit VirtualLoop(ticks::VirtualClock& clock);
  ~VirtualLoop() override;
  VirtualLoop(const VirtualLoop&) = delete;
  VirtualLoop& operator=(const VirtualLoop&) = delete;

  // Dispatches what falls due in the next `ms`; the clock then stands at least there.
  void RunFor(std::uint32_t ms);
  // Dispatches until `done` holds or `limit_ms` have gone by; returns `done()`.
  bool RunUntil(const std::function<bool()>& done, std::uint32_t limit_ms);
  // A user's action (a click, a close request) `ms` from now, dispatched as a message
  // by whichever loop runs then. Where a tick is due as well, the action goes first.
  void After(std::uint32_t ms, std::function<void()> action);

  // How long a nested loop (ShowModal, TApplication::Run) may run before it gives up.
  void SetHorizon(std::uint32_t ms) { horizon_ms_ = ms; }
  // Whether a nested loop gave up at its horizon.
  bool Expired() const { return expired_; }
  const std::vector<ErrorBox>& ErrorBoxes() const { return error_boxes_; }

  void RunNested(const std::function<bool()>& done) override;
  void Wake() override {}
  void TimersChanged() override {}
  void ShowError(const std::string& caption, const std::string& text) override;

 private:
  struct Action {
    std::uint64_t due_us;
    std::function<void()> run;
  };

  // Dispatches the first message due no later than `limit_us`; false when there is none.
  bool DispatchOne(std::uint64_t limit_us);
  std::uint64_t LimitIn(std::uint32_t ms) const;

  ticks::VirtualClock& clock_;
  ticks::Clock& previous_clock_;
  EventLoop* previous_loop_;
  std::vector<Action> actions_;  // by due time, equal ones in the order given
  std::uint32_t horizon_ms_ = kDefaultHorizonMs;
  bool expired_ = false;
  std::vector<ErrorBox> error_boxes_;
};

}  // namespace forms
