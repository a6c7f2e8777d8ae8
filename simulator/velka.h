#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ticks/ticks.h"
#include "simulator/faults.h"
#include "simulator/line.h"
#include "simulator/options.h"
#include "simulator/status.h"
#include "simulator/trace.h"

namespace sim {

class Device;

// The Velka flight controller on the far side of the simulated update adapter: boot ROM,
// downloaded loader, flash banks, power switch and the serial line, on any clock. Every
// call first brings the model up to the clock's present time. Attach it to the program
// with a SimBackend.
class Velka {
 public:
  explicit Velka(ticks::Clock& clock, const Scenario& scenario = {}, const Timings& timings = {});
  ~Velka();
  Velka(const Velka&) = delete;
  Velka& operator=(const Velka&) = delete;

  // The power switch. Off: silent; RAM and the loader are lost, the flash stays.
  void SetPower(bool on);
  // The update adapter's plug. Pulled out: writes fail and nothing arrives, and the
  // open handle stays dead after plugging in again.
  void PlugAdapter(bool plugged);
  // How the adapter answers the next attempts to open it.
  void SetOpenFault(OpenFault fault);
  // A new scenario; the device also forgets that it already had its first pass.
  void SetScenario(const Scenario& scenario);
  void SetTimings(const Timings& timings);

  // Arms a fault for a coming step; false (nothing armed) for a kind the step cannot
  // have. Faults are used in the order armed.
  bool Arm(const Fault& fault);
  void DisarmAll();

  // Verdicts.
  bool RamHoldsLoader();
  // nullopt when every page with data holds the payload and every empty page is erased;
  // otherwise the first byte that differs: bank, offset, expected, found.
  std::optional<std::string> FlashDifference();
  std::vector<Violation> Violations();
  Status GetStatus();
  // The flash byte at `offset` of `bank`.
  std::uint8_t FlashByte(std::uint8_t bank, std::uint32_t offset);

  // Every byte both ways, every adapter call and event.
  const Trace& GetTrace();
  std::string TraceText(std::size_t bytes_per_line = 24);
  void ClearTrace();

 private:
  friend class SimBackend;

  std::unique_ptr<Device> device_;
  // Open adapter handles hold a weak reference: they go dead with the model.
  std::shared_ptr<Device*> anchor_;
};

}  // namespace sim
