#include "platform/qt/pixel_frame_style.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleOption>
#include <cmath>

namespace qtui {
namespace {

// Whether `transform` scales whole pixels by a fraction (1.25, 1.5), without turning them.
bool scalesByAFraction(const QTransform& transform) {
  return transform.type() <= QTransform::TxScale &&
         (transform.m11() != std::round(transform.m11()) ||
          transform.m22() != std::round(transform.m22()));
}

// The device pixels of an area in device coordinates, as Qt gives them to a widget: each edge
// is rounded to the nearest pixel boundary.
QRect devicePixels(const QRectF& area) {
  return QRect(QPoint(qRound(area.left()), qRound(area.top())),
               QPoint(qRound(area.right()) - 1, qRound(area.bottom()) - 1));
}

// Fills the device pixels between a scroll area's frame line (`outline`) and its contents
// (the viewport, scroll bars and corner), as the viewport fills its own. The painter draws in
// device pixels; `device` maps the widget's pixels to them.
void fillInsideOutline(QPainter& painter, const QTransform& device, const QRect& outline,
                       const QStyleOption& option, const QWidget* widget) {
  const auto* area = qobject_cast<const QAbstractScrollArea*>(widget);
  const QWidget* viewport = area ? area->viewport() : nullptr;
  if (!viewport || !viewport->autoFillBackground()) return;
  const QRect contents = devicePixels(device.mapRect(QRectF(area->contentsRect())));
  const QRegion ring = QRegion(outline.adjusted(1, 1, -1, -1)).subtracted(contents);
  const QBrush background =
      viewport->palette().brush(option.palette.currentColorGroup(), viewport->backgroundRole());
  for (const QRect& part : ring) painter.fillRect(part, background);
}

}  // namespace

PixelFrameStyle::PixelFrameStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

void PixelFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  const QTransform device = painter->deviceTransform();
  if (element != PE_Frame || !scalesByAFraction(device)) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  const QRect pixels = devicePixels(device.mapRect(QRectF(option->rect)));
  painter->save();
  // Draws in device pixels: the world transform cancels the rest of the device mapping.
  const QTransform rest = painter->worldTransform().inverted() * device;
  painter->setWorldTransform(rest.inverted());
  fillInsideOutline(*painter, device, pixels, *option, widget);
  if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
    QStyleOptionFrame onPixels(*frame);
    onPixels.rect = pixels;
    QProxyStyle::drawPrimitive(element, &onPixels, painter, widget);
  } else {
    QStyleOption onPixels(*option);
    onPixels.rect = pixels;
    QProxyStyle::drawPrimitive(element, &onPixels, painter, widget);
  }
  painter->restore();
}

}  // namespace qtui
