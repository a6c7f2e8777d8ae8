#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

// What the screen shows of a window, frame included, written as a 24-bit BMP file.
bool CaptureWindow(HWND window, const std::string& path);
