#include "platform/d2xx/tty/tty_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace d2xx {
namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

// What a write may take when FT_SetTimeouts was never called; the same bound the
// program sets itself.
constexpr std::uint32_t kDefaultWriteTimeoutMs = 5000;

// How often a write checks whether the driver has sent its queue.
constexpr int kDrainPollMs = 1;

// ---- discovery -------------------------------------------------------------------

std::optional<std::string> ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// True when `dir` lies strictly below `root`; the walk up never leaves the tree.
bool IsBelow(const fs::path& dir, const fs::path& root) {
  const auto [r, d] = std::mismatch(root.begin(), root.end(), dir.begin(), dir.end());
  return r == root.end() && d != dir.end();
}

// The tty's `device` link leads to the serial port; the nearest folder above it that
// carries idVendor is the USB device, whose `product` holds the adapter's description.
// A USB device without a product string is not walked past: its hub's string would
// describe something else.
std::optional<std::string> UsbProduct(const fs::path& tty_entry, const fs::path& root) {
  std::error_code ec;
  fs::path dir = fs::canonical(tty_entry / "device", ec);
  if (ec) return std::nullopt;
  while (IsBelow(dir, root)) {
    if (fs::is_regular_file(dir / "idVendor", ec)) return ReadAttribute(dir / "product");
    dir = dir.parent_path();
  }
  return std::nullopt;
}

// Name order with numbers compared by value, so that ttyUSB2 comes before ttyUSB10 and
// "the first adapter" is the one the kernel numbered first.
bool NaturalLess(const std::string& a, const std::string& b) {
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      std::size_t i_end = i;
      std::size_t j_end = j;
      while (i_end < a.size() && is_digit(a[i_end])) ++i_end;
      while (j_end < b.size() && is_digit(b[j_end])) ++j_end;
      std::size_t i_lead = i;
      std::size_t j_lead = j;
      while (i_lead + 1 < i_end && a[i_lead] == '0') ++i_lead;
      while (j_lead + 1 < j_end && b[j_lead] == '0') ++j_lead;
      const auto x = std::string_view(a).substr(i_lead, i_end - i_lead);
      const auto y = std::string_view(b).substr(j_lead, j_end - j_lead);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = i_end;
      j = j_end;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
  return a < b;
}

// ---- an open adapter ---------------------------------------------------------------

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = deadline - SteadyClock::now();
  if (left <= SteadyClock::duration::zero()) return 0;
  // Round up, so that a wait never wakes just short of the deadline and spins.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::min<long long>(ms, 60'000));
}

bool HungUp(short revents) { return (revents & (POLLERR | POLLHUP | POLLNVAL)) != 0; }

class TtyDevice final : public FtDevice {
 public:
  explicit TtyDevice(int fd) : fd_(fd) {}
  ~TtyDevice() override { Release(); }
  TtyDevice(const TtyDevice&) = delete;
  TtyDevice& operator=(const TtyDevice&) = delete;

  // The chip's own state after power-up: 9600 baud, 8 data bits, one stop bit, raw.
  FtStatus Reset() { return Apply(B9600, false); }

  FtStatus SetBaudRate(std::uint32_t baud) override {
    speed_t speed = 0;
    switch (baud) {
      case 19200:
        speed = B19200;
        break;
      case 115200:
        speed = B115200;
        break;
      default:
        return kFtInvalidParameter;
    }
    return Apply(speed, two_stop_bits_);
  }

  FtStatus SetDataCharacteristics(std::uint8_t word_length, std::uint8_t stop_bits,
                                  std::uint8_t parity) override {
    if (word_length != kFtBits8 || parity != kFtParityNone) return kFtInvalidParameter;
    if (stop_bits != kFtStopBits1 && stop_bits != kFtStopBits2) return kFtInvalidParameter;
    return Apply(speed_, stop_bits == kFtStopBits2);
  }

  // XON and XOFF characters only matter with software flow control, which the line
  // never runs.
  FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t /*xon*/,
                          std::uint8_t /*xoff*/) override {
    if (flow != kFtFlowNone) return kFtInvalidParameter;
    return Apply(speed_, two_stop_bits_);
  }

  // Reads never wait (they take only what is waiting), so the read time-out has
  // nothing to bound. A write time-out of 0 allows no waiting at all.
  FtStatus SetTimeouts(std::uint32_t /*read_ms*/, std::uint32_t write_ms) override {
    write_timeout_ms_ = write_ms;
    return kFtOk;
  }

  // A vanished adapter leaves a hung-up file whose ioctls fail: that reads as nothing
  // waiting.
  FtStatus GetQueueStatus(std::uint32_t* rx_waiting) override {
    *rx_waiting = 0;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) return kFtIoError;
    *rx_waiting = static_cast<std::uint32_t>(std::max(waiting, 0));
    return kFtOk;
  }

  // The file is non-blocking and VMIN is 1, so a read with nothing left gives EAGAIN
  // and a read of 0 bytes means the tty was hung up.
  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    *read = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (*read < count) {
      const ssize_t n = ::read(fd_, bytes + *read, count - *read);
      if (n > 0) {
        *read += static_cast<std::uint32_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        break;
      } else {
        return kFtIoError;
      }
    }
    return kFtOk;
  }

  FtStatus Purge(std::uint32_t mask) override {
    if ((mask & ~kFtPurgeRx) != 0) return kFtInvalidParameter;
    if ((mask & kFtPurgeRx) != 0 && ::tcflush(fd_, TCIFLUSH) != 0) return kFtIoError;
    return kFtOk;
  }

  // Returns once every byte has left the host, or fails at the write time-out.
  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    *written = 0;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(write_timeout_ms_);
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (*written < length) {
      const ssize_t n = ::write(fd_, bytes + *written, length - *written);
      if (n > 0) {
        *written += static_cast<std::uint32_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return kFtIoError;
      if (!WaitWritable(deadline)) return kFtIoError;
    }
    return Drain(deadline);
  }

  FtStatus Close() override { return Release() ? kFtOk : kFtIoError; }

 private:
  // Raw line: no echo, no line editing, no character translation or signals, every
  // byte value passes both ways. VMIN 1 with the non-blocking file makes an empty read
  // EAGAIN rather than 0 (see Read). The setting is read back, since tcsetattr succeeds
  // when any part of it was taken.
  FtStatus Apply(speed_t speed, bool two_stop_bits) {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return kFtIoError;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD | (two_stop_bits ? CSTOPB : 0);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) {
      return kFtInvalidParameter;
    }
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return kFtIoError;

    termios now{};
    constexpr tcflag_t kChecked = CSIZE | PARENB | CSTOPB | CRTSCTS;
    if (::tcgetattr(fd_, &now) != 0 || ::cfgetospeed(&now) != speed ||
        (now.c_cflag & kChecked) != (tio.c_cflag & kChecked)) {
      return kFtIoError;
    }
    speed_ = speed;
    two_stop_bits_ = two_stop_bits;
    return kFtOk;
  }

  bool WaitWritable(SteadyClock::time_point deadline) {
    for (;;) {
      const int wait_ms = RemainingMs(deadline);
      if (wait_ms == 0) return false;
      pollfd p{fd_, POLLOUT, 0};
      const int r = ::poll(&p, 1, wait_ms);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0 || HungUp(p.revents)) return false;
      return true;
    }
  }

  // Not tcdrain: it has no time-out, and a line held up by the device (or a driver
  // that never empties its queue) would hold the GUI thread without end. Instead the
  // driver's output queue is watched until it is empty or the deadline passes; the
  // short poll doubles as the check for a hang-up.
  FtStatus Drain(SteadyClock::time_point deadline) {
    for (;;) {
      int queued = 0;
      if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) return kFtIoError;
      if (queued <= 0) return kFtOk;
      if (RemainingMs(deadline) == 0) return kFtIoError;
      pollfd p{fd_, 0, 0};
      const int r = ::poll(&p, 1, std::min(kDrainPollMs, RemainingMs(deadline)));
      if (r > 0 && HungUp(p.revents)) return kFtIoError;
    }
  }

  bool Release() {
    if (fd_ < 0) return true;
    // The exclusive flag stays on the tty, not on this file; drop it so that the next
    // open is not refused. The lock goes with the file.
    ::ioctl(fd_, TIOCNXCL);
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

  int fd_;
  speed_t speed_ = B9600;
  bool two_stop_bits_ = false;
  std::uint32_t write_timeout_ms_ = kDefaultWriteTimeoutMs;
};

}  // namespace

TtyBackend::TtyBackend(std::string sysfs_root, std::string dev_dir)
    : sysfs_root_(std::move(sysfs_root)), dev_dir_(std::move(dev_dir)) {}

std::string TtyBackend::FindPort(const std::string& description) const {
  std::error_code ec;
  const fs::path root = fs::canonical(sysfs_root_, ec);
  if (ec) return {};

  std::vector<std::string> names;
  for (fs::directory_iterator it(root / "class" / "tty", ec), end; !ec && it != end;
       it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);

  for (const std::string& name : names) {
    const auto product = UsbProduct(root / "class" / "tty" / name, root);
    if (product && *product == description) return (fs::path(dev_dir_) / name).string();
  }
  return {};
}

FtStatus TtyBackend::OpenByDescription(const char* description, FtHandle* handle) {
  if (description == nullptr || handle == nullptr) return kFtInvalidParameter;
  *handle = nullptr;
  const std::string path = FindPort(description);
  if (path.empty()) return kFtDeviceNotFound;

  // Not the controlling terminal (the adapter's lines must not signal this program),
  // and non-blocking so that neither the open nor any read waits on the line.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? kFtDeviceNotFound : kFtDeviceNotOpened;

  // Two locks: TIOCEXCL refuses later opens by anyone but root, the advisory lock is
  // what other serial programs (and a second instance run by root) look for.
  if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return kFtDeviceNotOpened;
  }
  auto device = std::make_unique<TtyDevice>(fd);
  if (device->Reset() != kFtOk) return kFtDeviceNotOpened;
  *handle = device.release();
  return kFtOk;
}

}  // namespace d2xx
