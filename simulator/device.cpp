#include "simulator/device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "payload/firmware.h"

namespace sim {
namespace {

constexpr const char* kDescription = "TALVEK Update Adapter";
constexpr const char* kOtherDescription = "USB <-> Serial Cable";

}  // namespace

Device::Device(ticks::Clock& clock, const Scenario& scenario, const Timings& timings)
    : clock_(clock),
      origin_us_(clock.NowUs()),
      event_us_(origin_us_),
      scenario_(scenario),
      timings_(timings),
      flash_(scenario.old_flash_fill),
      ram_(kLoaderSize, 0x00),
      boot_rom_(*this),
      loader_(*this) {}

void Device::Advance() { RunUntil(Now()); }

void Device::RunUntil(std::uint64_t now_us) {
  for (;;) {
    const std::uint64_t next_action = actions_.empty() ? kNever : actions_.begin()->first.first;
    const std::uint64_t next_byte = wire_.NextHostArrival();
    const std::uint64_t next = std::min(next_action, next_byte);
    if (next > now_us) break;
    event_us_ = next;
    if (next_action <= next_byte) {
      auto action = std::move(actions_.begin()->second);
      actions_.erase(actions_.begin());
      action();
    } else {
      OnHostByte(wire_.PopHostByte());
    }
  }
  event_us_ = std::max(event_us_, now_us);
  wire_.Land(now_us, host_line_, timings_.adapter_latency_us);
}

void Device::OnHostByte(const Wire::HostByte& byte) {
  using Fate = TraceEntry::Fate;
  if (!powered_) {
    trace_.Byte(TraceEntry::Kind::kHostByte, Since(event_us_), byte.value, byte.line, Fate::kLost);
    return;
  }
  if (!Understands(ListenBaud(), byte.line)) {
    trace_.Byte(TraceEntry::Kind::kHostByte, Since(event_us_), byte.value, byte.line,
                Fate::kGarbled);
    OnGarbage(byte);
    return;
  }
  trace_.Byte(TraceEntry::Kind::kHostByte, Since(event_us_), byte.value, byte.line, Fate::kTaken);
  ++bytes_from_host_;
  if (loader_running_) {
    loader_.OnByte(byte.value);
  } else {
    boot_rom_.OnByte(byte.value);
  }
}

// Bytes at a rate or framing the device is not listening with. While the boot ROM
// waits for sync they are simply not heard; a host looking for the boot ROM at its rate
// while the loader runs (waiting for a power cycle, or left running by an earlier run)
// is noted; anything else means the host is on the wrong line settings.
void Device::OnGarbage(const Wire::HostByte& byte) {
  const bool burst = event_us_ < garbage_until_us_;
  garbage_until_us_ = event_us_ + std::uint64_t{timings_.frame_gap_ms} * 1000;
  if (burst) return;
  const std::string what = "bytes at " + Describe(byte.line) + " while the " +
                           (loader_running_ ? "loader" : "boot ROM") + " listens at " +
                           std::to_string(ListenBaud()) + " 8N1";
  if (!loader_running_ && boot_rom_.WaitingForSync()) return Note(what + ": not heard");
  const bool boot_rom_search = Understands(kBootRomBaud, byte.line);
  if (loader_running_ && boot_rom_search && (loader_.Spoken() || loader_.AwaitingPowerCycle())) {
    return Note(what + ": not heard");
  }
  Violate(what);
}

void Device::SetPower(bool on) {
  Advance();
  if (on == powered_) return;
  if (!on) {
    Note("power off");
    PowerOff();
    return;
  }
  Note("power on");
  powered_ = true;
  loader_running_ = false;
  first_of_two_ = false;
  boot_rom_.Reset();
  loader_.Reset();
}

void Device::PowerOff() {
  powered_ = false;
  loader_running_ = false;
  actions_.clear();
  chunks_.reset();
  std::fill(ram_.begin(), ram_.end(), 0x00);
  boot_rom_.Reset();
  loader_.Reset();
}

void Device::PlugAdapter(bool plugged) {
  Advance();
  if (plugged == plugged_) return;
  if (!plugged) return Unplug();
  plugged_ = true;
  Note("adapter plugged in");
}

void Device::Unplug() {
  Note("adapter unplugged");
  plugged_ = false;
  adapter_open_ = false;
  ++session_;
  wire_.DropAll();
}

FtStatus Device::Open(const char* description, std::uint64_t* session) {
  Advance();
  TraceCall(std::string("FT_OpenEx \"") + description + "\"");
  if (!plugged_ || open_fault_ == OpenFault::kMissing) return kFtDeviceNotFound;
  const char* reported =
      open_fault_ == OpenFault::kOtherDescription ? kOtherDescription : kDescription;
  if (std::strcmp(description, reported) != 0) return kFtDeviceNotFound;
  if (adapter_open_ || open_fault_ == OpenFault::kInUse) return kFtDeviceNotOpened;
  adapter_open_ = true;
  *session = ++session_;
  host_line_ = LineSettings{};
  host_flow_ = 0;
  wire_.PurgeReceived();
  return kFtOk;
}

void Device::Close(std::uint64_t session) {
  Advance();
  TraceCall("FT_Close");
  if (Alive(session)) adapter_open_ = false;
}

std::uint64_t Device::HostWrite(const std::uint8_t* data, std::uint32_t count) {
  Advance();
  const std::uint64_t now = Now();
  const std::uint64_t done = wire_.HostSend(now, data, count, host_line_);
  return done > now ? done - now : 0;
}

std::uint32_t Device::HostReadable() {
  Advance();
  return wire_.Readable(Now());
}

std::uint32_t Device::HostRead(std::uint8_t* buffer, std::uint32_t count) {
  const std::uint32_t n = std::min(count, HostReadable());
  for (std::uint32_t i = 0; i < n; ++i) buffer[i] = wire_.PopReadable();
  return n;
}

void Device::HostPurge() {
  Advance();
  wire_.PurgeReceived();
}

Device::Outcome Device::Respond(const StepRef& step, std::uint8_t reply) {
  const std::uint32_t baud = ListenBaud();
  const auto fault = faults_.Take(step);
  if (!fault) {
    Emit(event_us_, reply, baud);
    return Outcome::kGoOn;
  }
  Note("fault at " + Describe(step) + ": " + Describe(fault->kind));
  switch (fault->kind) {
    case FaultKind::kNoReply:
      break;
    case FaultKind::kWrongReply:
      Emit(event_us_, fault->wrong_byte, baud);
      break;
    case FaultKind::kLateReply:
      Schedule(event_us_ + std::uint64_t{fault->delay_ms} * 1000,
               [this, reply, baud] { Emit(event_us_, reply, baud); });
      break;
    case FaultKind::kNoiseBeforeReply:
      for (std::uint8_t noise : fault->noise) Emit(event_us_, noise, baud);
      Emit(event_us_, reply, baud);
      break;
    case FaultKind::kPowerLost:
      Note("power lost");
      PowerOff();
      return Outcome::kPowerLost;
    case FaultKind::kAdapterUnplugged:
      Unplug();
      Emit(event_us_, reply, baud);
      break;
    case FaultKind::kEraseNeverCompletes:
      if (step.step == Step::kEraseAck) Emit(event_us_, reply, baud);
      return Outcome::kEraseStuck;
  }
  return Outcome::kGoOn;
}

void Device::Emit(std::uint64_t t_us, std::uint8_t byte, std::uint32_t baud) {
  const LineSettings line{baud, 8, 1, 0};
  using Fate = TraceEntry::Fate;
  if (!plugged_ || !adapter_open_) {
    trace_.Byte(TraceEntry::Kind::kDeviceByte, Since(t_us), byte, line, Fate::kLost);
    return;
  }
  wire_.DeviceSend(t_us, byte, baud);
  ++bytes_to_host_;
  trace_.Byte(TraceEntry::Kind::kDeviceByte, Since(t_us), byte, line,
              Understands(baud, host_line_) ? Fate::kTaken : Fate::kGarbled);
}

void Device::Violate(std::string text) {
  trace_.Text(TraceEntry::Kind::kViolation, Since(event_us_), text);
  violations_.push_back({Since(event_us_), std::move(text)});
}

void Device::Note(std::string text) {
  trace_.Text(TraceEntry::Kind::kNote, Since(event_us_), std::move(text));
}

void Device::Schedule(std::uint64_t t_us, std::function<void()> action) {
  actions_.emplace(std::make_pair(t_us, ++action_seq_), std::move(action));
}

void Device::WatchGap(Assembler& frame, std::string what) {
  if (frame.watched) return;
  frame.watched = true;
  const std::uint64_t gap_us = std::uint64_t{timings_.frame_gap_ms} * 1000;
  Schedule(frame.last_us + gap_us, [this, &frame, what = std::move(what), gap_us]() mutable {
    frame.watched = false;
    if (frame.Idle()) return;
    if (event_us_ < frame.last_us + gap_us) return WatchGap(frame, std::move(what));
    if (!frame.dropping) {
      Violate("incomplete " + what + ": " + std::to_string(frame.bytes.size()) + " bytes, then " +
              std::to_string(timings_.frame_gap_ms) + " ms of silence");
    }
    frame.Clear();
  });
}

void Device::RunLoader() {
  loader_running_ = true;
  loader_.Reset();
  Note("loader started at 0x5240; listening at 115200");
}

std::uint8_t Device::ProbeAnswer() {
  if (!scenario_.needs_second_pass) return 'i';
  if (!first_pass_done_) {
    first_of_two_ = true;
    return 0x96;
  }
  return scenario_.later_probes_answer_96 ? 0x96 : 'i';
}

void Device::SetScenario(const Scenario& scenario) {
  Advance();
  scenario_ = scenario;
  first_pass_done_ = false;
}

std::optional<std::uint16_t> Device::RamDifference() const {
  for (std::size_t i = 0; i < kLoaderSize; ++i) {
    if (ram_[i] != LoaderImage[i]) return static_cast<std::uint16_t>(kLoadAddress + i);
  }
  return std::nullopt;
}

bool Device::RamHoldsLoader() const {
  return powered_ && chunks_.all() && !RamDifference().has_value();
}

Status Device::GetStatus() const {
  Status s;
  s.phase = !powered_ ? Phase::kOff : loader_running_ ? loader_.GetPhase() : Phase::kBootRom;
  s.adapter_plugged = plugged_;
  s.adapter_open = adapter_open_;
  s.host_line = host_line_;
  s.listening_baud = powered_ ? ListenBaud() : 0;
  s.chunks_received = static_cast<int>(chunks_.count());
  s.loader_running = loader_running_;
  s.awaiting_power_cycle = loader_running_ && loader_.AwaitingPowerCycle();
  s.pages_written = loader_.PagesWritten();
  for (std::size_t b = 0; b < kBankCount; ++b) {
    for (std::uint32_t page = 0; page < BankImages[b].size; page += kPageSize) {
      if (PageHasData(BankImages[b].data + page)) ++s.pages_with_data;
    }
  }
  s.closing_received = loader_running_ && loader_.Closed();
  s.violations = violations_.size();
  s.bytes_from_host = bytes_from_host_;
  s.bytes_to_host = bytes_to_host_;
  return s;
}

}  // namespace sim
