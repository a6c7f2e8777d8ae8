#pragma once

// What the system shows of a form or control, read through the Win32 API. Apart from the
// tests themselves: <windows.h> and the program's platform/ticks/ticks.h declare
// GetTickCount differently and cannot meet in one file.

#include <string>

#include "platform/forms/forms.h"

namespace probe {

struct Box {
  int left, top, width, height;
  bool operator==(const Box&) const = default;
};

struct Font {
  std::string face;
  int height;
  bool bold;
};

struct Frame {
  bool resizable, system_menu, minimize_box, maximize_box, top_most;
};

std::string Text(const TForm& form);
std::string Text(const TControl& control);
bool Visible(const TForm& form);
bool Visible(const TControl& control);
bool Enabled(const TForm& form);
// Within the form's client area.
Box Place(const TControl& control);
Box Client(const TForm& form);
// On the screen, frame included.
Box Outer(const TForm& form);
int DesktopWidth();
bool ChildOf(const TControl& control, const TForm& form);
Font FontOf(const TControl& control);
Frame FrameOf(const TForm& form);
int ProgressPosition(const TProgressBar& bar);
// A press of the button as the system delivers it.
void Click(const TButton& button);
// The system's close request, at once or as a posted message.
void SystemClose(const TForm& form);
void PostSystemClose(const TForm& form);

}  // namespace probe
