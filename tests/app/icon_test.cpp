#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "tests/app/app_fixture.h"

namespace app {
namespace {

std::uint32_t little(const std::string& bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

// The program icon must read as an icon file: its directory, and for every image a 32-bit
// bitmap of the size the directory gives, inside the file.
TEST(ProgramIcon, IsAnIconFileWithTheSmallAndLargeSizes) {
  const std::string ico =
      testing::TempFolder::read(std::string(GD_RESOURCES_DIR) + "/dockmark.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(little(ico, 0, 2), 0u);
  EXPECT_EQ(little(ico, 2, 2), 1u);
  const std::uint32_t count = little(ico, 4, 2);
  std::set<std::uint32_t> sizes;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::uint32_t size = static_cast<unsigned char>(ico.at(entry));
    const std::uint32_t length = little(ico, entry + 8, 4);
    const std::uint32_t offset = little(ico, entry + 12, 4);
    ASSERT_LE(offset + length, ico.size());
    EXPECT_EQ(little(ico, offset, 4), 40u);           // the bitmap header's size
    EXPECT_EQ(little(ico, offset + 4, 4), size);      // width
    EXPECT_EQ(little(ico, offset + 8, 4), 2 * size);  // height of image and mask
    EXPECT_EQ(little(ico, offset + 14, 2), 32u);      // bits per pixel
    sizes.insert(size);
  }
  EXPECT_TRUE(sizes.contains(16) && sizes.contains(32));
}

}  // namespace
}  // namespace app
