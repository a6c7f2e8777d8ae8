#include "simulator/velka.h"

#include "simulator/device.h"

namespace sim {

Velka::Velka(ticks::Clock& clock, const Scenario& scenario, const Timings& timings)
    : device_(std::make_unique<Device>(clock, scenario, timings)),
      anchor_(std::make_shared<Device*>(device_.get())) {}

Velka::~Velka() = default;

void Velka::SetPower(bool on) { device_->SetPower(on); }

void Velka::PlugAdapter(bool plugged) { device_->PlugAdapter(plugged); }

void Velka::SetOpenFault(OpenFault fault) {
  device_->Advance();
  device_->SetOpenFault(fault);
}

void Velka::SetScenario(const Scenario& scenario) { device_->SetScenario(scenario); }

void Velka::SetTimings(const Timings& timings) {
  device_->Advance();
  device_->SetTimings(timings);
}

bool Velka::Arm(const Fault& fault) {
  device_->Advance();
  const bool armed = device_->Faults().Arm(fault);
  if (armed) device_->Note("fault armed at " + Describe(fault.at) + ": " + Describe(fault.kind));
  return armed;
}

void Velka::DisarmAll() {
  device_->Advance();
  device_->Faults().Clear();
}

bool Velka::RamHoldsLoader() {
  device_->Advance();
  return device_->RamHoldsLoader();
}

std::optional<std::string> Velka::FlashDifference() {
  device_->Advance();
  return device_->GetFlash().DifferenceFromPayload();
}

std::vector<Violation> Velka::Violations() {
  device_->Advance();
  return device_->Violations();
}

Status Velka::GetStatus() {
  device_->Advance();
  return device_->GetStatus();
}

std::uint8_t Velka::FlashByte(std::uint8_t bank, std::uint32_t offset) {
  device_->Advance();
  return device_->GetFlash().At(bank, offset);
}

const Trace& Velka::GetTrace() {
  device_->Advance();
  return device_->GetTrace();
}

std::string Velka::TraceText(std::size_t bytes_per_line) {
  return GetTrace().ToString(bytes_per_line);
}

void Velka::ClearTrace() { device_->GetTrace().Clear(); }

}  // namespace sim
