#pragma once

#include <memory>

#include "platform/d2xx/backend.h"

namespace d2xx {

struct DllLibrary;

// The adapter through the vendor's library, loaded at run time by name; no import
// library and no vendor header are used. Without the library, or with one that lacks
// an operation the program calls, no adapter is ever found.
class DllBackend final : public Backend {
 public:
  explicit DllBackend(const char* library_name = "FTD2XX.DLL");
  ~DllBackend() override;
  DllBackend(const DllBackend&) = delete;
  DllBackend& operator=(const DllBackend&) = delete;

  // Whether the library and every operation were found.
  bool Loaded() const;
  // kFtDeviceNotFound when not Loaded(); otherwise what the library's FT_OpenEx says.
  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;

 private:
  std::unique_ptr<DllLibrary> library_;
};

}  // namespace d2xx
