#pragma once

// The Qt widgets behind forms and controls, for the backend and for tests that look at
// what is on screen. The program's own code never includes this.

#include <QString>
#include <QWidget>
#include <string>

#include "platform/forms/forms.h"

namespace forms {

// The peer's widget, or nullptr when the object has no Qt peer.
QWidget* WidgetOf(const TForm& form);
QWidget* WidgetOf(const TControl& control);

// A code page 1252 caption as Qt shows it.
QString ToQString(const std::string& cp1252);

}  // namespace forms
