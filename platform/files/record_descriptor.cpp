#include "platform/files/record_descriptor.h"

#include <cassert>
#include <string_view>
#include <utility>

namespace files {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

constexpr std::uint8_t kSignature[2] = {0x16, 0x00};
constexpr std::uint32_t kLargestNumber = 0x3FFFFF;
constexpr std::uint32_t kLargestString = 0xFFFF;
constexpr std::uint32_t kLargestDecimal = 16;
constexpr std::uint32_t kMostFields = 0xFFFF;
constexpr std::size_t kLengthWord = 10;       // its place in the header
constexpr std::size_t kGroupLengthWord = 10;  // its place in a GROUP entry

bool isString(FieldType type) {
  return type == FieldType::String || type == FieldType::CString || type == FieldType::PString;
}

bool isDecimal(FieldType type) { return type == FieldType::Decimal || type == FieldType::PDecimal; }

bool isKnownType(std::uint8_t code) {
  return runtime::fixedFieldSize(static_cast<FieldType>(code)) != 0 ||
         isDecimal(static_cast<FieldType>(code)) || isString(static_cast<FieldType>(code)) ||
         code == static_cast<std::uint8_t>(FieldType::Group);
}

std::string fieldName(std::size_t number, std::string_view label) {
  const std::string name = "field " + std::to_string(number);
  return label.empty() ? name : name + " (" + std::string(label) + ")";
}

// Hands `reason` to the caller; answers nothing, for the return of a failed read or write.
std::nullopt_t fail(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
  return std::nullopt;
}

// Where each field lies, worked out entry by entry as the descriptor lists them: a field
// follows the one before it, a GROUP's first member starts at the group, and a field laid over
// another lies where that one does without moving the fields after it.
class PlaceWalk {
 public:
  struct Group {
    std::size_t number;      // the group's own field number
    std::size_t lastMember;  // the number of its last member
    std::uint32_t resume;    // where the field after the group lies
    std::size_t entryStart;  // where its entry starts in the descriptor
  };

  // The place of the next field, given the place of the field it lies over (if it does).
  std::uint32_t next(std::optional<std::uint32_t> overPlace) const {
    return overPlace.value_or(cursor_);
  }

  // Takes field `number` at `place`; a GROUP is opened with `members` members and its entry
  // at `entryStart`. False when the group claims more members than its own group leaves.
  bool take(std::size_t number, const FieldDef& field, std::uint32_t place, bool over,
            std::size_t members, std::size_t entryStart) {
    if (field.type == FieldType::Group) {
      const std::size_t last = number + members;
      if (!open_.empty() && last > open_.back().lastMember) return false;
      open_.push_back({number, last, over ? cursor_ : place + field.totalSize(), entryStart});
      cursor_ = place;
    } else if (!over) {
      cursor_ = place + field.totalSize();
    }
    return true;
  }

  // Closes, innermost first, the groups whose last member is field `number`, handing each to
  // `onClose`; false as soon as `onClose` refuses one.
  template <class OnClose>
  bool close(std::size_t number, OnClose&& onClose) {
    while (!open_.empty() && open_.back().lastMember == number) {
      if (!onClose(open_.back())) return false;
      cursor_ = open_.back().resume;
      open_.pop_back();
    }
    return true;
  }

  bool groupsOpen() const { return !open_.empty(); }

 private:
  std::uint32_t cursor_ = 0;
  std::vector<Group> open_;
};

// ---- writing

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void patchU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A number in its one-to-three-byte form, `mark` added to its first byte.
void putNumber(std::vector<std::uint8_t>& out, std::uint32_t value, std::uint8_t mark = 0) {
  if (value < 0x20) {
    out.push_back(static_cast<std::uint8_t>(mark | value));
  } else if (value < 0x2000) {
    out.push_back(static_cast<std::uint8_t>(mark | 0x20 | (value >> 8)));
    out.push_back(static_cast<std::uint8_t>(value));
  } else {
    out.push_back(static_cast<std::uint8_t>(mark | 0x40 | (value >> 16)));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
  }
}

void putText(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

// The number of leading dimensions in use; nothing when a used one follows an unused one.
std::optional<std::size_t> usedDimensions(const FieldDef& field) {
  std::size_t used = 0;
  while (used < field.dims.size() && field.dims[used] != 0) ++used;
  for (std::size_t i = used; i < field.dims.size(); ++i)
    if (field.dims[i] != 0) return std::nullopt;
  return used;
}

// Checks what an entry of `field` needs that the layout does not already ensure.
bool checkWritable(std::size_t number, const FieldDef& field, std::string* error) {
  const auto bad = [&](std::string_view what) {
    fail(error, fieldName(number, field.label) + ": " + std::string(what));
    return false;
  };
  for (const std::string_view text : {field.label, field.picture, field.externalName})
    if (text.find('\0') != std::string_view::npos) return bad("a text holds a NUL byte");
  if (isString(field.type) && (field.size == 0 || field.size > kLargestString))
    return bad("a string of " + std::to_string(field.size) + " bytes");
  if (isDecimal(field.type) && (field.size == 0 || field.size > kLargestDecimal))
    return bad("a decimal of " + std::to_string(field.size) + " bytes");
  const std::optional<std::size_t> dims = usedDimensions(field);
  if (!dims) return bad("an unused dimension before a used one");
  for (std::size_t i = 0; i < *dims; ++i)
    if (field.dims[i] > kLargestNumber) return bad("a dimension too large");
  return true;
}

void putEntry(std::vector<std::uint8_t>& out, const FieldDef& field) {
  const std::uint8_t flags = descriptorFlags(field);
  out.push_back(static_cast<std::uint8_t>(field.type));
  out.push_back(flags);
  if (isDecimal(field.type)) {
    out.push_back(static_cast<std::uint8_t>(field.size));
    out.push_back(field.scale);
  } else if (isString(field.type)) {
    putNumber(out, field.size);
  } else if (field.type == FieldType::Group) {
    putU32(out, field.size);
    putU32(out, field.members);
    putU32(out, 0);  // the group's length, written when its last member is
  }
  if (flags & FieldHasPicture) putText(out, field.picture);
  putText(out, field.label);
  if (flags & FieldHasExternalName) putText(out, field.externalName);
  if (flags & FieldIsOver) putNumber(out, field.over, 0x80);
  if (flags & FieldHasDimensions) {
    const std::size_t dims = *usedDimensions(field);
    out.push_back(static_cast<std::uint8_t>(dims));
    for (std::size_t i = 0; i < dims; ++i) putNumber(out, field.dims[i]);
  }
}

// ---- reading

// The two layouts: the current one, and the older one whose header and GROUP words are 16
// bits wide and whose dimensions are single bytes.
enum class Width { Wide, Narrow };

// Reads the bytes of one descriptor, never past its end.
class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, Width width) : bytes_(bytes), width_(width) {}

  Width width() const { return width_; }

  std::size_t position() const { return position_; }
  bool failed() const { return failed_; }

  std::uint8_t byte() {
    if (position_ >= bytes_.size()) {
      failed_ = true;
      return 0;
    }
    return bytes_[position_++];
  }
  // A header or GROUP word: 32 bits, or 16 in the older layout.
  std::uint32_t word() {
    std::uint32_t value = 0;
    const int bytes = width_ == Width::Wide ? 4 : 2;
    for (int i = 0; i < bytes; ++i) value |= std::uint32_t{byte()} << (8 * i);
    return value;
  }
  // A number in its one-to-three-byte form whose first byte is `first`.
  std::uint32_t numberAfter(std::uint8_t first) {
    if (first < 0x20) return first;
    if (first < 0x40) return (std::uint32_t{first} - 0x20) << 8 | byte();
    const std::uint32_t high = (std::uint32_t{first} - 0x40) << 16;
    const std::uint32_t middle = std::uint32_t{byte()} << 8;
    return high | middle | byte();
  }
  // A NUL-terminated text.
  std::string text() {
    std::string out;
    for (std::uint8_t c = byte(); c != 0 && !failed_; c = byte())
      out.push_back(static_cast<char>(c));
    return out;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  Width width_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

// True when `field` ends inside a record of `recordSize` bytes, worked out without overflow
// however large its dimensions.
bool fitsIn(const FieldDef& field, std::uint32_t recordSize) {
  std::uint64_t end = field.size;
  for (const std::uint32_t dim : field.dims) {
    if (dim != 0) end *= dim;
    if (end > recordSize) return false;
  }
  return field.offset <= recordSize && end <= recordSize - field.offset;
}

// One entry as read, with the texts its FieldDef points into.
struct ReadEntry {
  FieldDef def;
  std::uint8_t flags = 0;
  std::uint32_t groupLength = 0;
  std::string label, picture, externalName;
};

// Reads the entry of field `number` at the reader's position into `entry`; false with the
// reason on a fault.
bool readEntry(ByteReader& in, std::size_t number, std::size_t fieldCount, ReadEntry& entry,
               std::string* error) {
  const auto bad = [&](std::string_view what) {
    fail(error, fieldName(number, entry.label) + ": " + std::string(what));
    return false;
  };
  const std::uint8_t code = in.byte();
  entry.flags = in.byte();
  if (in.failed()) return bad("entry cut short");
  if (!isKnownType(code)) return bad("unknown type code " + std::to_string(code));
  FieldDef& def = entry.def;
  def.type = static_cast<FieldType>(code);
  def.size = runtime::fixedFieldSize(def.type);
  if (isDecimal(def.type)) {
    def.size = in.byte();
    def.scale = in.byte();
    def.digits = static_cast<std::uint8_t>(2 * def.size - 1);
  } else if (isString(def.type)) {
    const std::uint8_t first = in.byte();
    if (first >= 0x80) return bad("bad size");
    def.size = in.numberAfter(first);
  } else if (def.type == FieldType::Group) {
    def.size = in.word();
    const std::uint32_t members = in.word();
    if (members > fieldCount - number) return bad("more members than fields after it");
    def.members = static_cast<std::uint16_t>(members);
    entry.groupLength = in.word();
  }
  if (entry.flags & FieldHasPicture) entry.picture = in.text();
  entry.label = in.text();
  if (entry.flags & FieldHasExternalName) entry.externalName = in.text();
  if (entry.flags & FieldIsOver) {
    const std::uint8_t first = in.byte();
    const std::uint32_t over = in.numberAfter(first & 0x7F);
    if ((first & 0x80) == 0) {
      entry.flags &= ~FieldIsOver;  // referenced, but not really laid over
    } else {
      if (over == 0 || over >= number) return bad("lies over a field not before it");
      def.over = static_cast<std::uint16_t>(over);
    }
  }
  if (entry.flags & FieldHasDimensions) {
    const std::uint8_t count = in.byte();
    if (count > def.dims.size()) return bad("more than four dimensions");
    for (std::size_t i = 0; i < count; ++i) {
      def.dims[i] = in.width() == Width::Wide ? in.numberAfter(in.byte()) : in.byte();
      if (def.dims[i] == 0) return bad("a dimension of 0");
    }
  }
  if (in.failed()) return bad("entry cut short");
  const bool badDecimal = isDecimal(def.type) &&
                          (def.size == 0 || def.size > kLargestDecimal || def.scale > def.digits);
  const bool badString =
      isString(def.type) && (def.size == 0 || (def.type == FieldType::PString && def.size > 256));
  if (badDecimal || badString) return bad("bad size");
  return true;
}

}  // namespace

std::uint8_t descriptorFlags(const FieldDef& field) {
  std::uint8_t flags = 0;
  if (!field.externalName.empty()) flags |= FieldHasExternalName;
  if (!field.picture.empty()) flags |= FieldHasPicture;
  if (field.over != 0) flags |= FieldIsOver;
  if (field.isArray()) flags |= FieldHasDimensions;
  return flags;
}

std::optional<std::vector<std::uint8_t>> writeDescriptor(const runtime::RecordLayout& layout,
                                                         std::string* error) {
  std::vector<std::uint8_t> out(kSignature, kSignature + 2);
  putU32(out, layout.recordSize());
  putU32(out, static_cast<std::uint32_t>(layout.fieldCount()));
  putU32(out, 0);  // the length, written at the end

  PlaceWalk walk;
  const std::span<const FieldDef> fields = layout.fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t number = i + 1;
    const FieldDef& field = fields[i];
    if (!checkWritable(number, field, error)) return std::nullopt;
    const bool over = field.over != 0;
    const std::uint32_t place =
        walk.next(over ? std::optional(fields[field.over - 1].offset) : std::nullopt);
    if (field.offset != place)
      return fail(error, fieldName(number, field.label) + ": at offset " +
                             std::to_string(field.offset) + ", where offset " +
                             std::to_string(place) + " is expected");
    const std::size_t entryStart = out.size();
    putEntry(out, field);
    const bool taken = walk.take(number, field, place, over, field.members, entryStart);
    assert(taken && "the layout nests its groups");
    (void)taken;
    walk.close(number, [&](const PlaceWalk::Group& group) {
      patchU32(out, group.entryStart + kGroupLengthWord,
               static_cast<std::uint32_t>(out.size() - group.entryStart));
      return true;
    });
  }
  patchU32(out, kLengthWord, static_cast<std::uint32_t>(out.size()));
  return out;
}

namespace {

std::optional<DescriptorContents> readWith(std::span<const std::uint8_t> bytes, Width width,
                                           std::string* error) {
  const std::size_t headerSize = width == Width::Wide ? kDescriptorHeaderSize : 8;
  if (bytes.size() < headerSize || bytes[0] != kSignature[0] || bytes[1] != kSignature[1])
    return fail(error, "not a record type descriptor");
  ByteReader in(bytes, width);
  for (std::size_t i = 0; i < 2; ++i) in.byte();
  const std::uint32_t recordSize = in.word();
  const std::uint32_t count = in.word();
  const std::uint32_t length = in.word();
  if (length < headerSize || length > bytes.size())
    return fail(error, "descriptor length " + std::to_string(length) + " with " +
                           std::to_string(bytes.size()) + " bytes");
  // Every entry takes at least three bytes, so a larger count cannot be right; field numbers
  // are 16-bit.
  if (count > (length - headerSize) / 3 || count > kMostFields)
    return fail(error, "field count " + std::to_string(count) + " too large for its length");
  in = ByteReader(bytes.first(length), width);
  for (std::size_t i = 0; i < headerSize; ++i) in.byte();

  std::vector<ReadEntry> entries(count);
  PlaceWalk walk;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t number = i + 1;
    ReadEntry& entry = entries[i];
    const std::size_t entryStart = in.position();
    if (!readEntry(in, number, count, entry, error)) return std::nullopt;
    FieldDef& def = entry.def;
    const bool over = def.over != 0;
    def.offset = walk.next(over ? std::optional(entries[def.over - 1].def.offset) : std::nullopt);
    if (!fitsIn(def, recordSize))
      return fail(error, fieldName(number, entry.label) + ": beyond the record");
    if (!walk.take(number, def, def.offset, over, def.members, entryStart))
      return fail(error, fieldName(number, entry.label) + ": more members than its group has");
    const bool lengthsMatch = walk.close(number, [&](const PlaceWalk::Group& group) {
      return width == Width::Narrow ||
             entries[group.number - 1].groupLength == in.position() - group.entryStart;
    });
    if (!lengthsMatch) return fail(error, "a group's length does not match its members");
  }
  if (walk.groupsOpen()) return fail(error, "a group has members after the last field");
  if (in.position() != length) return fail(error, "bytes after the last field");

  std::vector<FieldDef> defs;
  defs.reserve(count);
  for (ReadEntry& entry : entries) {
    entry.def.label = entry.label;
    entry.def.picture = entry.picture;
    entry.def.externalName = entry.externalName;
    defs.push_back(entry.def);
  }
  DescriptorContents contents{runtime::RecordLayout(defs, recordSize), {}, {}, length};
  // The layout works group membership out from the places; it must agree with the counts.
  for (std::size_t i = 0; i < count; ++i) {
    if (defs[i].type == FieldType::Group && contents.layout.fields()[i].members != defs[i].members)
      return fail(error, fieldName(i + 1, defs[i].label) + ": members do not fit in the group");
    contents.flags.push_back(entries[i].flags);
    contents.groupLengths.push_back(entries[i].groupLength);
  }
  return contents;
}

}  // namespace

std::optional<DescriptorContents> readDescriptor(std::span<const std::uint8_t> bytes,
                                                 std::string* error) {
  return readWith(bytes, Width::Wide, error);
}

std::optional<DescriptorContents> readOlderDescriptor(std::span<const std::uint8_t> bytes,
                                                      std::string* error) {
  return readWith(bytes, Width::Narrow, error);
}

}  // namespace files
