// The sorted index of a browse: images in byte order whether their first eight bytes decide
// or not, and the first entry at or after a whole image or the image of the sort fields.
#include "classlib/sort_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
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

// Records held across many blocks: short images, images too long for a one-byte length, one
// larger than a block, each in order and with its own key.
TEST(SortIndex, SortsRecordsAcrossBlocksWhateverTheirImagesLengths) {
  const struct {
    const char* what;
    std::size_t records;
    std::size_t longEvery;  // every so many records one of 300 bytes
    std::size_t hugeAt;     // the record of 3 MiB (none past the end)
  } cases[] = {
      {"short images over several blocks", 150000, 0, SIZE_MAX},
      {"some images above 254 bytes", 20000, 7, SIZE_MAX},
      {"one image larger than a block", 3000, 0, 1500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SortIndex index;
    std::vector<std::pair<std::string, std::string>> expected;  // image, key
    for (std::size_t i = 0; i < c.records; ++i) {
      std::string image = "NAME " + std::to_string(i * 7919 % c.records);
      if (c.longEvery != 0 && i % c.longEvery == 0) image += std::string(300, 'L');
      if (i == c.hugeAt) image += std::string(3 << 20, 'H');
      image += '\0';
      const std::string key(reinterpret_cast<const char*>(&i), sizeof i);
      image += key;  // the unique key ends the image
      index.add(image, key);
      expected.emplace_back(image, key);
    }
    index.sort();
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(index.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(index.image(i), expected[i].first) << i;
      ASSERT_EQ(index.identity(i), expected[i].second) << i;
    }
    EXPECT_EQ(index.lowerBound(expected[c.records / 2].first), c.records / 2);
  }
}

}  // namespace
}  // namespace classlib
