// The header of an old data file (".Dat", driver code "COR"): the file keeps its own structure
// in records of fixed layout at its start, all numbers little-endian.
//
//   T    85 bytes at offset 0: signature "C3", attributes, counts, record length, data offset,
//        names, memo size, the two key bytes (byte layout in old_header.cpp)
//   F    27 bytes per field, T.NFIELDS of them from offset 85
//   K    19 + 6 x components bytes per key, T.NKEYS of them after the fields (at most 39
//        components, as a key record is read in 255 bytes)
//   P    2 + length bytes per picture, T.NPICS of them after the keys (at most 250 characters)
//   A    6 + 4 x dimensions bytes per array, T.NARRAYS of them after the pictures (at most 4)
//
// An encrypted header (attribute bit 02h) is scrambled by XOR with two key bytes. The key
// bytes travel in the header itself, in the places of T.PASSEVEN (offset 84: the byte for
// even offsets) and T.PASSODD (offset 83: the byte for odd offsets); they are taken as stored,
// and the descrambling turns both places into 0. T from offset 4 to 84 is descrambled by file
// offset; field, key and picture records pair by pair from their own first byte, the first
// byte of a pair with the even key byte. A field record (27 bytes) keeps its last byte as
// stored, a key record is descrambled in two runs (its 19 bytes, keeping the last, then the
// components), and a picture record is descrambled whole, the last character of an odd-length
// picture with the even key byte; array records are stored in clear.
//
// Every count, length and offset is checked against the file's size and against what a record
// can hold before it is used: a header that breaks any rule is refused as a whole.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace upkeep {

inline constexpr std::size_t kOldHeaderSize = 85;
inline constexpr std::size_t kOldFieldSize = 27;
inline constexpr std::size_t kOldKeyFixedSize = 19;
inline constexpr std::size_t kOldKeyComponentSize = 6;
inline constexpr std::size_t kOldMostKeyComponents = 39;
inline constexpr std::size_t kOldMostPictureLength = 250;
inline constexpr std::size_t kOldMostDimensions = 4;
// The bytes in front of each stored record's fields.
inline constexpr std::size_t kOldRecordPrefix = 5;

// Attribute bits of T.ATTR.
inline constexpr std::uint16_t kOldEncrypted = 0x02;

// Header record T. Texts are cut at their first NUL byte, but for the two prefixes, whose NUL
// bytes read as blanks; trailing blanks are kept.
struct OldHeaderRecord {
  std::uint16_t ATTR = 0;
  std::uint8_t NKEYS = 0;
  std::int32_t NRECS = 0;
  std::int32_t NDELS = 0;
  std::int16_t NFIELDS = 0;
  std::int16_t NPICS = 0;
  std::int16_t NARRAYS = 0;
  std::int16_t RECLEN = 0;
  std::int32_t OFFSET = 0;  // where the first stored record starts
  std::int32_t LOGEOF = 0;
  std::int32_t LOGBOF = 0;
  std::int32_t FREEREC = 0;  // number of the first deleted record, 0 for none
  std::string RECNAME;
  std::string MEMONAME;
  std::string PREFIX;
  std::string RECPREFIX;
  std::uint16_t MEMOLEN = 0;
  std::uint16_t MEMOWID = 0;
  std::uint32_t LOCKCNT = 0;
  std::uint32_t TIME = 0;
  std::uint32_t DATE = 0;
  std::uint8_t PASSODD = 0;
  std::uint8_t PASSEVEN = 0;
};

struct OldFieldRecord {
  std::uint8_t TYPE = 0;
  std::string NAME;
  std::int16_t START = 0;  // offset of the field in the record, after the record's prefix
  std::int16_t LEN = 0;
  std::uint8_t DECSIG = 0;
  std::uint8_t DECDEC = 0;
  std::int16_t ARRNUM = 0;  // 1-based array record, 0 for none
  std::int16_t PICNUM = 0;  // 1-based picture record, 0 for none
};

struct OldKeyRecord {
  std::string NAME;
  std::uint8_t ATTR = 0;
  std::vector<std::int16_t> FIELDS;  // 1-based field numbers, in key order
};

struct OldArrayRecord {
  std::int16_t TOTDIM = 0;
  std::int16_t ELEMSIZE = 0;
  std::vector<std::int16_t> MAXDIM;  // one per dimension
  std::vector<std::int16_t> LENDIM;
};

struct OldHeader {
  OldHeaderRecord T;
  bool encrypted = false;
  std::uint8_t evenKey = 0;  // the key bytes of an encrypted header (0 for a clear one)
  std::uint8_t oddKey = 0;
  std::vector<OldFieldRecord> fields;
  std::vector<OldKeyRecord> keys;
  std::vector<std::string> pictures;  // P:PIC, its stored characters up to a first NUL
  std::vector<OldArrayRecord> arrays;
  std::uint64_t end = 0;  // offset of the first byte after the header's records
};

// Where the header's bytes come from: reads are asked only inside size().
class OldFileBytes {
 public:
  virtual ~OldFileBytes() = default;
  virtual std::uint64_t size() const = 0;
  // Fills `out` from `offset`; false when the bytes cannot be read.
  virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// The bytes of a buffer in memory.
class OldBufferBytes final : public OldFileBytes {
 public:
  explicit OldBufferBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// The bytes of an open file descriptor (read with pread; the descriptor stays the caller's).
class OldDescriptorBytes final : public OldFileBytes {
 public:
  explicit OldDescriptorBytes(int fd);
  std::uint64_t size() const override { return size_; }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

// How a header read ends.
enum class OldHeaderFault {
  None,
  NotOldData,  // shorter than T, or no "C3" signature: not a file of this format
  Unsound,     // of this format, but a count, length or offset breaks the rules above
};

// Reads and checks the header. Nothing, with the fault and its reason, when the bytes are not
// an old data file or the header is unsound; nothing is ever read outside the file.
std::optional<OldHeader> readOldHeader(const OldFileBytes& bytes, OldHeaderFault* fault = nullptr,
                                       std::string* reason = nullptr);

// What becomes of a last byte without its pair.
enum class OddLastByte { Kept, Descrambled };

// XORs `bytes` pair by pair from its first byte, the first of each pair with `evenKey`, the
// second with `oddKey`; a last byte without its pair is kept or XORed with `evenKey`.
void descramblePairs(std::span<std::uint8_t> bytes, std::uint8_t evenKey, std::uint8_t oddKey,
                     OddLastByte last);

}  // namespace upkeep
