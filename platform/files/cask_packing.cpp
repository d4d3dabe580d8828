#include "platform/files/cask_packing.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace files {
namespace {

constexpr std::size_t kMinRun = 4;        // shorter runs stay inside literals
constexpr std::size_t kShortRunBase = 3;  // a short run token covers 3 .. 129 bytes
constexpr std::size_t kMaxShortRun = 0xFE - 0x80 + kShortRunBase;
constexpr std::size_t kMaxLiteral = 0x80;
constexpr std::size_t kFastCopy = 16;  // pieces up to this size are unpacked with fixed sizes
constexpr std::size_t kFastFill = 64;

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kLowFiveHighBits = 0x0000008080808080ULL;

// The 8 bytes at `p` as a number whose lowest byte is the first.
std::uint64_t loadWord(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// The bytes are looked at 8 at a time; the scans find exactly what a byte-by-byte walk finds.

// How many bytes from `p` (before `end`) equal the byte at `p`.
std::size_t runLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char* q = p + 1;
  const std::uint64_t repeated = kEveryByte * *p;
  for (; end - q >= 8; q += 8) {
    const std::uint64_t differs = loadWord(q) ^ repeated;
    if (differs != 0) return static_cast<std::size_t>(q - p) + std::countr_zero(differs) / 8;
  }
  while (q != end && *q == *p) ++q;
  return static_cast<std::size_t>(q - p);
}

// The first position from `p` at which kMinRun equal bytes begin; `end` when there is none.
const unsigned char* nextLongRun(const unsigned char* p, const unsigned char* end) {
  static_assert(kMinRun == 4);
  for (; end - p >= 8; p += 5) {
    const std::uint64_t word = loadWord(p);
    // Byte k of `steps` is zero when bytes k and k + 1 are equal (k < 7); byte k of `apart` is
    // zero when bytes k to k + 3 are all equal, for the positions k < 5 that the word covers.
    const std::uint64_t steps = word ^ (word >> 8);
    const std::uint64_t apart = steps | (steps >> 8) | (steps >> 16);
    // The lowest flagged byte is the first zero byte of `apart`.
    const std::uint64_t zero = (apart - kEveryByte) & ~apart & kLowFiveHighBits;
    if (zero != 0) return p + std::countr_zero(zero) / 8;
  }
  for (; end - p >= 4; ++p)
    if (p[0] == p[1] && p[1] == p[2] && p[2] == p[3]) return p;
  return end;
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
  out.reserve(bytes.size() + bytes.size() / kMaxLiteral + 8);
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* end = begin + bytes.size();
  // The zero tail is implied.
  while (end - begin >= 8 && loadWord(end - 8) == 0) end -= 8;
  while (end != begin && end[-1] == 0) --end;
  // Runs shorter than kMinRun stay inside literals. A run found begins where a run of its own
  // byte begins, since the bytes before it start no long run.
  const unsigned char* literal = begin;
  for (const unsigned char* run = nextLongRun(literal, end); run != end;
       run = nextLongRun(literal, end)) {
    const std::size_t length = runLength(run, end);
    appendLiteral(out, literal, static_cast<std::size_t>(run - literal));
    appendRun(out, *run, length);
    literal = run + length;
  }
  appendLiteral(out, literal, static_cast<std::size_t>(end - literal));
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
