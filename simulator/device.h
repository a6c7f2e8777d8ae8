#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/d2xx/d2xx.h"
#include "platform/ticks/ticks.h"
#include "simulator/assembler.h"
#include "simulator/boot_rom.h"
#include "simulator/faults.h"
#include "simulator/flash.h"
#include "simulator/line.h"
#include "simulator/loader.h"
#include "simulator/options.h"
#include "simulator/status.h"
#include "simulator/trace.h"
#include "simulator/wire.h"

namespace sim {

// The simulated adapter, line and device behind the Velka facade. Everything runs on
// the caller's thread; every entry point first brings the model up to the clock.
class Device {
 public:
  static constexpr std::uint16_t kLoadAddress = 0x5240;
  static constexpr int kChunks = 12;
  static constexpr std::size_t kChunkBytes = 256;

  Device(ticks::Clock& clock, const Scenario& scenario, const Timings& timings);

  // Runs everything that has fallen due by the clock's present time.
  void Advance();
  ticks::Clock& GetClock() { return clock_; }

  // --- The switch and the plug.
  void SetPower(bool on);
  void PlugAdapter(bool plugged);
  void SetOpenFault(OpenFault fault) { open_fault_ = fault; }

  // --- The adapter's host side, as the simulated d2xx backend drives it. A session is
  // one open of the adapter; it dies when the adapter is pulled out.
  FtStatus Open(const char* description, std::uint64_t* session);
  bool Alive(std::uint64_t session) const { return adapter_open_ && session == session_; }
  void Close(std::uint64_t session);
  LineSettings& HostLine() { return host_line_; }
  std::uint16_t& HostFlow() { return host_flow_; }
  // Puts the bytes on the line; returns how long until the last has left the adapter.
  std::uint64_t HostWrite(const std::uint8_t* data, std::uint32_t count);
  std::uint32_t HostReadable();
  std::uint32_t HostRead(std::uint8_t* buffer, std::uint32_t count);
  void HostPurge();
  void TraceCall(std::string text) { trace_.Text(TraceEntry::Kind::kCall, Since(Now()), text); }

  // --- For the boot ROM and the loader.
  enum class Outcome { kGoOn, kPowerLost, kEraseStuck };
  // The step's frame was accepted: sends `reply` as the armed faults say.
  Outcome Respond(const StepRef& step, std::uint8_t reply);
  void Emit(std::uint64_t t_us, std::uint8_t byte, std::uint32_t baud);
  void Violate(std::string text);
  void Note(std::string text);
  void Schedule(std::uint64_t t_us, std::function<void()> action);
  // Keeps an eye on a partly received frame: after the frame gap of silence it is
  // dropped (and reported as incomplete unless it was being dropped anyway).
  void WatchGap(Assembler& frame, std::string what);
  std::uint64_t Time() const { return event_us_; }
  std::uint32_t ListenBaud() const { return loader_running_ ? kLoaderBaud : kBootRomBaud; }
  void RunLoader();

  // The probe's answer in this power-on, and whether this power-on is the first pass of
  // a device that needs two.
  std::uint8_t ProbeAnswer();
  bool FirstOfTwoPasses() const { return first_of_two_; }
  void FirstPassDone() { first_pass_done_ = true; }

  std::vector<std::uint8_t>& Ram() { return ram_; }
  std::bitset<kChunks>& Chunks() { return chunks_; }
  bool RamHoldsLoader() const;
  // The first RAM address where the loader image differs, if any.
  std::optional<std::uint16_t> RamDifference() const;
  Flash& GetFlash() { return flash_; }
  const Timings& GetTimings() const { return timings_; }
  void SetTimings(const Timings& timings) { timings_ = timings; }
  void SetScenario(const Scenario& scenario);
  FaultPlan& Faults() { return faults_; }
  const std::vector<Violation>& Violations() const { return violations_; }
  Trace& GetTrace() { return trace_; }
  Status GetStatus() const;

 private:
  std::uint64_t Now() { return clock_.NowUs(); }
  std::uint64_t Since(std::uint64_t t_us) const { return t_us - origin_us_; }
  void RunUntil(std::uint64_t now_us);
  void OnHostByte(const Wire::HostByte& byte);
  void OnGarbage(const Wire::HostByte& byte);
  void PowerOff();
  void Unplug();

  ticks::Clock& clock_;
  std::uint64_t origin_us_;
  std::uint64_t event_us_;  // the time of the event being handled
  Scenario scenario_;
  Timings timings_;
  Wire wire_;
  Trace trace_;
  FaultPlan faults_;
  Flash flash_;
  std::vector<Violation> violations_;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::function<void()>> actions_;
  std::uint64_t action_seq_ = 0;

  bool powered_ = false;
  bool loader_running_ = false;
  bool first_of_two_ = false;
  bool first_pass_done_ = false;
  std::vector<std::uint8_t> ram_;
  std::bitset<kChunks> chunks_;
  BootRom boot_rom_;
  Loader loader_;
  std::uint64_t garbage_until_us_ = 0;  // a burst of garbled bytes reported once

  bool plugged_ = true;
  OpenFault open_fault_ = OpenFault::kNone;
  bool adapter_open_ = false;
  std::uint64_t session_ = 0;
  LineSettings host_line_;
  std::uint16_t host_flow_ = 0;
  std::uint64_t bytes_from_host_ = 0;
  std::uint64_t bytes_to_host_ = 0;
};

}  // namespace sim
