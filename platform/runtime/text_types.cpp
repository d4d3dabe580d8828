#include "platform/runtime/text_types.h"

#include <algorithm>
#include <cassert>

#include "platform/runtime/utf8.h"

namespace runtime {

void assignStringField(char* bytes, std::size_t size, std::string_view text) {
  const std::string_view kept = utf8Prefix(text, size);
  std::copy(kept.begin(), kept.end(), bytes);
  std::memset(bytes + kept.size(), ' ', size - kept.size());
}

void assignCStringField(char* bytes, std::size_t size, std::string_view text) {
  assert(size >= 1);
  // A NUL inside the text would end it early; keep only what a reader would see.
  text = text.substr(0, text.find('\0'));
  const std::string_view kept = utf8Prefix(text, size - 1);
  std::copy(kept.begin(), kept.end(), bytes);
  std::memset(bytes + kept.size(), 0, size - kept.size());
}

void assignPStringField(char* bytes, std::size_t size, std::string_view text) {
  assert(size >= 1 && size <= 256);
  const std::string_view kept = utf8Prefix(text, size - 1);
  bytes[0] = static_cast<char>(kept.size());
  std::copy(kept.begin(), kept.end(), bytes + 1);
  std::memset(bytes + 1 + kept.size(), 0, size - 1 - kept.size());
}

std::string_view cStringFieldText(const char* bytes, std::size_t size) {
  const void* nul = std::memchr(bytes, 0, size);
  return {bytes, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : size};
}

std::string_view pStringFieldText(const char* bytes, std::size_t size) {
  const std::size_t length = static_cast<unsigned char>(bytes[0]);
  return {bytes + 1, std::min(length, size - 1)};
}

}  // namespace runtime
