// Synthetic keystrokes in place of keybd_event. Key transitions are given by virtual-key code as
// on the platform the program came from; each key that goes down, other than a modifier, becomes
// one keystroke in the runtime's key codes (the key plus 100h for Shift, 200h for Ctrl and 400h
// for Alt, as held at that moment) and goes to the key sink, which hands it to whatever holds
// the keyboard focus. Modifier state is kept per thread: a window thread types its own keys.
#pragma once

#include <cstdint>
#include <functional>

namespace os {

// The virtual-key codes of the keys the program synthesises; the cursor and letter keys have
// the same code as the runtime's key code.
inline constexpr int VkTab = 0x09;
inline constexpr int VkReturn = 0x0D;
inline constexpr int VkShift = 0x10;
inline constexpr int VkControl = 0x11;
inline constexpr int VkMenu = 0x12;  // Alt

// The flag of a key going up (KEYEVENTF_KEYUP); without it the key goes down.
inline constexpr unsigned KeyEventKeyUp = 0x0002;

// One key transition: `virtualKey` goes down, or up with KeyEventKeyUp. A modifier changes the
// held state of the calling thread; any other key going down delivers its keystroke to the sink
// (nothing when none is installed, as when no window has the focus). Going up delivers nothing.
// `scanCode` and `extraInfo` are accepted for the caller's sake and not used.
void keybd_event(int virtualKey, int scanCode, unsigned flags, std::uintptr_t extraInfo);

// Receives each synthesised keystroke as a runtime key code.
using KeySink = std::function<void(int keyCode)>;

// Makes `sink` the process's key sink (empty = none) and answers the one before, so a test can
// put it back.
KeySink setKeySink(KeySink sink);

// True when a key sink is installed.
bool hasKeySink();

}  // namespace os
