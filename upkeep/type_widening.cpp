#include "upkeep/type_widening.h"

#include <cassert>
#include <cstddef>
#include <utility>

#include "platform/files/record_descriptor.h"
#include "platform/runtime/field_type.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

using runtime::FieldType;

constexpr std::size_t kOlderHeaderSize = 8;
constexpr std::size_t kLengthWord = 10;       // its place in the current header
constexpr std::size_t kGroupLengthWord = 10;  // its place in a current GROUP entry

bool isString(std::uint8_t code) {
  return code == static_cast<std::uint8_t>(FieldType::String) ||
         code == static_cast<std::uint8_t>(FieldType::CString) ||
         code == static_cast<std::uint8_t>(FieldType::PString);
}

bool isDecimal(std::uint8_t code) {
  return code == static_cast<std::uint8_t>(FieldType::Decimal) ||
         code == static_cast<std::uint8_t>(FieldType::PDecimal);
}

// Copies the older bytes to the widened ones; every read is checked against the end, so a
// walk that goes wrong stops instead of reading on.
class Widener {
 public:
  explicit Widener(std::span<const std::uint8_t> in) : in_(in) {}

  bool failed() const { return failed_; }
  std::vector<std::uint8_t>& out() { return out_; }

  std::uint8_t copyByte() {
    const std::uint8_t b = take();
    out_.push_back(b);
    return b;
  }
  // A 16-bit word written as a 32-bit one; answers its value.
  std::uint32_t widenWord() {
    const std::uint32_t low = take();
    const std::uint32_t value = low | std::uint32_t{take()} << 8;
    putU32(value);
    return value;
  }
  void putU32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
      out_.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  void patchU32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  // A NUL-terminated text with its NUL.
  void copyText() {
    while (!failed_ && copyByte() != 0) {
    }
  }
  // A number in the one-to-three-byte form, whose first byte may carry `mark` (bit 80h of an
  // over-reference).
  void copyNumber(std::uint8_t mark = 0) {
    const std::uint8_t first = static_cast<std::uint8_t>(copyByte() & ~mark);
    if (first >= 0x20) copyByte();
    if (first >= 0x40) copyByte();
  }
  // A one-byte dimension written in the one-to-three-byte form of the current layout.
  void widenDimension() {
    const std::uint8_t value = take();
    if (value < 0x20) {
      out_.push_back(value);
    } else {
      out_.push_back(static_cast<std::uint8_t>(0x20 | (value >> 8)));
      out_.push_back(value);
    }
  }

 private:
  std::uint8_t take() {
    if (position_ >= in_.size()) {
      failed_ = true;
      return 0;
    }
    return in_[position_++];
  }

  std::span<const std::uint8_t> in_;
  std::size_t position_ = 0;
  bool failed_ = false;
  std::vector<std::uint8_t> out_;
};

struct OpenGroup {
  std::size_t lastMember;  // the number of its last member
  std::size_t entryStart;  // where its widened entry starts
};

bool fail(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
  return false;
}

std::optional<std::vector<std::uint8_t>> widen(std::span<const std::uint8_t> older,
                                               std::string* error) {
  // The older reader checks the whole structure first, so the walk below meets only entries it
  // knows and groups that close where their counts say.
  const auto contents = files::readOlderDescriptor(older, error);
  if (!contents) return std::nullopt;
  assert(contents->length >= kOlderHeaderSize);
  Widener w(older.first(contents->length));
  w.copyByte();
  w.copyByte();
  w.widenWord();  // record size
  const std::uint32_t count = w.widenWord();
  w.widenWord();  // length, written at the end

  std::vector<OpenGroup> open;
  for (std::size_t number = 1; number <= count && !w.failed(); ++number) {
    const std::size_t entryStart = w.out().size();
    const std::uint8_t code = w.copyByte();
    const std::uint8_t flags = w.copyByte();
    if (isDecimal(code)) {
      w.copyByte();
      w.copyByte();
    } else if (isString(code)) {
      w.copyNumber();
    } else if (code == static_cast<std::uint8_t>(FieldType::Group)) {
      w.widenWord();
      const std::uint32_t members = w.widenWord();
      w.widenWord();  // length, written when its last member is
      open.push_back({number + members, entryStart});
    }
    if (flags & files::FieldHasPicture) w.copyText();
    w.copyText();
    if (flags & files::FieldHasExternalName) w.copyText();
    if (flags & files::FieldIsOver) w.copyNumber(0x80);
    if (flags & files::FieldHasDimensions) {
      const std::uint8_t dims = w.copyByte();
      for (std::uint8_t i = 0; i < dims; ++i) w.widenDimension();
    }
    while (!open.empty() && open.back().lastMember == number) {
      w.patchU32(open.back().entryStart + kGroupLengthWord,
                 static_cast<std::uint32_t>(w.out().size() - open.back().entryStart));
      open.pop_back();
    }
  }
  if (w.failed() || !open.empty()) {
    fail(error, "older descriptor cut short");
    return std::nullopt;
  }
  w.patchU32(kLengthWord, static_cast<std::uint32_t>(w.out().size()));
  // What comes out must read as a current descriptor of the same fields.
  if (!files::readDescriptor(w.out(), error)) return std::nullopt;
  return std::move(w.out());
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ConvertGroup(std::span<const std::uint8_t> older,
                                                      std::string* error) {
  const bool traced = debugLevels().inOutTrace != 0;
  if (traced) WriteTrace("ConvertGroup In ");
  std::optional<std::vector<std::uint8_t>> widened = widen(older, error);
  if (traced) WriteTrace("ConvertGroup Out ");
  return widened;
}

}  // namespace upkeep
