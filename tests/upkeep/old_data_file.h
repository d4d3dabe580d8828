// Old data files (".Dat") for the tests, written from a description: the header records with
// every count, place and length worked out, scrambled when the description says so, then the
// stored records with their deleted-record chain. The layout is written here on its own, not
// through the engine's reader, so the tests check the one against the other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace upkeep::testing {

using OldBytes = std::vector<std::uint8_t>;

// Old type codes.
enum OldType : std::uint8_t {
  OldLong = 1,
  OldReal = 2,
  OldString = 3,
  OldPictureString = 4,
  OldByte = 5,
  OldShort = 6,
  OldGroup = 7,
  OldDecimal = 8,
};

struct OldField {
  std::uint8_t type = OldString;
  std::string name;
  std::int16_t len = 0;  // one element; a group's whole size
  std::int16_t arrnum = 0;
  std::int16_t picnum = 0;
  std::uint8_t decsig = 0;
  std::uint8_t decdec = 0;  // its place follows from the fields before it
};

struct OldKey {
  std::string name;
  std::uint8_t attr = 0;
  std::vector<std::int16_t> fields;
};

struct OldStoredRecord {
  OldBytes fields;  // the record's field bytes (T.RECLEN - 5 of them)
  bool deleted = false;
};

struct OldFileDescription {
  std::uint16_t attr = 0;  // 02h: the header is scrambled with the two keys below
  std::uint8_t evenKey = 0x5A;
  std::uint8_t oddKey = 0xC3;
  std::string prefix = "OLD";
  std::string memoName;
  std::uint16_t memoLen = 0;
  std::vector<OldField> fields;
  std::vector<OldKey> keys;
  std::vector<std::string> pictures;
  std::vector<std::vector<std::int16_t>> arrays;  // the dimensions of each array record
  std::vector<OldStoredRecord> records;
  std::optional<std::int16_t> reclen;  // T.RECLEN; 5 + the fields' bytes when not given
};

// Byte places in the header record T.
enum OldHeaderPlace : std::size_t {
  AtAttr = 2,
  AtNkeys = 4,
  AtNrecs = 5,
  AtNdels = 9,
  AtNfields = 13,
  AtNpics = 15,
  AtNarrays = 17,
  AtReclen = 19,
  AtOffset = 21,
  AtFreerec = 33,
};

// A small file of every kind of field: a LONG, a STRING(20) with a picture, a GROUP of a SHORT
// and a BYTE, a DECIMAL(5,2), a STRING(4),DIM(3), keyed on the LONG and on the text and the
// LONG; no records.
OldFileDescription sampleOldFile();

// The whole file, header then stored records.
OldBytes oldDataFile(const OldFileDescription& description);

// Where the header's records end (the data offset the file gets).
std::size_t oldHeaderEnd(const OldFileDescription& description);

// Puts a little-endian number of `width` bytes at `at` (for clear headers).
void poke(OldBytes& bytes, std::size_t at, std::int64_t value, int width);

// Writes `bytes` to the file `path`.
void writeOldFile(const std::string& path, const OldBytes& bytes);

}  // namespace upkeep::testing
