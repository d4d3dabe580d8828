#include "upkeep/old_header_image.h"

#include <algorithm>

#include "platform/runtime/field_type.h"
#include "platform/runtime/text.h"
#include "upkeep/structure_image.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

constexpr std::uint8_t kOldGroup = 7;
constexpr std::size_t kPictureWindow = 32;
constexpr std::uint8_t kFlagsAlways = 0x02;
constexpr std::uint8_t kFlagArray = 0x10;
constexpr std::uint8_t kFlagPicture = 0x04;
constexpr std::int32_t kLargestOlderDimension = 0xFF;  // one byte in the older layout
constexpr std::int32_t kLargestDecimal = 16;

using runtime::FieldType;

// The runtime's type of an old type code, and the size the old type must have (0: any size
// from 1, -1: a group, any size).
struct OldType {
  FieldType type;
  std::int32_t size;
};
std::optional<OldType> runtimeType(std::uint8_t old) {
  switch (old) {
    case 1: return OldType{FieldType::Long, 4};
    case 2: return OldType{FieldType::Real, 8};
    case 3:                                        // a text
    case 4: return OldType{FieldType::String, 0};  // a text with a picture
    case 5: return OldType{FieldType::Byte, 1};
    case 6: return OldType{FieldType::Short, 2};
    case 7: return OldType{FieldType::Group, -1};
    case 8: return OldType{FieldType::Decimal, 0};
    default: return std::nullopt;
  }
}

std::uint32_t code(FieldType type) { return static_cast<std::uint32_t>(type); }

bool isPictureStart(char c) { return c == 'p' || c == 'P'; }

std::nullopt_t fail(std::string* reason, std::string text) {
  if (reason != nullptr) *reason = std::move(text);
  return std::nullopt;
}

// The bytes a field takes in the record: one element times its dimensions.
std::int64_t fieldBytes(const OldImageField& field) {
  std::int64_t bytes = field.NLEN;
  for (const std::int32_t dim : field.NARRDIM) bytes *= dim;
  return bytes;
}

// Sets NUMGRPFIELDS of every group: the entries after it walked until the members' sizes
// (nested groups passed over) fill its length. False when one is not filled exactly.
bool spanGroups(std::vector<OldImageField>& fields, std::string* reason) {
  for (std::size_t g = 0; g < fields.size(); ++g) {
    if (fields[g].NTYPE != kOldGroup) continue;
    std::int64_t remaining = fields[g].NLEN;
    std::size_t walked = g + 1;
    for (; remaining > 0 && walked < fields.size(); ++walked)
      if (fields[walked].NTYPE != kOldGroup) remaining -= fieldBytes(fields[walked]);
    if (remaining != 0) {
      fail(reason, "group " + fields[g].NAME + " is not filled by its members");
      return false;
    }
    fields[g].NUMGRPFIELDS = static_cast<std::int32_t>(walked - g - 1);
  }
  return true;
}

class OlderImageWriter {
 public:
  std::vector<std::uint8_t>& bytes() { return out_; }
  void byte(std::uint32_t value) { out_.push_back(static_cast<std::uint8_t>(value)); }
  void u16(std::uint32_t value) {
    byte(value & 0xFF);
    byte(value >> 8 & 0xFF);
  }
  void text(std::string_view value) {
    out_.insert(out_.end(), value.begin(), value.end());
    out_.push_back(0);
  }
  // A 2-byte slot to be patched later; answers its place.
  std::size_t slot() {
    out_.push_back(0);
    out_.push_back(0);
    return out_.size() - 2;
  }
  // The slot at `at` := the bytes from the slot to here, plus 6 (the entry's bytes in front).
  void patch(std::size_t at) {
    const std::size_t value = out_.size() - at + 6;
    out_[at] = static_cast<std::uint8_t>(value & 0xFF);
    out_[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
  }
  // A string size: one byte below 20h, two below 2000h (20h plus the high byte), else three.
  void size(std::uint32_t value) {
    if (value < 0x20) {
      byte(value);
    } else if (value < 0x2000) {
      byte(0x20 + (value >> 8));
      byte(value & 0xFF);
    } else {
      byte(0x40);
      byte(value >> 8 & 0xFF);
      byte(value & 0xFF);
    }
  }

 private:
  std::vector<std::uint8_t> out_;
};

std::uint8_t imageAttributes(std::uint16_t attr) {
  std::uint8_t out = 0x20;
  if (attr & 0x20) out += 8;
  if (attr & 0x80) out += 4;
  if (attr & 0x04) out += 2;
  if (attr & 0x02) out += 1;
  return out;
}

std::uint8_t keyAttributes(std::uint8_t attr) {
  std::uint8_t out = 0;
  if (attr & 0x11) out += 1;
  if (!(attr & 0x40)) out += 2;
  if (attr & 0x20) out += 4;
  return out;
}

struct OpenGroup {
  std::size_t lastMember;  // 1-based number of the field that closes it
  std::size_t slot;
};

void writeField(OlderImageWriter& out, const OldImageField& field) {
  const FieldType type = runtimeType(field.NTYPE)->type;
  out.byte(code(type));
  out.byte(kFlagsAlways | (field.NARRDIM.empty() ? 0 : kFlagArray) |
           (field.PIC.empty() ? 0 : kFlagPicture));
  if (type == FieldType::String) out.size(static_cast<std::uint32_t>(field.NLEN));
  if (type == FieldType::Decimal) {
    out.byte(static_cast<std::uint32_t>(field.NLEN));
    out.byte(field.NDECDEC);
  }
  if (!field.PIC.empty()) out.text(field.PIC);
  out.text(runtime::CLIP(field.NAME));
  if (!field.NARRDIM.empty()) {
    out.byte(static_cast<std::uint32_t>(field.NARRDIM.size()));
    for (const std::int32_t dim : field.NARRDIM) out.byte(static_cast<std::uint32_t>(dim));
  }
}

}  // namespace

std::string oldHeaderOwner(const OldHeader& header) {
  if (!header.encrypted) return {};
  const auto character = [](std::uint8_t key) { return key == 0 ? ' ' : static_cast<char>(key); };
  return {character(header.evenKey), character(header.oddKey)};
}

std::string oldPicture(const std::string& stored) {
  const std::string copy = stored.substr(0, kPictureWindow);
  const std::size_t first = static_cast<std::size_t>(
      std::find_if(copy.begin(), copy.end(), isPictureStart) - copy.begin());
  if (first < copy.size()) {
    const auto second = std::find_if(copy.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                                     copy.end(), isPictureStart);
    if (second != copy.end()) {
      std::size_t end = static_cast<std::size_t>(second - copy.begin()) + 1;
      if (end < copy.size() && (copy[end] == 'b' || copy[end] == 'B')) ++end;
      return copy.substr(first, end - first);
    }
  }
  return stored.substr(0, stored.find(' '));
}

std::optional<std::vector<OldImageField>> oldImageFields(const OldHeader& header,
                                                         std::string* reason) {
  std::vector<OldImageField> fields;
  std::int64_t place = 0;  // where the next field must start
  for (const OldFieldRecord& f : header.fields) {
    OldImageField field{.NAME = runtime::UPPER(runtime::CLIP(f.NAME)),
                        .NSTART = f.START + 6,
                        .NLEN = f.LEN,
                        .NTYPE = f.TYPE,
                        .NARRNUM = f.ARRNUM,
                        .NARRDIM = {},
                        .NDECSIG = f.DECSIG,
                        .NDECDEC = f.DECDEC,
                        .PICNUM = f.PICNUM,
                        .PIC = {},
                        .NUMGRPFIELDS = 0};
    const std::optional<OldType> type = runtimeType(f.TYPE);
    if (!type) return fail(reason, "field " + field.NAME + " of type " + std::to_string(f.TYPE));
    const bool sized = type->size > 0    ? f.LEN == type->size
                       : type->size == 0 ? f.LEN >= 1
                                         : f.LEN >= 0;
    if (!sized || (type->type == FieldType::Decimal && f.LEN > kLargestDecimal))
      return fail(reason, "field " + field.NAME + " of size " + std::to_string(f.LEN));
    if (field.NAME.empty()) return fail(reason, "a field without a name");
    if (f.PICNUM > 0)
      field.PIC = oldPicture(header.pictures[static_cast<std::size_t>(f.PICNUM) - 1]);
    if (f.ARRNUM > 0) {
      if (f.TYPE == kOldGroup) return fail(reason, "group " + field.NAME + " is an array");
      for (const std::int16_t dim : header.arrays[static_cast<std::size_t>(f.ARRNUM) - 1].MAXDIM) {
        if (dim > kLargestOlderDimension)
          return fail(reason, "field " + field.NAME + " has a dimension of " + std::to_string(dim));
        field.NARRDIM.push_back(dim);
      }
    }
    if (f.START != place)
      return fail(reason, "field " + field.NAME + " starts at " + std::to_string(f.START) +
                              ", not at " + std::to_string(place));
    if (f.TYPE != kOldGroup) place += fieldBytes(field);
    fields.push_back(std::move(field));
  }
  if (place > header.T.RECLEN - static_cast<std::int64_t>(kOldRecordPrefix))
    return fail(reason, "the fields do not fit the record length");
  if (!spanGroups(fields, reason)) return std::nullopt;
  return fields;
}

std::optional<std::vector<std::uint8_t>> oldHeaderImage(const OldHeader& header,
                                                        std::string* reason) {
  const OldHeaderRecord& t = header.T;
  if (header.keys.size() > kMostImageKeys)
    return fail(reason, std::to_string(header.keys.size()) + " keys");
  auto fields = oldImageFields(header, reason);
  if (!fields) return std::nullopt;
  const auto recordLength = static_cast<std::uint32_t>(t.RECLEN) - kOldRecordPrefix;

  OlderImageWriter out;
  out.text("Cor");
  out.text(oldHeaderOwner(header));
  out.byte(imageAttributes(t.ATTR));
  out.byte(static_cast<std::uint32_t>(header.keys.size()));
  out.byte(t.MEMOLEN != 0 ? 1 : 0);
  out.u16(recordLength);
  for (const OldKeyRecord& key : header.keys) {
    out.byte(static_cast<std::uint32_t>(key.FIELDS.size()));
    out.byte(keyAttributes(key.ATTR));
    out.byte(key.ATTR & 0x01);
    out.byte(0);
    out.text(runtime::CLIP(key.NAME));
    for (const std::int16_t component : key.FIELDS) out.u16(static_cast<std::uint16_t>(component));
  }
  if (t.MEMOLEN != 0) {
    out.byte(1);
    out.u16(t.MEMOLEN);
    out.byte(0);
    const std::string prefix = runtime::CLIP(t.PREFIX);
    const std::string name = runtime::CLIP(t.MEMONAME);
    out.text(runtime::UPPER(prefix.empty() ? name : prefix + ":" + name).substr(0, 16));
  }

  const std::size_t descriptorStart = out.bytes().size();
  out.byte(0x16);
  out.byte(0x00);
  out.u16(recordLength);
  out.u16(static_cast<std::uint32_t>(fields->size()));
  const std::size_t recordSlot = out.slot();
  std::vector<OpenGroup> open;
  for (std::size_t number = 1; number <= fields->size(); ++number) {
    const OldImageField& field = (*fields)[number - 1];
    if (field.NTYPE == kOldGroup) {
      // The group's own entry: type, flags, then its length, member count and length slot.
      out.byte(code(FieldType::Group));
      out.byte(kFlagsAlways | (field.PIC.empty() ? 0 : kFlagPicture));
      out.u16(static_cast<std::uint32_t>(field.NLEN));
      out.u16(static_cast<std::uint32_t>(field.NUMGRPFIELDS));
      open.push_back({number + static_cast<std::size_t>(field.NUMGRPFIELDS), out.slot()});
      if (!field.PIC.empty()) out.text(field.PIC);
      out.text(runtime::CLIP(field.NAME));
    } else {
      writeField(out, field);
    }
    while (!open.empty() && open.back().lastMember == number) {
      out.patch(open.back().slot);
      open.pop_back();
    }
  }
  if (!open.empty()) return fail(reason, "groups that do not nest");
  out.patch(recordSlot);
  if (out.bytes().size() - descriptorStart > 0xFFFF || out.bytes().size() > MAXDEFSIZE)
    return fail(reason, "the image is larger than an image can be");
  return std::move(out.bytes());
}

}  // namespace upkeep
