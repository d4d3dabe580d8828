// Heap blocks: raw buffers that a caller allocates and frees explicitly, such as the growable
// text buffers of the upgrade engine.
#pragma once

#include <cstddef>

namespace runtime {

// What a new block holds: whatever was there, blanks (spaces, as a text buffer starts), or zeros.
enum class HeapFill { None, Spaces, Zeros };

// Allocates a block of `size` bytes (a block of 0 bytes is a valid, distinct block) and fills it
// as asked. Returns the block and clears the error state; when the memory cannot be had,
// returns nullptr and sets error 8 (Insufficient Memory).
void* heapAllocate(std::size_t size, HeapFill fill = HeapFill::None);

// Frees a block from heapAllocate; nullptr does nothing.
void heapFree(void* block);

}  // namespace runtime
