// The ASCII line driver and the DOS driver.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/files/driver_fixture.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;

struct Line {
  runtime::String<12> PLINE;
};
constexpr runtime::FieldDef kLineFields[] = {GD_FIELD(Line, PLINE, "AGC:PLINE")};
constexpr FileSpec kLineSpec{.label = "mainagc",
                             .prefix = "AGC",
                             .driver = Driver::Ascii,
                             .fields = kLineFields,
                             .recordSize = sizeof(Line)};

class AsciiDriverTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileDeclaration> lines(int mode = 0x42) {
    auto file = declare(kLineSpec, path);
    OPEN(*file, mode);
    return file;
  }

  std::string readAll(FileDeclaration& file) {
    std::string out;
    SET(file);
    for (NEXT(file); ERRORCODE() == 0; NEXT(file))
      out += "[" + std::string(file.recordAs<Line>().PLINE.view()) + "]";
    EXPECT_EQ(ERRORCODE(), kRecordNotAvailableErr);
    return out;
  }

  support::ScratchFolder folder;
  std::string path = folder.file("main.agc");
};

TEST_F(AsciiDriverTest, AddAppendsLinesWithoutTrailingSpaces) {
  auto file = declare(kLineSpec, path);
  OPEN(*file);
  EXPECT_EQ(ERRORCODE(), runtime::FileNotFoundErr);
  CREATE(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(support::readFile(path), "");
  OPEN(*file, 0x42);
  for (const char* text : {"// header", "  ", "x = 1  ", "a line longer than twelve"}) {
    file->recordAs<Line>().PLINE = text;
    ADD(*file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  EXPECT_EQ(support::readFile(path), "// header\n\nx = 1\na line longe\n");
  EXPECT_EQ(RECORDS(*file), 4);
  EXPECT_EQ(readAll(*file), "[// header   ][            ][x = 1       ][a line longe]");
}

TEST_F(AsciiDriverTest, ReadsLinesAsTheyStandInTheFile) {
  // CR LF endings, an over-long line with a character across the cut, no LF at the end.
  support::writeFile(path, "one\r\n\r\ntwelve chars\xC3\xA4 more\nlast");
  auto file = lines(0x40);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(readAll(*file), "[one         ][            ][twelve chars][last        ]");
  EXPECT_EQ(readAll(*file), "[one         ][            ][twelve chars][last        ]")
      << "SET starts again";
  PREVIOUS(*file);
  EXPECT_EQ(ERRORCODE(), kNotSupportedErr);
  ADD(*file);
  EXPECT_EQ(ERRORCODE(), runtime::AccessDeniedErr);
}

TEST_F(AsciiDriverTest, AddAfterALastLineWithoutLineEndStartsANewLine) {
  support::writeFile(path, "old");
  auto file = lines();
  file->recordAs<Line>().PLINE = "new";
  ADD(*file);
  EXPECT_EQ(support::readFile(path), "old\nnew\n");
  CREATE(*file);
  EXPECT_EQ(ERRORCODE(), runtime::AccessDeniedErr) << "not while it is open";
  CLOSE(*file);
  CREATE(*file);
  EXPECT_EQ(support::readFile(path), "") << "CREATE empties an existing file";
}

struct Chunk {
  char BYTES[4];
};
constexpr runtime::FieldDef kChunkFields[] = {
    {.label = "RAW:BYTES", .type = runtime::FieldType::String, .offset = 0, .size = 4}};
constexpr FileSpec kChunkSpec{.label = "raw",
                              .prefix = "RAW",
                              .driver = Driver::Dos,
                              .fields = kChunkFields,
                              .recordSize = sizeof(Chunk)};

TEST(DosDriver, ReadsBytesAtPositions) {
  support::ScratchFolder folder;
  const std::string path = folder.file("raw.bin");
  support::writeFile(path, std::string("abcdefghij", 10));
  auto file = declare(kChunkSpec, path);
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  const auto buffer = [&] {
    return std::string(reinterpret_cast<const char*>(file->record().data()), 4);
  };
  struct Case {
    std::int64_t position;
    std::int64_t length;
    int code;
    std::string bytes;
  };
  const Case cases[] = {
      {1, 4, 0, "abcd"},
      {3, 2, 0, std::string("cd", 2) + "cd"},  // bytes beyond the length stay as they were
      {9, 4, 0, std::string("ij\0\0", 4)},     // a short read is zero-filled
      {10, 9, 0, std::string("j\0\0\0", 4)},   // the length is cut to the record
      {11, 1, runtime::RecordNotFoundErr, std::string("j\0\0\0", 4)},  // past the end
      {0, 1, runtime::RecordNotFoundErr, std::string("j\0\0\0", 4)},
  };
  for (const Case& c : cases) {
    GET(*file, c.position, c.length);
    EXPECT_EQ(ERRORCODE(), c.code) << c.position;
    EXPECT_EQ(buffer(), c.bytes) << c.position;
  }
  EXPECT_EQ(RECORDS(*file), 3);
  SET(*file);
  std::string pieces;
  for (NEXT(*file); ERRORCODE() == 0; NEXT(*file)) pieces += buffer() + "|";
  EXPECT_EQ(pieces, std::string("abcd|efgh|ij\0\0|", 15));

  std::memcpy(file->record().data(), "WXYZ", 4);
  ADD(*file);
  GET(*file, 5, 4);
  std::memcpy(file->record().data(), "5678", 4);
  PUT(*file);
  EXPECT_EQ(support::readFile(path), "abcd5678ijWXYZ");
}

}  // namespace
}  // namespace files::test
