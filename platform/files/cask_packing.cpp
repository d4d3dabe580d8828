#include "platform/files/cask_packing.h"

#include <algorithm>
#include <cstring>

namespace files {
namespace {

constexpr std::size_t kMinRun = 4;        // shorter runs stay inside literals
constexpr std::size_t kShortRunBase = 3;  // a short run token covers 3 .. 129 bytes
constexpr std::size_t kMaxShortRun = 0xFE - 0x80 + kShortRunBase;
constexpr std::size_t kMaxLiteral = 0x80;
constexpr std::size_t kFastCopy = 16;  // pieces up to this size are unpacked with fixed sizes
constexpr std::size_t kFastFill = 64;

std::size_t runLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char* q = p + 1;
  while (q != end && *q == *p) ++q;
  return static_cast<std::size_t>(q - p);
}

void appendLiteral(std::string& out, const unsigned char* p, std::size_t n) {
  while (n > 0) {
    const std::size_t chunk = n < kMaxLiteral ? n : kMaxLiteral;
    out.push_back(static_cast<char>(chunk - 1));
    out.append(reinterpret_cast<const char*>(p), chunk);
    p += chunk;
    n -= chunk;
  }
}

void appendRun(std::string& out, unsigned char byte, std::size_t n) {
  if (n <= kMaxShortRun) {
    out.push_back(static_cast<char>(0x80 + n - kShortRunBase));
  } else {
    out.push_back(static_cast<char>(0xFF));
    for (; n >= 0x80; n >>= 7) out.push_back(static_cast<char>(0x80 | (n & 0x7F)));
    out.push_back(static_cast<char>(n));
  }
  out.push_back(static_cast<char>(byte));
}

}  // namespace

void packBytes(std::string_view bytes, std::string& out) {
  out.clear();
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* end = begin + bytes.size();
  while (end != begin && end[-1] == 0) --end;  // the zero tail is implied
  const unsigned char* literal = begin;
  const unsigned char* p = begin;
  while (p != end) {
    const std::size_t run = runLength(p, end);
    if (run < kMinRun) {
      p += run;
      continue;
    }
    appendLiteral(out, literal, static_cast<std::size_t>(p - literal));
    appendRun(out, *p, run);
    p += run;
    literal = p;
  }
  appendLiteral(out, literal, static_cast<std::size_t>(p - literal));
}

long long unpackBytes(std::string_view packed, unsigned char* out, std::size_t size,
                      std::size_t zeroFrom) {
  const auto* p = reinterpret_cast<const unsigned char*>(packed.data());
  const unsigned char* end = p + packed.size();
  std::size_t used = 0;
  const auto fail = [&] {
    std::memset(out, 0, size);
    return -1LL;
  };
  while (p != end) {
    const unsigned char token = *p++;
    if (token < 0x80) {
      const std::size_t n = token + 1u;
      if (static_cast<std::size_t>(end - p) < n || size - used < n) return fail();
      // Short pieces are the common case: a copy of fixed size compiles to a few moves, and
      // whatever it writes beyond the piece is overwritten by the pieces after it.
      if (n <= kFastCopy && static_cast<std::size_t>(end - p) >= kFastCopy &&
          size - used >= kFastCopy) {
        std::memcpy(out + used, p, kFastCopy);
      } else {
        std::memcpy(out + used, p, n);
      }
      p += n;
      used += n;
      continue;
    }
    std::size_t n = 0;
    if (token != 0xFF) {
      n = token - 0x80u + kShortRunBase;
    } else {
      int shift = 0;
      for (;;) {
        if (p == end || shift > 56) return fail();
        const unsigned char part = *p++;
        n |= static_cast<std::size_t>(part & 0x7F) << shift;
        shift += 7;
        if ((part & 0x80) == 0) break;
      }
    }
    if (p == end || size - used < n) return fail();
    if (n <= kFastFill && size - used >= kFastFill) {
      std::memset(out + used, *p++, kFastFill);
    } else {
      std::memset(out + used, *p++, n);
    }
    used += n;
  }
  // The fixed-size pieces may have written up to kFastFill bytes beyond the last piece.
  const std::size_t dirty = std::max(std::min(zeroFrom, size), std::min(size, used + kFastFill));
  std::memset(out + used, 0, dirty - used);
  return static_cast<long long>(used);
}

}  // namespace files
