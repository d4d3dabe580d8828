#include "upkeep/old_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep/old_data_file.h"
#include "upkeep/debug_switches.h"
#include "upkeep/old_header_image.h"
#include "upkeep/old_header_import.h"
#include "upkeep/structure_image.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

using testing::OldBytes;
using testing::OldField;
using testing::OldFileDescription;

OldBytes image(const OldBytes& file, OldHeaderFault* fault = nullptr) {
  const auto header = readOldHeader(OldBufferBytes(file), fault);
  if (!header) return {};
  const auto bytes = oldHeaderImage(*header);
  return bytes ? *bytes : OldBytes{};
}

bool holds(const OldBytes& haystack, const OldBytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

OldBytes text(std::string_view value) {
  OldBytes bytes(value.begin(), value.end());
  bytes.push_back(0);
  return bytes;
}

TEST(OldHeaderImage, EveryKindOfFieldIsWrittenInTheOlderImageForm) {
  const OldBytes out = image(testing::oldDataFile(testing::sampleOldFile()));
  const OldBytes expected = [] {
    OldBytes b = text("Cor");
    b.push_back(0);                          // no owner
    b.insert(b.end(), {0x20, 2, 0, 44, 0});  // attributes, keys, memos, record 44
    b.insert(b.end(), {1, 0, 0, 0});         // key 1: unique, not optional
    for (auto c : text("OLD:BYNUMBER")) b.push_back(c);
    b.insert(b.end(), {1, 0});
    b.insert(b.end(), {2, 7, 1, 0});  // key 2: dup, optional, no case
    for (auto c : text("OLD:BYNAME")) b.push_back(c);
    b.insert(b.end(), {2, 0, 1, 0});
    b.insert(b.end(), {0x16, 0, 44, 0, 7, 0});  // descriptor header
    return b;
  }();
  ASSERT_GE(out.size(), expected.size() + 2);
  EXPECT_EQ(OldBytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(expected.size())),
            expected);
  const std::size_t length = out[expected.size()] | out[expected.size() + 1] << 8;
  EXPECT_EQ(length, out.size() - (expected.size() - 6));  // the record group's whole length
  // Each field entry: type, flags, its own bytes, picture, name, dimensions.
  OldBytes fields;
  for (auto b : {6, 2}) fields.push_back(static_cast<std::uint8_t>(b));
  for (auto c : text("OLD:NUMBER")) fields.push_back(c);
  for (auto b : {18, 6, 20}) fields.push_back(static_cast<std::uint8_t>(b));
  for (auto c : text("@s20")) fields.push_back(c);
  for (auto c : text("OLD:NAME")) fields.push_back(c);
  EXPECT_TRUE(holds(out, fields));
  OldBytes group = {22, 2, 3, 0, 2, 0};
  EXPECT_TRUE(holds(out, group));
  OldBytes decimal = {10, 2, 5, 2};
  for (auto c : text("OLD:PRICE")) decimal.push_back(c);
  EXPECT_TRUE(holds(out, decimal));
  OldBytes array = {18, 0x12, 4};
  for (auto c : text("OLD:TAGS")) array.push_back(c);
  array.insert(array.end(), {1, 3});
  EXPECT_TRUE(holds(out, array));
}

TEST(OldHeaderImage, MakeFileReadsTheImportedImage) {
  const OldBytes out = image(testing::oldDataFile(testing::sampleOldFile()));
  std::string reason;
  const auto read = readImage(out, &reason);
  ASSERT_TRUE(read) << reason;
  EXPECT_TRUE(read->older);
  EXPECT_EQ(read->driverCode, "Cor");
  EXPECT_EQ(read->recordLength, 44u);
  ASSERT_EQ(read->keys.size(), 2u);
  EXPECT_EQ(read->keys[1].components, (std::vector<std::int32_t>{2, 1}));
}

struct EdgeCase {
  const char* what;
  OldFileDescription description;
  OldBytes inImage;  // empty: nothing is imported
};

OldFileDescription oneField(OldField field) {
  OldFileDescription d;
  d.fields = {std::move(field)};
  return d;
}

TEST(OldHeaderImage, EdgeCases) {
  OldFileDescription memo = oneField({.type = testing::OldLong, .name = "OLD:ID", .len = 4});
  memo.memoLen = 300;
  memo.memoName = "Notes";
  OldBytes memoEntry = {1, 0x2C, 0x01, 0};
  for (auto c : text("OLD:NOTES")) memoEntry.push_back(c);

  OldFileDescription picture =
      oneField({.type = testing::OldString, .name = "OLD:PHONE", .len = 9, .picnum = 1});
  picture.pictures = {"@P###-###Pbx more"};
  OldBytes pictureEntry = {18, 6, 9};
  for (auto c : text("P###-###Pb")) pictureEntry.push_back(c);

  OldFileDescription plainPicture =
      oneField({.type = testing::OldString, .name = "OLD:CODE", .len = 3, .picnum = 1});
  plainPicture.pictures = {"@n3 right"};
  OldBytes plainEntry = {18, 6, 3};
  for (auto c : text("@n3")) plainEntry.push_back(c);

  OldFileDescription keys;
  keys.fields = {{.type = testing::OldLong, .name = "OLD:A", .len = 4},
                 {.type = testing::OldLong, .name = "OLD:B", .len = 4},
                 {.type = testing::OldLong, .name = "OLD:C", .len = 4}};
  keys.keys = {{.name = "OLD:K2", .attr = 0x40, .fields = {1, 2}},
               {.name = "OLD:K3", .attr = 0x40, .fields = {3, 2, 1}}};
  OldBytes keyEntry = {3, 0, 0, 0};
  for (auto c : text("OLD:K3")) keyEntry.push_back(c);
  keyEntry.insert(keyEntry.end(), {3, 0, 2, 0, 1, 0});

  OldFileDescription wideArray =
      oneField({.type = testing::OldString, .name = "OLD:ROWS", .len = 2, .arrnum = 1});
  wideArray.arrays = {{40, 3}};

  OldFileDescription groupedArray;
  groupedArray.fields = {{.type = testing::OldGroup, .name = "OLD:G", .len = 8},
                         {.type = testing::OldString, .name = "OLD:PAIR", .len = 4, .arrnum = 1},
                         {.type = testing::OldLong, .name = "OLD:AFTER", .len = 4}};
  groupedArray.arrays = {{2}};

  OldFileDescription notSigned = oneField({.type = testing::OldLong, .name = "OLD:ID", .len = 4});

  const std::vector<EdgeCase> cases = {
      {"STRING of 20: one size byte",
       oneField({.type = testing::OldString, .name = "OLD:S", .len = 20}),
       {18, 2, 20, 'O', 'L', 'D', ':', 'S', 0}},
      {"STRING of 40: two size bytes, as the descriptor reads them",
       oneField({.type = testing::OldString, .name = "OLD:S", .len = 40}),
       {18, 2, 0x20, 0x28, 'O'}},
      {"STRING of 300",
       oneField({.type = testing::OldString, .name = "OLD:S", .len = 300}),
       {18, 2, 0x21, 0x2C, 'O'}},
      {"STRING of 9000",
       oneField({.type = testing::OldString, .name = "OLD:S", .len = 9000}),
       {18, 2, 0x40, 0x23, 0x28, 'O'}},
      {"memo of 300", memo, memoEntry},
      {"picture between two p keeps its b", picture, pictureEntry},
      {"picture without p: up to its first blank", plainPicture, plainEntry},
      {"keys of 2 and 3 components", keys, keyEntry},
      {"array of 40 by 3: one byte a dimension, as the older layout holds them",
       wideArray,
       {'O', 'L', 'D', ':', 'R', 'O', 'W', 'S', 0, 2, 40, 3}},
      {"a group ends after the whole of an array inside it", groupedArray, {22, 2, 8, 0, 1, 0}},
      {"REAL", oneField({.type = testing::OldReal, .name = "OLD:R", .len = 8}), {9, 2, 'O'}},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.what);
    const OldBytes out = image(testing::oldDataFile(c.description));
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(holds(out, c.inImage));
    EXPECT_TRUE(readImage(out)) << "MakeFile must read it";
  }
  OldBytes wrongSignature = testing::oldDataFile(notSigned);
  wrongSignature[1] = '4';
  OldHeaderFault fault = OldHeaderFault::None;
  EXPECT_TRUE(image(wrongSignature, &fault).empty());
  EXPECT_EQ(fault, OldHeaderFault::NotOldData);
}

TEST(OldHeaderImage, AnEncryptedHeaderReadsAsItsClearTwinWithTheKeysAsOwner) {
  OldFileDescription scrambled = testing::sampleOldFile();
  scrambled.attr = 0x02;
  scrambled.evenKey = 'Z';
  scrambled.oddKey = 'q';
  const OldBytes clearFile = testing::oldDataFile(testing::sampleOldFile());
  const OldBytes scrambledFile = testing::oldDataFile(scrambled);
  ASSERT_NE(clearFile, scrambledFile);
  const auto clear = readImage(image(clearFile));
  const auto descrambled = readImage(image(scrambledFile));
  ASSERT_TRUE(clear && descrambled);
  EXPECT_EQ(descrambled->owner, "Zq");
  EXPECT_EQ(descrambled->attributes, 0x21);
  EXPECT_EQ(descrambled->descriptor, clear->descriptor);
  ASSERT_EQ(descrambled->keys.size(), clear->keys.size());
  for (std::size_t k = 0; k < clear->keys.size(); ++k) {
    EXPECT_EQ(descrambled->keys[k].label, clear->keys[k].label);
    EXPECT_EQ(descrambled->keys[k].components, clear->keys[k].components);
  }
}

// An encrypted file written out byte by byte (even key 22h, odd key 47h), so that the reader
// is checked against the stored form and not against a scrambler of its own: one picture
// string OLD:CODE of 3 with the odd-length picture "@s4", one unique key OLD:BYCODE on it.
TEST(OldHeaderReader, AnEncryptedHeaderWrittenByHandReadsInClear) {
  const OldBytes file = {
      // T: "C3", attributes 02h in clear, then scrambled: 1 key, no records, 1 field,
      // 1 picture, no arrays, record length 8, data offset 142, ...
      0x43, 0x33, 0x02, 0x00, 0x23, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x46, 0x22,
      0x46, 0x22, 0x47, 0x22, 0x4F, 0x22, 0xC9, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47,
      0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22,
      // ... "RECORD", no memo name, prefixes "OLD", no memo, the key bytes at 83 and 84
      0x15, 0x67, 0x04, 0x6D, 0x15, 0x66, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47,
      0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x08, 0x6E, 0x03, 0x6D, 0x0B, 0x66,
      0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22, 0x47,
      0x22, 0x47, 0x22,
      // F: type 4, "OLD:CODE", start 0, length 3, picture 1 (its last byte as stored)
      0x26, 0x08, 0x6E, 0x03, 0x18, 0x04, 0x6D, 0x03, 0x67, 0x47, 0x22, 0x47, 0x22, 0x47, 0x22,
      0x47, 0x22, 0x47, 0x22, 0x44, 0x22, 0x47, 0x22, 0x47, 0x22, 0x46, 0x00,
      // K: 1 component, "OLD:BYCODE", attributes 40h (its 19th byte as stored), field 1
      0x23, 0x08, 0x6E, 0x03, 0x18, 0x05, 0x7B, 0x04, 0x6D, 0x03, 0x67, 0x47, 0x22, 0x47, 0x22,
      0x47, 0x22, 0x07, 0x00, 0x22, 0x46, 0x22, 0x47, 0x22, 0x47,
      // P: length 3, "@s4" (its last character with the even key)
      0x21, 0x47, 0x62, 0x34, 0x16};
  OldHeaderFault fault = OldHeaderFault::Unsound;
  const auto header = readOldHeader(OldBufferBytes(file), &fault);
  ASSERT_TRUE(header) << static_cast<int>(fault);
  EXPECT_TRUE(header->encrypted);
  EXPECT_EQ(header->T.RECLEN, 8);
  EXPECT_EQ(header->T.OFFSET, 142);
  EXPECT_EQ(header->T.PREFIX, "OLD");
  EXPECT_EQ(header->end, file.size());
  ASSERT_EQ(header->fields.size(), 1u);
  EXPECT_EQ(header->fields[0].NAME, "OLD:CODE");
  EXPECT_EQ(header->fields[0].LEN, 3);
  EXPECT_EQ(header->fields[0].PICNUM, 1);
  ASSERT_EQ(header->keys.size(), 1u);
  EXPECT_EQ(header->keys[0].NAME, "OLD:BYCODE");
  EXPECT_EQ(header->keys[0].FIELDS, (std::vector<std::int16_t>{1}));
  EXPECT_EQ(header->pictures, (std::vector<std::string>{"@s4"}));
  OldBytes pictureEntry = {18, 6, 3};
  for (auto c : text("@s4")) pictureEntry.push_back(c);
  EXPECT_TRUE(holds(image(file), pictureEntry));
}

// Hostile and cut-short headers: each is refused whole, and nothing is read outside the file.
TEST(OldHeaderReader, UnsoundHeadersAreRefused) {
  using testing::poke;
  const OldBytes good = testing::oldDataFile(testing::sampleOldFile());
  const std::size_t fieldsAt = 85;
  const std::size_t keysAt = fieldsAt + 27 * 7;
  const std::size_t picturesAt = keysAt + 25 + 31;
  const std::size_t arraysAt = picturesAt + 2 + 4;
  struct Case {
    const char* what;
    void (*change)(OldBytes&, std::size_t, std::size_t, std::size_t, std::size_t);
  };
  const std::vector<Case> cases = {
      {"cut inside T", [](OldBytes& b, auto, auto, auto, auto) { b.resize(84); }},
      {"cut inside the fields", [](OldBytes& b, auto f, auto, auto, auto) { b.resize(f + 30); }},
      {"cut inside a key", [](OldBytes& b, auto, auto k, auto, auto) { b.resize(k + 20); }},
      {"cut inside the arrays", [](OldBytes& b, auto, auto, auto, auto a) { b.resize(a + 7); }},
      {"field count past the file",
       [](OldBytes& b, auto, auto, auto, auto) { poke(b, testing::AtNfields, 30000, 2); }},
      {"negative field count",
       [](OldBytes& b, auto, auto, auto, auto) { poke(b, testing::AtNfields, -1, 2); }},
      {"record length below 5",
       [](OldBytes& b, auto, auto, auto, auto) { poke(b, testing::AtReclen, 4, 2); }},
      {"record length of the prefix alone",
       [](OldBytes& b, auto, auto, auto, auto) { poke(b, testing::AtReclen, 5, 2); }},
      {"key of 40 components", [](OldBytes& b, auto, auto k, auto, auto) { b[k] = 40; }},
      {"key component 0", [](OldBytes& b, auto, auto k, auto, auto) { poke(b, k + 20, 0, 2); }},
      {"key component past the fields",
       [](OldBytes& b, auto, auto k, auto, auto) { poke(b, k + 20, 8, 2); }},
      {"picture of 251 characters",
       [](OldBytes& b, auto, auto, auto p, auto) { poke(b, p, 251, 2); }},
      {"picture of negative length",
       [](OldBytes& b, auto, auto, auto p, auto) { poke(b, p, -2, 2); }},
      {"array of 5 dimensions", [](OldBytes& b, auto, auto, auto, auto a) { poke(b, a, 5, 2); }},
      {"array of 0 dimensions", [](OldBytes& b, auto, auto, auto, auto a) { poke(b, a, 0, 2); }},
      {"array dimension 0", [](OldBytes& b, auto, auto, auto, auto a) { poke(b, a + 6, 0, 2); }},
      {"field naming a missing array",
       [](OldBytes& b, auto f, auto, auto, auto) { poke(b, f + 27 * 6 + 23, 2, 2); }},
      {"field naming a missing picture",
       [](OldBytes& b, auto f, auto, auto, auto) { poke(b, f + 25, 9, 2); }},
      {"unknown field type", [](OldBytes& b, auto f, auto, auto, auto) { b[f] = 9; }},
      {"LONG of 3 bytes", [](OldBytes& b, auto f, auto, auto, auto) { poke(b, f + 19, 3, 2); }},
      {"field not where the one before ends",
       [](OldBytes& b, auto f, auto, auto, auto) { poke(b, f + 27 + 17, 5, 2); }},
      {"group not filled by its members",
       [](OldBytes& b, auto f, auto, auto, auto) { poke(b, f + 27 * 2 + 19, 4, 2); }},
      {"fields longer than the record",
       [](OldBytes& b, auto, auto, auto, auto) { poke(b, testing::AtReclen, 20, 2); }},
  };
  ASSERT_EQ(good[keysAt], 1);
  ASSERT_EQ(good[picturesAt], 4);
  ASSERT_EQ(good[arraysAt], 1);
  ASSERT_FALSE(image(good).empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OldBytes bad = good;
    c.change(bad, fieldsAt, keysAt, picturesAt, arraysAt);
    // A buffer of exactly the file's size, so that a read past it is seen by the sanitizers.
    OldBytes exact(bad);
    EXPECT_TRUE(image(exact).empty());
  }
}

// Random mutations of the fixtures: the reader and the image writer never crash and never
// read outside the bytes (run under the sanitizers). GD_FUZZ_ITERATIONS runs longer.
TEST(OldHeaderReader, RandomMutationsNeverReadOutsideTheFile) {
  OldFileDescription scrambled = testing::sampleOldFile();
  scrambled.attr = 0x02;
  const std::vector<OldBytes> seeds = {testing::oldDataFile(testing::sampleOldFile()),
                                       testing::oldDataFile(scrambled)};
  const char* asked = std::getenv("GD_FUZZ_ITERATIONS");
  const long iterations = asked != nullptr ? std::atol(asked) : 20000;
  std::mt19937 random(20261210);
  long accepted = 0;
  for (long i = 0; i < iterations; ++i) {
    OldBytes bytes = seeds[static_cast<std::size_t>(i) % seeds.size()];
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes; ++c) {
      const std::size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8)); break;
        case 1: bytes[at] = static_cast<std::uint8_t>(random()); break;
        case 2: bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
        default: bytes.resize(at); break;
      }
      if (bytes.empty()) break;
    }
    const OldBytes out = image(bytes);
    if (!out.empty()) {
      ++accepted;
      readImage(out);
    }
  }
  RecordProperty("accepted", static_cast<int>(accepted));
}

class ImportCorvidTest : public testing::EngineTest {};

TEST_F(ImportCorvidTest, ImportsTheNamedFileIntoTheCatalogueMemoWithItsTrace) {
  commandLine("/debugupkeptdat /debugupkgpf");
  LoadDebugSettings();
  testing::writeOldFile(folder.file("orders.Dat"), testing::oldDataFile(testing::sampleOldFile()));
  ASSERT_TRUE(setMadeFileName(1, folder.file("orders.Dat")));
  AttributeNote() = false;
  EXPECT_EQ(ImportCorvid(), 1);
  EXPECT_TRUE(AttributeNote());
  const std::string memo(UpgFormat().content());
  EXPECT_EQ(memo.substr(0, 4), std::string("Cor\0", 4));
  const std::vector<std::string> trace = takeTrace();
  const auto has = [&](std::string_view start) {
    return std::any_of(trace.begin(), trace.end(), [&](const std::string& line) {
      return line.find(start) != std::string::npos;
    });
  };
  EXPECT_TRUE(has("Testing for DAT - "));
  EXPECT_TRUE(has("Num Fields = 7"));
  EXPECT_TRUE(has("Reading Field 2 Old:Name"));
  EXPECT_TRUE(has("Reading key 2 OLD:BYNAME"));
  EXPECT_TRUE(has("Reading Pic 1 @s20"));
  EXPECT_TRUE(has("ImportCorvid In"));
  EXPECT_TRUE(has("ImportCorvid Out"));

  ASSERT_TRUE(setMadeFileName(1, folder.file("missing.Dat")));
  EXPECT_EQ(ImportCorvid(), 0);
  EXPECT_EQ(UpgFormat().content(), memo) << "a failed import leaves the memo alone";
}

}  // namespace
}  // namespace upkeep
