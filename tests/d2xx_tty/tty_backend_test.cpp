#include "platform/d2xx/tty/tty_backend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/d2xx/d2xx.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kDescription = "TALVEK Update Adapter";

void WriteFile(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// A temporary folder with a small sysfs tree and a device folder, laid out the way the
// kernel shows a USB serial adapter:
//   sys/devices/pci0000:00/usbN            root hub (idVendor, product)
//   .../usbN/N-1                           the adapter (idVendor, product)
//   .../N-1/N-1:1.0/ttyUSBk                the serial port
//   .../ttyUSBk/tty/ttyUSBk/device  ->     ../../../ttyUSBk
//   sys/class/tty/ttyUSBk           ->     ../../devices/.../tty/ttyUSBk
class FakeTree {
 public:
  struct Port {
    std::string tty;
    std::optional<std::string> product = std::string(kDescription) + "\n";
    bool id_vendor = true;
    bool device_link = true;
    std::string hub_product = "xHCI Host Controller\n";
  };

  FakeTree() {
    std::string pattern = (fs::temp_directory_path() / "talvek-tty-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    fs::create_directories(dev());
    fs::create_directories(sys() / "class" / "tty");
    // Terminals every machine has: one without a device, one that is no USB device.
    fs::create_directories(sys() / "class" / "tty" / "tty0");
    fs::create_directories(sys() / "devices" / "platform" / "serial8250" / "tty" / "ttyS0");
    fs::create_directory_symlink("../../devices/platform/serial8250/tty/ttyS0",
                                 sys() / "class" / "tty" / "ttyS0");
    fs::create_directory_symlink("../../../serial8250",
                                 sys() / "devices/platform/serial8250/tty/ttyS0/device");
  }
  ~FakeTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  FakeTree(const FakeTree&) = delete;
  FakeTree& operator=(const FakeTree&) = delete;

  fs::path sys() const { return root_ / "sys"; }
  fs::path dev() const { return root_ / "dev"; }

  void Add(const Port& port) {
    const std::string bus = std::to_string(++buses_);
    const fs::path hub = sys() / "devices" / "pci0000:00" / ("usb" + bus);
    const fs::path usb = hub / (bus + "-1");
    const fs::path serial = usb / (bus + "-1:1.0") / port.tty;
    const fs::path tty_dir = serial / "tty" / port.tty;
    fs::create_directories(tty_dir);
    WriteFile(hub / "idVendor", "1d6b\n");
    WriteFile(hub / "product", port.hub_product);
    if (port.id_vendor) WriteFile(usb / "idVendor", "0403\n");
    if (port.product) WriteFile(usb / "product", *port.product);
    if (port.device_link) fs::create_directory_symlink("../../../" + port.tty, tty_dir / "device");
    fs::create_directory_symlink(fs::relative(tty_dir, sys() / "class" / "tty"),
                                 sys() / "class" / "tty" / port.tty);
  }

  // Puts the device node of `tty` in the device folder, leading to `target`.
  void Node(const std::string& tty, const std::string& target) {
    fs::create_symlink(target, dev() / tty);
  }

 private:
  fs::path root_;
  int buses_ = 0;
};

// ---- discovery ----------------------------------------------------------------------

struct DiscoveryCase {
  const char* name;
  std::vector<FakeTree::Port> ports;
  const char* expected;  // the tty found, "" for none
  bool tty_class = true;
};

class DiscoveryTest : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(DiscoveryTest, FindsTheFirstTtyWhoseUsbProductIsTheDescription) {
  const DiscoveryCase& c = GetParam();
  FakeTree tree;
  for (const auto& port : c.ports) tree.Add(port);
  if (!c.tty_class) fs::remove_all(tree.sys() / "class" / "tty");

  const d2xx::TtyBackend backend(tree.sys().string(), tree.dev().string());
  const std::string expected = *c.expected ? (tree.dev() / c.expected).string() : std::string();
  EXPECT_EQ(backend.FindPort(kDescription), expected);
}

const FakeTree::Port kOther{.tty = "ttyUSB0", .product = "FT232R USB UART\n"};

INSTANTIATE_TEST_SUITE_P(
    Trees, DiscoveryTest,
    ::testing::Values(
        DiscoveryCase{"match", {{.tty = "ttyUSB0"}}, "ttyUSB0"},
        DiscoveryCase{
            "product_without_newline", {{.tty = "ttyUSB0", .product = kDescription}}, "ttyUSB0"},
        DiscoveryCase{"other_description", {kOther}, ""},
        DiscoveryCase{
            "longer_description", {{.tty = "ttyUSB0", .product = "TALVEK Update Adapter 2\n"}}, ""},
        DiscoveryCase{
            "shorter_description", {{.tty = "ttyUSB0", .product = "TALVEK Update\n"}}, ""},
        DiscoveryCase{"other_case", {{.tty = "ttyUSB0", .product = "talvek update adapter\n"}}, ""},
        DiscoveryCase{
            "trailing_space", {{.tty = "ttyUSB0", .product = "TALVEK Update Adapter \n"}}, ""},
        DiscoveryCase{"second_matches", {kOther, {.tty = "ttyUSB1"}}, "ttyUSB1"},
        DiscoveryCase{
            "two_adapters_first_by_name", {{.tty = "ttyUSB1"}, {.tty = "ttyUSB0"}}, "ttyUSB0"},
        DiscoveryCase{
            "two_adapters_numbered", {{.tty = "ttyUSB10"}, {.tty = "ttyUSB2"}}, "ttyUSB2"},
        DiscoveryCase{"no_product", {{.tty = "ttyUSB0", .product = std::nullopt}}, ""},
        // The hub's string must not stand in for the adapter's missing one.
        DiscoveryCase{"no_product_hub_matches",
                      {{.tty = "ttyUSB0",
                        .product = std::nullopt,
                        .hub_product = std::string(kDescription) + "\n"}},
                      ""},
        DiscoveryCase{"no_id_vendor", {{.tty = "ttyUSB0", .id_vendor = false}}, ""},
        DiscoveryCase{"no_device_link", {{.tty = "ttyUSB0", .device_link = false}}, ""},
        DiscoveryCase{"no_adapters", {}, ""},
        DiscoveryCase{"no_tty_class_folder", {{.tty = "ttyUSB0"}}, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscoveryTest, MissingSysfsRootFindsNothing) {
  d2xx::TtyBackend backend("/nonexistent/talvek/sys", "/nonexistent/talvek/dev");
  EXPECT_EQ(backend.FindPort(kDescription), "");
  FtHandle handle = reinterpret_cast<FtHandle>(1);
  d2xx::UseBackend(&backend);
  EXPECT_EQ(FT_OpenEx(kDescription, kFtOpenByDescription, &handle), kFtDeviceNotFound);
  EXPECT_EQ(handle, nullptr);
  d2xx::UseBackend(nullptr);
}

// ---- an adapter played by a pseudo-terminal ---------------------------------------

// The master end is the device; the slave is the adapter's tty.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) == 0) slave_ = name;
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool ok() const { return master_ >= 0 && !slave_.empty(); }
  const std::string& slave() const { return slave_; }
  int master() const { return master_; }

  // The device going away: the kernel hangs up the slave, as on a USB unplug.
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  void Send(const Bytes& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the adapter sent, up to `count` bytes or until `timeout` passes.
  Bytes Receive(std::size_t count, std::chrono::milliseconds timeout = 1000ms) const {
    Bytes got;
    const auto deadline = SteadyClock::now() + timeout;
    while (got.size() < count && SteadyClock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0) continue;
      std::uint8_t chunk[4096];
      const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
      if (n > 0) got.insert(got.end(), chunk, chunk + n);
    }
    return got;
  }

  // Everything the adapter has sent so far.
  Bytes ReceiveAll() const {
    Bytes got;
    std::uint8_t chunk[4096];
    for (;;) {
      const ssize_t n = ::read(master_, chunk, sizeof chunk);
      if (n <= 0) return got;
      got.insert(got.end(), chunk, chunk + n);
    }
  }

  // The slave's line settings; termios requests on the master act on the slave.
  termios Line() const {
    termios tio{};
    EXPECT_EQ(::tcgetattr(master_, &tio), 0);
    return tio;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::chrono::milliseconds Since(SteadyClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start);
}

class AdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok()) << "no pseudo-terminal";
    tree_.Add({.tty = "ttyUSB0"});
    tree_.Node("ttyUSB0", pty_.slave());
    d2xx::UseBackend(&backend_);
  }
  void TearDown() override {
    if (handle_ != nullptr) FT_Close(handle_);
    d2xx::UseBackend(nullptr);
  }

  // Opens and sets the line up the way the updater does on connecting.
  void Connect() {
    ASSERT_EQ(FT_OpenEx(kDescription, kFtOpenByDescription, &handle_), kFtOk);
    ASSERT_NE(handle_, nullptr);
    ASSERT_EQ(FT_SetBaudRate(handle_, 19200), kFtOk);
    ASSERT_EQ(FT_SetDataCharacteristics(handle_, kFtBits8, kFtStopBits2, kFtParityNone), kFtOk);
    ASSERT_EQ(FT_SetFlowControl(handle_, kFtFlowNone, 0, 0), kFtOk);
    ASSERT_EQ(FT_SetTimeouts(handle_, 0, 5000), kFtOk);
  }

  std::uint32_t Waiting() {
    std::uint32_t n = 0;
    FT_GetQueueStatus(handle_, &n);
    return n;
  }

  // Bytes from the master reach the slave's queue asynchronously.
  std::uint32_t WaitForWaiting(std::uint32_t count) {
    const auto deadline = SteadyClock::now() + 1000ms;
    while (Waiting() < count && SteadyClock::now() < deadline) std::this_thread::sleep_for(1ms);
    return Waiting();
  }

  Bytes ReadBytes(std::uint32_t count) {
    Bytes buffer(count);
    std::uint32_t read = 0;
    EXPECT_EQ(FT_Read(handle_, buffer.data(), count, &read), kFtOk);
    buffer.resize(read);
    return buffer;
  }

  FtStatus WriteBytes(const Bytes& bytes, std::uint32_t* written = nullptr) {
    std::uint32_t n = 0;
    const FtStatus status =
        FT_Write(handle_, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &n);
    if (written) *written = n;
    return status;
  }

  Pty pty_;
  FakeTree tree_;
  d2xx::TtyBackend backend_{tree_.sys().string(), tree_.dev().string()};
  FtHandle handle_ = nullptr;
};

Bytes AllByteValues() {
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  return all;
}

// Raw mode: CR, LF, ^C, ^D, XON, XOFF, DEL, 0x00 and 0xFF arrive as sent, nothing is
// echoed back to the device, nothing is translated on the way out.
TEST_F(AdapterTest, CarriesEveryByteValueUnchangedBothWays) {
  Connect();
  const Bytes all = AllByteValues();

  pty_.Send(all);
  ASSERT_EQ(WaitForWaiting(256), 256u);
  EXPECT_EQ(ReadBytes(256), all);

  std::uint32_t written = 0;
  ASSERT_EQ(WriteBytes(all, &written), kFtOk);
  EXPECT_EQ(written, 256u);
  EXPECT_EQ(pty_.Receive(257, 200ms), all);
}

TEST_F(AdapterTest, OpensTheMatchingTtyAndNoOther) {
  Pty other;
  ASSERT_TRUE(other.ok());
  // ttyUSB1 sorts after ttyUSB0 but ttyUSB0 is some other adapter now.
  FakeTree tree;
  tree.Add({.tty = "ttyUSB0", .product = "FT232R USB UART\n"});
  tree.Add({.tty = "ttyUSB1"});
  tree.Node("ttyUSB0", other.slave());
  tree.Node("ttyUSB1", pty_.slave());
  d2xx::TtyBackend backend(tree.sys().string(), tree.dev().string());
  d2xx::UseBackend(&backend);

  Connect();
  ASSERT_EQ(WriteBytes(Text("E\r")), kFtOk);
  EXPECT_EQ(pty_.Receive(2), Text("E\r"));
  EXPECT_TRUE(other.ReceiveAll().empty());
}

// ---- line settings ------------------------------------------------------------------

struct LineStep {
  const char* name;
  std::function<FtStatus(FtHandle)> call;
  speed_t speed;
  bool two_stop_bits;
};

void ExpectRawLine(const termios& tio, speed_t speed, bool two_stop_bits, const char* step) {
  SCOPED_TRACE(step);
  EXPECT_EQ(cfgetospeed(&tio), speed);
  EXPECT_EQ(cfgetispeed(&tio), speed);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, two_stop_bits);
  EXPECT_EQ(tio.c_cflag & (PARENB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
}

// The settings of one whole update run, read back by the device's end after each step.
TEST_F(AdapterTest, LineFollowsTheSettingsOfAnUpdateRun) {
  Connect();
  ExpectRawLine(pty_.Line(), B19200, true, "connected");

  const std::vector<LineStep> steps = {
      {"first handshake answered: one stop bit",
       [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, kFtStopBits1, 0); }, B19200, false},
      {"loader: 115200", [](FtHandle h) { return FT_SetBaudRate(h, 115200); }, B115200, false},
      {"loader: one stop bit",
       [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, kFtStopBits1, 0); }, B115200, false},
      {"flow control none", [](FtHandle h) { return FT_SetFlowControl(h, 0, 0, 0); }, B115200,
       false},
      {"second pass: 19200", [](FtHandle h) { return FT_SetBaudRate(h, 19200); }, B19200, false},
      {"second pass: two stop bits",
       [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, kFtStopBits2, 0); }, B19200, true},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(step.call(handle_), kFtOk) << step.name;
    ExpectRawLine(pty_.Line(), step.speed, step.two_stop_bits, step.name);
  }
}

bool SameLine(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && cfgetospeed(&a) == cfgetospeed(&b) &&
         cfgetispeed(&a) == cfgetispeed(&b);
}

struct Unsupported {
  const char* name;
  std::function<FtStatus(FtHandle)> call;
};

class UnsupportedSettingTest : public AdapterTest,
                               public ::testing::WithParamInterface<Unsupported> {};

// Refused outright and the line left as it was, never a nearby setting instead.
TEST_P(UnsupportedSettingTest, IsRefusedAndChangesNothing) {
  Connect();
  const termios before = pty_.Line();
  EXPECT_EQ(GetParam().call(handle_), kFtInvalidParameter);
  EXPECT_TRUE(SameLine(pty_.Line(), before));
}

INSTANTIATE_TEST_SUITE_P(
    Values, UnsupportedSettingTest,
    ::testing::Values(
        Unsupported{"baud_9600", [](FtHandle h) { return FT_SetBaudRate(h, 9600); }},
        Unsupported{"baud_57600", [](FtHandle h) { return FT_SetBaudRate(h, 57600); }},
        Unsupported{"baud_230400", [](FtHandle h) { return FT_SetBaudRate(h, 230400); }},
        Unsupported{"baud_19201", [](FtHandle h) { return FT_SetBaudRate(h, 19201); }},
        Unsupported{"baud_0", [](FtHandle h) { return FT_SetBaudRate(h, 0); }},
        Unsupported{"seven_data_bits",
                    [](FtHandle h) { return FT_SetDataCharacteristics(h, 7, 0, 0); }},
        Unsupported{"odd_parity", [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, 0, 1); }},
        Unsupported{"even_parity",
                    [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, 0, 2); }},
        Unsupported{"one_and_a_half_stop_bits",
                    [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, 1, 0); }},
        Unsupported{"stop_code_3",
                    [](FtHandle h) { return FT_SetDataCharacteristics(h, 8, 3, 0); }},
        Unsupported{"rts_cts", [](FtHandle h) { return FT_SetFlowControl(h, 0x0100, 0, 0); }},
        Unsupported{"dtr_dsr", [](FtHandle h) { return FT_SetFlowControl(h, 0x0200, 0, 0); }},
        Unsupported{"xon_xoff",
                    [](FtHandle h) { return FT_SetFlowControl(h, 0x0400, 0x11, 0x13); }},
        Unsupported{"purge_transmit_side", [](FtHandle h) { return FT_Purge(h, 2); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- opening ------------------------------------------------------------------------

TEST_F(AdapterTest, AnAdapterInUseIsRefusedUntilReleased) {
  Connect();
  FtHandle second = reinterpret_cast<FtHandle>(1);
  EXPECT_NE(FT_OpenEx(kDescription, kFtOpenByDescription, &second), kFtOk);
  EXPECT_EQ(second, nullptr);

  // The refused open left the first one working.
  ASSERT_EQ(WriteBytes(Text("D\r")), kFtOk);
  EXPECT_EQ(pty_.Receive(2), Text("D\r"));

  ASSERT_EQ(FT_Close(handle_), kFtOk);
  handle_ = nullptr;
  Connect();
  ASSERT_EQ(WriteBytes(Text("E\r")), kFtOk);
  EXPECT_EQ(pty_.Receive(2), Text("E\r"));
}

// Another serial program holding the usual advisory lock (root is not stopped by the
// tty's exclusive flag, but by this).
TEST_F(AdapterTest, AnAdapterLockedByAnotherProgramIsRefused) {
  const int other = ::open(pty_.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

  EXPECT_NE(FT_OpenEx(kDescription, kFtOpenByDescription, &handle_), kFtOk);
  EXPECT_EQ(handle_, nullptr);

  ::close(other);
  Connect();
}

// Programs that open the tty without looking for the lock (as a non-root user) are
// kept out by the tty's exclusive flag while the adapter is open, and let in after.
TEST_F(AdapterTest, TheTtyIsExclusiveExactlyWhileOpen) {
  const int probe = ::open(pty_.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(probe, 0);
  auto exclusive = [probe] {
    int flag = -1;
    EXPECT_EQ(::ioctl(probe, TIOCGEXCL, &flag), 0);
    return flag;
  };
  EXPECT_EQ(exclusive(), 0);
  Connect();
  EXPECT_EQ(exclusive(), 1);
  ASSERT_EQ(FT_Close(handle_), kFtOk);
  handle_ = nullptr;
  EXPECT_EQ(exclusive(), 0);
  ::close(probe);
}

TEST_F(AdapterTest, AMissingDeviceNodeIsNotFound) {
  fs::remove(tree_.dev() / "ttyUSB0");
  EXPECT_EQ(FT_OpenEx(kDescription, kFtOpenByDescription, &handle_), kFtDeviceNotFound);
  EXPECT_EQ(handle_, nullptr);
}

TEST_F(AdapterTest, AnotherDescriptionIsNotFound) {
  EXPECT_EQ(FT_OpenEx("TALVEK Update Adapte", kFtOpenByDescription, &handle_), kFtDeviceNotFound);
  EXPECT_EQ(handle_, nullptr);
}

// ---- reading and purging ------------------------------------------------------------

TEST_F(AdapterTest, ReadsTakeOnlyWhatIsWaitingAndLeaveTheRest) {
  Connect();
  std::uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  std::uint32_t read = 99;
  const auto start = SteadyClock::now();
  EXPECT_EQ(FT_Read(handle_, buffer, 5, &read), kFtOk);
  EXPECT_LT(Since(start), 50ms);
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](auto b) { return b == 0xEE; }));

  pty_.Send(Text("abc"));
  ASSERT_EQ(WaitForWaiting(3), 3u);
  EXPECT_EQ(ReadBytes(1), Text("a"));
  EXPECT_EQ(Waiting(), 2u);
  EXPECT_EQ(ReadBytes(5), Text("bc"));
  EXPECT_EQ(Waiting(), 0u);
}

// A send begins by discarding the device's earlier bytes; what was sent stays sent.
TEST_F(AdapterTest, PurgeDiscardsStaleBytesOnlyOnTheReceiveSide) {
  Connect();
  pty_.Send(Text("stale"));
  ASSERT_EQ(WaitForWaiting(5), 5u);
  ASSERT_EQ(WriteBytes(Text("sent")), kFtOk);  // left unread by the device for now

  ASSERT_EQ(FT_Purge(handle_, kFtPurgeRx), kFtOk);
  EXPECT_EQ(Waiting(), 0u);
  ASSERT_EQ(WriteBytes(Text("E\r")), kFtOk);
  EXPECT_EQ(pty_.Receive(6), Text("sentE\r"));

  pty_.Send(Text("\x55"));
  ASSERT_EQ(WaitForWaiting(1), 1u);
  EXPECT_EQ(ReadBytes(10), Text("\x55"));
}

// ---- writing ------------------------------------------------------------------------

TEST_F(AdapterTest, AWriteLargerThanTheDriverTakesAtOnceArrivesWhole) {
  Connect();
  Bytes frame(256 * 1024);
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = static_cast<std::uint8_t>(i * 7 + i / 256);

  Bytes got;
  std::thread device([&] { got = pty_.Receive(frame.size(), 3000ms); });
  std::uint32_t written = 0;
  const FtStatus status = WriteBytes(frame, &written);
  device.join();
  EXPECT_EQ(status, kFtOk);
  EXPECT_EQ(written, frame.size());
  EXPECT_TRUE(got == frame) << "received " << got.size() << " of " << frame.size();
}

// The device takes nothing: the write gives up at its time-out, not before and not
// much after, and the adapter is still usable once the line moves again.
TEST_F(AdapterTest, AStalledWriteFailsAtTheWriteTimeout) {
  Connect();
  ASSERT_EQ(FT_SetTimeouts(handle_, 0, 200), kFtOk);
  const Bytes frame(1 << 20, 0xA5);
  std::uint32_t written = 0;
  const auto start = SteadyClock::now();
  EXPECT_NE(WriteBytes(frame, &written), kFtOk);
  const auto took = Since(start);
  EXPECT_GE(took, 190ms);
  EXPECT_LT(took, 1500ms);
  EXPECT_LT(written, frame.size());

  Bytes got = pty_.ReceiveAll();
  EXPECT_EQ(got.size(), written);
  ASSERT_EQ(WriteBytes(Text("D\r")), kFtOk);
  EXPECT_EQ(pty_.Receive(2), Text("D\r"));
}

// ---- the adapter pulled out -----------------------------------------------------------

TEST_F(AdapterTest, UnplugDuringAWriteEndsItWithAnErrorAtOnce) {
  Connect();  // write time-out 5000 ms
  const Bytes frame(1 << 20, 0x5A);
  std::thread unplug([&] {
    std::this_thread::sleep_for(100ms);
    pty_.CloseMaster();
  });
  std::uint32_t written = 0;
  const auto start = SteadyClock::now();
  const FtStatus status = WriteBytes(frame, &written);
  const auto took = Since(start);
  unplug.join();
  EXPECT_NE(status, kFtOk);
  EXPECT_LT(took, 1500ms);

  const auto after = SteadyClock::now();
  EXPECT_NE(WriteBytes(Text("D\r")), kFtOk);
  EXPECT_EQ(Waiting(), 0u);
  std::uint8_t buffer[4];
  std::uint32_t read = 99;
  FT_Read(handle_, buffer, sizeof buffer, &read);
  EXPECT_EQ(read, 0u);
  EXPECT_LT(Since(after), 200ms);
}

TEST_F(AdapterTest, UnplugWithBytesWaitingLeavesNothingToReadAndWritesFail) {
  Connect();
  pty_.Send(Text("xyz"));
  ASSERT_EQ(WaitForWaiting(3), 3u);
  pty_.CloseMaster();

  const auto start = SteadyClock::now();
  std::uint32_t waiting = 99;
  EXPECT_NE(FT_GetQueueStatus(handle_, &waiting), kFtOk);
  EXPECT_EQ(waiting, 0u);
  std::uint8_t buffer[3];
  std::uint32_t read = 99;
  FT_Read(handle_, buffer, sizeof buffer, &read);
  EXPECT_EQ(read, 0u);
  EXPECT_NE(WriteBytes(Text("E\r")), kFtOk);
  EXPECT_LT(Since(start), 200ms);
}

}  // namespace
