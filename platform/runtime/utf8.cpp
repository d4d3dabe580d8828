#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces, 1 for a byte that cannot start a sequence.
std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0xC2) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF5) return 4;
  return 1;
}

}  // namespace

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes to the lead byte of the character at the cut.
  std::size_t lead = cut;
  while (lead > 0 && isContinuation(static_cast<unsigned char>(text[lead]))) --lead;
  const std::size_t length = sequenceLength(static_cast<unsigned char>(text[lead]));
  if (lead + length > cut && length > 1) cut = lead;
  return text.substr(0, cut);
}

}  // namespace runtime
