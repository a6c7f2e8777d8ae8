#pragma once

#include <string>

#include "platform/d2xx/backend.h"

namespace d2xx {

// The adapter as Linux shows it: a tty of the kernel's FTDI serial driver, found by
// the USB product string its device reports in sysfs. Both roots are parameters so
// that tests can run on a tree of their own.
class TtyBackend final : public Backend {
 public:
  explicit TtyBackend(std::string sysfs_root = "/sys", std::string dev_dir = "/dev");

  // Opens the first tty (in name order, ttyUSB2 before ttyUSB10) whose USB device
  // reports `description` as its product, exclusively. kFtDeviceNotFound when no tty
  // matches or its device node is missing; kFtDeviceNotOpened when it is in use or
  // cannot be opened.
  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;

  // The device node that OpenByDescription would open; empty when none matches.
  std::string FindPort(const std::string& description) const;

 private:
  std::string sysfs_root_;
  std::string dev_dir_;
};

}  // namespace d2xx
