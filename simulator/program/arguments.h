#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulator/faults.h"

namespace simprog {

// What the program was asked for on its command line.
struct Arguments {
  int scenario = 0;  // into ScenarioNames()
  std::uint32_t speed_up = 1;
  bool unplugged = false;
  std::vector<sim::Fault> faults;
  bool script = false;
  int stop_after_chunks = 0;  // 0: run to the end
  std::string screenshot_dir;
  std::uint32_t time_limit_s = 120;
  bool virtual_time = false;
  std::string trace_file;
  bool help = false;
};

// Exit codes of a scripted run.
inline constexpr int kExitUpdated = 0;
inline constexpr int kExitUpdateFailed = 1;
inline constexpr int kExitDeviceDisagrees = 2;
inline constexpr int kExitStopped = 3;
inline constexpr int kExitTimeLimit = 4;
inline constexpr int kExitUsage = 64;

// nullopt, with `error` set, for arguments that make no sense.
std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string& error);
std::string HelpText();

}  // namespace simprog
