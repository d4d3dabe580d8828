// Any bytes as the start of an old data file: the header reader must refuse what it cannot read
// soundly and never read outside the bytes (the sanitizers watch every access).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "upkeep/old_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const upkeep::OldBufferBytes bytes({data, size});
  const auto header = upkeep::readOldHeader(bytes);
  if (header && header->end > size) std::abort();
  return 0;
}
