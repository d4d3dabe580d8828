// Shared by the tests of structure images, their widening and the declaration reader: the Caskfile
// driver registered as "Vkf", and the program's declarations whose driver that is.
#pragma once

#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/runtime/record_layout.h"

namespace upkeep::testing {

// Registers the Caskfile driver with ds_AddDriver as "Vkf".
void registerCaskfileDriver();

// The program's Caskfile declarations, by label.
struct NamedSpec {
  std::string_view label;
  const files::FileSpec& spec;
};
const std::vector<NamedSpec>& programSpecs();

// A field of `type` at `offset`, `size` bytes long (a GROUP's whole size).
runtime::FieldDef field(std::string_view label, runtime::FieldType type, std::uint32_t offset,
                        std::uint32_t size);

}  // namespace upkeep::testing
