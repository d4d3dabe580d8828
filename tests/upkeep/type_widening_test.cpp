#include "upkeep/type_widening.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files/record_descriptor.h"
#include "platform/runtime/record_layout.h"
#include "tests/upkeep/image_fixture.h"

namespace upkeep {
namespace {

using runtime::FieldDef;
using runtime::FieldType;
using Bytes = std::vector<std::uint8_t>;

// Builds an older (16-bit) descriptor entry by entry; the header's length word is filled by
// done(). An entry is its type code, flag byte, type bytes (GROUP words as two bytes each),
// its texts with their NULs (picture, label, external name) and the bytes after them.
class OlderDescriptor {
 public:
  OlderDescriptor(std::uint16_t recordSize, std::uint16_t fields) {
    bytes_ = {0x16, 0x00};
    word(recordSize);
    word(fields);
    word(0);
  }
  OlderDescriptor& entry(std::uint8_t type, std::uint8_t flags, Bytes typeBytes,
                         std::vector<std::string_view> texts, Bytes after = {}) {
    bytes_.push_back(type);
    bytes_.push_back(flags);
    bytes_.insert(bytes_.end(), typeBytes.begin(), typeBytes.end());
    for (const std::string_view text : texts) {
      bytes_.insert(bytes_.end(), text.begin(), text.end());
      bytes_.push_back(0);
    }
    bytes_.insert(bytes_.end(), after.begin(), after.end());
    return *this;
  }
  OlderDescriptor& longField(std::string_view label) { return entry(6, 0, {}, {label}); }
  Bytes done() {
    bytes_[6] = static_cast<std::uint8_t>(bytes_.size());
    bytes_[7] = static_cast<std::uint8_t>(bytes_.size() >> 8);
    return bytes_;
  }

 private:
  void word(std::uint16_t w) {
    bytes_.push_back(static_cast<std::uint8_t>(w));
    bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  Bytes bytes_;
};

using testing::field;

// A LONG, a GROUP of two LONGs and two LONGs after it.
Bytes olderGroupDescriptor() {
  return OlderDescriptor(16, 5)
      .longField("OLD:ID")
      .entry(22, 0, {8, 0, 2, 0, 0, 0}, {"OLD:PAIR"})
      .longField("OLD:A")
      .longField("OLD:B")
      .longField("OLD:C")
      .done();
}

Bytes written(std::initializer_list<FieldDef> fields, std::uint32_t recordSize) {
  const runtime::RecordLayout layout(std::vector<FieldDef>(fields), recordSize);
  return *files::writeDescriptor(layout);
}

// Each older descriptor widens to exactly what the runtime's writer gives for the same fields,
// so the reader of the current layout reads it as the writer meant.
TEST(TypeWideningTest, OlderDescriptorsWidenToWhatTheWriterWrites) {
  constexpr auto Long = FieldType::Long;
  FieldDef withPicture = field("OLD:NAME", FieldType::String, 4, 10);
  withPicture.picture = "@s10";
  FieldDef array = field("OLD:TAGS", FieldType::CString, 0, 8);
  array.dims = {40, 0, 0, 0};  // 28h: one byte in the older layout, two in the current one
  FieldDef named = field("OLD:ID", Long, 0, 4);
  named.externalName = "id";
  FieldDef wide = field("OLD:NOTE", FieldType::String, 0, 0x1234);
  FieldDef widest = field("OLD:MEMOTEXT", FieldType::String, 0, 0x2100);
  FieldDef group = field("OLD:PAIR", FieldType::Group, 4, 8);
  FieldDef outer = field("OLD:OUTER", FieldType::Group, 0, 12);
  FieldDef inner = field("OLD:INNER", FieldType::Group, 4, 8);

  struct Case {
    std::string name;
    Bytes older;
    Bytes expected;
  };
  const std::vector<Case> cases = {
      {"two LONGs grow by the header's six bytes",
       OlderDescriptor(8, 2).longField("OLD:A").longField("OLD:B").done(),
       written({field("OLD:A", Long, 0, 4), field("OLD:B", Long, 4, 4)}, 8)},
      {"a GROUP of two LONGs and a field after it", olderGroupDescriptor(),
       written({field("OLD:ID", Long, 0, 4), group, field("OLD:A", Long, 4, 4),
                field("OLD:B", Long, 8, 4), field("OLD:C", Long, 12, 4)},
               16)},
      {"nested groups close from the innermost",
       OlderDescriptor(12, 5)
           .entry(22, 0, {12, 0, 4, 0, 0, 0}, {"OLD:OUTER"})
           .longField("OLD:X")
           .entry(22, 0, {8, 0, 2, 0, 0, 0}, {"OLD:INNER"})
           .longField("OLD:Y")
           .longField("OLD:Z")
           .done(),
       written({outer, field("OLD:X", Long, 0, 4), inner, field("OLD:Y", Long, 4, 4),
                field("OLD:Z", Long, 8, 4)},
               12)},
      {"picture, decimal, external name and a dimension above 1Fh",
       OlderDescriptor(4 + 10 + 4 + 320, 4)
           .entry(6, 0x01, {}, {"OLD:ID", "id"})
           .entry(18, 0x04, {10}, {"@s10", "OLD:NAME"})
           .entry(10, 0, {4, 2}, {"OLD:PRICE"})
           .entry(19, 0x10, {8}, {"OLD:TAGS"}, {1, 40})
           .done(),
       [&] {
         FieldDef price = field("OLD:PRICE", FieldType::Decimal, 14, 4);
         price.digits = 7;
         price.scale = 2;
         FieldDef tags = array;
         tags.offset = 18;
         return written({named, withPicture, price, tags}, 338);
       }()},
      {"string sizes in their two- and three-byte forms, the three-byte one starting with 40h",
       OlderDescriptor(0x1234 + 0x2100, 2)
           .entry(18, 0, {0x32, 0x34}, {"OLD:NOTE"})
           .entry(18, 0, {0x40, 0x21, 0x00}, {"OLD:MEMOTEXT"})
           .done(),
       [&] {
         FieldDef second = widest;
         second.offset = 0x1234;
         return written({wide, second}, 0x1234 + 0x2100);
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const auto widened = ConvertGroup(c.older, &error);
    ASSERT_TRUE(widened) << error;
    EXPECT_EQ(*widened, c.expected);
  }
}

TEST(TypeWideningTest, BytesAfterTheDescriptorAreNotRead) {
  Bytes older = OlderDescriptor(4, 1).longField("OLD:A").done();
  const std::size_t length = older.size();
  older.insert(older.end(), {0xEE, 0xEE, 0xEE});
  const auto widened = ConvertGroup(older);
  ASSERT_TRUE(widened);
  EXPECT_EQ(widened->size(), length + 6);
}

// Whatever the bytes, a descriptor that is not sound is refused with a reason, and nothing is
// read outside them (the sanitizer build checks the latter).
TEST(TypeWideningTest, UnsoundDescriptorsAreRefusedCleanly) {
  const Bytes sound = olderGroupDescriptor();
  ASSERT_TRUE(ConvertGroup(sound));

  struct Case {
    std::string name;
    Bytes bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"unknown type code", OlderDescriptor(4, 1).entry(12, 0, {}, {"OLD:A"}).done()},
      {"a group claiming more members than follow",
       OlderDescriptor(8, 2).entry(22, 0, {8, 0, 3, 0, 0, 0}, {"OLD:G"}).longField("OLD:A").done()},
      {"a field beyond the record", OlderDescriptor(2, 1).longField("OLD:A").done()},
  };
  for (std::size_t cut = 0; cut < sound.size(); ++cut)
    cases.push_back({"cut to " + std::to_string(cut), Bytes(sound.begin(), sound.begin() + cut)});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(ConvertGroup(c.bytes, &error));
    EXPECT_FALSE(error.empty());
  }
  // Single bit flips: either refused or widened to a descriptor the current reader takes.
  for (std::size_t i = 0; i < sound.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes flipped = sound;
      flipped[i] ^= static_cast<std::uint8_t>(1 << bit);
      if (const auto widened = ConvertGroup(flipped)) {
        EXPECT_TRUE(files::readDescriptor(*widened)) << "byte " << i << " bit " << bit;
      }
    }
  }
}

}  // namespace
}  // namespace upkeep
