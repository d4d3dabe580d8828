// List format strings: one group per column, e.g. "191L(2)|M~Project Description~@s99@".
// A column is: width (dialog units), alignment L, R, C or D (decimal) with an optional
// "(indent)", modifiers, an optional heading between "~" with its own optional alignment and
// indent, and an optional picture between "@". Modifiers: "|" right border, "M" the user may
// resize and move the column, "I" an icon, "J" a transparent icon (both take the next row
// field as the icon number), "_" underline, "F" fixed (not scrolled), "Y" a style number in
// the next row field, "Z(n)" the cell style of the column, "*" colours in the next four row
// fields, "T" a tree level in the next row field, "P" a tip in the next row field, "#n#" the
// row field the column shows (by default the one after the previous column's fields).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace window {

struct ListColumn {
  int width = 0;
  char align = 'L';  // L, R, C or D
  std::optional<int> indent;
  std::string modifiers;  // as written, "Z(n)" and "#n#" included
  bool rightBorder = false;
  bool resizable = false;
  bool icon = false;             // I or J
  bool transparentIcon = false;  // J
  bool underline = false;
  bool fixed = false;
  bool styleField = false;
  bool colors = false;
  bool tree = false;
  bool tipField = false;
  int cellStyle = 0;    // Z(n); 0 = none
  int fieldNumber = 0;  // #n#; 0 = implicit
  std::optional<std::string> heading;
  char headerAlign = 0;  // 0 = as the column
  std::optional<int> headerIndent;
  std::optional<std::string> picture;

  // Resolved when the format is parsed: the row field of the column's value (1-based) and the
  // number of row fields it takes (the value, then icon, tree, style, tip, colours).
  int field = 0;
  int fieldCount = 1;

  int iconField() const;     // 0 = none
  int styleFieldNo() const;  // 0 = none

  // Sets the cell style and rewrites the "Z(n)" modifier to match (none for style 0).
  void setCellStyle(int style);

  // The column's group of the format string, as it would be written now.
  std::string text() const;
};

struct ListFormat {
  std::vector<ListColumn> columns;
  // The whole format string.
  std::string text() const;
  // The number of row fields all columns use.
  int fieldsUsed() const;
};

// Parses a format string. On a malformed string answers nullopt and, when `error` is given,
// a message naming the position and what was expected there.
std::optional<ListFormat> parseListFormat(std::string_view text, std::string* error = nullptr);

// Parses one column's group (as the format-of-column property takes it); the column's field
// is left for the caller to resolve.
std::optional<ListColumn> parseListColumn(std::string_view text, std::string* error = nullptr);

// Recomputes the row fields of every column after columns were moved or replaced.
void resolveFields(ListFormat& format);

}  // namespace window
