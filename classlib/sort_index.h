// The index of a sorted browse order: for each record, the key image of its sort fields and
// unique key (bytes whose memcmp order is the order, no image a prefix of another) and the
// bytes of its unique key's fields, by which it is read again. Nothing else of a record is
// kept: the images and keys of all records lie side by side in one block, each entry only
// where its bytes stand and their first eight bytes as a number, which decides most
// comparisons of the sort without a look at the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace classlib {

class SortIndex {
 public:
  // Adds a record: its image and its unique key's bytes (the same size for every record).
  void add(std::string_view image, std::string_view identity);
  // Puts the records in the order of their images.
  void sort();

  std::size_t size() const { return entries_.size(); }
  std::string_view image(std::size_t i) const;
  std::string_view identity(std::size_t i) const;
  // The first entry whose image is not before `image` (a whole image, or the image of the
  // sort fields alone: the entries that begin with it are not before it); size() for none.
  std::size_t lowerBound(std::string_view image) const;

 private:
  struct Entry {
    std::uint64_t head;         // the image's first eight bytes, big-endian, zeros after its end
    std::uint64_t at : 40;      // where its image starts in bytes_
    std::uint64_t length : 24;  // the image's length; its identity follows it
  };
  static std::uint64_t headOf(std::string_view image);
  std::string_view imageOf(const Entry& e) const { return {bytes_.data() + e.at, e.length}; }

  std::vector<Entry> entries_;
  std::string bytes_;
  std::size_t identitySize_ = 0;
};

}  // namespace classlib
