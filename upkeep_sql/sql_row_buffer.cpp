#include "upkeep_sql/sql_row_buffer.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"

namespace upkeep_sql {
namespace {

constexpr runtime::FieldDef kRowFields[] = {
    GD_FIELD(SqlRowBuffer, DS_FIELD1, "UPK:DS_FIELD1"),
    GD_FIELD(SqlRowBuffer, DS_FIELD2, "UPK:DS_FIELD2"),
    GD_FIELD(SqlRowBuffer, DS_FIELD3, "UPK:DS_FIELD3"),
    GD_FIELD(SqlRowBuffer, DS_FIELD4, "UPK:DS_FIELD4"),
    GD_FIELD(SqlRowBuffer, DS_FIELD5, "UPK:DS_FIELD5"),
    GD_FIELD(SqlRowBuffer, DS_FIELD6, "UPK:DS_FIELD6"),
    GD_FIELD(SqlRowBuffer, DS_FIELD7, "UPK:DS_FIELD7"),
    GD_FIELD(SqlRowBuffer, DS_FIELD8, "UPK:DS_FIELD8"),
    GD_FIELD(SqlRowBuffer, DS_FIELD9, "UPK:DS_FIELD9"),
    GD_FIELD(SqlRowBuffer, DS_FIELD10, "UPK:DS_FIELD10"),
    GD_FIELD(SqlRowBuffer, DS_FIELD11, "UPK:DS_FIELD11"),
    GD_FIELD(SqlRowBuffer, DS_FIELD12, "UPK:DS_FIELD12"),
    GD_FIELD(SqlRowBuffer, DS_FIELD13, "UPK:DS_FIELD13"),
    GD_FIELD(SqlRowBuffer, DS_FIELD14, "UPK:DS_FIELD14"),
    GD_FIELD(SqlRowBuffer, DS_FIELD15, "UPK:DS_FIELD15"),
    GD_FIELD(SqlRowBuffer, DS_FIELD16, "UPK:DS_FIELD16"),
    GD_FIELD(SqlRowBuffer, DS_FIELD17, "UPK:DS_FIELD17"),
    GD_FIELD(SqlRowBuffer, DS_FIELD18, "UPK:DS_FIELD18"),
    GD_FIELD(SqlRowBuffer, DS_FIELD19, "UPK:DS_FIELD19"),
    GD_FIELD(SqlRowBuffer, DS_FIELD20, "UPK:DS_FIELD20"),
    GD_FIELD(SqlRowBuffer, DS_FIELD21, "UPK:DS_FIELD21"),
    GD_FIELD(SqlRowBuffer, DS_FIELD22, "UPK:DS_FIELD22"),
    GD_FIELD(SqlRowBuffer, DS_FIELD23, "UPK:DS_FIELD23"),
    GD_FIELD(SqlRowBuffer, DS_FIELD24, "UPK:DS_FIELD24"),
    GD_FIELD(SqlRowBuffer, DS_FIELD25, "UPK:DS_FIELD25"),
    GD_FIELD(SqlRowBuffer, DS_FIELD26, "UPK:DS_FIELD26"),
    GD_FIELD(SqlRowBuffer, DS_FIELD27, "UPK:DS_FIELD27"),
    GD_FIELD(SqlRowBuffer, DS_FIELD28, "UPK:DS_FIELD28"),
    GD_FIELD(SqlRowBuffer, DS_FIELD29, "UPK:DS_FIELD29"),
    GD_FIELD(SqlRowBuffer, DS_FIELD30, "UPK:DS_FIELD30"),
    GD_FIELD(SqlRowBuffer, DS_FIELD31, "UPK:DS_FIELD31"),
    GD_FIELD(SqlRowBuffer, DS_FIELD32, "UPK:DS_FIELD32"),
    GD_FIELD(SqlRowBuffer, DS_FIELD33, "UPK:DS_FIELD33"),
    GD_FIELD(SqlRowBuffer, DS_FIELD34, "UPK:DS_FIELD34"),
    GD_FIELD(SqlRowBuffer, DS_FIELD35, "UPK:DS_FIELD35"),
    GD_FIELD(SqlRowBuffer, DS_FIELD36, "UPK:DS_FIELD36"),
    GD_FIELD(SqlRowBuffer, DS_FIELD37, "UPK:DS_FIELD37"),
    GD_FIELD(SqlRowBuffer, DS_FIELD38, "UPK:DS_FIELD38"),
    GD_FIELD(SqlRowBuffer, DS_FIELD39, "UPK:DS_FIELD39"),
    GD_FIELD(SqlRowBuffer, DS_FIELD40, "UPK:DS_FIELD40"),
};
static_assert(runtime::hasOffsets(kRowFields,
                                  {0,    256,  507,  758,  1014, 1270, 1526, 1782, 2038, 2294,
                                   2550, 2806, 3062, 3318, 3574, 3830, 4086, 4342, 4598, 4854,
                                   5110, 5366, 5622, 5878, 6134, 6390, 6646, 6902, 7158, 7414,
                                   7670, 7926, 8182, 8438, 8694, 8950, 9206, 9462, 9718, 9974}));

}  // namespace

std::span<const runtime::FieldDef> sqlRowFields() { return kRowFields; }

SqlRowBuffer& sqlRowBuffer() {
  static SqlRowBuffer buffer;
  return buffer;
}

void copyBackendRecord() {
  const upkeep::SqlDriverSlot& backend = upkeep::registration().CurrentSqlDriver;
  auto* bytes = reinterpret_cast<std::byte*>(&sqlRowBuffer());
  const std::size_t size =
      backend.record == nullptr
          ? 0
          : std::min<std::size_t>(sizeof(SqlRowBuffer),
                                  static_cast<std::size_t>(backend.recordSize));
  if (size > 0) std::memcpy(bytes, backend.record, size);
  std::memset(bytes + size, size == 0 ? 0 : ' ', sizeof(SqlRowBuffer) - size);
}

std::string rowColumn(int n) {
  if (n < 1 || n > kSqlRowColumns) return {};
  const runtime::FieldDef& field = kRowFields[n - 1];
  const char* start = reinterpret_cast<const char*>(&sqlRowBuffer()) + field.offset;
  return runtime::CLIP(std::string(start, strnlen(start, field.size)));
}

}  // namespace upkeep_sql
