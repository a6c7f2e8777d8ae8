#pragma once

// Commands that start the downloaded loader and then talk to it. Each returns true on
// success; none shows a message.

inline constexpr unsigned char kReplyEraseAck = 'e';
inline constexpr unsigned char kReplyDone = 'f';  // erase complete; also a page written
inline constexpr unsigned char kReplyDataMode = 'd';

// Tells the boot ROM to run the loader at its load address (19200 baud).
bool StartLoader();
// Has the loader erase the flash and gives the erase its time (115200 baud).
bool EraseFlash();
// Puts the loader into data mode before the page writes (115200 baud).
bool EnterDataMode();
