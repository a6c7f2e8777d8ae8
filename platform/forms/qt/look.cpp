#include <QStringList>
#include <cmath>
#include <cstdlib>

#include "platform/forms/display_text.h"
#include "platform/forms/qt/qt_peer.h"
#include "platform/forms/qt/qt_widgets.h"

namespace forms {

QColor ColorOf(TColor color) {
  switch (color) {
    case clBtnFace:
      return QColor(0xF0, 0xF0, 0xF0);
    case clWindowText:
      return QColor(0x00, 0x00, 0x00);
    case clBackground:
      return QColor(0x3A, 0x6E, 0xA5);
  }
  return QColor(0x00, 0x00, 0x00);
}

QFont FontOf(const TFontDesign& font, double scale) {
  QFont result;
  result.setFamilies(QStringList{QString::fromLatin1(font.name), QStringLiteral("DejaVu Sans"),
                                 QStringLiteral("Liberation Sans")});
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(static_cast<int>(std::lround(std::abs(font.height) * scale)));
  result.setBold(font.bold);
  return result;
}

QString ToQString(const std::string& cp1252) {
  const std::u16string text = DisplayText(cp1252);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace forms
