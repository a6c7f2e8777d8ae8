#include "platform/ticks/real_clock.h"

#include <chrono>
#include <thread>

namespace ticks {
namespace {

// Windows advances its millisecond counter 64 times a second; the protocol's reply
// windows (a 1 ms wait lasting up to one step) were tuned against that.
constexpr std::uint64_t kTickStepUs = 15625;

}  // namespace

std::uint64_t RealClock::NowUs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t RealClock::TickMs() {
  return static_cast<std::uint32_t>(NowUs() / kTickStepUs * kTickStepUs / 1000);
}

void RealClock::Pass(std::uint64_t us) {
  std::this_thread::sleep_for(std::chrono::microseconds(us));
}

}  // namespace ticks
