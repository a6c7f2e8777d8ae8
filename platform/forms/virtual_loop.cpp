#include "platform/forms/virtual_loop.h"

#include <algorithm>
#include <limits>

namespace forms {

VirtualLoop::VirtualLoop(ticks::VirtualClock& clock)
    : clock_(clock), previous_clock_(ticks::Current()), previous_loop_(CurrentLoop()) {
  ticks::Use(clock_);
  InstallLoop(this);
}

VirtualLoop::~VirtualLoop() {
  InstallLoop(previous_loop_);
  ticks::Use(previous_clock_);
}

std::uint64_t VirtualLoop::LimitIn(std::uint32_t ms) const {
  return clock_.NowUs() + std::uint64_t{ms} * 1000;
}

void VirtualLoop::RunFor(std::uint32_t ms) {
  const std::uint64_t limit = LimitIn(ms);
  while (DispatchOne(limit)) {
  }
  clock_.AdvanceTo(limit);
}

bool VirtualLoop::RunUntil(const std::function<bool()>& done, std::uint32_t limit_ms) {
  const std::uint64_t limit = LimitIn(limit_ms);
  while (!done()) {
    if (!DispatchOne(limit)) {
      clock_.AdvanceTo(limit);
      return done();
    }
  }
  return true;
}

void VirtualLoop::After(std::uint32_t ms, std::function<void()> action) {
  const std::uint64_t due = LimitIn(ms);
  auto at = std::upper_bound(actions_.begin(), actions_.end(), due,
                             [](std::uint64_t d, const Action& a) { return d < a.due_us; });
  actions_.insert(at, Action{due, std::move(action)});
}

void VirtualLoop::RunNested(const std::function<bool()>& done) {
  const std::uint64_t limit = LimitIn(horizon_ms_);
  while (!done()) {
    if (!DispatchOne(limit)) {
      clock_.AdvanceTo(limit);
      expired_ = true;
      return;
    }
  }
}

void VirtualLoop::ShowError(const std::string& caption, const std::string& text) {
  error_boxes_.push_back({caption, text});
}

bool VirtualLoop::DispatchOne(std::uint64_t limit_us) {
  // What fell due while a handler ran is due now: time never goes back.
  const std::uint64_t now = clock_.NowUs();
  TTimer* timer = nullptr;
  std::uint64_t timer_due = std::numeric_limits<std::uint64_t>::max();
  for (TForm* form : LiveForms()) {
    for (TTimer* t : form->Timers()) {
      if (t->Active() && std::max(t->DueUs(), now) < timer_due) {
        timer = t;
        timer_due = std::max(t->DueUs(), now);
      }
    }
  }
  const bool action_first =
      !actions_.empty() && std::max(actions_.front().due_us, now) <= timer_due;
  if (!action_first && timer == nullptr) return false;
  const std::uint64_t at = action_first ? std::max(actions_.front().due_us, now) : timer_due;
  if (at > limit_us) return false;

  clock_.AdvanceTo(at);
  if (action_first) {
    std::function<void()> action = std::move(actions_.front().run);
    actions_.erase(actions_.begin());
    RunHandler(action);
  } else {
    RunHandler([timer, at] { timer->Tick(at); });
  }
  return true;
}

}  // namespace forms
