#pragma once

#include <functional>

// The program's start-up: prepares the application object, creates the main window and
// the release-notes window (which waits for OK), then runs until the main window is
// closed. Every path returns 0; an exception escaping start-up is shown in an error box.
int UpdaterMain();

// The same with the window-creating step given, so that a test can make it fail.
int UpdaterMain(const std::function<void()>& create_windows);

// The window-creating step: the main window, then the release-notes window.
void CreateWindows();
