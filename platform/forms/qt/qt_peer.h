#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "platform/forms/forms.h"

namespace forms {

// Implemented by every Qt peer, forms and controls alike.
class QtPeer {
 public:
  virtual ~QtPeer() = default;
  virtual QWidget* Widget() const = 0;
};

// Look of the designs on this machine.
QColor ColorOf(TColor color);
// "MS Sans Serif" and other missing families fall back to the system's sans serif.
QFont FontOf(const TFontDesign& font, double scale);

}  // namespace forms
