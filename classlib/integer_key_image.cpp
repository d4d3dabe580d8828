#include "classlib/integer_key_image.h"

#include <cassert>
#include <cstdint>

namespace classlib {

bool readableFromImage(std::span<const runtime::FieldDef* const> fields) {
  for (const runtime::FieldDef* field : fields) {
    if (field->isArray()) return false;
    switch (field->type) {
      case runtime::FieldType::Byte:
      case runtime::FieldType::Short:
      case runtime::FieldType::UShort:
      case runtime::FieldType::Long:
      case runtime::FieldType::ULong: break;
      default: return false;
    }
  }
  return true;
}

std::string fieldsFromImage(std::span<const runtime::FieldDef* const> fields,
                            std::string_view image) {
  std::string bytes;
  std::size_t at = 0;
  for (const runtime::FieldDef* field : fields) {
    assert(at + field->size <= image.size());
    const bool signedNumber =
        field->type == runtime::FieldType::Short || field->type == runtime::FieldType::Long;
    for (std::size_t i = field->size; i-- > 0;) {
      auto byte = static_cast<unsigned char>(image[at + i]);
      if (signedNumber && i == 0) byte ^= 0x80;  // the sign bit, in the first byte of the image
      bytes.push_back(static_cast<char>(byte));
    }
    at += field->size;
  }
  return bytes;
}

}  // namespace classlib
