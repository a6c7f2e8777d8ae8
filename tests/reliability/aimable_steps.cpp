#include "tests/reliability/aimable_steps.h"

#include "payload/firmware.h"

namespace {

bool HasData(const BankImage& image, std::int64_t offset) {
  return offset >= 0 && offset < image.size && PageHasData(image.data + offset);
}

}  // namespace

std::vector<sim::StepRef> AimableSteps(bool grouped) {
  namespace at = sim::at;
  std::vector<sim::StepRef> steps = {at::Sync(), at::Calibration(), at::Probe(), at::Command0C(0),
                                     at::Command0C(1)};
  for (int k = 0; k < static_cast<int>(kLoaderSize / 256); ++k) steps.push_back(at::Chunk(k));
  steps.insert(steps.end(), {at::Start(), at::EraseAck(), at::EraseDone(), at::DataMode()});
  for (std::size_t b = 0; b < kBankCount; ++b) {
    const BankImage& image = BankImages[b];
    for (std::int64_t offset = 0; offset < image.size; offset += kPageSize) {
      if (!HasData(image, offset)) continue;
      const bool inner = HasData(image, offset - kPageSize) && HasData(image, offset + kPageSize);
      if (grouped && inner) continue;
      steps.push_back(at::Page(image.bank, static_cast<int>(offset / kPageSize)));
    }
  }
  steps.push_back(at::Closing());
  return steps;
}
