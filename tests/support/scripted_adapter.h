#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/d2xx/backend.h"

// An adapter whose every call is recorded and whose replies a test scripts.
class ScriptedAdapter final : public d2xx::Backend {
 public:
  struct Log {
    std::vector<std::string> calls;  // e.g. "SetBaudRate 19200", "Purge 1", "Write 5"
    std::vector<std::vector<std::uint8_t>> writes;
    std::deque<std::uint8_t> rx;          // bytes waiting to be read
    std::deque<FtStatus> write_statuses;  // consumed one per write; empty means success
    FtStatus settings_status = kFtOk;
    std::string opened_with;
    int opens = 0;
    int closes = 0;
  };

  ScriptedAdapter() { d2xx::UseBackend(this); }
  ~ScriptedAdapter() override { d2xx::UseBackend(nullptr); }

  bool present = true;
  Log log;

  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;
};
