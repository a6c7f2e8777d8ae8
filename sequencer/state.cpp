#include "sequencer/sequencer.h"

std::uint8_t UpdateState = 0;
std::uint8_t BootPass = 0;
std::uint16_t TargetAddress = kLoaderAddress;
