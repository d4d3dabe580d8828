// Looks for the frame lines of a framed widget (a text, a list) drawn at a fractional scale,
// where a line that falls between device pixels can be clipped away or painted over.
#pragma once

#include <QtGlobal>
#include <string>
#include <vector>

class QWidget;

namespace qtui::testing {

// The frame lines of `widget` that are missing when it is drawn at `scale` device pixels to
// the pixel, at each offset of 0 to 3 pixels and as it is and up to 3 pixels larger (every
// fraction its edges take at 1.25 and 1.5), e.g. "bottom at offset 2, grown by 1"; empty
// when all four lines are there every time. The widget gets its size back. A line is there
// when one of the two outermost device pixels across the middle of that side shows it.
std::vector<std::string> missingFrameLines(QWidget& widget, qreal scale);

}  // namespace qtui::testing
