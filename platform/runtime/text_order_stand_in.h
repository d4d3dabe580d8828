// Text ordering used by the record field types until the runtime's text module provides
// compareText and foldCase; then this file goes and its callers use those.
#pragma once

#include <string>
#include <string_view>

namespace runtime::stand_in {

// Compares two texts as if the shorter were padded with spaces, byte by byte (unsigned);
// answers -1, 0 or 1.
int compareText(std::string_view a, std::string_view b);

// Upper-cases the ASCII letters of `text`.
std::string foldCase(std::string_view text);

}  // namespace runtime::stand_in
