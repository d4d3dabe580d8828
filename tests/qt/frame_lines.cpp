#include "tests/qt/frame_lines.h"

#include <QImage>
#include <QWidget>
#include <QtMath>
#include <algorithm>
#include <cstdlib>

namespace qtui::testing {
namespace {

// `widget` drawn at `offset` on a picture of the window's colour, `scale` device pixels to
// the pixel.
QImage drawn(QWidget& widget, qreal scale, int offset) {
  const QSize room = widget.size() + QSize(4, 4);
  QImage picture(qCeil(room.width() * scale), qCeil(room.height() * scale),
                 QImage::Format_ARGB32_Premultiplied);
  picture.setDevicePixelRatio(scale);
  picture.fill(widget.palette().color(QPalette::Window));
  widget.render(&picture, QPoint(offset, offset));
  return picture;
}

int distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

// Whether `pixel` shows the line: it stands out from the window's and the widget's base colour
// at least half as much as the line does at scale 1 (a line across two device pixels is
// blended into both).
bool showsLine(QRgb pixel, QRgb line, const QPalette& palette) {
  for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base}) {
    const QRgb around = palette.color(role).rgb();
    if (2 * distance(pixel, around) < distance(line, around)) return false;
  }
  return true;
}

// The sides ("top", "bottom", "left", "right") whose frame line is missing when `widget` is
// drawn at `offset` and `scale`; `line` is the line's colour at scale 1.
std::vector<std::string> sidesMissing(QWidget& widget, qreal scale, int offset, QRgb line) {
  const QImage picture = drawn(widget, scale, offset);
  // The widget's device pixels: Qt rounds each edge of its area to the nearest pixel.
  const QRectF area(QPointF(offset, offset) * scale, QSizeF(widget.size()) * scale);
  const QRect at(QPoint(qRound(area.left()), qRound(area.top())),
                 QPoint(qRound(area.right()) - 1, qRound(area.bottom()) - 1));
  const QPoint middle = at.center();
  const struct {
    const char* side;
    QPoint outermost;
    QPoint inward;
  } sides[] = {
      {"top", {middle.x(), at.top()}, {0, 1}},
      {"bottom", {middle.x(), at.bottom()}, {0, -1}},
      {"left", {at.left(), middle.y()}, {1, 0}},
      {"right", {at.right(), middle.y()}, {-1, 0}},
  };
  std::vector<std::string> missing;
  for (const auto& s : sides) {
    if (!showsLine(picture.pixel(s.outermost), line, widget.palette()) &&
        !showsLine(picture.pixel(s.outermost + s.inward), line, widget.palette())) {
      missing.emplace_back(s.side);
    }
  }
  return missing;
}

}  // namespace

std::vector<std::string> missingFrameLines(QWidget& widget, qreal scale) {
  Q_ASSERT(widget.width() > 8 && widget.height() > 8);
  const QRgb line = drawn(widget, 1, 0).pixel(0, widget.height() / 2);
  const QSize size = widget.size();
  std::vector<std::string> missing;
  for (int grown = 0; grown < 4; ++grown) {
    widget.resize(size + QSize(grown, grown));
    for (int offset = 0; offset < 4; ++offset) {
      for (const std::string& side : sidesMissing(widget, scale, offset, line)) {
        missing.push_back(side + " at offset " + std::to_string(offset) + ", grown by " +
                          std::to_string(grown));
      }
    }
  }
  widget.resize(size);
  return missing;
}

}  // namespace qtui::testing
