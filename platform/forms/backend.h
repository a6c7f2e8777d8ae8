#pragma once

// What a window backend and an event loop provide to the form layer. The model objects
// of forms.h hold every property; a peer only mirrors them on screen and re-reads its
// model whenever told that something changed. With no backend installed the model
// works alone (properties only), and with no loop installed nothing is dispatched.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace forms {

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  // A property of the control changed; show its current state.
  virtual void Changed() = 0;
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  // Caption, visibility or modality of the form changed.
  virtual void Changed() = 0;
};

// Makes the peers; installed once, before the forms are created.
class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual std::unique_ptr<FormPeer> MakeForm(TForm& form) = 0;
  virtual std::unique_ptr<ControlPeer> MakeLabel(TLabel& label) = 0;
  virtual std::unique_ptr<ControlPeer> MakeButton(TButton& button) = 0;
  virtual std::unique_ptr<ControlPeer> MakeImage(TImage& image) = 0;
  virtual std::unique_ptr<ControlPeer> MakeProgressBar(TProgressBar& bar) = 0;
};

// The message loop: one thread, handlers run one after the other, timer ticks from
// the program clock.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Dispatches messages until `done` holds; checked after every message and on Wake.
  virtual void RunNested(const std::function<bool()>& done) = 0;
  // Something a running RunNested condition reads may have changed.
  virtual void Wake() = 0;
  // A timer was created, destroyed, enabled, disabled or given a new interval.
  virtual void TimersChanged() = 0;
  // The error box: stop icon, OK button; returns when dismissed.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
};

// nullptr removes the current one.
void InstallToolkit(Toolkit* toolkit);
Toolkit* CurrentToolkit();
void InstallLoop(EventLoop* loop);
EventLoop* CurrentLoop();

// Every form alive, in creation order; the loops tick the timers of all of them.
const std::vector<TForm*>& LiveForms();

// For the real-time loops, on the program clock: when the earliest running timer of a
// live form falls due (nullopt when none runs), and one tick for each timer due now,
// however many intervals went by.
std::optional<std::uint64_t> EarliestTimerDueUs();
void TickDueTimers();

}  // namespace forms
