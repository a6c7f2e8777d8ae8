#include "simulator/faults.h"

#include <cstdio>

namespace sim {
namespace {

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

}  // namespace

std::string Describe(const StepRef& step) {
  switch (step.step) {
    case Step::kSync:
      return "sync";
    case Step::kCalibration:
      return "calibration off";
    case Step::kProbe:
      return "probe";
    case Step::kCommand0C:
      return "command 0C #" + std::to_string(step.index);
    case Step::kChunk:
      return "chunk " + std::to_string(step.index);
    case Step::kStart:
      return "start";
    case Step::kEraseAck:
      return "erase acknowledgement";
    case Step::kEraseDone:
      return "erase completion";
    case Step::kDataMode:
      return "data mode";
    case Step::kPage:
      return "page " + std::to_string(step.index) + " of bank " + Hex(step.bank);
    case Step::kClosing:
      return "closing frame";
  }
  return "?";
}

std::string Describe(FaultKind kind) {
  switch (kind) {
    case FaultKind::kNoReply:
      return "no reply";
    case FaultKind::kWrongReply:
      return "wrong reply";
    case FaultKind::kLateReply:
      return "late reply";
    case FaultKind::kNoiseBeforeReply:
      return "noise before the reply";
    case FaultKind::kPowerLost:
      return "power lost";
    case FaultKind::kAdapterUnplugged:
      return "adapter unplugged";
    case FaultKind::kEraseNeverCompletes:
      return "erase never completes";
  }
  return "?";
}

bool FaultPlan::Arm(const Fault& fault) {
  if (fault.kind == FaultKind::kEraseNeverCompletes && fault.at.step != Step::kEraseAck &&
      fault.at.step != Step::kEraseDone) {
    return false;
  }
  if (fault.times < 0) return false;
  armed_.push_back({fault, fault.times});
  return true;
}

std::optional<Fault> FaultPlan::Take(const StepRef& step) {
  for (auto it = armed_.begin(); it != armed_.end(); ++it) {
    if (!(it->fault.at == step)) continue;
    Fault fault = it->fault;
    if (it->left > 0 && --it->left == 0) armed_.erase(it);
    return fault;
  }
  return std::nullopt;
}

}  // namespace sim
