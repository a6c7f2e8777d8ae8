#include "tests/reliability/expected_outcome.h"

#include "app/texts.h"
#include "sequencer/messages.h"

namespace {

using sim::FaultKind;
using sim::Step;

Outcome Succeeded() { return {Outcome::Kind::kSucceeded, kSuccessText}; }
Outcome Failed(const std::string& text) { return {Outcome::Kind::kFailed, text}; }
Outcome WaitingAtSync() { return {Outcome::Kind::kWaitingAtSync, kPowerOnPrompt}; }

// The device answers nothing more from this step on.
Outcome DeviceGone(Step step) {
  switch (step) {
    case Step::kSync:
      return WaitingAtSync();  // state 3 has no limit
    case Step::kCalibration:
      return Failed(kCalibrationOffFailedText);
    case Step::kProbe:
    case Step::kCommand0C:
      return Failed(kPowerOnPrompt);  // state 7 fails without a message of its own
    case Step::kChunk:                // 41 polls, each re-sending into silence
    case Step::kStart:
      return Failed(kDownloadFailedText);
    case Step::kEraseAck:
      return Failed(kErasingFailedText);
    case Step::kEraseDone:  // a missing completion only ends the 8 s wait; 'd' is missed
    case Step::kDataMode:
      return Failed(kDataTransferFailedText);
    case Step::kPage:
    case Step::kClosing:
      return Failed(kProgrammingFailedText);
  }
  return Failed("?");
}

// The one awaited reply is missed, the device goes on: steps that send again recover
// (state 3 every tick, state 10 re-sends the chunk once a poll reads nothing), and the
// erase completion is not a reply the update needs, the erase itself having finished.
Outcome ReplyMissedOnce(Step step) {
  if (step == Step::kSync || step == Step::kChunk || step == Step::kEraseDone) {
    return Succeeded();
  }
  return DeviceGone(step);
}

// Three bytes come before the reply: found where one read takes all four (state 3
// reads 10, state 7 reads 5, the erase acknowledgement polls read 5) or where later
// polls read on; a single read of one byte sees the first noise byte only.
Outcome NoiseFirst(Step step) {
  if (step == Step::kCalibration || step == Step::kCommand0C || step == Step::kStart) {
    return DeviceGone(step);
  }
  return Succeeded();
}

}  // namespace

std::string Describe(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::kSucceeded:
      return "success";
    case Outcome::Kind::kFailed:
      return "failure \"" + outcome.text.substr(0, outcome.text.find('\n')) + "\"";
    case Outcome::Kind::kWaitingAtSync:
      return "waiting at state 3";
  }
  return "?";
}

Outcome ExpectedOutcome(Step step, FaultKind kind) {
  switch (kind) {
    case FaultKind::kNoReply:
    case FaultKind::kWrongReply:  // other bytes are ignored: the same as no reply
      return ReplyMissedOnce(step);
    case FaultKind::kLateReply:
      // 500 ms is past every reply window but the erase completion's 8 s.
      return ReplyMissedOnce(step);
    case FaultKind::kNoiseBeforeReply:
      return NoiseFirst(step);
    case FaultKind::kPowerLost:
    case FaultKind::kAdapterUnplugged:  // the open handle stays dead
      return DeviceGone(step);
    case FaultKind::kEraseNeverCompletes:
      // The 8 s wait ends without a failure; the loader, still erasing, refuses "D\r".
      return Failed(kDataTransferFailedText);
  }
  return Failed("?");
}
