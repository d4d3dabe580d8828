// A read-only mapping of the first page of an open data file, through which a look at the
// header's change counter is a memory read instead of a system call: the mapped page is the
// kernel's own cached page of the file, so a commit by any process shows in it at once. SQLite
// never makes a database file empty, so the page stays backed while the file is open; only a
// program that truncates the file to nothing from outside could take it away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace files {

class CaskHeaderMap {
 public:
  CaskHeaderMap() = default;
  ~CaskHeaderMap() { unmap(); }
  CaskHeaderMap(const CaskHeaderMap&) = delete;
  CaskHeaderMap& operator=(const CaskHeaderMap&) = delete;

  // Maps the first page of the file open as `fd` (at least a database header long); maps
  // nothing where the system refuses, and looks then answer none.
  void map(int fd);
  void unmap();
  bool mapped() const { return page_ != nullptr; }

  // The change counter of the mapped header; none when nothing is mapped or the file is not
  // in rollback-journal mode (commits then leave the counter as it is).
  std::optional<std::uint32_t> changeCounter() const;

 private:
  const unsigned char* page_ = nullptr;
  std::size_t size_ = 0;
};

// The change counter of a database header, from its bytes 18 to 27 (`bytes` points at byte
// 18): none unless bytes 18 and 19 show rollback-journal mode.
std::optional<std::uint32_t> rollbackChangeCounter(const unsigned char* bytes);

}  // namespace files
