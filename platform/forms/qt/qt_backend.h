#pragma once

// The Qt 6 Widgets backend, chosen when the program starts. Neither call exposes Qt.

namespace forms {

// Creates the QApplication if there is none and makes every form created from now on
// a real window.
void UseQtWindows();

// Installs the real-time loop: timers on the program clock woken by one precise Qt
// timer, a nested Qt event loop per modal form, error boxes as message boxes.
void UseQtEventLoop();

}  // namespace forms
