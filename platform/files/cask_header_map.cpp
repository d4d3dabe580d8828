#include "platform/files/cask_header_map.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace files {

void CaskHeaderMap::map(int fd) {
  unmap();
  const long page = sysconf(_SC_PAGESIZE);
  if (fd < 0 || page <= 0) return;
  void* at = mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_SHARED, fd, 0);
  if (at == MAP_FAILED) return;
  page_ = static_cast<const unsigned char*>(at);
  size_ = static_cast<std::size_t>(page);
}

void CaskHeaderMap::unmap() {
  if (page_ != nullptr) munmap(const_cast<unsigned char*>(page_), size_);
  page_ = nullptr;
  size_ = 0;
}

std::optional<std::uint32_t> CaskHeaderMap::changeCounter() const {
  if (page_ == nullptr) return std::nullopt;
  // A copy first: another process may be writing the header while it is read.
  unsigned char bytes[10];
  std::memcpy(bytes, page_ + 18, sizeof bytes);
  return rollbackChangeCounter(bytes);
}

std::optional<std::uint32_t> rollbackChangeCounter(const unsigned char* bytes) {
  if (bytes[0] != 1 || bytes[1] != 1) return std::nullopt;
  return std::uint32_t{bytes[6]} << 24 | std::uint32_t{bytes[7]} << 16 |
         std::uint32_t{bytes[8]} << 8 | std::uint32_t{bytes[9]};
}

}  // namespace files
