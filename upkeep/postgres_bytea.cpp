#include "upkeep/postgres_bytea.h"

#include <algorithm>
#include <string_view>

#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

void traceInOut(const std::string& text) {
  if (debugLevels().inOutTrace) WriteTrace(text);
}
void traceDetail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

}  // namespace

bool NeedsOctalEscape(unsigned char byte, std::uint8_t binary) {
  if (binary == 0) return false;
  return byte < 32 || byte == '\'' || byte == '\\' || byte >= 127;
}

std::string OctalEscape(unsigned char byte) {
  return {static_cast<char>('0' + byte / 64), static_cast<char>('0' + (byte / 8) % 8),
          static_cast<char>('0' + byte % 8)};
}

std::unique_ptr<char[]> ds_PostGresParseBinaryString(std::int32_t& length, std::uint8_t binary,
                                                     const char* value) {
  const std::string_view bytes(value, length > 0 ? static_cast<std::size_t>(length) : 0);
  traceInOut("-- Start of ds_PostGresParseBinaryString(" + std::to_string(length) +
             "): " + std::string(bytes));
  if (bytes.empty()) {
    length = 0;
    return nullptr;
  }
  std::size_t size = 0;
  for (const char c : bytes)
    size += NeedsOctalEscape(static_cast<unsigned char>(c), binary) ? 4 : 1;
  traceDetail("-- Before new: " + std::to_string(size));
  auto text = std::make_unique<char[]>(size);
  traceDetail("-- After new: " + std::to_string(size));
  char* out = text.get();
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsOctalEscape(byte, binary)) {
      *out++ = '\\';
      const std::string digits = OctalEscape(byte);
      out = std::copy(digits.begin(), digits.end(), out);
    } else {
      *out++ = c;
    }
  }
  length = static_cast<std::int32_t>(size);
  traceInOut("-- End of ds_PostGresParseBinaryString(" + std::to_string(size) +
             "): " + std::string(text.get(), size));
  return text;
}

}  // namespace upkeep
