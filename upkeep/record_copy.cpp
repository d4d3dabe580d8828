#include "upkeep/record_copy.h"

#include <cstddef>
#include <optional>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_type.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/field_clearing.h"
#include "upkeep/field_conversion.h"
#include "upkeep/sql_insert_lists.h"
#include "upkeep/text_converters.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

using ElementAt = std::array<std::int32_t, 4>;  // subscripts of an element, from 1

// An old data-file header keeps a memo under this prefix and the memo's label.
constexpr std::string_view ImportedMemoPrefix = "MEMAUX_";
// Labels of an old data-file header are at most this long.
constexpr std::size_t HeaderLabelLength = 16;

const FieldEntry* sourceNamed(const RecordCopy& copy, std::string_view name) {
  return findField(*copy.SRC, runtime::CLIP(name));
}

// The names, upper case, an alternate old name stands for: itself when it has a prefix,
// otherwise the name under the prefix of the structure last interpreted and under the file's
// own prefix.
std::array<std::string, 2> prefixedNames(const RecordCopy& copy, std::string_view oldName) {
  if (oldName.find(':') != std::string_view::npos) return {runtime::UPPER(oldName), {}};
  const std::string interpreted = runtime::CLIP(copy.InterpretedPrefix);
  const std::string own =
      runtime::UPPER(runtime::CLIP(copy.filePrefix) + ":" + std::string(oldName));
  if (interpreted.empty()) return {own, {}};
  return {runtime::UPPER(interpreted + ":" + std::string(oldName)), own};
}

struct Source {
  const FieldEntry* field = nullptr;
  std::optional<ElementAt> element;  // one element of the old array feeds the new field
};

Source sourceByAlternateName(const RecordCopy& copy, const FieldEntry& destination) {
  for (const AlternateFieldName& alternate : copy.AFN) {
    if (!runtime::equalTextNoCase(alternate.DESTNAME1, destination.NAME)) continue;
    const std::string oldName = runtime::UPPER(runtime::CLIP(alternate.SRCNAME2));
    for (const std::string& name : prefixedNames(copy, oldName))
      if (const FieldEntry* found = name.empty() ? nullptr : sourceNamed(copy, name))
        return {found, {}};
    const std::size_t open = oldName.find('[');
    if (open == std::string::npos || oldName.find(']') == std::string::npos) continue;
    for (const std::string& name : prefixedNames(copy, oldName.substr(0, open))) {
      const FieldEntry* array = name.empty() ? nullptr : sourceNamed(copy, name);
      if (!array) continue;
      const auto [a, b, c, d] = ParseSubscripts(oldName);
      const ElementAt subscripts{a, b, c, d};
      bool inside = true;
      for (std::size_t i = 0; i < subscripts.size(); ++i)
        inside = inside && subscripts[i] >= 1 && subscripts[i] <= array->DIM[i];
      if (inside) return {array, subscripts};
    }
  }
  return {};
}

Source findSource(const RecordCopy& copy, const FieldEntry& destination) {
  if (const FieldEntry* found = sourceNamed(copy, destination.NAME)) return {found, {}};
  const std::string imported = std::string(ImportedMemoPrefix) + runtime::CLIP(destination.NAME);
  if (const FieldEntry* found = sourceNamed(copy, imported)) return {found, {}};
  if (Source alternate = sourceByAlternateName(copy, destination); alternate.field)
    return alternate;
  if (copy.SourceFromDatHeader) {
    const std::string_view name(destination.NAME);
    if (const FieldEntry* found = sourceNamed(copy, name.substr(0, HeaderLabelLength)))
      return {found, {}};
  }
  return {};
}

// The position of element `at` of an array of dimensions `dims`, counted from 0.
std::uint64_t elementIndex(const ElementAt& at, const ElementAt& dims) {
  std::uint64_t index = 0;
  for (std::size_t i = 0; i < at.size(); ++i)
    index = index * static_cast<std::uint64_t>(dims[i]) + static_cast<std::uint64_t>(at[i] - 1);
  return index;
}

// Element `index` of `field` in the record `record`, or nothing when it lies outside the record.
std::optional<FieldElement> elementOf(const FieldEntry& field, std::span<std::byte> record,
                                      std::uint64_t index) {
  FieldElement element;
  element.type = field.TYPE;
  element.len = field.LEN;
  element.chars = field.CHARS;
  element.places = field.PLACES;
  element.picture = field.PICTURE;
  if (field.TYPE == kMemoEntryType) {
    if (!field.PTR) return std::nullopt;
    element.memo = field.PTR;
    return element;
  }
  // A number, date or time of another size than its type's is not read or written.
  const std::uint32_t fixed = runtime::fixedFieldSize(static_cast<runtime::FieldType>(field.TYPE));
  if (fixed != 0 && fixed != field.LEN) return std::nullopt;
  const std::uint64_t start = field.OFFSET - 1 + index * field.LEN;
  if (field.OFFSET < 1 || start + field.LEN > record.size()) return std::nullopt;
  element.bytes = reinterpret_cast<unsigned char*>(record.data() + start);
  return element;
}

// Element `index` of a destination field: converted from element `at` of `source`, or filled
// as a new field's when there is no source or the source has no such element.
void oneField(const RecordCopy& copy, const FieldEntry& destination, std::uint64_t index,
              const FieldEntry* source, const ElementAt& at, std::span<std::byte> oldRecord,
              std::span<std::byte> newRecord) {
  const std::optional<FieldElement> target = elementOf(destination, newRecord, index);
  if (!target) return;
  std::optional<FieldElement> from;
  if (source) {
    bool inside = true;
    for (std::size_t i = 0; i < at.size(); ++i) inside = inside && at[i] <= source->DIM[i];
    if (inside) from = elementOf(*source, oldRecord, elementIndex(at, source->DIM));
  }
  bool valued = true;
  if (from)
    ConvertingField(*from, *target);
  else
    valued = ClearingField(*target, destination.NAME, copy.filePrefix);
  if (copy.sql && valued) copy.sql->addField(destination, *target);
}

}  // namespace

RecordCopier::RecordCopier(const RecordCopy& copy) : copy_(copy) {
  for (const FieldEntry& field : *copy.DST) {
    if (field.TYPE == static_cast<std::uint8_t>(runtime::FieldType::Group)) continue;
    // A field laid over another is written through the field under it.
    if (field.OVERED && !(copy.sql && realFieldSetting(field.NAME) == "REALFIELD")) continue;
    if (field.LEN == 0) continue;
    const Source found = findSource(copy, field);
    if (!found.field && debugLevels().detailTrace)
      WriteTrace("Unable to find Src field " + field.NAME);
    steps_.push_back({&field, found.field, found.element});
  }
}

void RecordCopier::copy(files::FileDeclaration& source, files::FileDeclaration& destination) const {
  if (debugLevels().inOutTrace) WriteTrace("CopyRec IN.");
  const std::span<std::byte> oldRecord = source.record();
  const std::span<std::byte> newRecord = destination.record();
  for (const Step& step : steps_) {
    const FieldEntry& field = *step.destination;
    ElementAt at{1, 1, 1, 1};
    if (field.DIM[0] == 1 && field.DIM[1] == 1 && field.DIM[2] == 1 && field.DIM[3] == 1) {
      oneField(copy_, field, 0, step.source, step.element.value_or(at), oldRecord, newRecord);
      continue;
    }
    for (at[0] = 1; at[0] <= field.DIM[0]; ++at[0])
      for (at[1] = 1; at[1] <= field.DIM[1]; ++at[1])
        for (at[2] = 1; at[2] <= field.DIM[2]; ++at[2])
          for (at[3] = 1; at[3] <= field.DIM[3]; ++at[3]) {
            const std::uint64_t index = elementIndex(at, field.DIM);
            // An alternate name of one old element feeds the first element only.
            const FieldEntry* from = step.element && index != 0 ? nullptr : step.source;
            oneField(copy_, field, index, from, step.element.value_or(at), oldRecord, newRecord);
          }
  }
  if (copy_.sql) {
    copy_.sql->addDateTimePairs();
    if (debugLevels().detailTrace) {
      WriteTrace("FieldNames: [1] " + std::string(copy_.sql->FieldNames()));
      WriteTrace("FieldValues: [1] " + std::string(copy_.sql->FieldValues()));
    }
  }
  if (debugLevels().inOutTrace) WriteTrace("CopyRec OUT.");
}

void CopyRec(const RecordCopy& copy, files::FileDeclaration& source,
             files::FileDeclaration& destination) {
  RecordCopier(copy).copy(source, destination);
}

}  // namespace upkeep
