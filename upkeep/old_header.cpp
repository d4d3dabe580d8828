#include "upkeep/old_header.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace upkeep {
namespace {

// Byte places in T.
enum TPlace : std::size_t {
  kSig = 0,
  kAttr = 2,
  kNkeys = 4,
  kNrecs = 5,
  kNdels = 9,
  kNfields = 13,
  kNpics = 15,
  kNarrays = 17,
  kReclen = 19,
  kOffset = 21,
  kLogeof = 25,
  kLogbof = 29,
  kFreerec = 33,
  kRecname = 37,
  kMemoname = 49,
  kPrefix = 61,
  kRecprefix = 64,
  kMemolen = 67,
  kMemowid = 69,
  kLockcnt = 71,
  kTime = 75,
  kDate = 79,
  kPassodd = 83,
  kPasseven = 84,
};

// Byte places in a field record F.
enum FPlace : std::size_t {
  kFType = 0,
  kFName = 1,
  kFStart = 17,
  kFLen = 19,
  kFDecsig = 21,
  kFDecdec = 22,
  kFArrnum = 23,
  kFPicnum = 25,
};

constexpr std::size_t kNameSize = 16;
constexpr std::size_t kScrambledFrom = 4;  // T is scrambled from this offset to its end

// How a run of the header's records is stored in an encrypted file.
enum class Stored {
  Clear,        // as it is (T, which is descrambled by file offset, and the array records)
  Pairs,        // scrambled pair by pair; an odd last byte stays as stored
  WholeRecord,  // scrambled pair by pair, an odd last byte with the even key (picture records)
};

// Numbers and texts at fixed places of a record already read whole.
class RecordView {
 public:
  explicit RecordView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t u8(std::size_t at) const { return bytes_[at]; }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::int16_t s16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
  std::uint32_t u32(std::size_t at) const {
    return std::uint32_t{u16(at)} | std::uint32_t{u16(at + 2)} << 16;
  }
  std::int32_t s32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
  // A fixed-size text, cut at its first NUL byte.
  std::string text(std::size_t at, std::size_t size) const {
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(at);
    const auto last = std::find(first, first + static_cast<std::ptrdiff_t>(size), 0);
    return {first, last};
  }
  // A fixed-size text whose NUL bytes read as blanks.
  std::string blanked(std::size_t at, std::size_t size) const {
    std::string out(bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes_.begin() + static_cast<std::ptrdiff_t>(at + size));
    std::replace(out.begin(), out.end(), '\0', ' ');
    return out;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

class HeaderReader {
 public:
  explicit HeaderReader(const OldFileBytes& bytes) : bytes_(bytes) {}

  std::optional<OldHeader> read(OldHeaderFault& fault, std::string& reason);

 private:
  // The next `count` bytes from the read position, descrambled as `stored` says when the
  // header is encrypted; false, with the reason, when they lie beyond the file.
  bool take(std::size_t count, Stored stored, std::vector<std::uint8_t>& out, const char* what);
  bool unsound(std::string text) {
    reason_ = std::move(text);
    return false;
  }
  bool readHeaderRecord();
  bool readFields();
  bool readKeys();
  bool readPictures();
  bool readArrays();
  bool checkReferences();

  const OldFileBytes& bytes_;
  OldHeader header_;
  std::uint64_t position_ = 0;
  std::string reason_;
};

bool HeaderReader::take(std::size_t count, Stored stored, std::vector<std::uint8_t>& out,
                        const char* what) {
  if (count > bytes_.size() || position_ > bytes_.size() - count)
    return unsound(std::string(what) + " runs past the end of the file");
  out.resize(count);
  if (!bytes_.read(position_, out)) return unsound(std::string(what) + " cannot be read");
  if (stored != Stored::Clear && header_.encrypted) {
    descramblePairs(out, header_.evenKey, header_.oddKey,
                    stored == Stored::WholeRecord ? OddLastByte::Descrambled : OddLastByte::Kept);
  }
  position_ += count;
  return true;
}

bool HeaderReader::readHeaderRecord() {
  std::vector<std::uint8_t> raw;
  if (!take(kOldHeaderSize, Stored::Clear, raw, "the header")) return false;
  OldHeaderRecord& t = header_.T;
  t.ATTR = RecordView(raw).u16(kAttr);
  header_.encrypted = (t.ATTR & kOldEncrypted) != 0;
  if (header_.encrypted) {
    header_.evenKey = raw[kPasseven];
    header_.oddKey = raw[kPassodd];
    for (std::size_t at = kScrambledFrom; at < kOldHeaderSize; ++at)
      raw[at] ^= at % 2 == 0 ? header_.evenKey : header_.oddKey;
  }
  const RecordView v(raw);
  t.NKEYS = v.u8(kNkeys);
  t.NRECS = v.s32(kNrecs);
  t.NDELS = v.s32(kNdels);
  t.NFIELDS = v.s16(kNfields);
  t.NPICS = v.s16(kNpics);
  t.NARRAYS = v.s16(kNarrays);
  t.RECLEN = v.s16(kReclen);
  t.OFFSET = v.s32(kOffset);
  t.LOGEOF = v.s32(kLogeof);
  t.LOGBOF = v.s32(kLogbof);
  t.FREEREC = v.s32(kFreerec);
  t.RECNAME = v.text(kRecname, 12);
  t.MEMONAME = v.text(kMemoname, 12);
  t.PREFIX = v.blanked(kPrefix, 3);
  t.RECPREFIX = v.blanked(kRecprefix, 3);
  t.MEMOLEN = v.u16(kMemolen);
  t.MEMOWID = v.u16(kMemowid);
  t.LOCKCNT = v.u32(kLockcnt);
  t.TIME = v.u32(kTime);
  t.DATE = v.u32(kDate);
  t.PASSODD = v.u8(kPassodd);
  t.PASSEVEN = v.u8(kPasseven);
  if (t.NFIELDS < 0 || t.NPICS < 0 || t.NARRAYS < 0) return unsound("a negative count");
  if (t.RECLEN <= static_cast<std::int16_t>(kOldRecordPrefix))
    return unsound("record length " + std::to_string(t.RECLEN) + " holds no field");
  return true;
}

bool HeaderReader::readFields() {
  std::vector<std::uint8_t> raw;
  for (std::int16_t i = 0; i < header_.T.NFIELDS; ++i) {
    if (!take(kOldFieldSize, Stored::Pairs, raw, "a field record")) return false;
    const RecordView v(raw);
    header_.fields.push_back({.TYPE = v.u8(kFType),
                              .NAME = v.text(kFName, kNameSize),
                              .START = v.s16(kFStart),
                              .LEN = v.s16(kFLen),
                              .DECSIG = v.u8(kFDecsig),
                              .DECDEC = v.u8(kFDecdec),
                              .ARRNUM = v.s16(kFArrnum),
                              .PICNUM = v.s16(kFPicnum)});
  }
  return true;
}

bool HeaderReader::readKeys() {
  std::vector<std::uint8_t> fixed;
  std::vector<std::uint8_t> components;
  for (std::uint8_t k = 0; k < header_.T.NKEYS; ++k) {
    if (!take(kOldKeyFixedSize, Stored::Pairs, fixed, "a key record")) return false;
    const RecordView v(fixed);
    const std::size_t count = v.u8(0);
    if (count > kOldMostKeyComponents)
      return unsound("a key of " + std::to_string(count) + " components");
    if (!take(count * kOldKeyComponentSize, Stored::Pairs, components, "a key's components"))
      return false;
    OldKeyRecord key{.NAME = v.text(1, kNameSize), .ATTR = v.u8(17), .FIELDS = {}};
    for (std::size_t c = 0; c < count; ++c)
      key.FIELDS.push_back(RecordView(components).s16(c * kOldKeyComponentSize + 1));
    header_.keys.push_back(std::move(key));
  }
  return true;
}

bool HeaderReader::readPictures() {
  std::vector<std::uint8_t> length;
  std::vector<std::uint8_t> text;
  for (std::int16_t p = 0; p < header_.T.NPICS; ++p) {
    // The record is scrambled whole: its length pair, then its text from the next pair on,
    // down to the last character of an odd-length text.
    if (!take(2, Stored::Pairs, length, "a picture record")) return false;
    const std::int16_t size = RecordView(length).s16(0);
    if (size < 0 || static_cast<std::size_t>(size) > kOldMostPictureLength)
      return unsound("a picture of " + std::to_string(size) + " characters");
    if (!take(static_cast<std::size_t>(size), Stored::WholeRecord, text, "a picture")) return false;
    header_.pictures.push_back(RecordView(text).text(0, text.size()));
  }
  return true;
}

bool HeaderReader::readArrays() {
  std::vector<std::uint8_t> fixed;
  std::vector<std::uint8_t> parts;
  for (std::int16_t a = 0; a < header_.T.NARRAYS; ++a) {
    if (!take(6, Stored::Clear, fixed, "an array record")) return false;
    const RecordView v(fixed);
    const std::int16_t dims = v.s16(0);
    if (dims < 1 || static_cast<std::size_t>(dims) > kOldMostDimensions)
      return unsound("an array of " + std::to_string(dims) + " dimensions");
    if (!take(static_cast<std::size_t>(dims) * 4, Stored::Clear, parts, "an array's dimensions"))
      return false;
    OldArrayRecord array{.TOTDIM = v.s16(2), .ELEMSIZE = v.s16(4), .MAXDIM = {}, .LENDIM = {}};
    for (std::int16_t d = 0; d < dims; ++d) {
      const RecordView part(parts);
      array.MAXDIM.push_back(part.s16(static_cast<std::size_t>(d) * 4));
      array.LENDIM.push_back(part.s16(static_cast<std::size_t>(d) * 4 + 2));
      if (array.MAXDIM.back() < 1) return unsound("an array dimension below 1");
    }
    header_.arrays.push_back(std::move(array));
  }
  return true;
}

bool HeaderReader::checkReferences() {
  const auto within = [](std::int32_t number, std::size_t count) {
    return number >= 0 && static_cast<std::size_t>(number) <= count;
  };
  for (const OldFieldRecord& field : header_.fields) {
    if (!within(field.ARRNUM, header_.arrays.size()))
      return unsound("field " + field.NAME + " names array " + std::to_string(field.ARRNUM));
    if (!within(field.PICNUM, header_.pictures.size()))
      return unsound("field " + field.NAME + " names picture " + std::to_string(field.PICNUM));
  }
  for (const OldKeyRecord& key : header_.keys) {
    for (const std::int16_t component : key.FIELDS) {
      if (component < 1 || !within(component, header_.fields.size()))
        return unsound("key " + key.NAME + " names field " + std::to_string(component));
    }
  }
  return true;
}

std::optional<OldHeader> HeaderReader::read(OldHeaderFault& fault, std::string& reason) {
  fault = OldHeaderFault::NotOldData;
  std::uint8_t signature[2] = {};
  if (bytes_.size() < kOldHeaderSize || !bytes_.read(kSig, signature) || signature[0] != 'C' ||
      signature[1] != '3') {
    reason = "not an old data file";
    return std::nullopt;
  }
  fault = OldHeaderFault::Unsound;
  if (!readHeaderRecord() || !readFields() || !readKeys() || !readPictures() || !readArrays() ||
      !checkReferences()) {
    reason = reason_;
    return std::nullopt;
  }
  fault = OldHeaderFault::None;
  header_.end = position_;
  return std::move(header_);
}

}  // namespace

bool OldBufferBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  return true;
}

OldDescriptorBytes::OldDescriptorBytes(int fd) : fd_(fd) {
  struct stat info {};
  if (fstat(fd_, &info) == 0 && info.st_size > 0) size_ = static_cast<std::uint64_t>(info.st_size);
}

bool OldDescriptorBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > size_ || out.size() > size_ - offset) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got =
        pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

std::optional<OldHeader> readOldHeader(const OldFileBytes& bytes, OldHeaderFault* fault,
                                       std::string* reason) {
  OldHeaderFault ignoredFault;
  std::string ignoredReason;
  return HeaderReader(bytes).read(fault != nullptr ? *fault : ignoredFault,
                                  reason != nullptr ? *reason : ignoredReason);
}

void descramblePairs(std::span<std::uint8_t> bytes, std::uint8_t evenKey, std::uint8_t oddKey,
                     OddLastByte last) {
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    bytes[at] ^= evenKey;
    bytes[at + 1] ^= oddKey;
  }
  if (at < bytes.size() && last == OddLastByte::Descrambled) bytes[at] ^= evenKey;
}

}  // namespace upkeep
