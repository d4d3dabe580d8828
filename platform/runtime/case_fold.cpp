#include "platform/runtime/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace runtime {
namespace {

// Code points first..last, stepping by stride, map to code point + delta.
struct CaseRun {
  std::uint32_t first;
  std::uint32_t last;
  std::int32_t delta;
  std::uint32_t stride;
};

#include "platform/runtime/case_fold_table.inc"

std::uint32_t mapCodePoint(std::span<const CaseRun> runs, std::uint32_t code) {
  // The last run starting at or before `code`; runs are sorted and disjoint.
  auto it = std::upper_bound(runs.begin(), runs.end(), code,
                             [](std::uint32_t c, const CaseRun& run) { return c < run.first; });
  if (it == runs.begin()) return code;
  const CaseRun& run = *--it;
  if (code > run.last || (code - run.first) % run.stride != 0) return code;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(code) + run.delta);
}

// Maps every character of `text` through `runs`; `asciiFrom`..`asciiTo` are the ASCII letters
// that change, by `asciiDelta`, handled without a table look-up.
std::string mapText(std::string_view text, std::span<const CaseRun> runs, char asciiFrom,
                    char asciiTo, int asciiDelta) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      out += (c >= asciiFrom && c <= asciiTo) ? static_cast<char>(c + asciiDelta) : c;
      ++i;
      continue;
    }
    std::uint32_t code = 0;
    const std::size_t length = decodeCharacter(text.substr(i), code);
    if (length == 0) {
      out += c;  // not UTF-8: kept byte for byte
      ++i;
      continue;
    }
    char encoded[4];
    out.append(encoded, encodeCharacter(mapCodePoint(runs, code), encoded));
    i += length;
  }
  return out;
}

}  // namespace

std::string foldCase(std::string_view text) { return mapText(text, kUpperRuns, 'a', 'z', -32); }

std::string lowerCase(std::string_view text) { return mapText(text, kLowerRuns, 'A', 'Z', 32); }

std::uint32_t upperCodePoint(std::uint32_t code) {
  if (code < 0x80) return code >= 'a' && code <= 'z' ? code - 32 : code;
  return mapCodePoint(kUpperRuns, code);
}

std::vector<std::uint32_t> codePointsUpperingInto(std::uint32_t first, std::uint32_t last) {
  std::vector<std::uint32_t> out;
  for (const CaseRun& run : kUpperRuns) {
    for (std::uint32_t code = run.first; code <= run.last; code += run.stride) {
      const auto upper = static_cast<std::uint32_t>(static_cast<std::int32_t>(code) + run.delta);
      if (upper >= first && upper <= last) out.push_back(code);
    }
  }
  return out;
}

std::size_t decodeCharacter(std::string_view text, std::uint32_t& code) {
  if (text.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  std::uint32_t min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::size_t encodeCharacter(std::uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

}  // namespace runtime
