#include "simulator/program/arguments.h"

#include <charconv>

#include "simulator/program/fault_names.h"
#include "simulator/program/scenarios.h"

namespace simprog {
namespace {

std::optional<std::uint32_t> Count(const std::string& text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

}  // namespace

std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string& error) {
  Arguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The value of an option: the next argument.
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return {};
      }
      return args[++i];
    };
    auto count = [&](std::uint32_t low, std::uint32_t high) -> std::optional<std::uint32_t> {
      const std::optional<std::string> text = value();
      if (!text) return {};
      const std::optional<std::uint32_t> n = Count(*text);
      if (!n || *n < low || *n > high) {
        error = arg + " takes a number from " + std::to_string(low) + " to " + std::to_string(high);
        return {};
      }
      return n;
    };

    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--scenario") {
      const std::optional<std::string> name = value();
      if (!name) return {};
      parsed.scenario = -1;
      for (std::size_t s = 0; s < ScenarioNames().size(); ++s) {
        if (*name == ScenarioNames()[s].name) parsed.scenario = static_cast<int>(s);
      }
      if (parsed.scenario < 0) {
        error = "unknown scenario \"" + *name + "\"";
        return {};
      }
    } else if (arg == "--speed") {
      const auto n = count(1, 1000);
      if (!n) return {};
      parsed.speed_up = *n;
    } else if (arg == "--unplugged") {
      parsed.unplugged = true;
    } else if (arg == "--fault") {
      const std::optional<std::string> text = value();
      if (!text) return {};
      std::optional<sim::Fault> fault = ParseFault(*text, error);
      if (!fault) return {};
      parsed.faults.push_back(*fault);
    } else if (arg == "--script") {
      parsed.script = true;
    } else if (arg == "--stop-after-chunks") {
      const auto n = count(1, 12);
      if (!n) return {};
      parsed.stop_after_chunks = static_cast<int>(*n);
    } else if (arg == "--screenshots") {
      const std::optional<std::string> dir = value();
      if (!dir) return {};
      parsed.screenshot_dir = *dir;
    } else if (arg == "--time-limit") {
      const auto n = count(1, 3600);
      if (!n) return {};
      parsed.time_limit_s = *n;
    } else if (arg == "--virtual-time") {
      parsed.virtual_time = true;
    } else if (arg == "--trace") {
      const std::optional<std::string> file = value();
      if (!file) return {};
      parsed.trace_file = *file;
    } else {
      error = "unknown argument \"" + arg + "\"";
      return {};
    }
  }
  if (!parsed.script &&
      (parsed.virtual_time || parsed.stop_after_chunks > 0 || !parsed.screenshot_dir.empty())) {
    error = "--virtual-time, --stop-after-chunks and --screenshots need --script";
    return {};
  }
  return parsed;
}

std::string HelpText() {
  std::string scenarios;
  for (const ScenarioName& s : ScenarioNames()) {
    scenarios += std::string(scenarios.empty() ? "" : ", ") + s.name;
  }
  return "Usage: talvek-updater-sim [OPTION]...\n"
         "The TALVEK Updater with a simulated update adapter and Velka attached, and a\n"
         "\"Simulated Velka\" window for the device's side (plug, power switch, faults).\n"
         "\n"
         "  --scenario NAME      the device to start with: " +
         scenarios +
         "\n"
         "                       (default one-pass)\n"
         "  --speed N            the device erases and writes N times faster (default 1)\n"
         "  --unplugged          start with the update adapter pulled out\n"
         "  --fault KIND@STEP    arm a fault before START; may be given more than once\n"
         "  --script             play the user: OK, START, switch the device on (and off and\n"
         "                       on) when asked, wait for the end, print the result, QUIT\n"
         "  --stop-after-chunks N  with --script: press STOP once the device holds N of the\n"
         "                       loader's 12 chunks, then close\n"
         "  --screenshots DIR    with --script: save both windows in DIR at the end\n"
         "                       (updater.png, device.png)\n"
         "  --time-limit S       with --script: give up after S seconds (default 120)\n"
         "  --virtual-time       with --script: run on virtual time, a whole update in a\n"
         "                       fraction of a second\n"
         "  --trace FILE         at the end, write every byte exchanged to FILE\n"
         "  --help               this text\n"
         "\n"
         "Faults: " +
         FaultSyntaxHelp() +
         "\n"
         "Examples: no-reply@chunk:3*, wrong-reply@page:FC:5, erase-never-completes@erase-done\n"
         "\n"
         "Exit status with --script: 0 updated and the flash equals the firmware; 1 the\n"
         "updater reported a failure; 2 it reported success but the device disagrees\n"
         "(flash differs, or protocol violations); 3 stopped by --stop-after-chunks;\n"
         "4 time limit reached; 64 bad arguments. Without --script: 0.\n";
}

}  // namespace simprog
