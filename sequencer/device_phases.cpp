#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "payload/firmware.h"
#include "protocol/bank_programming.h"
#include "protocol/boot_frames.h"
#include "protocol/loader_commands.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "sequencer/state_steps.h"

namespace {

// Reads up to `count` reply bytes into FrameBuffer; whether `value` is among them.
bool ReadAndLookFor(std::uint16_t count, std::uint8_t value) {
  std::uint16_t n = 0;
  ReadAvailable(FrameBuffer, count, n);
  return ReplyContains(FrameBuffer, value, static_cast<std::uint8_t>(n));
}

void Fail(const std::string& message) {
  Updater->lbInfo->SetCaption(message);
  UpdateState = 21;
}

// One 0x0C command with its acknowledgement.
bool Command0C(std::uint8_t selector) {
  BuildCommand0CFrame(selector);
  WaitMs(50);
  SendFrame(FrameBuffer, kCommand0CFrameLength);
  WaitMs(50);
  return ReadAndLookFor(1, kReplyAck);
}

}  // namespace

void SynchroniseStep() {
  BuildSyncFrame();
  SendFrame(FrameBuffer, kSyncFrameLength);
  WaitMs(50);
  if (!ReadAndLookFor(10, kReplySync)) return;  // the next tick sends it again
  FT_SetDataCharacteristics(AdapterHandle, kFtBits8, kFtStopBits1, kFtParityNone);
  UpdateState = 4;
  Updater->Timer2->SetEnabled(false);
  Updater->lbInfo->SetVisible(true);
}

void CalibrationOffStep() {
  BuildCalibrationOffFrame();
  WaitMs(50);
  SendFrame(FrameBuffer, kCalibrationOffFrameLength);
  WaitMs(50);
  UpdateState = 5;
}

void CalibrationReplyStep() {
  if (ReadAndLookFor(1, kReplyAck)) {
    UpdateState = 6;
  } else {
    Fail(kCalibrationOffFailedText);
  }
}

void ProbeStep() {
  BuildProbeFrame();
  WaitMs(50);
  SendFrame(FrameBuffer, kProbeFrameLength);
  WaitMs(50);
  UpdateState = 7;
}

void ProbeReplyStep() {
  std::uint16_t n = 0;
  ReadAvailable(FrameBuffer, 5, n);
  const auto count = static_cast<std::uint8_t>(n);
  // None of the ways to 21 here writes a message: the prompt stays, now steady.
  if (ReplyContains(FrameBuffer, kReplySecondPass, count)) {
    BootPass = BootPass == 0 ? 1 : 2;
    UpdateState = Command0C(0x00) && Command0C(0x01) ? 8 : 21;
  } else if (ReplyContains(FrameBuffer, kReplyAck, count)) {
    BootPass = 2;
    UpdateState = 8;
  } else {
    UpdateState = 21;
  }
}

void StartDownloadStep() {
  Updater->lbInfo->SetCaption(kDownloadingText);
  UpdateState = 9;
  DownloadOffset = 0;
}

void NextChunkStep() {
  if (DownloadOffset >= kLoaderSize) {
    UpdateState = 11;
    return;
  }
  BuildChunkFrame();
  SendFrame(FrameBuffer, kChunkFrameLength);
  DownloadOffset = static_cast<std::uint16_t>(DownloadOffset + kChunkDataLength);
  TargetAddress = static_cast<std::uint16_t>(kLoaderAddress + DownloadOffset);
  UpdateState = 10;
  RetryCount = 0;
}

void ChunkReplyStep() {
  std::uint16_t n = 0;
  ReadAvailable(FrameBuffer, 1, n);
  if (n == 0) {
    // The reply of an earlier poll may lie over the frame's first byte: send the
    // chunk as it was built, never what the buffer holds now.
    RebuildSentChunkFrame();
    SendFrame(FrameBuffer, kChunkFrameLength);
  }
  if (ReplyContains(FrameBuffer, kReplyAck, static_cast<std::uint8_t>(n))) {
    UpdateState = 9;
    return;
  }
  ++RetryCount;
  if (RetryCount > 40) Fail(kDownloadFailedText);
}

void StartLoaderStep() {
  if (StartLoader()) {
    UpdateState = 12;
  } else {
    Fail(kDownloadFailedText);
  }
}

void PrepareEraseStep() {
  Updater->lbInfo->SetCaption(kErasingText);
  ConfigureLine(AdapterHandle, 115200, kFtStopBits1);
  TargetAddress = 0;
  UpdateState = 13;
}

void EraseStep() {
  if (EraseFlash()) {
    UpdateState = 14;
  } else {
    Fail(kErasingFailedText);
  }
}

void SecondPassStep() {
  if (BootPass != 1) {
    UpdateState = 15;
    return;
  }
  // The adapter stays open; the device is switched off and on by hand.
  Updater->Timer2->SetEnabled(true);
  Updater->lbInfo->SetCaption(kPowerCyclePrompt);
  ConfigureLine(AdapterHandle, 19200, kFtStopBits2);
  TargetAddress = kLoaderAddress;
  UpdateState = 3;
}

void PauseStep() { UpdateState = 16; }

void DataModeStep() {
  if (EnterDataMode()) {
    UpdateState = 17;
  } else {
    Fail(kDataTransferFailedText);
  }
}

void AnnounceProgrammingStep() {
  Updater->lbInfo->SetCaption(kProgrammingText);
  UpdateState = 18;
}

void ProgramStep() {
  if (ProgramBanks()) {
    UpdateState = 19;
  } else {
    Fail(kProgrammingFailedText);
  }
}

void ReportSuccessStep() {
  Updater->lbInfo->SetCaption(kSuccessText);
  UpdateState = 20;
}
