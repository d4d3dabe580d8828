// One answer row of the current backend FILE as the loaders and the system table read it
// (`SqlRowBuffer`): forty NUL-terminated texts in the layout of the system table's row. The
// FILE registered for a SQL backend is declared with this row, so that answer column n lands
// in DS_FIELDn.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace upkeep_sql {

inline constexpr int kSqlRowColumns = 40;

struct SqlRowBuffer {
  runtime::CString<256> DS_FIELD1;
  runtime::CString<251> DS_FIELD2;
  runtime::CString<251> DS_FIELD3;
  runtime::CString<256> DS_FIELD4;
  runtime::CString<256> DS_FIELD5;
  runtime::CString<256> DS_FIELD6;
  runtime::CString<256> DS_FIELD7;
  runtime::CString<256> DS_FIELD8;
  runtime::CString<256> DS_FIELD9;
  runtime::CString<256> DS_FIELD10;
  runtime::CString<256> DS_FIELD11;
  runtime::CString<256> DS_FIELD12;
  runtime::CString<256> DS_FIELD13;
  runtime::CString<256> DS_FIELD14;
  runtime::CString<256> DS_FIELD15;
  runtime::CString<256> DS_FIELD16;
  runtime::CString<256> DS_FIELD17;
  runtime::CString<256> DS_FIELD18;
  runtime::CString<256> DS_FIELD19;
  runtime::CString<256> DS_FIELD20;
  runtime::CString<256> DS_FIELD21;
  runtime::CString<256> DS_FIELD22;
  runtime::CString<256> DS_FIELD23;
  runtime::CString<256> DS_FIELD24;
  runtime::CString<256> DS_FIELD25;
  runtime::CString<256> DS_FIELD26;
  runtime::CString<256> DS_FIELD27;
  runtime::CString<256> DS_FIELD28;
  runtime::CString<256> DS_FIELD29;
  runtime::CString<256> DS_FIELD30;
  runtime::CString<256> DS_FIELD31;
  runtime::CString<256> DS_FIELD32;
  runtime::CString<256> DS_FIELD33;
  runtime::CString<256> DS_FIELD34;
  runtime::CString<256> DS_FIELD35;
  runtime::CString<256> DS_FIELD36;
  runtime::CString<256> DS_FIELD37;
  runtime::CString<256> DS_FIELD38;
  runtime::CString<256> DS_FIELD39;
  runtime::CString<256> DS_FIELD40;
};
static_assert(sizeof(SqlRowBuffer) == 10230);

// The fields of the row, labelled "UPK:DS_FIELD1" to "UPK:DS_FIELD40".
std::span<const runtime::FieldDef> sqlRowFields();

// The process's copy of the last answer row.
SqlRowBuffer& sqlRowBuffer();

// Copies the current backend FILE's record into sqlRowBuffer(), cut or space-padded to its
// size (nothing registered: the buffer is blanked).
void copyBackendRecord();

// Column `n` (1 to 40) of sqlRowBuffer(), clipped; blank for any other n.
std::string rowColumn(int n);

}  // namespace upkeep_sql
