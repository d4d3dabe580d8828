// The runtime's text functions. Text is UTF-8; every length and position here counts bytes,
// 1-based where the function takes a position. Cuts never split a character: a function that
// would cut inside one drops that character's partial bytes.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// `text` without its trailing spaces (only U+0020; other blanks and NULs are kept).
std::string CLIP(std::string_view text);

// `text` in upper case through foldCase, the system's one case folding.
std::string UPPER(std::string_view text);

// `text` in lower case through lowerCase.
std::string LOWER(std::string_view text);

// The length in bytes of `text` as passed, trailing spaces included; LEN(CLIP(text)) gives the
// length of its significant part.
int LEN(std::string_view text);

// `text` with its leading spaces moved to the end; the length stays the same.
std::string LEFT(std::string_view text);

// `pattern` repeated to `length` bytes, the last repetition cut to fit without splitting a
// character (so the result may be a few bytes shorter). Empty when `pattern` is empty or
// `length` is not positive.
std::string ALL(std::string_view pattern, int length);

// The part of `text` from byte position `start` (1-based) of `length` bytes. A negative
// `length`, or one that reaches past the end, takes the rest of the text. Positions before the
// first byte (start < 1) lie outside the text: the window start..start+length-1 is taken
// where it overlaps the text, so SUB("abc", 0, 2) is "a" and SUB("abc", -1, -1) is "abc".
// A start past the end, or a zero length, gives an empty text. Only whole characters lying
// inside the window are taken.
std::string SUB(std::string_view text, int start, int length);

// The 1-based byte position of the first occurrence of `substring` in `text`, 0 when there is
// none or `substring` is empty. The positions tried are start, start + step, start + 2*step,
// ...: a positive step searches forward (a start below 1 counts as 1), a negative step searches
// backwards from `start` down to position 1 (positions where the substring would reach past
// the end are skipped). A step of 0 counts as 1. Bytes are compared exactly.
int INSTRING(std::string_view substring, std::string_view text, int step = 1, int start = 1);

// Compares two texts byte by byte (unsigned) as if both had their trailing spaces removed:
// negative when `a` orders first, 0 when equal, positive when `b` orders first. "ab" equals
// "ab  "; a text orders before any longer text it begins.
int compareText(std::string_view a, std::string_view b);

// compareText of foldCase(a) and foldCase(b): equal when the texts differ only in letter case
// or trailing spaces.
int compareTextNoCase(std::string_view a, std::string_view b);

// compareText(a, b) == 0.
bool equalText(std::string_view a, std::string_view b);

// compareTextNoCase(a, b) == 0.
bool equalTextNoCase(std::string_view a, std::string_view b);

}  // namespace runtime
