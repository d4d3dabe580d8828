#include "platform/qt/dialog_units.h"

#include <QFontMetricsF>
#include <cassert>
#include <cmath>

namespace qtui {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetricsF metrics(font);
  // The average width of the letters, as the platform's dialog layouts measure it.
  static const QString letters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  charWidth_ = metrics.horizontalAdvance(letters) / letters.size();
  charHeight_ = metrics.height();
  assert(charWidth_ > 0 && charHeight_ > 0);
}

int DialogUnits::x(int units) const {
  return static_cast<int>(std::lround(units * charWidth_ / 4));
}

int DialogUnits::y(int units) const {
  return static_cast<int>(std::lround(units * charHeight_ / 8));
}

QSize DialogUnits::size(int width, int height) const { return QSize(x(width), y(height)); }

QRect DialogUnits::rect(const window::Rect& r) const {
  const int left = x(r.x);
  const int top = y(r.y);
  return QRect(left, top, x(r.x + r.width) - left, y(r.y + r.height) - top);
}

int DialogUnits::unitsX(int pixels) const {
  return static_cast<int>(std::lround(pixels * 4 / charWidth_));
}

int DialogUnits::unitsY(int pixels) const {
  return static_cast<int>(std::lround(pixels * 8 / charHeight_));
}

}  // namespace qtui
