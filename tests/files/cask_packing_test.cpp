#include "platform/files/cask_packing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace files {
namespace {

struct PackCase {
  const char* name;
  std::string bytes;
  std::size_t mostPacked;  // the packed form is at most this long
};

std::string textField(const std::string& text, std::size_t size, char fill) {
  std::string field = text;
  field.resize(size, fill);
  return field;
}

TEST(CaskPacking, RoundTripsAndShrinksBlankTails) {
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<char>(i));
  // A projects record: a LONG, short CSTRING texts with zero tails, a long description.
  std::string project = std::string("\x07\0\0\0", 4) + textField("Studio", 20, '\0') +
                        textField("A small racing game", 100, '\0') +
                        textField("/home/me/race/race.agk", 255, '\0');
  project += textField("", 10800 - project.size(), '\0');
  project[600] = 'x';  // something inside the long zero run
  const std::vector<PackCase> cases = {
      {"empty", "", 0},
      {"all zero", std::string(10800, '\0'), 0},
      {"all spaces", std::string(5120, ' '), 8},
      {"short literal", "abc", 4},
      {"runs of three stay literal", "aaabbbccc", 10},
      {"every byte value", everyByte, 260},
      {"literal longer than one token", std::string(300, 'q') + everyByte, 275},
      {"a run at the start", std::string(200, ' ') + "end", 8},
      {"a run ending with a non-zero byte", std::string(129, '\0') + "z", 4},
      {"a run of exactly 130", std::string(130, 'y') + "z", 6},
      {"projects record", project, 120},
      {"string record padded with spaces", textField("line of text", 1024, ' '), 20},
  };
  for (const PackCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string packed;
    packBytes(c.bytes, packed);
    EXPECT_LE(packed.size(), c.mostPacked);
    std::vector<unsigned char> out(c.bytes.size() + 7, 0xEE);
    ASSERT_GE(unpackBytes(packed, out.data(), out.size()), 0);
    EXPECT_EQ(std::string(out.begin(), out.begin() + static_cast<long>(c.bytes.size())), c.bytes);
    // What the packed form does not cover is zero.
    for (std::size_t i = c.bytes.size(); i < out.size(); ++i) EXPECT_EQ(out[i], 0);
  }
}

// The packed form written one byte at a time, as the stored files were written: the tokens of
// packBytes must stay byte for byte the same, or files written before would read differently.
std::string packedByteByByte(const std::string& bytes) {
  std::string out;
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == '\0') --end;
  const auto literal = [&](std::size_t from, std::size_t to) {
    for (std::size_t at = from; at < to; at += 0x80) {
      const std::size_t n = std::min<std::size_t>(0x80, to - at);
      out.push_back(static_cast<char>(n - 1));
      out.append(bytes, at, n);
    }
  };
  std::size_t start = 0;
  std::size_t p = 0;
  while (p < end) {
    std::size_t q = p + 1;
    while (q < end && bytes[q] == bytes[p]) ++q;
    std::size_t run = q - p;
    if (run >= 4) {
      literal(start, p);
      if (run <= 129) {
        out.push_back(static_cast<char>(0x80 + run - 3));
      } else {
        out.push_back('\xFF');
        for (; run >= 0x80; run >>= 7) out.push_back(static_cast<char>(0x80 | (run & 0x7F)));
        out.push_back(static_cast<char>(run));
      }
      out.push_back(bytes[p]);
      start = q;
    }
    p = q;
  }
  literal(start, p);
  return out;
}

TEST(CaskPacking, PacksAsTheByteByByteFormDoes) {
  // Runs of every length around the token limits, at every alignment, among short repeats that
  // must stay literal, over a few byte alphabets; and record-like buffers with zero tails.
  std::mt19937 random(20240611);
  std::vector<std::string> inputs;
  for (int i = 0; i < 4000; ++i) {
    std::string bytes;
    const int pieces = static_cast<int>(random() % 12);
    const int alphabet = 1 + static_cast<int>(random() % 4);
    for (int piece = 0; piece < pieces; ++piece) {
      const std::size_t lengths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 128, 129, 130, 131, 300};
      const std::size_t length = lengths[random() % std::size(lengths)];
      const char byte = "\0 a\xFF"[random() % alphabet];
      if (random() % 3 == 0) {
        for (std::size_t k = 0; k < length; ++k)
          bytes.push_back(static_cast<char>("\0 ab"[random() % alphabet]));
      } else {
        bytes.append(length, byte);
      }
    }
    inputs.push_back(bytes);
  }
  std::string record(10800, '\0');
  record.replace(4, 30, "A platform game with 3 levels ");
  record.replace(800, 50, std::string(50, ' '));
  inputs.push_back(record);
  for (std::size_t cut = 0; cut <= 24; ++cut)
    inputs.push_back(std::string(cut, 'x') + std::string(cut % 9, '\0'));
  std::string packed;
  for (const std::string& bytes : inputs) {
    packBytes(bytes, packed);
    ASSERT_EQ(packed, packedByteByByte(bytes)) << "input of " << bytes.size() << " bytes";
  }
}

TEST(CaskPacking, UnpacksOverARecordItLeftAsWholeAsIntoABlankBuffer) {
  // Each record unpacked over the one before, told where that one's zero tail began.
  const std::vector<std::string> records = {
      std::string("\x07\0\0\0", 4) + textField("A small racing game", 400, '\0') + "end",
      "abc",
      std::string(200, ' ') + "end",
      "",
      std::string(130, 'y') + "z",
      textField("line of text", 1024, ' '),
      std::string(40, '\0') + "x",
      "ends in a short run     ",
  };
  std::vector<unsigned char> buffer(2048, 0xEE);
  std::size_t zeroFrom = SIZE_MAX;
  for (std::size_t round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      SCOPED_TRACE(i);
      const std::size_t r = (i * (round + 1)) % records.size();
      std::string packed;
      packBytes(records[r], packed);
      std::vector<unsigned char> blank(buffer.size(), 0xEE);
      const long long expected = unpackBytes(packed, blank.data(), blank.size());
      const long long used = unpackBytes(packed, buffer.data(), buffer.size(), zeroFrom);
      ASSERT_EQ(used, expected);
      EXPECT_EQ(buffer, blank);
      zeroFrom = static_cast<std::size_t>(used);
    }
  }
}

TEST(CaskPacking, RefusesDamagedForms) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"literal past the end of the input", std::string("\x05"
                                                        "ab")},
      {"run without its byte", std::string("\x85")},
      {"long run without its length", std::string("\xFF")},
      {"long run beyond the record", std::string("\xFF\x80\x80\x04"
                                                 "a")},
      {"literal beyond the record", std::string("\x0F") + std::string(16, 'a')},
      {"endless length", std::string(12, '\xFF')},
  };
  for (const auto& [name, packed] : cases) {
    SCOPED_TRACE(name);
    std::vector<unsigned char> out(8, 0xEE);
    EXPECT_EQ(unpackBytes(packed, out.data(), out.size()), -1);
    for (const unsigned char b : out) EXPECT_EQ(b, 0);
  }
}

}  // namespace
}  // namespace files
