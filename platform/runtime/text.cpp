#include "platform/runtime/text.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "platform/runtime/case_fold.h"
#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

std::string_view clipped(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// The first character boundary at or after byte `offset` of `text` (its size at the latest).
std::size_t boundaryAtOrAfter(std::string_view text, std::size_t offset) {
  while (offset < text.size() && utf8Prefix(text, offset).size() != offset) ++offset;
  return std::min(offset, text.size());
}

int textLength(std::string_view text) {
  assert(text.size() <= static_cast<std::size_t>(INT_MAX));
  return static_cast<int>(text.size());
}

}  // namespace

std::string CLIP(std::string_view text) { return std::string(clipped(text)); }

std::string UPPER(std::string_view text) { return foldCase(text); }

std::string LOWER(std::string_view text) { return lowerCase(text); }

int LEN(std::string_view text) { return textLength(text); }

std::string LEFT(std::string_view text) {
  const std::size_t first = std::min(text.find_first_not_of(' '), text.size());
  std::string result(text.substr(first));
  result.append(first, ' ');
  return result;
}

std::string ALL(std::string_view pattern, int length) {
  if (pattern.empty() || length <= 0) return {};
  const auto size = static_cast<std::size_t>(length);
  std::string result;
  result.reserve(size);
  while (result.size() + pattern.size() <= size) result += pattern;
  result += utf8Prefix(pattern, size - result.size());
  return result;
}

std::string SUB(std::string_view text, int start, int length) {
  if (length == 0) return {};
  const long long size = textLength(text);
  // The window as 0-based byte offsets [first, last), clipped to the text.
  const long long wantedFirst = static_cast<long long>(start) - 1;
  const long long wantedLast = length < 0 ? size : wantedFirst + length;
  const long long first = std::clamp(wantedFirst, 0LL, size);
  const long long last = std::clamp(wantedLast, first, size);
  const std::size_t from = boundaryAtOrAfter(text, static_cast<std::size_t>(first));
  if (from >= static_cast<std::size_t>(last)) return {};
  return std::string(utf8Prefix(text.substr(from), static_cast<std::size_t>(last) - from));
}

int INSTRING(std::string_view substring, std::string_view text, int step, int start) {
  if (substring.empty() || substring.size() > text.size()) return 0;
  if (step == 0) step = 1;
  // The last 1-based position where the substring still fits.
  const long long lastFit = textLength(text) - textLength(substring) + 1;
  long long position = start;
  if (step > 0) {
    position = std::max(position, 1LL);
  } else if (position > lastFit) {
    // Step down to the first position of the sequence where the substring fits.
    const long long stride = -static_cast<long long>(step);
    position -= (position - lastFit + stride - 1) / stride * stride;
  }
  for (; position >= 1 && position <= lastFit; position += step) {
    if (text.compare(static_cast<std::size_t>(position - 1), substring.size(), substring) == 0) {
      return static_cast<int>(position);
    }
  }
  return 0;
}

int compareText(std::string_view a, std::string_view b) {
  // std::string_view compares through char_traits<char>, which orders bytes as unsigned char.
  const int order = clipped(a).compare(clipped(b));
  return (order > 0) - (order < 0);
}

int compareTextNoCase(std::string_view a, std::string_view b) {
  return compareText(foldCase(a), foldCase(b));
}

bool equalText(std::string_view a, std::string_view b) { return compareText(a, b) == 0; }

bool equalTextNoCase(std::string_view a, std::string_view b) {
  return compareTextNoCase(a, b) == 0;
}

}  // namespace runtime
