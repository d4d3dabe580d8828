// Dialog units, the measure of window and control positions: x counts quarters of the font's
// average character width, y eighths of its character height. Converting with the font the
// windows are drawn in keeps layouts in proportion at any font size and screen density.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "platform/window/list_view.h"

namespace qtui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  // Device-independent pixels of a horizontal or vertical distance in dialog units.
  int x(int units) const;
  int y(int units) const;
  QSize size(int width, int height) const;
  // The pixel rectangle of a rectangle in dialog units; neighbours that touch in dialog units
  // touch in pixels (edges are rounded, not sizes).
  QRect rect(const window::Rect& r) const;
  // Dialog units of a pixel distance, rounded to the nearest unit.
  int unitsX(int pixels) const;
  int unitsY(int pixels) const;

  double charWidth() const { return charWidth_; }
  double charHeight() const { return charHeight_; }

 private:
  double charWidth_;
  double charHeight_;
};

}  // namespace qtui
