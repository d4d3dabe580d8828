// A record's field table: for each field its label, type code, place and size in the record
// buffer, decimal digits, array dimensions, picture, external name, the field it lies over and
// the group it belongs to. File declarations, queues and lists read records through it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/runtime/field_type.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"

namespace runtime {

// One field of a record.
struct FieldDef {
  std::string_view label{};  // with its prefix, "PRE:NAME"
  FieldType type = FieldType::Byte;
  std::uint32_t offset = 0;             // byte offset in the record buffer
  std::uint32_t size = 0;               // bytes of one element; a GROUP's whole size
  std::uint8_t digits = 0;              // DECIMAL and PDECIMAL: number of digits
  std::uint8_t scale = 0;               // DECIMAL and PDECIMAL: digits after the point
  std::array<std::uint32_t, 4> dims{};  // array dimensions; 0 = dimension not used
  std::string_view picture{};           // display picture, empty when none
  std::string_view externalName{};      // empty when none
  std::uint16_t over = 0;               // number of the field this one lies over, 0 none
  std::uint16_t group = 0;              // number of the innermost GROUP holding this field, 0 none
  std::uint16_t members = 0;            // GROUP: number of fields inside it, nested ones included

  constexpr bool isArray() const { return dims[0] != 0; }
  // The number of elements: the product of the used dimensions, 1 for a plain field.
  constexpr std::uint32_t elementCount() const {
    std::uint32_t count = 1;
    for (const std::uint32_t d : dims)
      if (d != 0) count *= d;
    return count;
  }
  // The bytes the field takes in the record.
  constexpr std::uint32_t totalSize() const { return size * elementCount(); }

  constexpr FieldDef withPicture(std::string_view text) const {
    FieldDef copy = *this;
    copy.picture = text;
    return copy;
  }
  constexpr FieldDef withExternalName(std::string_view text) const {
    FieldDef copy = *this;
    copy.externalName = text;
    return copy;
  }
  // This field lies over field `number` (1-based, an earlier field of the record).
  constexpr FieldDef overField(std::uint16_t number) const {
    FieldDef copy = *this;
    copy.over = number;
    return copy;
  }
};

// The field description of a record member of C++ type M (a field type, or an array of up to
// four dimensions of one) at `offset`. Used through GD_FIELD.
template <class M>
constexpr FieldDef fieldOf(std::string_view label, std::size_t offset) {
  using Element = std::remove_all_extents_t<M>;
  static_assert(alignof(Element) == 1 && std::is_trivially_copyable_v<Element>);
  static_assert(std::rank_v<M> <= 4, "a field has at most four dimensions");
  FieldDef def;
  def.label = label;
  def.type = Element::fieldType;  // only the runtime's field types have one
  def.offset = static_cast<std::uint32_t>(offset);
  def.size = sizeof(Element);
  if constexpr (requires { Element::digits; }) {
    def.digits = Element::digits;
    def.scale = Element::scale;
  }
  if constexpr (std::rank_v<M> >= 1) def.dims[0] = std::extent_v<M, 0>;
  if constexpr (std::rank_v<M> >= 2) def.dims[1] = std::extent_v<M, 1>;
  if constexpr (std::rank_v<M> >= 3) def.dims[2] = std::extent_v<M, 2>;
  if constexpr (std::rank_v<M> >= 4) def.dims[3] = std::extent_v<M, 3>;
  return def;
}

// The description of a GROUP member of C++ type G (a struct of fields) at `offset`.
template <class G>
constexpr FieldDef groupOf(std::string_view label, std::size_t offset) {
  static_assert(alignof(G) == 1 && std::is_trivially_copyable_v<G>);
  FieldDef def;
  def.label = label;
  def.type = FieldType::Group;
  def.offset = static_cast<std::uint32_t>(offset);
  def.size = sizeof(G);
  return def;
}

// The FieldDef of `member` of the record struct `Record`, its type taken from the member's C++
// type: GD_FIELD(Projects, ID, "PRO:ID"). `member` may name a member of a group
// (`DT.D`) or an array. GD_GROUP describes a member that is a struct of fields.
// A field laid over another shares an anonymous union with it, the field under it carrying
// the default initializer (`union { String<8> STAMP{}; Parts PARTS; };`), and is described
// with .overField(n); such a record declares `Rec() {}`, since GCC 12 otherwise deletes its
// default constructor.
#define GD_FIELD(Record, member, label)                                              \
  ::runtime::fieldOf<std::remove_cvref_t<decltype(std::declval<Record&>().member)>>( \
      label, offsetof(Record, member))
#define GD_GROUP(Record, member, label)                                              \
  ::runtime::groupOf<std::remove_cvref_t<decltype(std::declval<Record&>().member)>>( \
      label, offsetof(Record, member))

// True when `fields` have exactly these offsets, in order: static_assert(hasOffsets(kFields,
// {0, 4, 24})) fixes a record's layout at compile time.
constexpr bool hasOffsets(std::span<const FieldDef> fields,
                          std::initializer_list<std::uint32_t> offsets) {
  if (fields.size() != offsets.size()) return false;
  std::size_t i = 0;
  for (const std::uint32_t offset : offsets)
    if (fields[i++].offset != offset) return false;
  return true;
}

// The fields of one record layout and its size. It keeps its own copy of every text, so it can
// be built at run time from texts that do not outlive it; group membership (`group`,
// `members`) is worked out from the fields' places: the members of a GROUP are the fields that
// follow it and lie inside its bytes.
class RecordLayout {
 public:
  // Asserts that every field lies inside the record and that `over` names an earlier field.
  RecordLayout(std::span<const FieldDef> fields, std::uint32_t recordSize);
  RecordLayout(RecordLayout&&) noexcept = default;
  RecordLayout& operator=(RecordLayout&&) noexcept = default;
  RecordLayout(const RecordLayout&) = delete;
  RecordLayout& operator=(const RecordLayout&) = delete;

  std::uint32_t recordSize() const { return recordSize_; }
  std::size_t fieldCount() const { return fields_.size(); }
  std::span<const FieldDef> fields() const { return fields_; }
  // Field `number` (1-based); nullptr when there is no such field.
  const FieldDef* field(int number) const;
  // The number of the field whose label equals `label` without regard to letter case; 0 when
  // none does.
  int numberOf(std::string_view label) const;
  // The number of the field that takes exactly the bytes [offset, offset + size), preferring
  // a field to a GROUP of the same place; 0 when none does.
  int numberAt(std::uint32_t offset, std::uint32_t size) const;
  // True when field `number` lies over another field, itself or through one of its groups.
  bool liesOver(int number) const;

 private:
  std::vector<FieldDef> fields_;
  std::vector<std::string> foldedLabels_;
  std::unique_ptr<char[]> texts_;  // the labels, pictures and external names
  std::uint32_t recordSize_ = 0;
};

// Compares field `field` of the records at `recordA` and `recordB` in the runtime's order:
// numbers by value, texts ignoring trailing spaces (a CSTRING up to its NUL, a GROUP as text
// of its bytes), without regard to letter case when `noCase` is set, dates and times in
// time order, decimals by value, arrays element by element. Answers -1, 0 or 1.
int compareFieldValues(const FieldDef& field, const void* recordA, const void* recordB,
                       bool noCase);

// Blanks the record at `record`: text fields to spaces (STRING) or empty, everything else to
// zero; fields that lie over others are left to the fields under them.
void blankRecord(const RecordLayout& layout, void* record);

}  // namespace runtime
