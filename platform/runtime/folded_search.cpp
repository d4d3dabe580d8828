#include "platform/runtime/folded_search.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "platform/runtime/case_fold.h"

namespace runtime {
namespace {

// The code points whose UTF-8 form begins with `lead` (a byte from C2h on); first > last for
// none.
std::pair<std::uint32_t, std::uint32_t> codePointsLedBy(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) {
    const std::uint32_t first = std::uint32_t{lead & 0x1Fu} << 6;
    return {first, first | 0x3F};
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    const std::uint32_t first = std::uint32_t{lead & 0x0Fu} << 12;
    return {std::max<std::uint32_t>(first, 0x800), first | 0xFFF};
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const std::uint32_t first = std::uint32_t{lead & 0x07u} << 18;
    return {std::max<std::uint32_t>(first, 0x10000),
            std::min<std::uint32_t>(first | 0x3FFFF, 0x10FFFF)};
  }
  return {1, 0};
}

unsigned char leadByteOf(std::uint32_t code) {
  char encoded[4];
  encodeCharacter(code, encoded);
  return static_cast<unsigned char>(encoded[0]);
}

// One character of a text and its upper case: `length` bytes of the text become the `size`
// bytes of `upper`. A byte that is not UTF-8 is a character of its own and stays as it is.
struct UpperCharacter {
  std::size_t length = 1;
  std::size_t size = 1;
  char upper[4] = {};
};

UpperCharacter upperCharacterAt(const char* p, const char* end) {
  UpperCharacter out;
  out.upper[0] = *p;
  std::uint32_t code = 0;
  const std::size_t length =
      decodeCharacter(std::string_view(p, static_cast<std::size_t>(end - p)), code);
  if (length != 0) {
    out.length = length;
    out.size = encodeCharacter(upperCodePoint(code), out.upper);
  }
  return out;
}

const char* find(const char* from, const char* end, char byte) {
  const void* at = std::memchr(from, byte, static_cast<std::size_t>(end - from));
  return at != nullptr ? static_cast<const char*>(at) : end;
}

}  // namespace

FoldedSearch::FoldedSearch(std::string_view folded) : needle_(folded) {
  if (needle_.empty()) return;
  const auto first = static_cast<unsigned char>(needle_[0]);
  if (first >= 0x80 && first <= 0xBF) {
    anyByte_ = true;  // a continuation byte: a match can begin inside a character
    return;
  }
  // A match begins where a character begins whose upper case begins with `first`: an ASCII
  // letter in either case, the byte itself (a character of its own, or a byte that is not
  // UTF-8 and stays as it is), or the lead byte of a character that uppers into one led by it.
  std::vector<unsigned char> starts{first};
  if (first >= 'A' && first <= 'Z') starts.push_back(static_cast<unsigned char>(first + 32));
  const auto [low, high] =
      first < 0x80 ? std::pair<std::uint32_t, std::uint32_t>{first, first} : codePointsLedBy(first);
  if (low <= high) {
    for (const std::uint32_t code : codePointsUpperingInto(low, high))
      starts.push_back(leadByteOf(code));
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  if (starts.size() > startBytes_.size()) {
    anyByte_ = true;  // too many to look for one by one
    return;
  }
  for (const unsigned char byte : starts) startBytes_[startCount_++] = static_cast<char>(byte);
}

bool FoldedSearch::foundIn(std::string_view text) const {
  if (needle_.empty()) return true;
  if (anyByte_) return foundAtAnyByte(text);
  const char* const end = text.data() + text.size();
  // The next place of each start byte, each looked for again only once it has been passed:
  // the text is scanned once per start byte, at the speed of memchr.
  std::array<const char*, 4> next{};
  for (std::size_t k = 0; k < startCount_; ++k) next[k] = find(text.data(), end, startBytes_[k]);
  for (;;) {
    const char* at = *std::min_element(next.begin(), next.begin() + startCount_);
    if (at == end) return false;
    if (matchesAt(at, end, 0)) return true;
    for (std::size_t k = 0; k < startCount_; ++k)
      if (next[k] == at) next[k] = find(at + 1, end, startBytes_[k]);
  }
}

bool FoldedSearch::foundAtAnyByte(std::string_view text) const {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const UpperCharacter character = upperCharacterAt(p, end);
    for (std::size_t k = 0; k < character.size; ++k) {
      if (character.upper[k] == needle_[0] && matchesAt(p, end, k)) return true;
    }
    p += character.length;
  }
  return false;
}

bool FoldedSearch::matchesAt(const char* p, const char* end, std::size_t skip) const {
  const std::size_t size = needle_.size();
  std::size_t matched = 0;
  while (matched < size) {
    if (p == end) return false;
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      assert(skip == 0 && "an ASCII character has one byte");
      const char upper = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      if (upper != needle_[matched]) return false;
      ++p;
      ++matched;
      continue;
    }
    const UpperCharacter character = upperCharacterAt(p, end);
    // The searched text may end inside this character's upper case.
    for (std::size_t k = skip; k < character.size && matched < size; ++k, ++matched) {
      if (character.upper[k] != needle_[matched]) return false;
    }
    skip = 0;
    p += character.length;
  }
  return true;
}

}  // namespace runtime
