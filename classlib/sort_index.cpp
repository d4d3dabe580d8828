#include "classlib/sort_index.h"

#include <algorithm>
#include <cassert>

namespace classlib {

std::uint64_t SortIndex::headOf(std::string_view image) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    head <<= 8;
    if (i < image.size()) head |= static_cast<unsigned char>(image[i]);
  }
  return head;
}

void SortIndex::add(std::string_view image, std::string_view identity) {
  assert((entries_.empty() || identity.size() == identitySize_) && "one identity size");
  assert(image.size() < (std::size_t{1} << 24) && "an image fits its length field");
  identitySize_ = identity.size();
  entries_.push_back({headOf(image), bytes_.size(), image.size()});
  bytes_.append(image);
  bytes_.append(identity);
}

void SortIndex::sort() {
  // Heads that differ decide; equal ones leave it to the whole images. No two records have
  // the same image (the unique key ends it), so the order is complete.
  std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head;
    return imageOf(a) < imageOf(b);
  });
}

std::string_view SortIndex::image(std::size_t i) const { return imageOf(entries_[i]); }

std::string_view SortIndex::identity(std::size_t i) const {
  const Entry& e = entries_[i];
  return {bytes_.data() + e.at + e.length, identitySize_};
}

std::size_t SortIndex::lowerBound(std::string_view image) const {
  // An entry whose image begins with `image` compares equal on its first image.size() bytes;
  // any other differs from it within them, as no image is a prefix of another.
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), image,
                                   [this](const Entry& e, std::string_view wanted) {
                                     return imageOf(e).substr(0, wanted.size()) < wanted;
                                   });
  return static_cast<std::size_t>(it - entries_.begin());
}

}  // namespace classlib
