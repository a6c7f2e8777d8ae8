#pragma once

#include <cstdint>
#include <vector>

#include "platform/d2xx/backend.h"

// Stands between the program and another backend and keeps every write the program
// made, whatever became of it.
class RecordingAdapter final : public d2xx::Backend {
 public:
  // Wraps `inner` and becomes the backend in use; restores `inner` when destroyed.
  explicit RecordingAdapter(d2xx::Backend& inner);
  ~RecordingAdapter() override;
  RecordingAdapter(const RecordingAdapter&) = delete;
  RecordingAdapter& operator=(const RecordingAdapter&) = delete;

  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;

  std::vector<std::vector<std::uint8_t>> writes;
  std::vector<std::uint64_t> write_times_us;  // when each write began, on the program clock
  std::vector<std::uint64_t> poll_times_us;   // when the program asked what had arrived
  int opens = 0;
  int closes = 0;

 private:
  d2xx::Backend& inner_;
};
