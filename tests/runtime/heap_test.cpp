#include "platform/runtime/heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/runtime/error_state.h"

namespace runtime {
namespace {

TEST(Heap, FillsANewBlockAsAsked) {
  const struct {
    HeapFill fill;
    char expected;
  } cases[] = {{HeapFill::Spaces, ' '}, {HeapFill::Zeros, '\0'}};
  for (const auto& c : cases) {
    setError(35);
    char* block = static_cast<char*>(heapAllocate(16384, c.fill));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(std::string(block, 16384), std::string(16384, c.expected));
    heapFree(block);
  }
}

TEST(Heap, AnEmptyBlockIsARealBlock) {
  void* first = heapAllocate(0);
  void* second = heapAllocate(0, HeapFill::Spaces);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  heapFree(first);
  heapFree(second);
  heapFree(nullptr);
}

TEST(Heap, ABlockThatCannotBeHadGivesNullAndError8) {
  EXPECT_EQ(heapAllocate(SIZE_MAX, HeapFill::Spaces), nullptr);
  EXPECT_EQ(ERRORCODE(), OutOfMemoryErr);
  EXPECT_EQ(ERROR(), "Insufficient Memory");
}

}  // namespace
}  // namespace runtime
