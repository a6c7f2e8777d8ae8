#include "simulator/program/status_text.h"

#include "app/texts.h"
#include "payload/firmware.h"

namespace simprog {

std::string PhaseText(const sim::Status& status) {
  std::string text = sim::Describe(status.phase);
  if (status.awaiting_power_cycle) text += ", waiting to be switched off and on";
  return text;
}

std::string LineText(const sim::Status& status) {
  // The host's settings stay as last set while the adapter is closed or pulled out.
  std::string text = "host " + sim::Describe(status.host_line);
  if (!status.adapter_plugged) {
    text += " (adapter unplugged)";
  } else if (!status.adapter_open) {
    text += " (adapter closed)";
  }
  if (status.listening_baud != 0) {
    text += ", device listens at " + std::to_string(status.listening_baud);
  }
  return text;
}

std::string ChunksText(const sim::Status& status) {
  return std::to_string(status.chunks_received) + " of " + std::to_string(kLoaderSize / 256) +
         (status.loader_running ? ", loader running" : "");
}

std::string PagesText(const sim::Status& status) {
  return std::to_string(status.pages_written) + " of " + std::to_string(status.pages_with_data) +
         " with data" + (status.closing_received ? ", closed" : "");
}

std::string ViolationsText(const sim::Status& status, const std::string& last_violation) {
  if (status.violations == 0) return "none";
  return std::to_string(status.violations) + ", last: " + last_violation;
}

std::string VerdictText(const std::optional<std::string>& difference) {
  if (!difference) return "flash equals firmware " + kFirmwareRelease;
  return "flash differs from firmware " + kFirmwareRelease + ": " + *difference;
}

}  // namespace simprog
