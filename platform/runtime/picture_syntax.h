// The parsed form of a display picture, shared by the formatting routines of picture.cpp and
// picture_date_time.cpp. The grammar is described in picture.h.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

enum class PictureKind { Plain, String, Number, Date, Time, Pattern };

enum class NumberFill { GroupedSpaces, Spaces, Zeros };

struct Picture {
  PictureKind kind = PictureKind::Plain;
  int width = 0;                                // String, Number
  int decimals = 0;                             // Number
  bool trailingSign = false;                    // Number
  NumberFill fill = NumberFill::GroupedSpaces;  // Number
  int style = 0;                                // Date: 2, 3, 6, 10, 12; Time: 1, 4
  char separator = '/';                         // Date
  std::string pattern{};                        // Pattern: the text between its two "p"s
  bool blankWhenZero = false;                   // Pattern
};

// The picture a text describes; a Plain picture for an empty text and for any text that is not a
// picture of the grammar.
Picture parsePicture(std::string_view text);

}  // namespace runtime
