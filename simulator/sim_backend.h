#pragma once

#include "platform/d2xx/backend.h"
#include "simulator/velka.h"

namespace sim {

// The adapter library's operations on the simulated update adapter, which is wired to
// `velka`. Made, it becomes the backend FT_OpenEx uses; destroyed, no adapter can be
// opened. Writes take their wire time on the model's clock.
class SimBackend final : public d2xx::Backend {
 public:
  explicit SimBackend(Velka& velka);
  ~SimBackend() override;
  SimBackend(const SimBackend&) = delete;
  SimBackend& operator=(const SimBackend&) = delete;

  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;

 private:
  Velka& velka_;
};

}  // namespace sim
