// Key codes as KEYCODE() answers them and PRESSKEY and the Alrt property take them.
#pragma once

namespace window {

inline constexpr int ShiftKey = 0x100;  // added to a key while Shift is held
inline constexpr int CtrlKey = 0x200;   // added while Ctrl is held
inline constexpr int AltKey = 0x400;    // added while Alt is held

inline constexpr int MouseLeft = 1;   // a left click
inline constexpr int MouseRight = 2;  // the right button going down
inline constexpr int MouseLeft2 = 5;  // a left double click
inline constexpr int BackspaceKey = 8;
inline constexpr int TabKey = 9;
inline constexpr int EnterKey = 13;
inline constexpr int ShiftKeyAlone = 16;  // the Shift key itself
inline constexpr int AltKeyAlone = 18;    // the Alt key itself, pressed and let go alone
inline constexpr int EscKey = 27;
inline constexpr int SpaceKey = 32;
inline constexpr int PgUpKey = 33;
inline constexpr int PgDnKey = 34;
inline constexpr int EndKey = 35;
inline constexpr int HomeKey = 36;
inline constexpr int LeftKey = 37;
inline constexpr int UpKey = 38;
inline constexpr int RightKey = 39;
inline constexpr int DownKey = 40;
inline constexpr int DeleteKey = 46;
inline constexpr int F1Key = 112;
inline constexpr int F10Key = 121;
inline constexpr int MouseRightUp = 130;  // the right button released over a list: the popup click
inline constexpr int CtrlH = CtrlKey + 'H';  // 584, the forms' history key

// The code of a letter or digit key ('a' and 'A' give 'A').
constexpr int letterKey(char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// The key without its Shift, Ctrl and Alt parts.
constexpr int baseKey(int code) { return code & 0xFF; }

}  // namespace window
