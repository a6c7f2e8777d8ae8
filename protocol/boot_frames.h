#pragma once

#include <cstddef>
#include <cstdint>

// Frames for the device's boot ROM, built in place in FrameBuffer and sent from its
// first byte; replies are read into it over the frame just sent.

inline constexpr std::uint16_t kSyncFrameLength = 5;
inline constexpr std::uint16_t kCalibrationOffFrameLength = 5;
inline constexpr std::uint16_t kProbeFrameLength = 6;
inline constexpr std::uint16_t kCommand0CFrameLength = 3;
inline constexpr std::uint16_t kChunkDataLength = 256;
inline constexpr std::uint16_t kChunkFrameLength = 6 + kChunkDataLength + 1;

inline constexpr std::uint8_t kReplySync = 'F';
inline constexpr std::uint8_t kReplyAck = 'i';
inline constexpr std::uint8_t kReplySecondPass = 0x96;

extern std::uint8_t FrameBuffer[kChunkFrameLength];
extern std::uint16_t RunningChecksum;
// Offset in LoaderImage of the next chunk to send; the image's size when all are sent.
extern std::uint16_t DownloadOffset;
// Polls without an acknowledgement for the chunk last sent.
extern std::uint16_t RetryCount;

// Ones' complement of the end-around-carry sum that `sum` accumulated.
std::uint8_t CheckByte(std::uint16_t sum);

void BuildSyncFrame();
void BuildCalibrationOffFrame();
void BuildProbeFrame();
void BuildCommand0CFrame(std::uint8_t selector);
// The chunk of LoaderImage at DownloadOffset, for the device address TargetAddress.
void BuildChunkFrame();
// The chunk sent last (the one before DownloadOffset) once more, as it was first built:
// a poll may have read a reply over its first byte.
void RebuildSentChunkFrame();
