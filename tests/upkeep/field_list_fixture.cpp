#include "tests/upkeep/field_list_fixture.h"

#include <gtest/gtest.h>

namespace upkeep {

files::FileSpec specOf(std::span<const runtime::FieldDef> fields, std::uint32_t size,
                       std::span<const files::MemoSpec> memos) {
  files::FileSpec spec;
  spec.label = "projects";
  spec.prefix = "PRO";
  spec.name = "projects.aaa";
  spec.fields = fields;
  spec.recordSize = size;
  spec.memos = memos;
  return spec;
}

FieldQueue fieldList(files::FileDeclaration& file, bool destination) {
  FieldQueue queue;
  EXPECT_TRUE(LoadpQueue(file, queue, destination)) << file.label();
  return queue;
}

}  // namespace upkeep
