#include "tests/upkeep/field_list_fixture.h"

#include "platform/runtime/record_layout.h"
#include "upkeep/field_conversion.h"

namespace upkeep {

std::vector<FieldEntry> fieldList(files::FileDeclaration& file, bool destination) {
  std::vector<FieldEntry> list;
  const runtime::RecordLayout& layout = file.layout();
  for (int number = 1; number <= static_cast<int>(layout.fieldCount()); ++number) {
    const runtime::FieldDef& def = *layout.field(number);
    const bool overed = layout.liesOver(number);
    if (overed && !destination) continue;
    FieldEntry entry;
    entry.TYPE = static_cast<std::uint8_t>(def.type);
    entry.LEN = def.type == runtime::FieldType::Group ? 0 : def.size;
    if (def.type == runtime::FieldType::Decimal || def.type == runtime::FieldType::PDecimal) {
      entry.CHARS = static_cast<std::uint8_t>(2 * def.size - 1);
      entry.PLACES = def.scale;
    }
    entry.OFFSET = def.offset + 1;
    entry.NAME = def.label;
    entry.PICTURE = def.picture;
    entry.EXTNAME = def.externalName;
    for (std::size_t i = 0; i < 4; ++i) entry.DIM[i] = def.dims[i] ? std::int32_t(def.dims[i]) : 1;
    entry.OVERED = overed ? 1 : 0;
    list.push_back(entry);
  }
  for (files::Memo& memo : file.memos()) {
    FieldEntry entry;
    entry.TYPE = MemoFieldType;
    entry.LEN = memo.size();
    entry.OFFSET = static_cast<std::uint32_t>(memo.label().size());
    entry.NAME = memo.label();
    entry.PTR = &memo;
    list.push_back(entry);
  }
  return list;
}

}  // namespace upkeep
