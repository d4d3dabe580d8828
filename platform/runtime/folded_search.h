// A search for a text in the upper case of other texts that never makes their upper case: the
// searched text is folded once, and each text is compared with it character by character as
// it stands, ASCII bytes directly. So foundIn(text) gives what a search in foldCase(text)
// gives, for any bytes (binary data and broken UTF-8 included), at the cost of a plain search.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace runtime {

class FoldedSearch {
 public:
  // A search for `folded`, a text as foldCase gives it (foldCase of what the user typed).
  explicit FoldedSearch(std::string_view folded = {});

  // Whether foldCase(text) holds the searched text as a contiguous part (an empty searched
  // text is held by every text, as std::string_view::find says).
  bool foundIn(std::string_view text) const;

  const std::string& text() const { return needle_; }

 private:
  // Whether foldCase of the text from `p` on begins with the searched text, skipping the first
  // `skip` bytes of the first character's upper case.
  bool matchesAt(const char* p, const char* end, std::size_t skip) const;
  // foundIn for a searched text that begins inside a character's upper case: every byte of
  // every character's upper case is a possible start.
  bool foundAtAnyByte(std::string_view text) const;

  std::string needle_;
  // The bytes of a text at which a character begins whose upper case begins with the
  // searched text's first byte; none when that byte can lie inside a character.
  std::array<char, 4> startBytes_{};
  std::size_t startCount_ = 0;
  bool anyByte_ = false;  // the first byte continues a character: foundAtAnyByte
};

}  // namespace runtime
