#include "tests/support/recording_adapter.h"

#include "platform/ticks/ticks.h"

namespace {

class RecordingDevice final : public FtDevice {
 public:
  RecordingDevice(FtHandle inner, RecordingAdapter& log) : inner_(inner), log_(log) {}

  FtStatus SetBaudRate(std::uint32_t baud) override { return inner_->SetBaudRate(baud); }
  FtStatus SetDataCharacteristics(std::uint8_t word, std::uint8_t stop,
                                  std::uint8_t parity) override {
    return inner_->SetDataCharacteristics(word, stop, parity);
  }
  FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
    return inner_->SetFlowControl(flow, xon, xoff);
  }
  FtStatus SetTimeouts(std::uint32_t read_ms, std::uint32_t write_ms) override {
    return inner_->SetTimeouts(read_ms, write_ms);
  }
  FtStatus GetQueueStatus(std::uint32_t* waiting) override {
    log_.poll_times_us.push_back(ticks::Current().NowUs());
    return inner_->GetQueueStatus(waiting);
  }
  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    return inner_->Read(buffer, count, read);
  }
  FtStatus Purge(std::uint32_t mask) override { return inner_->Purge(mask); }
  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    log_.writes.emplace_back(bytes, bytes + length);
    log_.write_times_us.push_back(ticks::Current().NowUs());
    return inner_->Write(data, length, written);
  }
  FtStatus Close() override {
    ++log_.closes;
    return FT_Close(inner_);
  }

 private:
  FtHandle inner_;
  RecordingAdapter& log_;
};

}  // namespace

RecordingAdapter::RecordingAdapter(d2xx::Backend& inner) : inner_(inner) { d2xx::UseBackend(this); }

RecordingAdapter::~RecordingAdapter() { d2xx::UseBackend(&inner_); }

FtStatus RecordingAdapter::OpenByDescription(const char* description, FtHandle* handle) {
  FtHandle inner = nullptr;
  const FtStatus status = inner_.OpenByDescription(description, &inner);
  if (status != kFtOk) return status;
  ++opens;
  *handle = new RecordingDevice(inner, *this);
  return kFtOk;
}
