// How the FontColor, FontStyle and Cursor properties look in Qt. Colours are the runtime's
// colour values: 00BBGGRR, or a system colour (80000000h plus the colour's index) that is
// taken from the palette, so that light and dark themes both stay readable.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <optional>
#include <string_view>

namespace qtui {

// The colour of a colour value under `palette`; an invalid colour for "none" (ColorNone) and
// for system colours that have no palette role.
QColor colorOf(int value, const QPalette& palette);

// `base` with a FontStyle applied: the weight in its low bits (0 = as `base`), italic,
// underline and strikeout bits.
QFont fontOf(const QFont& base, int fontStyle);

// Gives a widget a text colour (an invalid colour brings back the palette's own), for
// active and inactive windows; disabled text keeps the palette's disabled colour.
void setTextColor(QWidget& widget, const QColor& color);

// The cursor a Cursor property names ("~hand2.cur", "hand.cur", "IBeam" ...); nullopt for an
// empty name, which means the widget's own cursor.
std::optional<QCursor> cursorOf(std::string_view name);

}  // namespace qtui
