#include "platform/runtime/text_order_stand_in.h"

#include <algorithm>

namespace runtime::stand_in {

int compareText(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  // The longer text goes on against the padding of the shorter one.
  const std::string_view rest = a.size() > common ? a.substr(common) : b.substr(common);
  const int sign = a.size() > common ? 1 : -1;
  for (const char c : rest) {
    const auto x = static_cast<unsigned char>(c);
    if (x != ' ') return x < ' ' ? -sign : sign;
  }
  return 0;
}

std::string foldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return folded;
}

}  // namespace runtime::stand_in
