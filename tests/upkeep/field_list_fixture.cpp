#include "tests/upkeep/field_list_fixture.h"

#include <gtest/gtest.h>

namespace upkeep {

FieldQueue fieldList(files::FileDeclaration& file, bool destination) {
  FieldQueue queue;
  EXPECT_TRUE(LoadpQueue(file, queue, destination)) << file.label();
  return queue;
}

}  // namespace upkeep
