#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "fuzz/script.h"
#include "platform/d2xx/backend.h"
#include "platform/ticks/virtual_clock.h"

// A Velka and its adapter whose every answer, delay and mishap comes from a script, but
// which is honest about its memory: it answers with an acknowledgement only what it
// has taken in (a chunk that checks out, an erase it has finished, a page it wrote),
// so the updater can claim success only when the flash holds the payload. Once the
// script is used up the device is silent.
class ScriptedVelka final : public d2xx::Backend {
 public:
  ScriptedVelka(ticks::VirtualClock& clock, Script& script);
  ~ScriptedVelka() override;
  ScriptedVelka(const ScriptedVelka&) = delete;
  ScriptedVelka& operator=(const ScriptedVelka&) = delete;

  FtStatus OpenByDescription(const char* description, FtHandle* handle) override;

  // Every bank holds its image with its empty pages erased, and the closing frame was
  // acknowledged.
  bool FlashHoldsPayload() const;
  bool Exhausted() const { return exhausted_; }
  // When the device last took a word of the script (one for every write it receives),
  // or found it used up.
  std::uint64_t LastWordUs() const { return last_word_us_; }

  // For the open handle of `session`.
  bool Alive(std::uint64_t session) const;
  void Close(std::uint64_t session);
  FtStatus Write(const std::uint8_t* data, std::uint32_t length);
  std::uint32_t Waiting();
  std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count);
  void PurgeReceived();
  void SetBaud(std::uint32_t baud) { baud_ = baud; }

 private:
  enum class Effect { kNone, kPage, kClosing };
  // What a frame just taken in may be answered with (the first byte; any of them would
  // be taken for an answer), and what answering it means.
  struct Received {
    std::vector<std::uint8_t> accepts;
    Effect effect = Effect::kNone;
    std::uint8_t bank = 0;
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> data;
  };
  struct Pending {
    std::uint64_t at_us;  // when the adapter has it
    std::uint8_t byte;
  };

  static Received Answerable(std::vector<std::uint8_t> accepts);
  Received Receive(const std::vector<std::uint8_t>& frame);
  // Sends what the script's word says; whether the acknowledgement went out.
  bool Answer(int action, int param, const Received& received);
  void Apply(const Received& received);
  void Emit(std::uint64_t at_us, std::uint8_t byte);
  std::optional<std::uint8_t> NextWord();
  void Settle();  // ends the erase once its time has come
  std::uint64_t ByteUs() const;

  ticks::VirtualClock& clock_;
  Script& script_;
  bool exhausted_ = false;
  std::uint64_t last_word_us_ = 0;
  std::uint64_t session_ = 0;
  bool open_ = false;
  bool plugged_ = true;
  int failing_opens_ = 0;
  std::uint32_t baud_ = 19200;
  std::vector<Pending> rx_;  // by arrival time

  std::vector<std::uint8_t> ram_;
  bool loader_running_ = false;
  bool erasing_ = false;
  std::optional<std::uint64_t> erase_done_us_;  // while erasing: when it ends, if ever
  bool erased_ = false;
  bool data_mode_ = false;
  bool closed_ = false;
  std::vector<std::uint8_t> header_;  // a page or closing header awaiting its data
  std::map<std::uint8_t, std::vector<std::uint8_t>> flash_;
};
