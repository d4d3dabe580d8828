// The application's style: the platform's own, except that the plain frame of texts, lists and
// panels is drawn on whole device pixels when the screen's scale is fractional (1.25, 1.5).
// There a one-pixel frame line falls between device pixels: its left and top lines can land
// just outside the widget's device area and be clipped away, and its right and bottom lines
// under the area of the text or list inside, which paints over them.
#pragma once

#include <QProxyStyle>

namespace qtui {

class PixelFrameStyle : public QProxyStyle {
 public:
  // Wraps the style named `baseStyle` (a style factory key).
  explicit PixelFrameStyle(const QString& baseStyle);

  // Draws a plain frame at a fractional scale on the outermost device pixels of the widget's
  // area, one device pixel thick; the device pixels between it and a scroll area's viewport get
  // the viewport's background. Everything else is the base style's.
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

}  // namespace qtui
