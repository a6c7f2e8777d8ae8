#include "fuzz/scripted_velka.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "payload/firmware.h"

namespace {

// The script's word for a write: the low 3 bits say what happens, the high 5 bits
// give a delay (in 25 ms steps), a count of junk bytes or a count of failing opens.
// Junk is never a byte the protocol gives a meaning to: the protocol has no frame
// numbers, so a stray 'f' after a page would acknowledge the next one, and no real
// device sends one.
enum Action {
  kAnswer,          // the accepted reply at once
  kAnswerLate,      // the accepted reply, late
  kSilence,         // nothing
  kJunk,            // 1 to 4 other bytes, no reply
  kJunkFirst,       // 1 to 4 other bytes, then the accepted reply
  kAnswerThenJunk,  // the accepted reply, 1 to 4 other bytes later
  kWriteFails,      // the adapter refuses this write after its whole write time-out
  kUnplug,          // the adapter is pulled out; the next opens fail
};

constexpr std::uint64_t kLatencyUs = 1000;
constexpr std::uint64_t kStepUs = 25000;
constexpr std::uint64_t kWriteTimeoutUs = 5000000;
constexpr std::uint64_t kEraseStepUs = 40000;
constexpr std::uint8_t kEraseNever = 0xFF;
constexpr std::uint16_t kLoaderAddress = 0x5240;

const std::uint8_t kReplyBytes[] = {'F', 'i', 0x96, 'e', 'f', 'd'};

const std::vector<std::uint8_t> kSync = {0x00, 0x55, 0x66, 0x77, 0x88};
const std::vector<std::uint8_t> kCalibrationOff = {0x00, 0x55, 0x87, 0x00, 0x78};
const std::vector<std::uint8_t> kProbe = {0x90, 0x00, 0x00, 0xFF, 0x01, 0x6E};
const std::vector<std::uint8_t> kCommand0C[] = {{0x0C, 0x00, 0xF3}, {0x0C, 0x01, 0xF2}};
const std::vector<std::uint8_t> kStart = {0x9F, 0x40, 0x52, 0x00, 0xCD};
const std::vector<std::uint8_t> kErase = {'E', '\r'};
const std::vector<std::uint8_t> kDataMode = {'D', '\r'};

// The boot ROM's check byte: ones' complement of the end-around-carry byte sum.
std::uint8_t Check(std::uint32_t sum) {
  std::uint32_t f = (sum & 0xFF) + (sum >> 8 & 0xFF);
  f += f >> 8;
  return static_cast<std::uint8_t>(0xFF - (f & 0xFF));
}

bool ChunkChecksOut(const std::vector<std::uint8_t>& f) {
  std::uint32_t header = 0;
  for (int i = 0; i < 5; ++i) header += f[i];
  std::uint32_t data = 0xFF;
  for (int i = 6; i < 262; ++i) data += f[i];
  const unsigned address = f[1] | f[2] << 8;
  return f[0] == 0x12 && f[3] == 0 && f[4] == 0 && f[5] == Check(header) && f[262] == Check(data) &&
         address >= kLoaderAddress && (address - kLoaderAddress) % 256 == 0 &&
         address - kLoaderAddress < kLoaderSize;
}

const BankImage* Image(std::uint8_t bank) {
  for (std::size_t b = 0; b < kBankCount; ++b) {
    if (BankImages[b].bank == bank) return &BankImages[b];
  }
  return nullptr;
}

class Handle final : public FtDevice {
 public:
  Handle(ScriptedVelka& velka, std::uint64_t session) : velka_(velka), session_(session) {}

  FtStatus SetBaudRate(std::uint32_t baud) override {
    if (!velka_.Alive(session_)) return kFtIoError;
    velka_.SetBaud(baud);
    return kFtOk;
  }
  FtStatus SetDataCharacteristics(std::uint8_t, std::uint8_t, std::uint8_t) override {
    return Status();
  }
  FtStatus SetFlowControl(std::uint16_t, std::uint8_t, std::uint8_t) override { return Status(); }
  FtStatus SetTimeouts(std::uint32_t, std::uint32_t) override { return Status(); }
  FtStatus GetQueueStatus(std::uint32_t* rx_waiting) override {
    *rx_waiting = velka_.Alive(session_) ? velka_.Waiting() : 0;
    return Status();
  }
  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    *read = velka_.Alive(session_) ? velka_.Read(static_cast<std::uint8_t*>(buffer), count) : 0;
    return Status();
  }
  FtStatus Purge(std::uint32_t mask) override {
    if (velka_.Alive(session_) && (mask & kFtPurgeRx)) velka_.PurgeReceived();
    return Status();
  }
  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    *written = 0;
    if (!velka_.Alive(session_)) return kFtIoError;
    const FtStatus status = velka_.Write(static_cast<const std::uint8_t*>(data), length);
    if (status == kFtOk) *written = length;
    return status;
  }
  FtStatus Close() override {
    velka_.Close(session_);
    return kFtOk;
  }

 private:
  FtStatus Status() const { return velka_.Alive(session_) ? kFtOk : kFtIoError; }

  ScriptedVelka& velka_;
  std::uint64_t session_;
};

}  // namespace

ScriptedVelka::ScriptedVelka(ticks::VirtualClock& clock, Script& script)
    : clock_(clock), script_(script), ram_(kLoaderSize, 0x00) {
  for (std::size_t b = 0; b < kBankCount; ++b) {
    flash_[BankImages[b].bank].assign(BankImages[b].size, 0x00);  // the old firmware
  }
  d2xx::UseBackend(this);
}

ScriptedVelka::~ScriptedVelka() { d2xx::UseBackend(nullptr); }

FtStatus ScriptedVelka::OpenByDescription(const char* description, FtHandle* handle) {
  if (std::strcmp(description, "TALVEK Update Adapter") != 0) return kFtDeviceNotFound;
  if (!plugged_) {
    if (failing_opens_ > 0) {
      --failing_opens_;
      return kFtDeviceNotFound;
    }
    plugged_ = true;  // plugged back in
  }
  if (open_) return kFtDeviceNotOpened;
  open_ = true;
  rx_.clear();
  *handle = new Handle(*this, ++session_);
  return kFtOk;
}

void ScriptedVelka::Close(std::uint64_t session) {
  if (Alive(session)) open_ = false;
}

bool ScriptedVelka::Alive(std::uint64_t session) const {
  return session == session_ && plugged_ && open_;
}

std::uint64_t ScriptedVelka::ByteUs() const {
  return 10 * 1000000ull / std::max<std::uint32_t>(baud_, 300);
}

std::optional<std::uint8_t> ScriptedVelka::NextWord() {
  const auto word = script_.Next();
  if (word || !exhausted_) last_word_us_ = clock_.NowUs();  // taken, or found used up
  exhausted_ = !word;
  return word;
}

void ScriptedVelka::Settle() {
  if (!erasing_ || !erase_done_us_ || clock_.NowUs() < *erase_done_us_) return;
  erasing_ = false;
  erased_ = true;
  for (auto& [bank, bytes] : flash_) std::fill(bytes.begin(), bytes.end(), 0xFF);
}

void ScriptedVelka::Emit(std::uint64_t at_us, std::uint8_t byte) {
  const auto later = std::upper_bound(
      rx_.begin(), rx_.end(), at_us, [](std::uint64_t t, const Pending& p) { return t < p.at_us; });
  rx_.insert(later, {at_us, byte});
}

std::uint32_t ScriptedVelka::Waiting() {
  Settle();
  const std::uint64_t now = clock_.NowUs();
  return static_cast<std::uint32_t>(
      std::count_if(rx_.begin(), rx_.end(), [now](const Pending& p) { return p.at_us <= now; }));
}

std::uint32_t ScriptedVelka::Read(std::uint8_t* buffer, std::uint32_t count) {
  const std::uint32_t n = std::min(count, Waiting());
  for (std::uint32_t i = 0; i < n; ++i) buffer[i] = rx_[i].byte;
  rx_.erase(rx_.begin(), rx_.begin() + n);
  return n;
}

void ScriptedVelka::PurgeReceived() { rx_.erase(rx_.begin(), rx_.begin() + Waiting()); }

FtStatus ScriptedVelka::Write(const std::uint8_t* data, std::uint32_t length) {
  const std::optional<std::uint8_t> word = NextWord();
  const int action = word ? *word % 8 : kSilence;
  const int param = word ? *word >> 3 : 0;
  if (action == kWriteFails) {
    clock_.Pass(kWriteTimeoutUs);
    return kFtIoError;
  }
  if (action == kUnplug) {
    plugged_ = false;
    open_ = false;
    failing_opens_ = param;
    rx_.clear();
    return kFtIoError;
  }
  clock_.Pass(length * ByteUs());
  Settle();
  const Received received = Receive({data, data + length});
  if (Answer(action, param, received)) Apply(received);
  return kFtOk;
}

ScriptedVelka::Received ScriptedVelka::Answerable(std::vector<std::uint8_t> accepts) {
  Received received;
  received.accepts = std::move(accepts);
  return received;
}

ScriptedVelka::Received ScriptedVelka::Receive(const std::vector<std::uint8_t>& f) {
  if (f == kSync) {  // a fresh boot: whatever ran in RAM is gone
    loader_running_ = false;
    data_mode_ = false;
    header_.clear();
    std::fill(ram_.begin(), ram_.end(), 0x00);
    return Answerable({'F'});
  }
  if (header_.size() == 5) {
    const std::vector<std::uint8_t> h = std::exchange(header_, {});
    const BankImage* image = Image(h[2]);
    const unsigned offset = h[3] << 8 | h[4];
    if (h[0] == 0x04 && h[1] == 0x00 && f.size() == kPageSize && image && offset % kPageSize == 0 &&
        offset + kPageSize <= image->size) {
      Received page = Answerable({'f'});
      page.effect = Effect::kPage;
      page.bank = h[2];
      page.offset = offset;
      page.data = f;
      return page;
    }
    const BankImage* df = Image(0xDF);
    if (h == std::vector<std::uint8_t>{0x00, 0x02, 0xDF, 0x00, 0x00} && f.size() == 2 &&
        f[0] == df->data[0] && f[1] == df->data[1]) {
      Received closing = Answerable({'f'});
      closing.effect = Effect::kClosing;
      return closing;
    }
    return {};
  }
  if (data_mode_) {
    if (f.size() == 5 && ((f[0] == 0x04 && f[1] == 0x00) || (f[0] == 0x00 && f[1] == 0x02))) {
      header_ = f;
    }
    return {};
  }
  if (f == kCalibrationOff || f == kCommand0C[0] || f == kCommand0C[1]) return Answerable({'i'});
  if (f == kProbe) {
    const std::uint8_t answer = (script_.NextOrZero() & 1) ? 0x96 : 'i';
    return Answerable({answer, static_cast<std::uint8_t>(answer == 'i' ? 0x96 : 'i')});
  }
  if (f.size() == 263 && ChunkChecksOut(f)) {
    const unsigned offset = (f[1] | f[2] << 8) - kLoaderAddress;
    std::copy(f.begin() + 6, f.begin() + 262, ram_.begin() + offset);
    return Answerable({'i'});
  }
  if (f == kStart) {
    loader_running_ = std::equal(ram_.begin(), ram_.end(), LoaderImage);
    return Answerable({'i'});
  }
  if (!loader_running_) return {};
  if (f == kErase) {
    const std::uint8_t steps = script_.NextOrZero();
    erasing_ = true;
    erased_ = false;
    erase_done_us_.reset();
    if (steps != kEraseNever) {
      erase_done_us_ = clock_.NowUs() + steps * kEraseStepUs;
      Emit(*erase_done_us_ + kLatencyUs, 'f');
    }
    return Answerable({'e', 'f'});  // an 'f' before the erase has ended would be a lie
  }
  if (f == kDataMode && erased_) {
    data_mode_ = true;
    return Answerable({'d'});
  }
  return {};
}

bool ScriptedVelka::Answer(int action, int param, const Received& received) {
  const bool can_accept = !received.accepts.empty();
  std::uint64_t at = clock_.NowUs() + kLatencyUs;
  const auto send = [&](std::uint8_t byte) {
    Emit(at, byte);
    at += ByteUs();
  };
  const auto junk = [&] {
    for (int i = 0; i <= (param & 3); ++i) {
      std::uint8_t byte = script_.NextOrZero();
      while (std::find(std::begin(kReplyBytes), std::end(kReplyBytes), byte) !=
             std::end(kReplyBytes)) {
        byte ^= 0x80;
        if (byte < 0x80) ++byte;
      }
      send(byte);
    }
  };
  switch (action) {
    case kAnswer:
      break;
    case kAnswerLate:
      at += param * kStepUs;
      break;
    case kJunk:
      junk();
      return false;
    case kJunkFirst:
      junk();
      break;
    case kAnswerThenJunk:
      if (can_accept) send(received.accepts.front());
      at += (param >> 2) * kStepUs;
      junk();
      return can_accept;
    default:
      return false;
  }
  if (can_accept) send(received.accepts.front());
  return can_accept;
}

void ScriptedVelka::Apply(const Received& received) {
  if (received.effect == Effect::kPage) {
    // Flash programming only clears bits.
    std::uint8_t* page = flash_[received.bank].data() + received.offset;
    for (std::size_t i = 0; i < kPageSize; ++i) page[i] &= received.data[i];
  } else if (received.effect == Effect::kClosing) {
    closed_ = true;
  }
}

bool ScriptedVelka::FlashHoldsPayload() const {
  if (!closed_) return false;
  for (std::size_t b = 0; b < kBankCount; ++b) {
    const BankImage& image = BankImages[b];
    const std::vector<std::uint8_t>& bytes = flash_.at(image.bank);
    for (std::uint32_t offset = 0; offset < image.size; offset += kPageSize) {
      const bool data = PageHasData(image.data + offset);
      for (std::uint32_t i = offset; i < offset + kPageSize; ++i) {
        if (bytes[i] != (data ? image.data[i] : 0xFF)) return false;
      }
    }
  }
  return true;
}
