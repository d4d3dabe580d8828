// Fields of a record buffer as variables that filter expressions can name (BIND): a number,
// date, time, decimal or text field read and written in its stored format.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/runtime/bound_value.h"
#include "platform/runtime/record_layout.h"

namespace runtime {

// The variable of field `field` in the record buffer at `record`: numbers as numbers, DATE as
// its day number, TIME as its standard time, DECIMAL and PDECIMAL as numbers, texts and GROUPs
// as texts. Null for the fields an expression cannot name: arrays and the BFLOAT types.
// The buffer must outlive the variable.
std::shared_ptr<BoundValue> boundField(const FieldDef& field, std::byte* record);

}  // namespace runtime
