#pragma once

#include <cstdint>

// The update's state machine: one state step per tick of Timer1, driven through the
// main window's button and label.

// 0 idle, 1 to 19 running, 20 succeeded, 21 failed (cleaned up on the next tick).
extern std::uint8_t UpdateState;
// 0 when an update starts; 1 when the device asked for a second boot pass, 2 otherwise.
extern std::uint8_t BootPass;
// Device address in frame headers: the loader's RAM address during the download, the
// page's offset in its bank while programming.
extern std::uint16_t TargetAddress;

inline constexpr std::uint16_t kLoaderAddress = 0x5240;

// One step of the progress bar: position + 1, modulo 100.
void AdvanceProgress();
