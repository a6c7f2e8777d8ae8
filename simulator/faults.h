#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// A step of an update at which the device answers something.
enum class Step {
  kSync,         // 'F' to the SyncFrame
  kCalibration,  // 'i' to the CalibrationOffFrame
  kProbe,        // 0x96 or 'i' to the ProbeFrame
  kCommand0C,    // 'i' to Command0CFrame `index` (selector 0 or 1)
  kChunk,        // 'i' to chunk `index` (0 to 11) of the loader
  kStart,        // 'i' to the StartFrame
  kEraseAck,     // 'e' to "E\r"
  kEraseDone,    // 'f' when the erase has finished
  kDataMode,     // 'd' to "D\r"
  kPage,         // 'f' to page `index` of bank `bank`
  kClosing,      // 'f' to the closing frame
};

struct StepRef {
  Step step = Step::kSync;
  int index = 0;          // kCommand0C: selector; kChunk, kPage: number from 0
  std::uint8_t bank = 0;  // kPage only

  bool operator==(const StepRef&) const = default;
};

// Short names for the steps, for arming faults: at::Chunk(3), at::Page(0xFC, 5).
namespace at {
inline StepRef Sync() { return {Step::kSync}; }
inline StepRef Calibration() { return {Step::kCalibration}; }
inline StepRef Probe() { return {Step::kProbe}; }
inline StepRef Command0C(int selector) { return {Step::kCommand0C, selector}; }
inline StepRef Chunk(int k) { return {Step::kChunk, k}; }
inline StepRef Start() { return {Step::kStart}; }
inline StepRef EraseAck() { return {Step::kEraseAck}; }
inline StepRef EraseDone() { return {Step::kEraseDone}; }
inline StepRef DataMode() { return {Step::kDataMode}; }
inline StepRef Page(std::uint8_t bank, int k) { return {Step::kPage, k, bank}; }
inline StepRef Closing() { return {Step::kClosing}; }
}  // namespace at

enum class FaultKind {
  kNoReply,              // the step takes effect, its reply is not sent
  kWrongReply,           // `wrong_byte` is sent instead of the reply
  kLateReply,            // the reply is sent `delay_ms` late
  kNoiseBeforeReply,     // `noise` goes out just before the reply
  kPowerLost,            // the device switches off as the step begins; it has no effect
  kAdapterUnplugged,     // the adapter is pulled out at this step
  kEraseNeverCompletes,  // kEraseAck or kEraseDone only: the erase never ends, no 'f'
};

struct Fault {
  StepRef at;
  FaultKind kind = FaultKind::kNoReply;
  int times = 1;  // occurrences of the step it spoils; 0: every one
  std::uint8_t wrong_byte = '?';
  std::uint32_t delay_ms = 500;
  std::vector<std::uint8_t> noise = {0x00, 0xA5, 0x5A};
};

// How the adapter answers an attempt to open it.
enum class OpenFault {
  kNone,
  kMissing,           // not plugged in
  kInUse,             // held by another program
  kOtherDescription,  // reports another USB description
};

std::string Describe(const StepRef& step);
std::string Describe(FaultKind kind);

// The faults armed and not yet spent.
class FaultPlan {
 public:
  // False (and nothing armed) for a kind the step cannot have.
  bool Arm(const Fault& fault);
  void Clear() { armed_.clear(); }
  // The fault that spoils this occurrence of `step`, if any; spends one use of it.
  std::optional<Fault> Take(const StepRef& step);
  std::size_t Armed() const { return armed_.size(); }

 private:
  struct Entry {
    Fault fault;
    int left;  // 0: unlimited
  };
  std::vector<Entry> armed_;
};

}  // namespace sim
