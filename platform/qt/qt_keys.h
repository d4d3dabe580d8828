// Key codes between Qt's key events and the engine's codes (the key, plus 100h for Shift,
// 200h for Ctrl and 400h for Alt).
#pragma once

#include <QKeyEvent>
#include <memory>

namespace qtui {

// The engine's code of a key event; 0 for a key it has no code for (a modifier alone, most
// punctuation), which is left to the widget.
int keyCodeOf(const QKeyEvent& event);

// A key event of `type` (press or release) for an engine key code, with the text the key
// types; nullptr for a code that stands for no key.
std::unique_ptr<QKeyEvent> keyEventOf(int code, QEvent::Type type);

}  // namespace qtui
