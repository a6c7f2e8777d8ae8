#pragma once

// The program's version record; talvek-updater.rc carries the same for Windows.

namespace version_info {

inline constexpr unsigned kFileVersion[4] = {4, 0, 0, 0};
inline constexpr unsigned kProductVersion[4] = {4, 0, 0, 0};
inline constexpr unsigned kLanguage = 0x0407;  // German
inline constexpr unsigned kCodePage = 1252;

inline constexpr const char* kCompanyName = "TALVEK Updater developers";
inline constexpr const char* kFileDescription = "Update File";
inline constexpr const char* kFileVersionText = "4.0.0.0";
inline constexpr const char* kLegalCopyright = "Copyright (C) TALVEK Updater developers";
inline constexpr const char* kProductName = "TALVEK Updater";
inline constexpr const char* kProductVersionText = "1.0.0.0";

}  // namespace version_info
