#include "classlib/sort_index.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace classlib {

std::string_view SortIndex::imageAt(Entry at) const {
  const char* bytes = blocks_[at >> kBlockBits].get() + (at & (kBlockSize - 1));
  std::uint32_t length = static_cast<unsigned char>(*bytes);
  if (length != kLongLength) return {bytes + 1, length - 1};
  std::memcpy(&length, bytes + 1, sizeof length);
  return {bytes + 5, length - 1};
}

void SortIndex::add(std::string_view image, std::string_view identity) {
  assert(entries_.empty() && "records are added before the sort");
  assert((records_ == 0 || identity.size() == identitySize_) && "one identity size");
  identitySize_ = identity.size();
  const std::size_t prefix = lengthSize(image.size());
  const std::size_t size = prefix + image.size() + identity.size();
  // A record that does not fit the last block, with the byte that may end it, starts a new
  // block (one of its own when it is larger than a block).
  if (used_ + size + 1 > kBlockSize) {
    if (!blocks_.empty()) blocks_.back()[used_] = 0;
    assert(blocks_.size() < (std::size_t{1} << (kAtBits - kBlockBits)) && "a block number fits");
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(std::max(kBlockSize, size + 1)));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  const auto length = static_cast<std::uint32_t>(image.size() + 1);
  if (prefix == 1) {
    *at = static_cast<char>(length);
  } else {
    *at = static_cast<char>(kLongLength);
    std::memcpy(at + 1, &length, sizeof length);
  }
  std::memcpy(at + prefix, image.data(), image.size());
  std::memcpy(at + prefix + image.size(), identity.data(), identity.size());
  used_ += size;
  ++records_;
}

void SortIndex::sort() {
  assert(entries_.empty() && "sorted once");
  if (!blocks_.empty()) blocks_.back()[used_] = 0;
  entries_.reserve(records_);
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    // A block larger than the others holds one record, at its start.
    for (std::size_t offset = 0; blocks_[b][offset] != 0;) {
      assert(offset < kBlockSize);
      const auto at = static_cast<Entry>(b << kBlockBits | offset);
      const std::string_view image = imageAt(at);
      entries_.push_back(at);
      offset += lengthSize(image.size()) + image.size() + identitySize_;
    }
  }
  assert(entries_.size() == records_);
  // No two records have the same image (the unique key ends it), so the order is complete.
  std::sort(entries_.begin(), entries_.end(),
            [this](Entry a, Entry b) { return imageAt(a) < imageAt(b); });
}

std::string_view SortIndex::image(std::size_t i) const { return imageAt(entries_[i]); }

std::string_view SortIndex::identity(std::size_t i) const {
  const std::string_view image = imageAt(entries_[i]);
  return {image.data() + image.size(), identitySize_};
}

std::size_t SortIndex::lowerBound(std::string_view image) const {
  // An entry whose image begins with `image` compares equal on its first image.size() bytes;
  // any other differs from it within them, as no image is a prefix of another.
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), image,
                                   [this](Entry e, std::string_view wanted) {
                                     return imageAt(e).substr(0, wanted.size()) < wanted;
                                   });
  return static_cast<std::size_t>(it - entries_.begin());
}

}  // namespace classlib
