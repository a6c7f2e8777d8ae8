#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace simprog {

// The frame the updater's main window takes: its fixed 429 x 407 client area centred on
// the desktop, with the frame the window layer assumes before the window manager says.
QRect ExpectedMainWindowFrame(const QRect& desktop);

// Top-left corner for a window of frame size `size` beside `main` without covering it:
// to the right when it fits on the desktop, else to the left, else on the roomier side
// (partly off the desktop rather than over the updater). Tops aligned, kept on the
// desktop vertically where it fits.
QPoint BesideOf(const QRect& main, const QSize& size, const QRect& desktop);

}  // namespace simprog
