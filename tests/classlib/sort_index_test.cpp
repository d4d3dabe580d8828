// The sorted index of a browse: images in byte order whether their first eight bytes decide
// or not, and the first entry at or after a whole image or the image of the sort fields.
#include "classlib/sort_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace classlib {
namespace {

using namespace std::string_literals;

// Images as the browse makes them: a text (ending in 00h) and then a one-byte unique key.
SortIndex indexOf(const std::vector<std::string>& images) {
  SortIndex index;
  for (std::size_t i = 0; i < images.size(); ++i) index.add(images[i], std::string(1, 'a' + i));
  index.sort();
  return index;
}

TEST(SortIndex, SortsByWholeImagesAndKeepsEachRecordsKeyWithIt) {
  // Heads that differ, heads equal over eight bytes, images shorter than eight bytes, bytes
  // above 7Fh.
  const SortIndex index = indexOf({"SAINT-PIERRE\0\x02"s, "SAINT-PETERSBURG\0\x01"s, "NICE\0\x03"s,
                                   "\0\x04"s, "NICE\0\x01"s,
                                   "\xC3\x89"
                                   "A\0\x05"s});
  std::vector<std::string> order;
  for (std::size_t i = 0; i < index.size(); ++i)
    order.push_back(std::string(index.identity(i)) + " " + std::string(index.image(i)));
  EXPECT_EQ(order, (std::vector<std::string>{"d \0\x04"s, "e NICE\0\x01"s, "c NICE\0\x03"s,
                                             "b SAINT-PETERSBURG\0\x01"s, "a SAINT-PIERRE\0\x02"s,
                                             "f \xC3\x89"
                                             "A\0\x05"s}));
}

TEST(SortIndex, FindsTheFirstEntryAtOrAfterAnImage) {
  const SortIndex index =
      indexOf({"NICE\0\x01"s, "NICE\0\x03"s, "OSLO\0\x02"s, "SAINT-PETER\0\x01"s});
  const struct {
    std::string image;
    std::size_t expected;
  } cases[] = {
      {"NICE\0\x01"s, 0},         // a whole image held
      {"NICE\0\x02"s, 1},         // one between two of the same text
      {"NICE\0"s, 0},             // the sort fields alone: the first record with them
      {"OSLO\0"s, 2},             //
      {"MADRID\0"s, 0},           // before all
      {"SAINT-PETER\0"s, 3},      // a head of eight equal bytes
      {"SAINT-PETERS\0"s, 4},     // after all
      {"SAINT-PETER\0\x02"s, 4},  //
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image);
    EXPECT_EQ(index.lowerBound(c.image), c.expected);
  }
}

}  // namespace
}  // namespace classlib
