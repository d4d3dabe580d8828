// The declarations of one table through its versions, as the table manager's tests open it:
// version 1; version 2 with a field added, a text widened, a DECIMAL given more digits, a key
// added, one dropped and one made unique; a version 3 the server refuses; version 3 mended.
#pragma once

#include "platform/files/file_declaration.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace upkeep_sql::testing {
struct ItemV1 {
  runtime::Long ID;
  runtime::CString<21> NAME;
  runtime::DecimalField<7, 2> PRICE;
  runtime::CString<11> CODE;
};
constexpr runtime::FieldDef kFieldsV1[] = {
    GD_FIELD(ItemV1, ID, "ITM:ID"), GD_FIELD(ItemV1, NAME, "ITM:NAME"),
    GD_FIELD(ItemV1, PRICE, "ITM:PRICE"), GD_FIELD(ItemV1, CODE, "ITM:CODE")};
constexpr files::KeySpec kKeysV1[] = {{"ITM:P_ID", files::KeyPrimary, {1}},
                                      {"ITM:K_NAME", files::KeyDup, {2}},
                                      {"ITM:K_CODE", files::KeyDup, {4}}};

// A field added, a text widened, a DECIMAL given more digits; a key added (descending), one
// dropped and one made unique.
struct ItemV2 {
  runtime::Long ID;
  runtime::CString<41> NAME;
  runtime::DecimalField<11, 2> PRICE;
  runtime::CString<11> CODE;
  runtime::Long QTY;
};
constexpr runtime::FieldDef kFieldsV2[] = {
    GD_FIELD(ItemV2, ID, "ITM:ID"), GD_FIELD(ItemV2, NAME, "ITM:NAME"),
    GD_FIELD(ItemV2, PRICE, "ITM:PRICE"), GD_FIELD(ItemV2, CODE, "ITM:CODE"),
    GD_FIELD(ItemV2, QTY, "ITM:QTY")};
constexpr files::KeySpec kKeysV2[] = {{"ITM:P_ID", files::KeyPrimary, {1}},
                                      {"ITM:K_CODE", 0, {4}},
                                      {"ITM:K_QTY", files::KeyDup, {-5}}};

// Refused by the server: a unique key over prices two rows share (and on PostgreSQL the code
// text made a number).
constexpr files::KeySpec kKeysV3Refused[] = {{"ITM:P_ID", files::KeyPrimary, {1}},
                                             {"ITM:K_CODE", 0, {4}},
                                             {"ITM:K_QTY", files::KeyDup, {-5}},
                                             {"ITM:K_PRICE", 0, {3}}};
struct ItemV3Refused {
  runtime::Long ID;
  runtime::CString<41> NAME;
  runtime::DecimalField<11, 2> PRICE;
  runtime::Long CODE;
  runtime::Long QTY;
};
constexpr runtime::FieldDef kFieldsV3Refused[] = {
    GD_FIELD(ItemV3Refused, ID, "ITM:ID"), GD_FIELD(ItemV3Refused, NAME, "ITM:NAME"),
    GD_FIELD(ItemV3Refused, PRICE, "ITM:PRICE"), GD_FIELD(ItemV3Refused, CODE, "ITM:CODE"),
    GD_FIELD(ItemV3Refused, QTY, "ITM:QTY")};

// Mended: the keys of version 2 and a note added.
struct ItemV3 {
  runtime::Long ID;
  runtime::CString<41> NAME;
  runtime::DecimalField<11, 2> PRICE;
  runtime::CString<11> CODE;
  runtime::Long QTY;
  runtime::CString<31> NOTE;
};
constexpr runtime::FieldDef kFieldsV3[] = {
    GD_FIELD(ItemV3, ID, "ITM:ID"),       GD_FIELD(ItemV3, NAME, "ITM:NAME"),
    GD_FIELD(ItemV3, PRICE, "ITM:PRICE"), GD_FIELD(ItemV3, CODE, "ITM:CODE"),
    GD_FIELD(ItemV3, QTY, "ITM:QTY"),     GD_FIELD(ItemV3, NOTE, "ITM:NOTE")};

}  // namespace upkeep_sql::testing
