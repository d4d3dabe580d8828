// The index of a sorted browse order: for each record, the key image of its sort fields and
// unique key (bytes whose memcmp order is the order, no image a prefix of another) and the
// bytes of its unique key's fields, by which it is read again. Nothing else of a record is
// kept. While records are added their images and keys lie side by side in blocks of a fixed
// size, each after its image's length, so that adding never copies what is held; the sort
// then makes one four-byte entry per record, where its bytes stand, and orders the entries by
// the images they point at. The memory held is so the bytes of the records' images and keys,
// four bytes each and at most one block's spare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace classlib {

class SortIndex {
 public:
  // Adds a record: its image and its unique key's bytes (the same size for every record).
  // Not after sort().
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
  // An entry: where the record stands in the blocks (block number, then offset in it).
  using Entry = std::uint32_t;
  static constexpr unsigned kBlockBits = 20;
  static constexpr unsigned kAtBits = 32;  // up to 4 GiB of blocks
  static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
  // Before each record in the blocks: its image's length plus one, in one byte when it is
  // below kLongLength, else kLongLength and four bytes; a zero byte after the last of a block.
  static constexpr unsigned char kLongLength = 0xFF;
  static std::size_t lengthSize(std::size_t image) { return image + 1 < kLongLength ? 1 : 5; }

  // The record at `at`: its image, then its identity.
  std::string_view imageAt(Entry at) const;

  std::vector<Entry> entries_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = kBlockSize;  // bytes used of the last block
  std::size_t records_ = 0;
  std::size_t identitySize_ = 0;
};

}  // namespace classlib
