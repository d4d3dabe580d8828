#include "platform/runtime/heap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/runtime/error_state.h"

namespace runtime {

void* heapAllocate(std::size_t size, HeapFill fill) {
  // No object can be larger than PTRDIFF_MAX; refusing such sizes here keeps them away from
  // allocators that treat them as a fault instead of answering nullptr.
  void* block =
      size > static_cast<std::size_t>(PTRDIFF_MAX) ? nullptr : std::malloc(size ? size : 1);
  if (block == nullptr) {
    setError(OutOfMemoryErr);
    return nullptr;
  }
  if (fill == HeapFill::Spaces) std::memset(block, ' ', size);
  if (fill == HeapFill::Zeros) std::memset(block, 0, size);
  clearError();
  return block;
}

void heapFree(void* block) { std::free(block); }

}  // namespace runtime
